#include "checker/judge_fetch.h"

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <bcrypt.h>
#include <wininet.h>
// clang-format on

#include <memory>
#include <new>

#include "checker/checker_judge_rules.h"
#include "framework/url_parser.h"
#include "shared/build_urls.h"
#include "shared/probe_rules.h"

namespace {

struct CInternetCloser {
    void operator()(void* handle) const { ::InternetCloseHandle(static_cast<HINTERNET>(handle)); }
};
using CInternetPtr = std::unique_ptr<void, CInternetCloser>;

void SetTimeouts(HINTERNET handle, DWORD timeoutMs) {
    for (DWORD option : {static_cast<DWORD>(INTERNET_OPTION_CONNECT_TIMEOUT),
                         static_cast<DWORD>(INTERNET_OPTION_SEND_TIMEOUT),
                         static_cast<DWORD>(INTERNET_OPTION_RECEIVE_TIMEOUT)}) {
        DWORD value = timeoutMs;
        ::InternetSetOptionA(handle, option, &value, sizeof value);
    }
}

} // namespace

std::string FreshJudgeToken() {
    unsigned char bytes[16] = {};
    if (!BCRYPT_SUCCESS(
            ::BCryptGenRandom(nullptr, bytes, sizeof bytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
        return std::string();
    }
    static const char kHex[] = "0123456789abcdef";
    std::string token;
    for (unsigned char byte : bytes) {
        token += kHex[byte >> 4];
        token += kHex[byte & 0x0f];
    }
    return token;
}

CJudgeAnswer FetchJudge(const std::string& proxy, const std::string& userAgent,
                        const std::string& token, DWORD boundMs) {
    CJudgeAnswer answer;
    const DWORD started = ::GetTickCount();
    const DWORD timeoutMs = boundMs > 0 ? boundMs : 1;
    ParsedUrl url;
    if (!ParseUrl(BuildJudgeUrl(), url)) {
        return answer;
    }
    CInternetPtr session(::InternetOpenA(
        userAgent.c_str(), proxy.empty() ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PROXY,
        proxy.empty() ? nullptr : proxy.c_str(), nullptr, 0));
    if (!session) {
        answer.m_nError = ::GetLastError();
        return answer;
    }
    SetTimeouts(session.get(), timeoutMs);
    CInternetPtr connection(::InternetConnectA(session.get(), url.server.c_str(), url.port, nullptr,
                                               nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) {
        answer.m_nError = ::GetLastError();
        return answer;
    }
    const char* acceptTypes[] = {nullptr};
    // Without the keep-connection flag: Wine then asks for "Connection: close"
    // itself (it puts its own Keep-Alive over ours otherwise) and pools
    // nothing. A pooled direct connection to the update server would be handed
    // to the next probe of the same server through any proxy.
    const DWORD flags =
        probe::RequestFlagsFor(url.service) & ~static_cast<DWORD>(INTERNET_FLAG_KEEP_CONNECTION);
    CInternetPtr request(::HttpOpenRequestA(connection.get(), nullptr, url.object.c_str(),
                                            "HTTP/1.1", nullptr, acceptTypes, flags, 0));
    if (!request) {
        answer.m_nError = ::GetLastError();
        return answer;
    }
    SetTimeouts(request.get(), timeoutMs);
    const std::string headers =
        std::string(probe::kCloseConnectionHeader) + judge::kTokenHeader + ": " + token + "\r\n";
    if (!::HttpSendRequestA(request.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                            nullptr, 0)) {
        answer.m_nError = ::GetLastError();
        return answer;
    }
    DWORD length = sizeof answer.m_nStatus;
    if (!::HttpQueryInfoA(request.get(), probe::kStatusQuery, &answer.m_nStatus, &length,
                          nullptr)) {
        answer.m_nError = ::GetLastError();
        return answer;
    }
    answer.m_bSent = true;
    // A blocking read waits for its whole size, which a page that trickles in
    // never gives: each read takes only what has arrived, so the clock is
    // looked at between arrivals. Each wait for more ends by the receive
    // time-out, set to what is left of the bound; the byte bound ends a page
    // that is too big.
    char buffer[4096];
    while (answer.m_strBody.size() <= judge::kMaxPageBytes) {
        const DWORD elapsed = ::GetTickCount() - started;
        if (elapsed >= timeoutMs) {
            break;
        }
        DWORD left = timeoutMs - elapsed;
        ::InternetSetOptionA(request.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &left, sizeof left);
        DWORD available = 0;
        if (!::InternetQueryDataAvailable(request.get(), &available, 0, 0)) {
            return answer;
        }
        if (available == 0) {
            answer.m_bWhole = true;
            return answer;
        }
        const std::size_t room = judge::kMaxPageBytes + 1 - answer.m_strBody.size();
        DWORD want = available < sizeof buffer ? available : static_cast<DWORD>(sizeof buffer);
        want = want < room ? want : static_cast<DWORD>(room);
        DWORD read = 0;
        if (!::InternetReadFile(request.get(), buffer, want, &read)) {
            return answer;
        }
        if (read == 0) {
            answer.m_bWhole = true;
            return answer;
        }
        answer.m_strBody.append(buffer, read);
    }
    // Cut short by a bound: whatever was read is no whole page.
    return answer;
}

std::vector<std::string> MachineAddresses() {
    std::vector<std::string> addresses;
    ULONG size = 16 * 1024;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[size]);
        if (!buffer) {
            return addresses;
        }
        auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get());
        const ULONG result = ::GetAdaptersAddresses(
            AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
            nullptr, first, &size);
        if (result == ERROR_BUFFER_OVERFLOW) {
            continue;
        }
        if (result != NO_ERROR) {
            return addresses;
        }
        for (const IP_ADAPTER_ADDRESSES* adapter = first; adapter != nullptr;
             adapter = adapter->Next) {
            for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress;
                 unicast != nullptr; unicast = unicast->Next) {
                const SOCKADDR* address = unicast->Address.lpSockaddr;
                if (address == nullptr || address->sa_family != AF_INET) {
                    continue;
                }
                const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
                const unsigned char* b =
                    reinterpret_cast<const unsigned char*>(&v4->sin_addr.s_addr);
                addresses.push_back(std::to_string(b[0]) + '.' + std::to_string(b[1]) + '.' +
                                    std::to_string(b[2]) + '.' + std::to_string(b[3]));
            }
        }
        return addresses;
    }
    return addresses;
}
