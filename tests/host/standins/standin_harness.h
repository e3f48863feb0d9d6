// Helpers for tests that run the stand-ins as real processes: a child
// process owner, a scratch folder, free loopback ports and a small client.
#pragma once

#include "tools/standins/http_head.h"
#include "tools/standins/posix_socket.h"

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace standins::testing {

// A scratch folder, removed with everything in it.
class CScratchDir {
public:
    CScratchDir();
    ~CScratchDir();
    CScratchDir(const CScratchDir&) = delete;
    CScratchDir& operator=(const CScratchDir&) = delete;
    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};

// A child process; killed and reaped by the destructor if still running.
class CChildProcess {
public:
    CChildProcess() = default;
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // Runs `argv` with stdout and stderr going to `output_file`.
    bool Start(const std::vector<std::string>& argv, const std::string& output_file);
    pid_t Pid() const { return m_nPid; }
    bool Signal(int sig) const;
    // The exit status once the child has ended within the time, else nullopt.
    std::optional<int> WaitExit(int timeout_ms);
    bool Running();

private:
    pid_t m_nPid = -1;
    std::optional<int> m_exitStatus;
};

// Every port of `ports` (all within 18000..18199) shifted by the returned
// offset is free right now, and no other test process uses that shift; 0
// when no such offset is found.
int FindFreeOffset(const std::vector<int>& ports);
bool PortIsFree(int port);
// Waits until 127.0.0.1:port accepts a connection.
bool WaitUntilAccepting(int port, int timeout_ms);
bool WaitUntilRefused(int port, int timeout_ms);

std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& content);
// Waits until the file holds `text`.
bool WaitForFileText(const std::string& path, const std::string& text, int timeout_ms);

struct CReply {
    CResponseHead m_head;
    std::string m_strBody;
};

// A plain socket client for one connection.
class CClient {
public:
    bool Connect(int port, int timeout_ms = 2000);
    bool Send(const std::string& bytes);
    // One response framed by its Content-Length.
    std::optional<CReply> Read(int timeout_ms = 5000);
    // Everything until the server closes.
    std::optional<std::string> ReadToEnd(int timeout_ms = 5000);
    // Bytes that arrive within the time (whatever came; maybe none).
    std::string ReadFor(int timeout_ms);
    int Fd() const { return m_socket.Get(); }

private:
    CUniqueFd m_socket;
    std::string m_strBuffer;
};

// "GET <target> HTTP/1.1" with Host and any extra header lines, then the blank line.
std::string GetRequest(const std::string& target, const std::vector<std::string>& extra = {});

// Sends `request` over TLS, checking the server's certificate against the
// authority in `ca_file` and its address 127.0.0.1; everything until the
// server closes, or nullopt when the handshake or the check fails.
std::optional<std::string> TlsExchange(int port, const std::string& ca_file,
                                       const std::string& request, int timeout_ms = 5000);

// One request, one response, on a fresh connection.
std::optional<CReply> Fetch(int port, const std::string& request, int timeout_ms = 5000);

} // namespace standins::testing
