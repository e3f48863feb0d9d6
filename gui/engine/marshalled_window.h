// The window as the engine sees it from any thread: each operation runs on
// the window's thread through CWindowThreadCalls. A call dropped because the
// calling worker was let go answers a neutral value (nothing selected, no
// text, no items) and changes nothing.
#pragma once

#include <memory>

#include "engine_window.h"
#include "window_thread_calls.h"

class CMarshalledWindow : public IEngineWindow {
public:
    CMarshalledWindow(std::shared_ptr<IEngineWindow> window,
                      std::shared_ptr<CWindowThreadCalls> calls)
        : m_pWindow(std::move(window)), m_pCalls(std::move(calls)) {}

    void ShowMessage(const std::string& text) override;
    void ShowStandardMessage(const std::string& text) override;
    void EnableControlGroup(int group, bool disable) override;
    void SetAnonimizeStatusOnListCount() override;
    void UpdateData(bool save) override;
    void SetStartStopLook(bool stopLook) override;
    void FlashStartStop() override;
    void InvalidateAll() override;
    void CloseAndQuit(int exitCode) override;
    void PostQuit(int exitCode) override;
    int ListCount() override;
    int ListCurSel() override;
    void ListSetCurSel(int index) override;
    void ListSetSel(int index, bool select) override;
    std::string ListText(int index) override;
    void ListDeleteString(int index) override;
    int ListSelectString(const std::string& text) override;
    void ListAddString(const std::string& text) override;
    int LoadProxyListBox(const std::string& directory, std::vector<std::string>& staging) override;
    std::string TimerSelectionText() override;
    int AddressFields(std::uint8_t fields[4]) override;
    void ClearAddress() override;
    std::string PortText() override;
    void ClearPort() override;
    std::uintptr_t SetTimer(unsigned id, unsigned periodMs) override;
    void KillTimer(unsigned id) override;

private:
    template <class Call> void Do(Call call) {
        m_pCalls->Run([&] { call(*m_pWindow); });
    }
    template <class T, class Call> T Get(T dropped, Call call) {
        T result = dropped;
        m_pCalls->Run([&] { result = call(*m_pWindow); });
        return result;
    }

    std::shared_ptr<IEngineWindow> m_pWindow;
    std::shared_ptr<CWindowThreadCalls> m_pCalls;
};
