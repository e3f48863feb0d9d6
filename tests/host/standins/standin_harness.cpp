#include "tests/host/standins/standin_harness.h"

#include <arpa/inet.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace standins::testing {
namespace {

using Clock = std::chrono::steady_clock;

bool TimeLeft(Clock::time_point deadline) {
    return Clock::now() < deadline;
}

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

CScratchDir::CScratchDir() {
    char pattern[] = "/tmp/standins-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    m_strPath = made != nullptr ? made : "";
}

CScratchDir::~CScratchDir() {
    if (!m_strPath.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_strPath, ignored);
    }
}

CChildProcess::~CChildProcess() {
    if (m_nPid > 0 && !m_exitStatus) {
        kill(m_nPid, SIGKILL);
        WaitExit(5000);
    }
}

bool CChildProcess::Start(const std::vector<std::string>& argv, const std::string& output_file) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        return false;
    }
    if (pid == 0) {
        const int out = open(output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = open("/dev/null", O_RDONLY);
        if (out >= 0) {
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
        }
        if (in >= 0) {
            dup2(in, STDIN_FILENO);
        }
        execv(args[0], args.data());
        _exit(127);
    }
    m_nPid = pid;
    m_exitStatus.reset();
    return true;
}

bool CChildProcess::Signal(int sig) const {
    return m_nPid > 0 && !m_exitStatus && kill(m_nPid, sig) == 0;
}

std::optional<int> CChildProcess::WaitExit(int timeout_ms) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (m_nPid > 0 && !m_exitStatus) {
        int status = 0;
        const pid_t done = waitpid(m_nPid, &status, WNOHANG);
        if (done == m_nPid) {
            m_exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (done < 0 || !TimeLeft(deadline)) {
            break;
        }
        Pause(20);
    }
    return m_exitStatus;
}

bool CChildProcess::Running() {
    return m_nPid > 0 && !WaitExit(0);
}

bool PortIsFree(int port) {
    std::string error;
    return ListenLoopback(port, error).IsValid();
}

namespace {

// Offsets move the 18000..18199 range into one of these blocks of 200 ports.
constexpr int kBlockSize = 200;
constexpr int kBlockCount = 175; // up to port 64999
constexpr int kFirstBlockPort = 30000;

int BlockOffset(int block) {
    return kFirstBlockPort - 18000 + block * kBlockSize;
}

bool AllFree(const std::vector<int>& ports, int offset) {
    for (int port : ports) {
        if (port < 18000 || port >= 18000 + kBlockSize || !PortIsFree(port + offset)) {
            return false;
        }
    }
    return true;
}

// Blocks this process holds: their lock files stay open until it exits, so
// test programs running side by side never pick the same block.
std::vector<int>& HeldBlocks() {
    static std::vector<int> held;
    return held;
}

} // namespace

int FindFreeOffset(const std::vector<int>& ports) {
    for (int block : HeldBlocks()) {
        if (AllFree(ports, BlockOffset(block))) {
            return BlockOffset(block);
        }
    }
    const int seed = static_cast<int>(getpid() % kBlockCount);
    for (int attempt = 0; attempt < kBlockCount; ++attempt) {
        const int block = (seed + attempt) % kBlockCount;
        const std::string lock = "/tmp/standins-test-ports-" + std::to_string(block) + ".lock";
        const int fd = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            continue;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0 || !AllFree(ports, BlockOffset(block))) {
            close(fd);
            continue;
        }
        HeldBlocks().push_back(block);
        return BlockOffset(block);
    }
    return 0;
}

bool WaitUntilAccepting(int port, int timeout_ms) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    do {
        Io status = Io::kOk;
        if (ConnectLoopback(port, 500, status).IsValid()) {
            return true;
        }
        Pause(50);
    } while (TimeLeft(deadline));
    return false;
}

bool WaitUntilRefused(int port, int timeout_ms) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    do {
        Io status = Io::kOk;
        CUniqueFd fd = ConnectLoopback(port, 500, status);
        if (!fd.IsValid() && status == Io::kClosed) {
            return true;
        }
        Pause(50);
    } while (TimeLeft(deadline));
    return false;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool WriteFile(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    return static_cast<bool>(file);
}

bool WaitForFileText(const std::string& path, const std::string& text, int timeout_ms) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    do {
        if (ReadFile(path).find(text) != std::string::npos) {
            return true;
        }
        Pause(20);
    } while (TimeLeft(deadline));
    return false;
}

bool CClient::Connect(int port, int timeout_ms) {
    Io status = Io::kOk;
    m_socket = ConnectLoopback(port, timeout_ms, status);
    m_strBuffer.clear();
    return m_socket.IsValid();
}

bool CClient::Send(const std::string& bytes) {
    return SendAll(m_socket.Get(), bytes, 5000) == Io::kOk;
}

std::optional<CReply> CClient::Read(int timeout_ms) {
    std::size_t head_end = 0;
    if (ReceiveHead(m_socket.Get(), m_strBuffer, 1024 * 1024, timeout_ms, head_end) != Io::kOk) {
        return std::nullopt;
    }
    CReply reply;
    if (!ParseResponseHead(std::string_view(m_strBuffer).substr(0, head_end), reply.m_head)) {
        return std::nullopt;
    }
    std::size_t length = 0;
    if (ContentLength(reply.m_head.m_headers, length) != LengthStatus::kValid) {
        return std::nullopt;
    }
    m_strBuffer.erase(0, head_end);
    if (ReceiveAtLeast(m_socket.Get(), m_strBuffer, length, timeout_ms) != Io::kOk) {
        return std::nullopt;
    }
    reply.m_strBody = m_strBuffer.substr(0, length);
    m_strBuffer.erase(0, length);
    return reply;
}

std::optional<std::string> CClient::ReadToEnd(int timeout_ms) {
    std::string all = std::move(m_strBuffer);
    m_strBuffer.clear();
    if (ReceiveToEnd(m_socket.Get(), all, 64 * 1024 * 1024, timeout_ms) != Io::kOk) {
        return std::nullopt;
    }
    return all;
}

std::string CClient::ReadFor(int timeout_ms) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    std::string got = std::move(m_strBuffer);
    m_strBuffer.clear();
    while (TimeLeft(deadline)) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (ReceiveSome(m_socket.Get(), got, 64 * 1024, static_cast<int>(left) + 1) != Io::kOk) {
            break;
        }
    }
    return got;
}

std::string GetRequest(const std::string& target, const std::vector<std::string>& extra) {
    std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    for (const std::string& line : extra) {
        request += line + "\r\n";
    }
    return request + "\r\n";
}

std::optional<CReply> Fetch(int port, const std::string& request, int timeout_ms) {
    CClient client;
    if (!client.Connect(port) || !client.Send(request)) {
        return std::nullopt;
    }
    return client.Read(timeout_ms);
}

std::optional<std::string> TlsExchange(int port, const std::string& ca_file,
                                       const std::string& request, int timeout_ms) {
    Io status = Io::kOk;
    CUniqueFd fd = ConnectLoopback(port, timeout_ms, status);
    if (!fd.IsValid()) {
        return std::nullopt;
    }
    // Blocking from here, each call bounded by the socket's time-outs.
    fcntl(fd.Get(), F_SETFL, fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
    const timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    setsockopt(fd.Get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    const std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context(
        SSL_CTX_new(TLS_client_method()), &SSL_CTX_free);
    if (!context || SSL_CTX_load_verify_locations(context.get(), ca_file.c_str(), nullptr) != 1) {
        return std::nullopt;
    }
    SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER, nullptr);
    const std::unique_ptr<SSL, decltype(&SSL_free)> ssl(SSL_new(context.get()), &SSL_free);
    if (!ssl || X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl.get()), "127.0.0.1") != 1 ||
        SSL_set_fd(ssl.get(), fd.Get()) != 1 || SSL_connect(ssl.get()) != 1) {
        return std::nullopt;
    }
    std::size_t written = 0;
    if (SSL_write_ex(ssl.get(), request.data(), request.size(), &written) != 1) {
        return std::nullopt;
    }
    std::string reply;
    char buffer[4096];
    std::size_t got = 0;
    while (SSL_read_ex(ssl.get(), buffer, sizeof buffer, &got) == 1) {
        reply.append(buffer, got);
    }
    return reply;
}

} // namespace standins::testing
