#include "checker/judge_fetch.h"

// clang-format off
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <bcrypt.h>
// clang-format on

#include <memory>
#include <new>

#include "checker/judge_http.h"
#include "framework/url_parser.h"
#include "shared/build_urls.h"

namespace {

// Winsock for the life of the process, started by the first exchange.
class CWinsock {
public:
    CWinsock() { m_bReady = ::WSAStartup(MAKEWORD(2, 2), &m_data) == 0; }
    ~CWinsock() {
        if (m_bReady) {
            ::WSACleanup();
        }
    }
    CWinsock(const CWinsock&) = delete;
    CWinsock& operator=(const CWinsock&) = delete;
    bool Ready() const { return m_bReady; }

private:
    WSADATA m_data{};
    bool m_bReady = false;
};

bool WinsockReady() {
    static CWinsock winsock;
    return winsock.Ready();
}

struct CAddressInfoFree {
    void operator()(addrinfo* info) const { ::freeaddrinfo(info); }
};

// Waits until the socket can be written (connected) or read, or `ms` passed.
bool WaitFor(SOCKET socket, bool forWrite, DWORD ms) {
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket, &ready);
    FD_SET(socket, &failed);
    timeval wait{static_cast<long>(ms / 1000), static_cast<long>(ms % 1000) * 1000};
    const int count =
        ::select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, &failed, &wait);
    return count > 0 && FD_ISSET(socket, &ready);
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

CJudgeExchange::~CJudgeExchange() {
    Close();
}

void CJudgeExchange::Close() {
    if (m_socket != INVALID_SOCKET) {
        ::closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
}

bool CJudgeExchange::Send(const std::string& proxy, const std::string& token,
                          const std::string& userAgent, DWORD connectMs) {
    Close();
    m_bSent = false;
    ParsedUrl url;
    if (!WinsockReady() || token.empty() || !ParseUrl(BuildJudgeUrl(), url)) {
        return false;
    }
    std::string host = url.server;
    std::string port = std::to_string(url.port);
    if (!proxy.empty()) {
        const std::size_t colon = proxy.rfind(':');
        if (colon == std::string::npos || colon == 0) {
            return false;
        }
        host = proxy.substr(0, colon);
        port = proxy.substr(colon + 1);
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || found == nullptr) {
        m_nError = ::WSAGetLastError();
        return false;
    }
    const std::unique_ptr<addrinfo, CAddressInfoFree> addresses(found);
    m_socket = ::socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    u_long nonBlocking = 1;
    if (m_socket == INVALID_SOCKET || ::ioctlsocket(m_socket, FIONBIO, &nonBlocking) != 0) {
        m_nError = ::WSAGetLastError();
        Close();
        return false;
    }
    if (::connect(m_socket, found->ai_addr, static_cast<int>(found->ai_addrlen)) != 0 &&
        ::WSAGetLastError() != WSAEWOULDBLOCK) {
        m_nError = ::WSAGetLastError();
        Close();
        return false;
    }
    int error = 0;
    int size = sizeof error;
    if (!WaitFor(m_socket, true, connectMs) ||
        ::getsockopt(m_socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0 ||
        error != 0) {
        m_nError = error != 0 ? error : WSAETIMEDOUT;
        Close();
        return false;
    }
    // The request is a few hundred bytes: a fresh connection's buffer takes it whole.
    const std::string request = judge::RequestText(url, !proxy.empty(), token, userAgent);
    const int sent = ::send(m_socket, request.data(), static_cast<int>(request.size()), 0);
    if (sent != static_cast<int>(request.size())) {
        m_nError = sent < 0 ? ::WSAGetLastError() : WSAEWOULDBLOCK;
        Close();
        return false;
    }
    m_strToken = token;
    m_bSent = true;
    return true;
}

CJudgeAnswer CJudgeExchange::Receive(DWORD boundMs) {
    CJudgeAnswer answer;
    answer.m_bSent = m_bSent;
    answer.m_nError = m_nError;
    if (!m_bSent || m_socket == INVALID_SOCKET) {
        return answer;
    }
    judge::CAnswerReader reader;
    const DWORD started = ::GetTickCount();
    char buffer[4096];
    while (reader.Current() == judge::CAnswerReader::State::kMore) {
        const DWORD elapsed = ::GetTickCount() - started;
        if (elapsed >= boundMs || !WaitFor(m_socket, false, boundMs - elapsed)) {
            answer.m_nError = WSAETIMEDOUT;
            break;
        }
        const int read = ::recv(m_socket, buffer, sizeof buffer, 0);
        if (read > 0) {
            reader.Feed(std::string_view(buffer, static_cast<std::size_t>(read)));
        } else if (read == 0) {
            reader.Closed();
        } else if (::WSAGetLastError() != WSAEWOULDBLOCK) {
            answer.m_nError = ::WSAGetLastError();
            break;
        }
    }
    Close();
    answer.m_nStatus = reader.Status();
    answer.m_bWhole = reader.Current() == judge::CAnswerReader::State::kWhole;
    if (answer.m_bWhole) {
        answer.m_strBody = reader.Body();
    }
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
                const auto* b = reinterpret_cast<const unsigned char*>(&v4->sin_addr.s_addr);
                addresses.push_back(std::to_string(b[0]) + '.' + std::to_string(b[1]) + '.' +
                                    std::to_string(b[2]) + '.' + std::to_string(b[3]));
            }
        }
        return addresses;
    }
    return addresses;
}
