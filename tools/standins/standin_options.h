// Command lines of the two stand-ins.
#pragma once

#include "tools/standins/farm_behaviour.h"
#include "tools/standins/update_pages.h"

#include <string>
#include <string_view>
#include <vector>

namespace standins {

constexpr int kDefaultLifetimeSeconds = 1800;

struct FarmOptions {
    std::string state_dir = ".";
    int port_offset = 0;
    int lifetime_seconds = kDefaultLifetimeSeconds;
    bool fixed_ports = true;
    std::vector<ExtraPorts> extras;
    std::string pid_file;
};

// proxy_farm [--state DIR] [--port-offset N] [--lifetime-seconds N]
//            [--extra BEHAVIOUR:FIRST:COUNT]... [--no-fixed-ports] [--pid-file FILE]
bool ParseFarmOptions(const std::vector<std::string>& args, FarmOptions& out, std::string& error);

// Every port the farm opens: the fixed table (unless left out) and the extra
// ranges, all shifted by the offset. Fails on ports out of range or given twice.
bool PlanFarmPorts(const FarmOptions& options, std::vector<PortBehaviour>& out, std::string& error);

struct UpdateServerOptions {
    int port = 0;
    std::string root;
    ServerMode mode = ServerMode::kOk;
    std::string state_dir; // defaults to the root's parent folder
    int lifetime_seconds = kDefaultLifetimeSeconds;
    std::string pid_file;
};

// update_server --port P --root DIR [--mode ok|error|down] [--state DIR]
//               [--lifetime-seconds N] [--pid-file FILE]
bool ParseUpdateServerOptions(const std::vector<std::string>& args, UpdateServerOptions& out,
                              std::string& error);

// "/a/b/www" -> "/a/b", "www" -> ".", "/www" -> "/"; trailing slashes ignored.
std::string ParentDirectory(std::string_view path);

} // namespace standins
