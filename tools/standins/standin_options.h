// Command lines of the two stand-ins.
#pragma once

#include "tools/standins/farm_behaviour.h"
#include "tools/standins/update_pages.h"

#include <string>
#include <string_view>
#include <vector>

namespace standins {

constexpr int kDefaultLifetimeSeconds = 1800;

struct CFarmOptions {
    std::string m_strStateDir = ".";
    int m_nPortOffset = 0;
    int m_nLifetimeSeconds = kDefaultLifetimeSeconds;
    bool m_bFixedPorts = true;
    std::vector<CExtraPorts> m_extras;
    std::string m_strPidFile;
};

// proxy_farm [--state DIR] [--port-offset N] [--lifetime-seconds N]
//            [--extra BEHAVIOUR:FIRST:COUNT]... [--no-fixed-ports] [--pid-file FILE]
bool ParseFarmOptions(const std::vector<std::string>& args, CFarmOptions& out, std::string& error);

// Every port the farm opens: the fixed table (unless left out) and the extra
// ranges, all shifted by the offset. Fails on ports out of range or given twice.
bool PlanFarmPorts(const CFarmOptions& options, std::vector<CPortBehaviour>& out,
                   std::string& error);

struct CUpdateServerOptions {
    int m_nPort = 0;
    std::string m_strRoot;
    ServerMode m_mode = ServerMode::kOk;
    std::string m_strStateDir; // defaults to the root's parent folder
    int m_nLifetimeSeconds = kDefaultLifetimeSeconds;
    std::string m_strPidFile;
    // PEM files; both set: every connection is TLS.
    std::string m_strTlsCertFile; // the server's certificate, then its issuers
    std::string m_strTlsKeyFile;
};

// update_server --port P --root DIR [--mode ok|error|down|nojudge] [--state DIR]
//               [--lifetime-seconds N] [--pid-file FILE]
//               [--tls-cert CHAIN.pem --tls-key KEY.pem]
bool ParseUpdateServerOptions(const std::vector<std::string>& args, CUpdateServerOptions& out,
                              std::string& error);

// "/a/b/www" -> "/a/b", "www" -> ".", "/www" -> "/"; trailing slashes ignored.
std::string ParentDirectory(std::string_view path);

} // namespace standins
