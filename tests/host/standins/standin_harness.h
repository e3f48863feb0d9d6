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
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A child process; killed and reaped by the destructor if still running.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Runs `argv` with stdout and stderr going to `output_file`.
    bool Start(const std::vector<std::string>& argv, const std::string& output_file);
    pid_t pid() const { return pid_; }
    bool Signal(int sig) const;
    // The exit status once the child has ended within the time, else nullopt.
    std::optional<int> WaitExit(int timeout_ms);
    bool Running();

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
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

struct Reply {
    ResponseHead head;
    std::string body;
};

// A plain socket client for one connection.
class Client {
public:
    bool Connect(int port, int timeout_ms = 2000);
    bool Send(const std::string& bytes);
    // One response framed by its Content-Length.
    std::optional<Reply> Read(int timeout_ms = 5000);
    // Everything until the server closes.
    std::optional<std::string> ReadToEnd(int timeout_ms = 5000);
    // Bytes that arrive within the time (whatever came; maybe none).
    std::string ReadFor(int timeout_ms);
    int fd() const { return fd_.get(); }

private:
    UniqueFd fd_;
    std::string buffer_;
};

// "GET <target> HTTP/1.1" with Host and any extra header lines, then the blank line.
std::string GetRequest(const std::string& target, const std::vector<std::string>& extra = {});

// One request, one response, on a fresh connection.
std::optional<Reply> Fetch(int port, const std::string& request, int timeout_ms = 5000);

} // namespace standins::testing
