// The probe's verdict rules against plain reference rules written here: the
// error-page token rule, the status table and the body-read judgement, the
// trace and name helpers that take outside text, and the probe gate driven
// through any order of its calls against a model of its protocol.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "shared/probe_rules.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// A token counts when it starts at any byte after the first and fits whole.
bool ReferenceIsErrorPage(const char* data, std::size_t size) {
    static const char* const kTokens[] = {"ERROR", "following", "encountered", "was",
                                          "Cannot find server"};
    for (std::size_t at = 1; at < size; ++at) {
        for (const char* token : kTokens) {
            const std::size_t length = std::strlen(token);
            if (length <= size - at && std::memcmp(data + at, token, length) == 0) {
                return true;
            }
        }
    }
    return false;
}

void CheckStatus(unsigned long status) {
    const probe::StatusDecision decision = probe::DecideStatus(status);
    const bool body = status == 200 || status == 206;
    FUZZ_CHECK((decision.outcome == probe::StatusOutcome::kReadBody) == body);
    FUZZ_CHECK((decision.outcome == probe::StatusOutcome::kFailNamingProxy) == (status == 407));
    FUZZ_CHECK(decision.drainFirst == (status == 407 || status == 401));
}

// Every status prints as %d of its int value, whole and on one line.
void CheckTraces(unsigned long status, const std::string& proxy) {
    char number[32];
    std::snprintf(number, sizeof number, "%d", static_cast<int>(status));
    const std::string only = probe::StatusOnlyTrace(status);
    FUZZ_CHECK(only.size() >= 2 && only.back() == '\n');
    FUZZ_CHECK(only.find(number) != std::string::npos);
    const std::string naming = probe::StatusNamingProxyTrace(status, proxy);
    FUZZ_CHECK(naming.size() >= proxy.size() &&
               naming.compare(naming.size() - proxy.size(), proxy.size(), proxy) == 0);
    FUZZ_CHECK(naming.find(number) != std::string::npos);
    const std::string send = probe::SendFailedTrace(status, proxy);
    FUZZ_CHECK(send.find(std::string(number) + " -> " + proxy) != std::string::npos);
}

// The file name after the last separator, up to its last dot (a name may hold dots).
void CheckProgramName(const std::string& path) {
    const std::string name = probe::ProgramNameFromPath(path);
    const std::size_t slash = path.find_last_of("\\/");
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    FUZZ_CHECK(file.compare(0, name.size(), name) == 0);
    FUZZ_CHECK(name.size() == file.size() || file[name.size()] == '.');
    FUZZ_CHECK(file.find('.', name.size() + 1) == std::string::npos);
}

// The gate on one thread, the calls in the order the bytes give: whoever
// comes first of Settle() and Expire() owns the outcome, and only the first
// Expire() during a call may close the call's handle.
void CheckGate(const std::string& calls) {
    probe::CProbeGate gate;
    bool inCall = false;
    bool settled = false;
    bool expired = false;
    for (const char call : calls) {
        switch (static_cast<unsigned char>(call) % 5) {
        case 0:
            gate.EnterCall();
            inCall = !expired;
            break;
        case 1:
            FUZZ_CHECK(gate.LeaveCall() == !expired);
            inCall = false;
            break;
        case 2:
            FUZZ_CHECK(gate.IsLive() == !expired);
            break;
        case 3:
            FUZZ_CHECK(gate.Settle() == !expired);
            settled = settled || !expired;
            break;
        default: {
            const probe::CProbeGate::Expiry expiry = gate.Expire();
            if (settled) {
                FUZZ_CHECK(expiry == probe::CProbeGate::Expiry::kSettled);
            } else if (!expired && inCall) {
                FUZZ_CHECK(expiry == probe::CProbeGate::Expiry::kCancelCall);
            } else {
                FUZZ_CHECK(expiry == probe::CProbeGate::Expiry::kAbandoned);
            }
            expired = expired || !settled;
            break;
        }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const auto status = static_cast<unsigned long>(provider.ConsumeIntegral<std::uint32_t>());
    const bool readSucceeded = provider.ConsumeBool();
    const std::string chunk = provider.ConsumeRemainingBytesAsString();

    FUZZ_CHECK(probe::IsErrorPageChunk(chunk.data(), chunk.size()) ==
               ReferenceIsErrorPage(chunk.data(), chunk.size()));
    CheckStatus(status);
    CheckStatus(status % 1000);

    // Only one read of exactly "OK" reads on; a failed or empty read ends alive.
    const probe::BodyVerdict verdict =
        probe::JudgeBodyRead(readSucceeded, chunk.data(), chunk.size());
    if (!readSucceeded || chunk.empty()) {
        FUZZ_CHECK(verdict == probe::BodyVerdict::kAlive);
    } else if (chunk == "OK") {
        FUZZ_CHECK(verdict == probe::BodyVerdict::kContinue);
    } else {
        FUZZ_CHECK(verdict == probe::BodyVerdict::kNotAlive);
    }

    CheckGate(chunk);
    const auto service = static_cast<UrlService>(status % 3);
    FUZZ_CHECK(
        probe::RequestFlagsFor(service) ==
        (service == UrlService::kHttps ? probe::kRequestFlagsHttps : probe::kRequestFlagsHttp));
    CheckTraces(status, chunk);
    FUZZ_CHECK(probe::ValidTrace(chunk) == "Valid ->" + chunk);
    CheckProgramName(chunk);
    FUZZ_CHECK(probe::ProxyText(chunk, static_cast<int>(status)) ==
               chunk + ":" + std::to_string(static_cast<int>(status)));
    return 0;
}
