#include "shared/probe_rules.h"

#include <cstdio>

namespace probe {

namespace {

std::string Format(const char* format, long value) {
    char buffer[160];
    // The traces print with %d; DWORD values above INT_MAX show as negative, as they always did.
    const int length = std::snprintf(buffer, sizeof buffer, format, static_cast<int>(value));
    if (length < 0) {
        return std::string();
    }
    return std::string(buffer, static_cast<std::size_t>(length) < sizeof buffer
                                   ? static_cast<std::size_t>(length)
                                   : sizeof buffer - 1);
}

const char* const kErrorTokens[] = {"ERROR", "following", "encountered", "was",
                                    "Cannot find server"};

} // namespace

const char* const kExceptionTrace = "ERROR";

unsigned long RequestFlagsFor(UrlService service) {
    return service == UrlService::kHttps ? kRequestFlagsHttps : kRequestFlagsHttp;
}

StatusDecision DecideStatus(unsigned long status) {
    StatusDecision decision;
    switch (status) {
    case 200:
    case 206:
        decision.outcome = StatusOutcome::kReadBody;
        break;
    case 407:
        decision.drainFirst = true;
        decision.outcome = StatusOutcome::kFailNamingProxy;
        break;
    case 401:
        decision.drainFirst = true;
        decision.outcome = StatusOutcome::kFailNamingStatus;
        break;
    default:
        decision.outcome = StatusOutcome::kFailNamingStatus;
        break;
    }
    return decision;
}

BodyVerdict JudgeBodyRead(bool readSucceeded, const char* data, std::size_t size) {
    if (!readSucceeded || size == 0) {
        return BodyVerdict::kAlive;
    }
    // Each read on its own must be the whole test file: a body split over two
    // reads ("O", "K") fails, as does "OK" with a line end.
    if (size == 2 && data[0] == 'O' && data[1] == 'K') {
        return BodyVerdict::kContinue;
    }
    return BodyVerdict::kNotAlive;
}

bool IsErrorPageChunk(const char* data, std::size_t size) {
    if (size < 2) {
        return false;
    }
    const std::string chunk(data, size);
    for (const char* token : kErrorTokens) {
        // A token at the very first byte does not count; any later one does.
        if (chunk.find(token, 1) != std::string::npos) {
            return true;
        }
    }
    return false;
}

FailureWeight WeighSendError(unsigned long error, unsigned long elapsedMs, unsigned long boundMs) {
    switch (error) {
    case 12029: // ERROR_INTERNET_CANNOT_CONNECT
    case 12031: // ERROR_INTERNET_CONNECTION_RESET
    case 12152: // ERROR_HTTP_INVALID_SERVER_RESPONSE
        return FailureWeight::kFinal;
    case 12030: // ERROR_INTERNET_CONNECTION_ABORTED
        return elapsedMs < boundMs / 2 ? FailureWeight::kFinal : FailureWeight::kPassing;
    default:
        return FailureWeight::kPassing;
    }
}

std::string SendFailedTrace(unsigned long error, const std::string& proxy) {
    return Format("Failed in call to HttpSendRequest, Error:%d -> ", static_cast<long>(error)) +
           proxy;
}

std::string StatusNamingProxyTrace(unsigned long status, const std::string& proxy) {
    return Format("Failed to retrieve a HTTP OK or partial content status, Status Code:%d -> ",
                  static_cast<long>(status)) +
           proxy;
}

std::string StatusOnlyTrace(unsigned long status) {
    return Format("Failed to retrieve a HTTP OK or partial content status, Status Code:%d\n",
                  static_cast<long>(status));
}

std::string ValidTrace(const std::string& proxy) {
    return "Valid ->" + proxy;
}

std::string ProxyText(const std::string& address, int port) {
    return address + ":" + std::to_string(port);
}

std::string ProgramNameFromPath(const std::string& modulePath) {
    const std::size_t slash = modulePath.find_last_of("\\/");
    std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

void CProbeGate::EnterCall() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_bExpired) {
        m_bInCall = true;
    }
}

bool CProbeGate::LeaveCall() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bInCall = false;
    return !m_bExpired;
}

bool CProbeGate::IsLive() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_bExpired;
}

bool CProbeGate::Settle() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bExpired) {
        return false;
    }
    m_bSettled = true;
    return true;
}

CProbeGate::Expiry CProbeGate::Expire() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bSettled) {
        return Expiry::kSettled;
    }
    if (m_bExpired) {
        return Expiry::kAbandoned;
    }
    m_bExpired = true;
    return m_bInCall ? Expiry::kCancelCall : Expiry::kAbandoned;
}

} // namespace probe
