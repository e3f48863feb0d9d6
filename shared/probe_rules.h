// Decision rules of the liveness probe and of the error-page fetch, as plain
// functions over plain values, plus the gate that lets a probe's caller give
// up on a probe whose library call never returns.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>

#include "framework/url_parser.h"

namespace probe {

// Request flags: reload, no cache write, keep connection, pragma no-cache; for
// https also secure and the two certificate name/date leniencies.
constexpr unsigned long kRequestFlagsHttp = 0x84400100ul;
constexpr unsigned long kRequestFlagsHttps = 0x84C03100ul;
unsigned long RequestFlagsFor(UrlService service);

// HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER.
constexpr unsigned long kStatusQuery = 0x20000013ul;
// INTERNET_FLAG_RELOAD | INTERNET_FLAG_TRANSFER_BINARY for the error-page fetch.
constexpr unsigned long kFetchUrlFlags = 0x80000002ul;
// Every probe and fetch asks for its own connection, used once. Wine's
// library pools a kept-alive connection by the server it reached and hands it
// to a later request for the same server through another proxy (or none), so
// a probe could be answered over the update server's direct connection.
constexpr char kCloseConnectionHeader[] = "Connection: close\r\n";

constexpr std::size_t kDrainReadSize = 1024;
// The body is read into a 1024-byte buffer, one byte short of full.
constexpr std::size_t kBodyBufferSize = 1024;
constexpr std::size_t kBodyReadSize = kBodyBufferSize - 1;
constexpr std::size_t kFetchChunkSize = 512;

// What the probe does with the status it got.
enum class StatusOutcome {
    kReadBody,         // 200 and 206: the body decides
    kFailNamingProxy,  // 407: trace status and proxy
    kFailNamingStatus, // everything else: trace the status only
};
struct StatusDecision {
    bool drainFirst = false; // read the body to its end before the verdict
    StatusOutcome outcome = StatusOutcome::kFailNamingStatus;
};
StatusDecision DecideStatus(unsigned long status);

// Verdict after one body read of a 200/206 answer.
enum class BodyVerdict {
    kContinue, // this read was exactly "OK": read on
    kNotAlive, // this read held anything else
    kAlive,    // the read failed or hit the end: the proxy is alive
};
BodyVerdict JudgeBodyRead(bool readSucceeded, const char* data, std::size_t size);

// True when one of the error-page tokens begins after the chunk's first byte.
bool IsErrorPageChunk(const char* data, std::size_t size);

// What a failed probe says of the proxy: a refused connection, a reset or an
// answer other than the test file says it is gone; a time-out, a failure of
// our own or anything else may pass with the moment.
enum class FailureWeight { kPassing, kFinal };
// ERROR_INTERNET_CANNOT_CONNECT (12029), ERROR_INTERNET_CONNECTION_RESET
// (12031) and ERROR_HTTP_INVALID_SERVER_RESPONSE (12152) are final; so is
// ERROR_INTERNET_CONNECTION_ABORTED (12030) well before the bound, which is
// how Wine reports a reset (and its own time-out, but only at the bound).
FailureWeight WeighSendError(unsigned long error, unsigned long elapsedMs, unsigned long boundMs);

// The probe's traces, exactly as they go to the debugger stream.
extern const char* const kExceptionTrace;
std::string SendFailedTrace(unsigned long error, const std::string& proxy);
std::string StatusNamingProxyTrace(unsigned long status, const std::string& proxy);
std::string StatusOnlyTrace(unsigned long status);
std::string ValidTrace(const std::string& proxy);

// The proxy text "address:port".
std::string ProxyText(const std::string& address, int port);

// The application's name: the module path's file name without its extension.
std::string ProgramNameFromPath(const std::string& modulePath);

// What the caller traces when the bound passes: while the request was still
// being sent, the send's own failure trace with the library's time-out code;
// once the answer has begun, nothing (a later read failure would read as alive).
constexpr unsigned long kTimeoutError = 12002; // ERROR_INTERNET_TIMEOUT

// Decides, between a probe's worker and the caller waiting on it, who settles
// the probe and who may close the handle a blocked call is using. Exactly one
// of Settle() returning true and Expire() returning kSettled happens.
class CProbeGate {
public:
    enum class Expiry {
        kSettled,    // the worker already owns the outcome: wait for it
        kCancelCall, // the worker is inside a library call: the caller closes its handle
        kAbandoned,  // the worker is between calls: it stops at its next check
    };

    CProbeGate() = default;
    CProbeGate(const CProbeGate&) = delete;
    CProbeGate& operator=(const CProbeGate&) = delete;

    // Worker, from inside a blocking library call.
    void EnterCall();
    // Worker, once the call returned. False: the caller gave up; touch no handle.
    bool LeaveCall();
    // Worker, before starting another call.
    bool IsLive() const;
    // Worker, before it reports the outcome. False: the caller gave up; stay silent.
    bool Settle();
    // Caller, when the bound has passed. Only the first call can answer kCancelCall.
    Expiry Expire();

private:
    mutable std::mutex m_mutex;
    bool m_bInCall = false;
    bool m_bSettled = false;
    bool m_bExpired = false;
};

} // namespace probe
