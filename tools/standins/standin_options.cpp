#include "tools/standins/standin_options.h"

#include <charconv>
#include <set>

namespace standins {
namespace {

// Walks "--name value" and "--name=value" arguments.
class ArgReader {
public:
    explicit ArgReader(const std::vector<std::string>& args) : args_(args) {}

    bool Next(std::string& name) {
        if (index_ >= args_.size()) {
            return false;
        }
        const std::string& arg = args_[index_++];
        const std::size_t eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            inline_value_ = arg.substr(eq + 1);
            has_inline_ = true;
        } else {
            name = arg;
            has_inline_ = false;
        }
        return true;
    }

    bool Value(const std::string& name, std::string& value, std::string& error) {
        if (has_inline_) {
            value = inline_value_;
            has_inline_ = false;
            return true;
        }
        if (index_ >= args_.size()) {
            error = name + " needs a value";
            return false;
        }
        value = args_[index_++];
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
        if (has_inline_) {
            error = name + " takes no value";
            return false;
        }
        return true;
    }

private:
    const std::vector<std::string>& args_;
    std::size_t index_ = 0;
    std::string inline_value_;
    bool has_inline_ = false;
};

constexpr int kMaxLifetimeSeconds = 7 * 24 * 3600;

} // namespace

bool ParseFarmOptions(const std::vector<std::string>& args, FarmOptions& out, std::string& error) {
    FarmOptions options;
    ArgReader reader(args);
    std::string name;
    while (reader.Next(name)) {
        if (name == "--state") {
            if (!reader.Value(name, options.state_dir, error)) {
                return false;
            }
        } else if (name == "--port-offset") {
            if (!reader.IntValue(name, -65535, 65535, options.port_offset, error)) {
                return false;
            }
        } else if (name == "--lifetime-seconds") {
            if (!reader.IntValue(name, 1, kMaxLifetimeSeconds, options.lifetime_seconds, error)) {
                return false;
            }
        } else if (name == "--extra") {
            std::string extraText;
            ExtraPorts extra;
            if (!reader.Value(name, extraText, error)) {
                return false;
            }
            if (!ParseExtraPorts(extraText, extra, error)) {
                error = "--extra " + extraText + ": " + error;
                return false;
            }
            options.extras.push_back(extra);
        } else if (name == "--no-fixed-ports") {
            if (!reader.NoInlineValue(name, error)) {
                return false;
            }
            options.fixed_ports = false;
        } else if (name == "--pid-file") {
            if (!reader.Value(name, options.pid_file, error)) {
                return false;
            }
        } else {
            error = "unknown argument '" + name + "'";
            return false;
        }
    }
    if (options.state_dir.empty()) {
        error = "--state must not be empty";
        return false;
    }
    out = std::move(options);
    return true;
}

bool PlanFarmPorts(const FarmOptions& options, std::vector<PortBehaviour>& out,
                   std::string& error) {
    std::vector<PortBehaviour> plan;
    if (options.fixed_ports) {
        plan = FixedFarmPorts(options.port_offset);
    }
    for (const ExtraPorts& extra : options.extras) {
        for (int i = 0; i < extra.count; ++i) {
            plan.push_back(PortBehaviour{extra.first_port + i + options.port_offset,
                                         extra.behaviour, extra.delay_seconds});
        }
    }
    if (plan.empty()) {
        error = "no ports to open";
        return false;
    }
    std::set<int> seen;
    for (const PortBehaviour& pb : plan) {
        if (pb.port < 1 || pb.port > 65535) {
            error = "port " + std::to_string(pb.port) + " is out of range";
            return false;
        }
        if (!seen.insert(pb.port).second) {
            error = "port " + std::to_string(pb.port) + " is given twice";
            return false;
        }
    }
    out = std::move(plan);
    return true;
}

bool ParseUpdateServerOptions(const std::vector<std::string>& args, UpdateServerOptions& out,
                              std::string& error) {
    UpdateServerOptions options;
    ArgReader reader(args);
    std::string name;
    while (reader.Next(name)) {
        if (name == "--port") {
            if (!reader.IntValue(name, 1, 65535, options.port, error)) {
                return false;
            }
        } else if (name == "--root") {
            if (!reader.Value(name, options.root, error)) {
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
            options.mode = *mode;
        } else if (name == "--state") {
            if (!reader.Value(name, options.state_dir, error)) {
                return false;
            }
        } else if (name == "--lifetime-seconds") {
            if (!reader.IntValue(name, 1, kMaxLifetimeSeconds, options.lifetime_seconds, error)) {
                return false;
            }
        } else if (name == "--pid-file") {
            if (!reader.Value(name, options.pid_file, error)) {
                return false;
            }
        } else {
            error = "unknown argument '" + name + "'";
            return false;
        }
    }
    if (options.port == 0) {
        error = "--port is required";
        return false;
    }
    if (options.root.empty()) {
        error = "--root is required";
        return false;
    }
    if (options.state_dir.empty()) {
        options.state_dir = ParentDirectory(options.root);
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
