#include "gui/engine/window_thread_calls.h"

#include <utility>

#include "framework/thread.h"
#include "framework/trace.h"

namespace {

const char kClassName[] = "SulvantixWindowThreadCalls";
constexpr UINT kRunMessage = WM_APP + 1;
constexpr UINT kPostMessage = WM_APP + 2;

thread_local CWorkerTicket* t_pTicket = nullptr;

struct CPendingCall {
    const std::function<void()>* call;
    CWorkerTicket* ticket; // the sender's, or null
};

bool RegisterCallsClass() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ::DefWindowProcA; // replaced per window below
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    return ::RegisterClassA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void RunCaught(const std::function<void()>& call) {
    try {
        call();
    } catch (...) {
        TraceText("Exception caught in CWindowThreadCalls::Run");
    }
}

} // namespace

CWindowThreadCalls::CWindowThreadCalls() : m_nThreadId(::GetCurrentThreadId()) {
    if (!RegisterCallsClass()) {
        return;
    }
    HWND hwnd = ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr) {
        return;
    }
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
    m_hWnd = hwnd;
}

CWindowThreadCalls::~CWindowThreadCalls() {
    Close();
}

void CWindowThreadCalls::Close() {
    m_bClosed = true;
    HWND hwnd = m_hWnd.exchange(nullptr);
    if (hwnd != nullptr && IsWindowThread()) {
        // Queued posts die with the window; a worker's pending send answers 0.
        ::DestroyWindow(hwnd);
    }
}

bool CWindowThreadCalls::Run(const std::function<void()>& call) {
    if (m_bClosed) {
        return false;
    }
    if (IsWindowThread()) {
        RunCaught(call);
        return true;
    }
    if (CurrentWorkerReleased()) {
        return false;
    }
    HWND hwnd = m_hWnd.load();
    if (hwnd == nullptr) {
        return false;
    }
    CPendingCall pending{&call, t_pTicket};
    return ::SendMessageA(hwnd, kRunMessage, 0, reinterpret_cast<LPARAM>(&pending)) == 1;
}

bool CWindowThreadCalls::Post(std::function<void()> call) {
    HWND hwnd = m_hWnd.load();
    if (m_bClosed || hwnd == nullptr) {
        return false;
    }
    try {
        auto held = std::make_unique<std::function<void()>>(std::move(call));
        if (!::PostMessageA(hwnd, kPostMessage, 0, reinterpret_cast<LPARAM>(held.get()))) {
            return false;
        }
        (void)held.release(); // the window's thread owns it now
        return true;
    } catch (...) {
        return false;
    }
}

CWorkerTicket* CWindowThreadCalls::CurrentTicket() {
    return t_pTicket;
}

bool CWindowThreadCalls::CurrentWorkerReleased() {
    return t_pTicket != nullptr && t_pTicket->IsReleased();
}

LRESULT CALLBACK CWindowThreadCalls::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CWindowThreadCalls*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case kRunMessage: {
        const auto* pending = reinterpret_cast<const CPendingCall*>(lParam);
        // Released on this thread, so the answer cannot change while the call runs.
        if (self == nullptr || self->m_bClosed ||
            (pending->ticket != nullptr && pending->ticket->IsReleased())) {
            return 0;
        }
        RunCaught(*pending->call);
        return 1;
    }
    case kPostMessage: {
        std::unique_ptr<std::function<void()>> call(
            reinterpret_cast<std::function<void()>*>(lParam));
        if (self != nullptr && !self->m_bClosed) {
            RunCaught(*call);
        }
        return 0;
    }
    case WM_DESTROY: {
        // Posts still queued are freed unrun.
        MSG queued;
        while (::PeekMessageA(&queued, hwnd, kPostMessage, kPostMessage, PM_REMOVE)) {
            delete reinterpret_cast<std::function<void()>*>(queued.lParam);
        }
        return 0;
    }
    default:
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

CEngineWorker::~CEngineWorker() = default;

std::unique_ptr<CEngineWorker> CEngineWorker::Start(std::function<void()> body) {
    try {
        std::unique_ptr<CEngineWorker> worker(new CEngineWorker());
        worker->m_pTicket = std::make_shared<CWorkerTicket>();
        std::shared_ptr<CWorkerTicket> ticket = worker->m_pTicket;
        worker->m_pThread = AfxBeginThread([ticket, body = std::move(body)]() -> UINT {
            t_pTicket = ticket.get();
            body();
            t_pTicket = nullptr;
            return 1;
        });
        if (!worker->m_pThread) {
            return nullptr;
        }
        return worker;
    } catch (...) {
        return nullptr;
    }
}

bool CEngineWorker::IsCurrentThread() const {
    return m_pThread->IsCurrentThread();
}

bool CEngineWorker::IsRunning() const {
    return m_pThread->IsRunning();
}

bool CEngineWorker::WaitToEnd(DWORD timeoutMs) const {
    return m_pThread->WaitToEnd(timeoutMs);
}
