// What the proxy engine asks of the main window: a handful of things to show,
// the window's timers, and the end of the program. The engine holds the list,
// the entry in force and the period; the window shows them and reports the
// user's choices back (CProxyEngine::OnListSelection, OnPeriodChosen). The
// main window implements it; the engine calls it on the window's thread only,
// workers through CWindowThreadCalls (window_thread_calls.h).
#pragma once

#include <string>

class CProxyList;

// The buttons as the engine wants them.
struct CEngineButtons {
    // Add, Remove, Vettor and Update disabled while the engine is busy with
    // a session, an update or a check.
    bool m_bBusy = false;
    // The Start/Stop button's Stop look, while anonymizing.
    bool m_bStopLook = false;
    // Draws the user's eye to Start/Stop once.
    bool m_bFlashStartStop = false;
    // The whole window repainted, as after a session.
    bool m_bRepaintAll = false;
};

enum class EEngineMessage {
    Skinned,  // the program's own message box, modal
    Standard, // a standard box owned by the window, captioned with the program's name
};

class IEngineWindow {
public:
    virtual ~IEngineWindow() = default;

    // The list box emptied and filled with what it keeps of `list`, whose
    // order becomes the list box's; the first entry selected.
    virtual void ShowList(CProxyList& list) = 0;
    // Selects entry `index` of the list as the engine holds it (-1: none).
    virtual void ShowSelection(int index) = 0;
    // An entry the engine added goes where the list box sorts it: the answer
    // is its place (-1: not shown). A removed one leaves the selection the
    // list box keeps, which is the answer.
    virtual int ShowAddedEntry(const std::string& entry) = 0;
    virtual int ShowRemovedEntry(int index) = 0;
    // The buttons; Start/Stop is enabled whenever the list box holds an entry.
    virtual void ShowButtons(const CEngineButtons& buttons) = 0;
    // Returns when the user has closed the box.
    virtual void ShowMessage(const std::string& text,
                             EEngineMessage kind = EEngineMessage::Skinned) = 0;
    // Empties the fields of a proxy of the user's own.
    virtual void ClearTypedProxy() = 0;

    // The window's timers; SetTimer's result (0 on failure).
    virtual bool ArmTimer(unsigned id, unsigned periodMs) = 0;
    virtual void KillTimer(unsigned id) = 0;
    // The quit message, after the dialog's cancel when `closeWindow`.
    virtual void Quit(int exitCode, bool closeWindow) = 0;

    // The proxy in force: `entry` ("address:port") just applied by a switch
    // of the session, the next switch `periodMs` from now; empty when the
    // session has ended. For what the window shows besides its list (the
    // notification area); nothing by default.
    virtual void ShowProxyInForce(const std::string& entry, unsigned periodMs) {
        (void)entry;
        (void)periodMs;
    }
};
