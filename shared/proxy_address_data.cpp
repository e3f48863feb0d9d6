// The liveness probe through WinINet. Every probe gives the library its own
// connect, send and receive time-outs of m_nProbeBoundMs, so a call waiting on
// a proxy that accepts and never answers ends by itself at the bound and its
// thread and socket go with it. What the library cannot end that way (a proxy
// that trickles its answer a byte at a time restarts every receive time-out)
// is bounded by the callers: ProbeProxyString runs the library calls on a
// worker of their own and waits at most m_nProbeBoundMs. Closing a handle does
// not unblock a pending call under Wine, so that wait is what bounds the
// probe; where closing does cancel (Windows), the caller also closes the
// request handle of a call still open at the bound.
#include "shared/proxy_address_data.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "build_config.h"
#include "framework/module_paths.h"
#include "framework/trace.h"
#include "framework/url_parser.h"
#include "shared/build_urls.h"
#include "shared/probe_rules.h"

namespace {

// Owner of one WinINet handle.
class CInternetHandle {
public:
    CInternetHandle() = default;
    ~CInternetHandle() { Reset(); }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    CInternetHandle(CInternetHandle&& other) noexcept : m_h(other.Release()) {}
    CInternetHandle& operator=(CInternetHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    HINTERNET Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    HINTERNET Release() {
        HINTERNET h = m_h;
        m_h = nullptr;
        return h;
    }
    void Reset(HINTERNET h = nullptr) {
        HINTERNET old = m_h;
        m_h = h;
        if (old != nullptr) {
            ::InternetCloseHandle(old);
        }
    }

private:
    HINTERNET m_h = nullptr;
};

// Owner of one kernel handle (the probe's completion event).
class CKernelHandle {
public:
    explicit CKernelHandle(HANDLE h) : m_h(h) {}
    ~CKernelHandle() {
        if (m_h != nullptr) {
            ::CloseHandle(m_h);
        }
    }
    CKernelHandle(const CKernelHandle&) = delete;
    CKernelHandle& operator=(const CKernelHandle&) = delete;
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

// One probe, shared by the caller and the worker; the last of the two to let
// go closes the handles, request first. The request handle is closed earlier
// by the caller only when the gate hands it the cancel, and then by no one else.
struct CProbeJob {
    CProbeJob(std::string proxyText, std::string agentText, ParsedUrl testUrl, DWORD_PTR ctx,
              DWORD bound)
        : proxy(std::move(proxyText)), agent(std::move(agentText)), url(std::move(testUrl)),
          context(ctx), boundMs(bound), done(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~CProbeJob() {
        request.Reset();
        connection.Reset();
        session.Reset();
    }
    CProbeJob(const CProbeJob&) = delete;
    CProbeJob& operator=(const CProbeJob&) = delete;

    const std::string proxy;
    const std::string agent;
    const ParsedUrl url;
    const DWORD_PTR context; // the engine object, as the handles' context value
    const DWORD boundMs;     // the library's connect, send and receive time-outs

    probe::CProbeGate gate;
    std::atomic<bool> sendReturned{false};
    // The caller's copy of sendReturned, when it keeps one.
    std::atomic<bool>* sendReturnedOut = nullptr;
    int result = 0; // written before `done` is set, read after it
    // What a failure says of the proxy; written and read as `result` is.
    probe::FailureWeight weight = probe::FailureWeight::kPassing;
    CKernelHandle done;

    CInternetHandle session;
    CInternetHandle connection;
    CInternetHandle request;
};

// The gate of the library call the current thread is inside, if any. Status
// callbacks of a synchronous handle come on the calling thread, from inside
// the call, which is what makes "inside a call" knowable.
thread_local probe::CProbeGate* t_pOpenCallGate = nullptr;

void CALLBACK ProbeStatusCallback(HINTERNET, DWORD_PTR, DWORD, LPVOID, DWORD) {
    try {
        if (t_pOpenCallGate != nullptr) {
            t_pOpenCallGate->EnterCall();
        }
    } catch (...) {
        // Nothing may unwind into the library; the probe is then only abandoned.
    }
}

// Brackets one blocking library call on the worker.
class COpenCall {
public:
    explicit COpenCall(probe::CProbeGate& gate) : m_gate(gate) { t_pOpenCallGate = &gate; }
    ~COpenCall() { t_pOpenCallGate = nullptr; }
    COpenCall(const COpenCall&) = delete;
    COpenCall& operator=(const COpenCall&) = delete;
    // False: the caller gave up, and may have closed the request handle.
    bool Leave() {
        t_pOpenCallGate = nullptr;
        return m_gate.LeaveCall();
    }

private:
    probe::CProbeGate& m_gate;
};

// Reports the outcome unless the caller already gave up on the probe.
void Finish(CProbeJob& job, int result, const std::string& trace) {
    if (!job.gate.Settle()) {
        return;
    }
    if (!trace.empty()) {
        TraceText(trace);
    }
    job.result = result;
    ::SetEvent(job.done.Get());
}

// Reads to the end of the body; a failed read ends it too.
bool Drain(CProbeJob& job, HINTERNET request) {
    std::vector<char> buffer(probe::kDrainReadSize);
    for (;;) {
        DWORD read = 0;
        COpenCall call(job.gate);
        const BOOL ok =
            ::InternetReadFile(request, buffer.data(), static_cast<DWORD>(buffer.size()), &read);
        if (!call.Leave()) {
            return false;
        }
        if (!ok || read == 0) {
            return true;
        }
    }
}

// Gives the handle the probe's connect, send and receive time-outs. Windows
// hands the options of the session handle down to its connections and
// requests. Wine 8 keeps only the connect time-out of a session handle (it
// accepts the other two there and drops them) and waits for the answer by the
// receive time-out of the request or connection handle, which is why the
// request gets them too; at the time-out its HttpSendRequest fails with
// ERROR_INTERNET_CONNECTION_ABORTED (12030) where Windows reports
// ERROR_INTERNET_TIMEOUT (12002). Wine does not end a connect that hangs (a
// listener whose queue is full) at the connect time-out. A failure here only
// leaves the library's default, so it is not a reason to give up the probe.
void SetLibraryTimeouts(HINTERNET handle, DWORD timeoutMs) {
    for (DWORD option : {static_cast<DWORD>(INTERNET_OPTION_CONNECT_TIMEOUT),
                         static_cast<DWORD>(INTERNET_OPTION_SEND_TIMEOUT),
                         static_cast<DWORD>(INTERNET_OPTION_RECEIVE_TIMEOUT)}) {
        DWORD value = timeoutMs;
        ::InternetSetOptionA(handle, option, &value, sizeof value);
    }
}

void RunProbe(CProbeJob& job) {
    job.session.Reset(::InternetOpenA(job.agent.c_str(), INTERNET_OPEN_TYPE_PROXY,
                                      job.proxy.c_str(), nullptr, 0));
    if (!job.session) {
        Finish(job, 0, std::string());
        return;
    }
    SetLibraryTimeouts(job.session.Get(), job.boundMs);
    // Without the callback the probe still ends at the bound, it just cannot cancel.
    ::InternetSetStatusCallbackA(job.session.Get(), &ProbeStatusCallback);

    job.connection.Reset(::InternetConnectA(job.session.Get(), job.url.server.c_str(), job.url.port,
                                            nullptr, nullptr, INTERNET_SERVICE_HTTP, 0,
                                            job.context));
    if (!job.connection) {
        Finish(job, 0, std::string());
        return;
    }
    const char* acceptTypes[] = {nullptr};
    job.request.Reset(::HttpOpenRequestA(job.connection.Get(), nullptr, job.url.object.c_str(),
                                         "HTTP/1.1", nullptr, acceptTypes,
                                         probe::RequestFlagsFor(job.url.service), job.context));
    if (!job.request) {
        Finish(job, 0, std::string());
        return;
    }
    SetLibraryTimeouts(job.request.Get(), job.boundMs);
    // From here the worker uses its own copy: the caller may take the owner's
    // handle to cancel, and a cancelled worker touches no handle again.
    HINTERNET request = job.request.Get();

    BOOL sent = FALSE;
    DWORD sendError = 0;
    const DWORD sendStarted = ::GetTickCount();
    {
        COpenCall call(job.gate);
        sent = ::HttpSendRequestA(request, probe::kCloseConnectionHeader, static_cast<DWORD>(-1),
                                  nullptr, 0);
        sendError = ::GetLastError();
        if (!call.Leave()) {
            return;
        }
    }
    job.sendReturned = true;
    if (job.sendReturnedOut != nullptr) {
        *job.sendReturnedOut = true;
    }
    if (!sent) {
        job.weight = probe::WeighSendError(sendError, ::GetTickCount() - sendStarted, job.boundMs);
        Finish(job, 0, probe::SendFailedTrace(sendError, job.proxy));
        return;
    }

    DWORD status = 0;
    DWORD length = sizeof status;
    if (!::HttpQueryInfoA(request, probe::kStatusQuery, &status, &length, nullptr)) {
        Finish(job, 0, std::string());
        return;
    }
    const probe::StatusDecision decision = probe::DecideStatus(status);
    if (decision.drainFirst && !Drain(job, request)) {
        return;
    }
    // Any answer but the test file is final: an error page, a refusal.
    job.weight = probe::FailureWeight::kFinal;
    switch (decision.outcome) {
    case probe::StatusOutcome::kFailNamingProxy:
        Finish(job, 0, probe::StatusNamingProxyTrace(status, job.proxy));
        return;
    case probe::StatusOutcome::kFailNamingStatus:
        Finish(job, 0, probe::StatusOnlyTrace(status));
        return;
    case probe::StatusOutcome::kReadBody:
        break;
    }

    const std::string valid = probe::ValidTrace(job.proxy);
    std::vector<char> buffer(probe::kBodyBufferSize);
    for (;;) {
        DWORD read = 0;
        COpenCall call(job.gate);
        const BOOL ok = ::InternetReadFile(request, buffer.data(),
                                           static_cast<DWORD>(probe::kBodyReadSize), &read);
        if (!call.Leave()) {
            return;
        }
        switch (probe::JudgeBodyRead(ok != FALSE, buffer.data(), read)) {
        case probe::BodyVerdict::kContinue:
            continue;
        case probe::BodyVerdict::kNotAlive:
            Finish(job, 0, std::string());
            return;
        case probe::BodyVerdict::kAlive:
            Finish(job, 1, valid);
            return;
        }
    }
}

DWORD WINAPI ProbeWorker(LPVOID parameter) {
    std::unique_ptr<std::shared_ptr<CProbeJob>> held(
        static_cast<std::shared_ptr<CProbeJob>*>(parameter));
    CProbeJob& job = **held;
    try {
        RunProbe(job);
    } catch (...) {
        try {
            Finish(job, 0, probe::kExceptionTrace);
        } catch (...) {
        }
    }
    return 0;
}

std::string ApplicationName() {
    const std::string path = GetModuleFilePath();
    return path.empty() ? std::string() : probe::ProgramNameFromPath(path);
}

// A probe of the test file through the proxy, or null when it cannot be set up.
std::shared_ptr<CProbeJob> MakeProbeJob(const std::string& proxy, const std::string& userAgent,
                                        DWORD_PTR context, DWORD boundMs) {
    ParsedUrl url;
    if (!ParseUrl(BuildTestUrl(), url)) {
        return nullptr;
    }
    const std::string agent = !userAgent.empty() ? userAgent : ApplicationName();
    // A bound of 0 (give up at once) still gets a time-out, not whatever the
    // library makes of 0.
    const DWORD timeoutMs = boundMs > 0 ? boundMs : 1;
    auto job = std::make_shared<CProbeJob>(proxy, agent, url, context, timeoutMs);
    return job->done.Get() != nullptr ? job : nullptr;
}

// The library calls need little stack, and hundreds of probes at once share a
// 32-bit address space with their callers' threads.
constexpr SIZE_T kWorkerStackBytes = 256 * 1024;

} // namespace

CProxyAddressData::CProxyAddressData()
    : m_pInternetOptions(&SystemInternetOptions()), m_nProbeBoundMs(SULVANTIX_PROBE_BOUND_MS) {}

bool CProxyAddressData::ProbeProxy(const std::string& address, int port) {
    try {
        return ProbeProxyString(probe::ProxyText(address, port)) == 1;
    } catch (...) {
        TraceText(probe::kExceptionTrace);
        return false;
    }
}

int CProxyAddressData::ProbeProxyString(const std::string& proxy) {
    try {
        const DWORD started = ::GetTickCount();
        const std::shared_ptr<CProbeJob> job =
            MakeProbeJob(proxy, m_strUserAgent, reinterpret_cast<DWORD_PTR>(this), m_nProbeBoundMs);
        if (!job) {
            return 0;
        }
        auto forWorker = std::make_unique<std::shared_ptr<CProbeJob>>(job);
        HANDLE thread = ::CreateThread(nullptr, kWorkerStackBytes, &ProbeWorker, forWorker.get(),
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (thread == nullptr) {
            return 0;
        }
        (void)forWorker.release();
        // Never joined: a worker stuck in the library must not hold its caller.
        ::CloseHandle(thread);

        const DWORD elapsed = ::GetTickCount() - started;
        const DWORD wait = m_nProbeBoundMs > elapsed ? m_nProbeBoundMs - elapsed : 0;
        if (::WaitForSingleObject(job->done.Get(), wait) == WAIT_OBJECT_0) {
            return job->result;
        }
        switch (job->gate.Expire()) {
        case probe::CProbeGate::Expiry::kSettled:
            // The worker decided first; it is only tracing and reporting now.
            ::WaitForSingleObject(job->done.Get(), INFINITE);
            return job->result;
        case probe::CProbeGate::Expiry::kCancelCall:
            ::InternetCloseHandle(job->request.Release());
            break;
        case probe::CProbeGate::Expiry::kAbandoned:
            break;
        }
        if (!job->sendReturned) {
            TraceText(probe::SendFailedTrace(probe::kTimeoutError, proxy));
        }
        return 0;
    } catch (...) {
        TraceText(probe::kExceptionTrace);
        return 0;
    }
}

int CProxyAddressData::ProbeProxyStringOnThisThread(const std::string& proxy,
                                                    std::atomic<bool>* sendReturned,
                                                    probe::FailureWeight* weight) {
    if (weight != nullptr) {
        *weight = probe::FailureWeight::kPassing;
    }
    try {
        const std::shared_ptr<CProbeJob> job =
            MakeProbeJob(proxy, m_strUserAgent, reinterpret_cast<DWORD_PTR>(this), m_nProbeBoundMs);
        if (!job) {
            return 0;
        }
        job->sendReturnedOut = sendReturned;
        RunProbe(*job);
        if (weight != nullptr && job->result == 0) {
            *weight = job->weight;
        }
        return job->result;
    } catch (...) {
        TraceText(probe::kExceptionTrace);
        return 0;
    }
}
