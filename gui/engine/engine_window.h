// What the proxy engine may do to the main window: the window's own
// operations (messages, button groups, the Start/Stop button), its controls
// (the proxy list box, the timer combo box, the address and port fields) and
// its rotation timer. The main window implements it, tests implement it over
// the same dialog template. The engine calls it on the window's thread only:
// worker threads reach it through CWindowThreadCalls (window_thread_calls.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class IEngineWindow {
public:
    virtual ~IEngineWindow() = default;

    // The skinned message box, modal, then SetAnonimizeStatusOnListCount.
    virtual void ShowMessage(const std::string& text) = 0;
    // A standard message box owned by the window, captioned with the
    // program's name ("Error1 ").
    virtual void ShowStandardMessage(const std::string& text) = 0;
    // Group 1, 2 or 3 of buttons enabled or disabled, then
    // SetAnonimizeStatusOnListCount.
    virtual void EnableControlGroup(int group, bool disable) = 0;
    // Start/Stop enabled exactly when the list box holds an entry.
    virtual void SetAnonimizeStatusOnListCount() = 0;

    // Dialog data exchange: true saves the controls into the window's
    // members, false loads the controls.
    virtual void UpdateData(bool save) = 0;
    // The Start/Stop button's look: the Stop look while anonymizing.
    virtual void SetStartStopLook(bool stopLook) = 0;
    virtual void FlashStartStop() = 0;
    // Invalidates the whole window, erasing.
    virtual void InvalidateAll() = 0;
    // The dialog's cancel (ends its modal run), then the quit message.
    virtual void CloseAndQuit(int exitCode) = 0;
    // The quit message alone.
    virtual void PostQuit(int exitCode) = 0;

    // The proxy list box (sorted): LB_ messages.
    virtual int ListCount() = 0;
    virtual int ListCurSel() = 0;
    virtual void ListSetCurSel(int index) = 0;
    virtual void ListSetSel(int index, bool select) = 0;
    virtual std::string ListText(int index) = 0;
    virtual void ListDeleteString(int index) = 0;
    // LB_SELECTSTRING from before the first item: the index found, or -1.
    virtual int ListSelectString(const std::string& text) = 0;
    virtual void ListAddString(const std::string& text) = 0;
    // The list load: the list box and `staging` emptied, "Userproxy.txt" and
    // "Proxylist.txt" of `directory` read and filled in; 0 with the first item
    // selected and Start/Stop enabled, -1 with the list empty and it disabled.
    virtual int LoadProxyListBox(const std::string& directory,
                                 std::vector<std::string>& staging) = 0;

    // The selected item of the timer combo box; empty when none.
    virtual std::string TimerSelectionText() = 0;

    // The IP address control: its four fields (blank ones 0) and how many
    // are not blank.
    virtual int AddressFields(std::uint8_t fields[4]) = 0;
    virtual void ClearAddress() = 0;
    // The port edit: its text, and clearing it.
    virtual std::string PortText() = 0;
    virtual void ClearPort() = 0;

    // Timers of the window; SetTimer's result (0 on failure).
    virtual std::uintptr_t SetTimer(unsigned id, unsigned periodMs) = 0;
    virtual void KillTimer(unsigned id) = 0;
};
