// The engine's making and ending, its workers, and the list files.
#include "proxy_engine.h"

#include <utility>

#include "build_config.h"
#include "framework/app.h"
#include "framework/module_paths.h"
#include "marshalled_options.h"
#include "marshalled_window.h"
#include "proxy_list_loader.h"
#include "shared/proxy_address_data.h"

std::atomic<int> g_nCurrentProxy{0};
std::atomic<int> g_nCurrentPort{0};

namespace {

constexpr DWORD kPumpLimitMs = 500;

} // namespace

CEngineSettings::CEngineSettings()
    : m_strTestUrl(SULVANTIX_TEST_URL), m_strUpdateBaseUrl(SULVANTIX_UPDATE_BASE_URL),
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
      m_pWindow(std::make_shared<CMarshalledWindow>(std::move(window), m_pCalls)), m_api(api),
      m_pWorkerApi(std::make_shared<CMarshalledOptions>(api, m_pCalls)),
      m_signalUpdate(std::move(signalUpdate)), m_strStartStopState(kStartAnonymizing) {
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

template <class Body> bool CProxyEngine::StartWorker(Body body, bool record) {
    std::shared_ptr<CProxyEngine> self = shared_from_this();
    std::unique_ptr<CEngineWorker> worker =
        CEngineWorker::Start([self, body]() { (self.get()->*body)(); });
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

template bool CProxyEngine::StartWorker(void (CProxyEngine::*)(), bool);
template bool CProxyEngine::StartWorker(int (CProxyEngine::*)(), bool);

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

int CProxyEngine::LoadProxyLists() {
    int result = -1;
    m_pCalls->Run([&] {
        result = m_pWindow->LoadProxyListBox(m_settings.m_strSystemDirectory, m_staging);
        // The list box holds the entries now; a staged copy kept for nothing
        // would double the memory of a big list.
        std::vector<std::string>().swap(m_staging);
    });
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
