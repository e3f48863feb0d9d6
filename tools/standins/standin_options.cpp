#include "tools/standins/standin_options.h"

#include <charconv>
#include <set>

namespace standins {
namespace {

// Walks "--name value" and "--name=value" arguments.
class CArgReader {
public:
    explicit CArgReader(const std::vector<std::string>& args) : m_args(args) {}

    bool Next(std::string& name) {
        if (m_nIndex >= m_args.size()) {
            return false;
        }
        const std::string& arg = m_args[m_nIndex++];
        const std::size_t eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            m_strInlineValue = arg.substr(eq + 1);
            m_bHasInline = true;
        } else {
            name = arg;
            m_bHasInline = false;
        }
        return true;
    }

    bool Value(const std::string& name, std::string& value, std::string& error) {
        if (m_bHasInline) {
            value = m_strInlineValue;
            m_bHasInline = false;
            return true;
        }
        if (m_nIndex >= m_args.size()) {
            error = name + " needs a value";
            return false;
        }
        value = m_args[m_nIndex++];
        return true;
    }

    bool IntValue(const std::string& name, int min, int max, int& out, std::string& error) {
        std::string text;
        if (!Value(name, text, error)) {
            return false;
        }
        int value = 0;
        const char* end = text.data() + text.size();
        const auto result = std::from_chars(text.data(), end, value);
        if (text.empty() || result.ec != std::errc() || result.ptr != end || value < min ||
            value > max) {
            error = name + " must be a number from " + std::to_string(min) + " to " +
                    std::to_string(max);
            return false;
        }
        out = value;
        return true;
    }

    bool NoInlineValue(const std::string& name, std::string& error) {
        if (m_bHasInline) {
            error = name + " takes no value";
            return false;
        }
        return true;
    }

private:
    const std::vector<std::string>& m_args;
    std::size_t m_nIndex = 0;
    std::string m_strInlineValue;
    bool m_bHasInline = false;
};

constexpr int kMaxLifetimeSeconds = 7 * 24 * 3600;

} // namespace

bool ParseFarmOptions(const std::vector<std::string>& args, CFarmOptions& out, std::string& error) {
    CFarmOptions options;
    CArgReader reader(args);
    std::string name;
    while (reader.Next(name)) {
        if (name == "--state") {
            if (!reader.Value(name, options.m_strStateDir, error)) {
                return false;
            }
        } else if (name == "--port-offset") {
            if (!reader.IntValue(name, -65535, 65535, options.m_nPortOffset, error)) {
                return false;
            }
        } else if (name == "--lifetime-seconds") {
            if (!reader.IntValue(name, 1, kMaxLifetimeSeconds, options.m_nLifetimeSeconds, error)) {
                return false;
            }
        } else if (name == "--extra") {
            std::string extraText;
            CExtraPorts extra;
            if (!reader.Value(name, extraText, error)) {
                return false;
            }
            if (!ParseExtraPorts(extraText, extra, error)) {
                error = "--extra " + extraText + ": " + error;
                return false;
            }
            options.m_extras.push_back(extra);
        } else if (name == "--no-fixed-ports") {
            if (!reader.NoInlineValue(name, error)) {
                return false;
            }
            options.m_bFixedPorts = false;
        } else if (name == "--pid-file") {
            if (!reader.Value(name, options.m_strPidFile, error)) {
                return false;
            }
        } else {
            error = "unknown argument '" + name + "'";
            return false;
        }
    }
    if (options.m_strStateDir.empty()) {
        error = "--state must not be empty";
        return false;
    }
    out = std::move(options);
    return true;
}

bool PlanFarmPorts(const CFarmOptions& options, std::vector<CPortBehaviour>& out,
                   std::string& error) {
    std::vector<CPortBehaviour> plan;
    if (options.m_bFixedPorts) {
        plan = FixedFarmPorts(options.m_nPortOffset);
    }
    for (const CExtraPorts& extra : options.m_extras) {
        for (int i = 0; i < extra.m_nCount; ++i) {
            plan.push_back(CPortBehaviour{extra.m_nFirstPort + i + options.m_nPortOffset,
                                          extra.m_behaviour, extra.m_nDelaySeconds});
        }
    }
    if (plan.empty()) {
        error = "no ports to open";
        return false;
    }
    std::set<int> seen;
    for (const CPortBehaviour& pb : plan) {
        if (pb.m_nPort < 1 || pb.m_nPort > 65535) {
            error = "port " + std::to_string(pb.m_nPort) + " is out of range";
            return false;
        }
        if (!seen.insert(pb.m_nPort).second) {
            error = "port " + std::to_string(pb.m_nPort) + " is given twice";
            return false;
        }
    }
    out = std::move(plan);
    return true;
}

bool ParseUpdateServerOptions(const std::vector<std::string>& args, CUpdateServerOptions& out,
                              std::string& error) {
    CUpdateServerOptions options;
    CArgReader reader(args);
    std::string name;
    while (reader.Next(name)) {
        if (name == "--port") {
            if (!reader.IntValue(name, 1, 65535, options.m_nPort, error)) {
                return false;
            }
        } else if (name == "--root") {
            if (!reader.Value(name, options.m_strRoot, error)) {
                return false;
            }
        } else if (name == "--mode") {
            std::string text;
            if (!reader.Value(name, text, error)) {
                return false;
            }
            const std::optional<ServerMode> mode = ParseServerMode(text);
            if (!mode) {
                error = "--mode must be ok, error or down";
                return false;
            }
            options.m_mode = *mode;
        } else if (name == "--state") {
            if (!reader.Value(name, options.m_strStateDir, error)) {
                return false;
            }
        } else if (name == "--lifetime-seconds") {
            if (!reader.IntValue(name, 1, kMaxLifetimeSeconds, options.m_nLifetimeSeconds, error)) {
                return false;
            }
        } else if (name == "--pid-file") {
            if (!reader.Value(name, options.m_strPidFile, error)) {
                return false;
            }
        } else if (name == "--tls-cert") {
            if (!reader.Value(name, options.m_strTlsCertFile, error)) {
                return false;
            }
        } else if (name == "--tls-key") {
            if (!reader.Value(name, options.m_strTlsKeyFile, error)) {
                return false;
            }
        } else {
            error = "unknown argument '" + name + "'";
            return false;
        }
    }
    if (options.m_nPort == 0) {
        error = "--port is required";
        return false;
    }
    if (options.m_strTlsCertFile.empty() != options.m_strTlsKeyFile.empty()) {
        error = "--tls-cert and --tls-key go together";
        return false;
    }
    if (options.m_strRoot.empty()) {
        error = "--root is required";
        return false;
    }
    if (options.m_strStateDir.empty()) {
        options.m_strStateDir = ParentDirectory(options.m_strRoot);
    }
    out = std::move(options);
    return true;
}

std::string ParentDirectory(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return ".";
    }
    if (slash == 0) {
        return "/";
    }
    return std::string(path.substr(0, slash));
}

} // namespace standins
