// The engine's making and ending, its workers, and the list files.
#include "gui/engine/proxy_engine.h"

#include <utility>

#include "framework/app.h"
#include "framework/module_paths.h"
#include "gui/engine/proxy_list_box.h"
#include "gui/engine/rotation_interval.h"
#include "shared/build_urls.h"
#include "shared/proxy_address_data.h"

namespace {

constexpr DWORD kPumpLimitMs = 500;

} // namespace

CEngineSettings::CEngineSettings()
    : m_strTestUrl(BuildTestUrl()), m_strUpdateBaseUrl(BuildUpdateBaseUrl()),
      m_strProgramDirectory(GetProgramDirectory()), m_strSystemDirectory(GetSystemDirectoryPath()),
      m_strRecordFolder(CSessionRecordStore::DefaultFolder()) {}

std::shared_ptr<CProxyEngine> CProxyEngine::Create(std::shared_ptr<IEngineWindow> window,
                                                   IInternetOptions& api,
                                                   std::function<void()> signalUpdate,
                                                   CEngineSettings settings) {
    try {
        return std::shared_ptr<CProxyEngine>(
            new CProxyEngine(std::move(window), api, std::move(signalUpdate), std::move(settings)));
    } catch (...) {
        return nullptr;
    }
}

CProxyEngine::CProxyEngine(std::shared_ptr<IEngineWindow> window, IInternetOptions& api,
                           std::function<void()> signalUpdate, CEngineSettings settings)
    : m_settings(std::move(settings)), m_pCalls(std::make_shared<CWindowThreadCalls>()),
      m_pWindow(std::move(window)), m_api(api), m_signalUpdate(std::move(signalUpdate)),
      m_list(MakeProxyList()), m_strStartStopState(kStartAnonymizing) {
    if (!m_settings.m_strRecordFolder.empty()) {
        m_pRecordStore = std::make_unique<CSessionRecordStore>(m_settings.m_strRecordFolder);
    }
}

CProxyEngine::~CProxyEngine() {
    // The last owner may be a worker on its way out; only the window's
    // thread may close the calls' window.
    if (m_pCalls->IsWindowThread()) {
        Shutdown();
    }
}

void CProxyEngine::Shutdown() {
    m_bStopChangeIP = true;
    m_bClosing = true;
    StopWatch();
    if (m_pWorkerThread) {
        m_pWorkerThread->ReleaseTicket();
        m_pWorkerThread.reset();
    }
    m_pCalls->Close();
}

std::string CProxyEngine::StartStopState() const {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    return m_strStartStopState;
}

void CProxyEngine::SetStartStopState(const char* state) {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_strStartStopState = state;
}

bool CProxyEngine::StopRequested() const {
    return m_bStopChangeIP || CWindowThreadCalls::CurrentWorkerReleased();
}

bool CProxyEngine::StartWorker(std::function<void()> body, bool record) {
    // The worker holds the engine: it outlives neither.
    std::shared_ptr<CProxyEngine> self = shared_from_this();
    std::unique_ptr<CEngineWorker> worker =
        CEngineWorker::Start([self, body = std::move(body)]() { body(); });
    if (!worker) {
        return false;
    }
    if (record) {
        // The worker recorded before goes on by itself, no longer stoppable
        // from here, as a thread that is simply not tracked.
        m_pWorkerThread = std::move(worker);
    }
    return true;
}

void CProxyEngine::Show(const std::function<void(IEngineWindow&)>& show) {
    m_pCalls->Run([&] { show(*m_pWindow); });
}

void CProxyEngine::ShowMessage(const std::string& text) {
    Show([&](IEngineWindow& window) { window.ShowMessage(text); });
}

void CProxyEngine::SetBusy(bool busy) {
    m_pCalls->Run([&] {
        m_buttons.m_bBusy = busy;
        m_pWindow->ShowButtons(m_buttons);
    });
}

void CProxyEngine::SetStopLook(bool stopLook, bool repaintAll) {
    m_pCalls->Run([&] {
        m_buttons.m_bStopLook = stopLook;
        CEngineButtons buttons = m_buttons;
        buttons.m_bRepaintAll = repaintAll;
        m_pWindow->ShowButtons(buttons);
    });
}

void CProxyEngine::RefreshButtons(bool flashStartStop) {
    m_pCalls->Run([&] {
        CEngineButtons buttons = m_buttons;
        buttons.m_bFlashStartStop = flashStartStop;
        m_pWindow->ShowButtons(buttons);
    });
}

void CProxyEngine::Select(int index) {
    m_nSelected = index >= 0 && static_cast<std::size_t>(index) < m_list.Count() ? index : -1;
    m_pWindow->ShowSelection(m_nSelected);
}

void CProxyEngine::OnListSelection(int index) {
    m_nSelected = index >= 0 && static_cast<std::size_t>(index) < m_list.Count() ? index : -1;
}

void CProxyEngine::OnPeriodChosen(const std::string& itemText) {
    m_nPeriodMs = RotationPeriodMs(itemText, m_settings.m_nRotationMsPerSecond);
}

void CProxyEngine::PumpPendingMessages() {
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) &&
           ::GetTickCount() - start < kPumpLimitMs) {
        if (!AfxPumpMessage()) {
            break; // WM_QUIT, posted again for the loop that owns it
        }
    }
}

std::string CProxyEngine::ListPath(const char* name) const {
    return m_settings.m_strSystemDirectory.empty() ? std::string()
                                                   : m_settings.m_strSystemDirectory + "\\" + name;
}

int CProxyEngine::LoadAndShowList() {
    // The old list goes first: two big lists at once would double the load's peak.
    m_list = MakeProxyList();
    m_list.Load(m_settings.m_strSystemDirectory);
    m_pWindow->ShowList(m_list);
    m_nSelected = m_list.Empty() ? -1 : 0;
    return m_list.Empty() ? -1 : 0;
}

int CProxyEngine::LoadProxyLists() {
    int result = -1;
    m_pCalls->Run([&] { result = LoadAndShowList(); });
    return result;
}

void CProxyEngine::RemoveProxyFromFiles(const std::string& entry) {
    m_pCalls->Run([&] {
        const std::string userList = ListPath(kUserProxyFileName);
        const std::string mainList = ListPath(kProxyListFileName);
        if (!userList.empty()) {
            CProxyAddressData().RemoveLineFromFile(userList, entry);
        }
        if (!mainList.empty()) {
            CProxyAddressData().RemoveLineFromFile(mainList, entry);
        }
    });
}
