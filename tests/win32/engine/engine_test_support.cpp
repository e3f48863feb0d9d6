#include "tests/win32/engine/engine_test_support.h"
#include "tests/support/message_pump.h"

#include <commctrl.h>

#include "build_config.h"
#include "framework/controls.h"
#include "resources/sulvantix/sulvantix_resource.h"
#include "shared/checker_done_message.h"

namespace {

std::vector<CRecordedOption> DecodeList(const void* buffer) {
    std::vector<CRecordedOption> options;
    const auto* list = static_cast<const INTERNET_PER_CONN_OPTION_LISTA*>(buffer);
    if (list == nullptr || list->pOptions == nullptr) {
        return options;
    }
    for (DWORD i = 0; i < list->dwOptionCount; ++i) {
        const INTERNET_PER_CONN_OPTIONA& option = list->pOptions[i];
        CRecordedOption recorded;
        recorded.m_nId = option.dwOption;
        if (IsTextOption(option.dwOption)) {
            recorded.m_bHasText = option.Value.pszValue != nullptr;
            if (recorded.m_bHasText) {
                recorded.m_strText = option.Value.pszValue;
            }
        } else {
            recorded.m_nNumber = option.Value.dwValue;
        }
        options.push_back(recorded);
    }
    return options;
}

} // namespace

void CRecordingOptions::Record(CRecordedCall call) {
    call.m_nThreadId = ::GetCurrentThreadId();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.push_back(std::move(call));
}

BOOL CRecordingOptions::QueryOption(HINTERNET handle, DWORD option, void* buffer, DWORD* length) {
    const BOOL result = m_bFailQueries
                            ? FALSE
                            : SystemInternetOptions().QueryOption(handle, option, buffer, length);
    CRecordedCall call;
    call.m_kind = CRecordedCall::Kind::Query;
    call.m_nOption = option;
    call.m_bResult = result != FALSE;
    if (result && option == INTERNET_OPTION_PER_CONNECTION_OPTION) {
        call.m_options = DecodeList(buffer);
    }
    Record(std::move(call));
    return result;
}

BOOL CRecordingOptions::SetOption(HINTERNET handle, DWORD option, void* buffer, DWORD length) {
    CRecordedCall call;
    call.m_kind = CRecordedCall::Kind::Set;
    call.m_nOption = option;
    if (option == INTERNET_OPTION_PER_CONNECTION_OPTION) {
        call.m_options = DecodeList(buffer);
    }
    bool fail =
        m_bFailRestores && call.m_options.size() == static_cast<std::size_t>(kSavedOptionCount);
    for (const CRecordedOption& o : call.m_options) {
        if (o.m_nId == INTERNET_PER_CONN_PROXY_SERVER && call.m_options.size() == 3 &&
            m_failServers.count(o.m_strText) != 0) {
            fail = true;
        }
    }
    const BOOL result =
        fail ? FALSE : SystemInternetOptions().SetOption(handle, option, buffer, length);
    // Wine answers FALSE to a refresh that did what it should; what counts
    // here is that it was asked for.
    call.m_bResult = option == INTERNET_OPTION_REFRESH ? true : result != FALSE;
    Record(std::move(call));
    return result;
}

BOOL CRecordingOptions::GetConnectedState(DWORD* flags) {
    const int online = m_nOnline;
    const BOOL result = online < 0 ? SystemInternetOptions().GetConnectedState(flags) : online;
    CRecordedCall call;
    call.m_kind = CRecordedCall::Kind::Connected;
    call.m_bResult = result != FALSE;
    Record(std::move(call));
    return result;
}

std::vector<CRecordedCall> CRecordingOptions::Calls() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
}

std::vector<std::string> CRecordingOptions::AppliedServers() const {
    std::vector<std::string> servers;
    for (const CRecordedCall& call : Calls()) {
        if (call.m_kind == CRecordedCall::Kind::Set && call.m_bResult &&
            call.m_nOption == INTERNET_OPTION_PER_CONNECTION_OPTION && call.m_options.size() == 3) {
            servers.push_back(call.m_options[0].m_strText);
        }
    }
    return servers;
}

void CRecordingOptions::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.clear();
}

void CRecordingWindow::ShowMessageBox(const std::string& text) {
    m_messages.push_back(text);
    if (m_onMessage) {
        m_onMessage(text);
    }
}

void CRecordingWindow::ShowStandardMessageBox(const std::string& text) {
    m_standardMessages.push_back(text);
}

void CRecordingWindow::SetStartStopLook(bool stopLook) {
    m_looks.push_back(stopLook);
}

void CRecordingWindow::FlashStartStop() {
    ++m_nFlashes;
    CSulvantixEngineWindow::FlashStartStop();
}

void CRecordingWindow::Quit(int, bool closeWindow) {
    ++(closeWindow ? m_nCloses : m_nQuits);
}

bool CRecordingWindow::ArmTimer(unsigned id, unsigned periodMs) {
    if (id == IDT_ROTATE) {
        m_rotationPeriods.push_back(periodMs);
    }
    return CSulvantixEngineWindow::ArmTimer(id, periodMs);
}

CCurrentProxyQuery MachineProxy() {
    return QueryCurrentProxy(SystemInternetOptions());
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    return PumpMessagesUntil(done, timeoutMs);
}

void PumpFor(DWORD ms) {
    PumpMessagesFor(ms);
}

CMainWindowSetup CEngineHarness::Setup(const std::string& updateBaseUrl,
                                       unsigned rotationMsPerSecond) {
    CMainWindowSetup setup;
    setup.m_settings.m_strSystemDirectory = m_system.Path();
    setup.m_settings.m_strProgramDirectory = m_program.Path() + "\\";
    setup.m_settings.m_strRecordFolder = m_record.Path();
    setup.m_settings.m_nRotationMsPerSecond = rotationMsPerSecond;
    // The watch's probes run on the real clock; these scenarios count the
    // period's steps only (the end-to-end tests watch the watch).
    setup.m_settings.m_watchTiming.m_nFirstProbeMs = 3600000;
    if (!updateBaseUrl.empty()) {
        setup.m_settings.m_strUpdateBaseUrl = updateBaseUrl;
    }
    setup.m_pInternetOptions = &m_options;
    setup.m_makeEngineWindow = [this](CSulvantixDlg& dialog) {
        m_pWindow = std::make_shared<CRecordingWindow>(dialog);
        return m_pWindow;
    };
    return setup;
}

CEngineHarness::CEngineHarness(const std::string& updateBaseUrl, unsigned rotationMsPerSecond)
    : m_dialog(nullptr, Setup(updateBaseUrl, rotationMsPerSecond)) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_INTERNET_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    std::error_code ignored;
    std::filesystem::create_directory(m_program.File("Update"), ignored);
    SaveProxyOptions(SystemInternetOptions(), m_machineBefore);
    if (!m_dialog.Create() || m_dialog.Engine() == nullptr || !m_pWindow) {
        return;
    }
    m_link.Open(CSharedLink::Role::Gui);
    ForgetStartUp();
    m_bReady = true;
}

void CEngineHarness::ForgetStartUp() {
    // The empty-list warning comes 10 ms after the start-up; let it show.
    PumpFor(100);
    for (const CScratchDir* dir : {&m_system, &m_program}) {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(dir->Path(), ignored)) {
            if (entry.path().filename() != "Update") {
                std::filesystem::remove_all(entry.path(), ignored);
            }
        }
    }
    std::error_code ignored;
    for (const auto& entry :
         std::filesystem::directory_iterator(m_program.File("Update"), ignored)) {
        std::filesystem::remove_all(entry.path(), ignored);
    }
    // The folders are empty now: so is the list.
    Engine().LoadProxyLists();
    m_startUpMessages = m_pWindow->m_messages;
    m_pWindow->m_messages.clear();
    m_pWindow->m_standardMessages.clear();
    m_pWindow->m_looks.clear();
    m_pWindow->m_rotationPeriods.clear();
    m_options.Clear();
}

CEngineHarness::~CEngineHarness() {
    if (m_dialog.Engine() != nullptr) {
        m_dialog.Engine()->Shutdown();
    }
    m_dialog.DestroyWindow();
    if (m_machineBefore.IsSaved()) {
        RestoreProxyOptions(SystemInternetOptions(), m_machineBefore);
    }
}

std::vector<std::string> CEngineHarness::ListItems() const {
    std::vector<std::string> items;
    CListBox list(Item(IDC_PROXY_LIST));
    for (int i = 0; i < list.GetCount(); ++i) {
        items.push_back(list.GetText(i));
    }
    return items;
}

void CEngineHarness::SelectTimer(int index) const {
    ::SendMessageA(Item(IDC_TIMER_COMBO), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void CEngineHarness::Click(int id) const {
    ::SendMessageA(m_dialog.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(id)));
}

void CEngineHarness::TypeProxy(BYTE a, BYTE b, BYTE c, BYTE d, const char* port) const {
    ::SendMessageA(Item(IDC_PROXY_ADDRESS), IPM_SETADDRESS, 0, MAKEIPADDRESS(a, b, c, d));
    ::SetWindowTextA(Item(IDC_PROXY_PORT), port);
}
