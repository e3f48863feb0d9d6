// The machine's Internet options as a worker sees them: every call runs on
// the window's thread through CWindowThreadCalls, so a worker that was let go
// can neither read nor change them (a dropped call answers FALSE).
#pragma once

#include <memory>

#include "gui/engine/window_thread_calls.h"
#include "shared/proxy_options.h"

class CMarshalledOptions : public IInternetOptions {
public:
    CMarshalledOptions(IInternetOptions& api, std::shared_ptr<CWindowThreadCalls> calls)
        : m_api(api), m_pCalls(std::move(calls)) {}

    BOOL QueryOption(HINTERNET handle, DWORD option, void* buffer, DWORD* length) override {
        BOOL result = FALSE;
        m_pCalls->Run([&] { result = m_api.QueryOption(handle, option, buffer, length); });
        return result;
    }
    BOOL SetOption(HINTERNET handle, DWORD option, void* buffer, DWORD length) override {
        BOOL result = FALSE;
        m_pCalls->Run([&] { result = m_api.SetOption(handle, option, buffer, length); });
        return result;
    }
    BOOL GetConnectedState(DWORD* flags) override {
        BOOL result = FALSE;
        m_pCalls->Run([&] { result = m_api.GetConnectedState(flags); });
        return result;
    }

private:
    IInternetOptions& m_api;
    std::shared_ptr<CWindowThreadCalls> m_pCalls;
};
