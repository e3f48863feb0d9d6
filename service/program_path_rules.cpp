#include "service/program_path_rules.h"

#include <cstddef>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Equal but for the case of ASCII letters.
bool EqualsNoCase(std::string_view text, std::string_view other) {
    if (text.size() != other.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (Upper(text[i]) != Upper(other[i])) {
            return false;
        }
    }
    return true;
}

// "1" to "9" and "0", and the code page's superscripts one, two and three,
// which Windows also takes as port numbers.
bool IsPortDigit(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (c >= '0' && c <= '9') || byte == 0xB9 || byte == 0xB2 || byte == 0xB3;
}

// "\\.\", "\\?\" and the NT form "\??\": straight to the object manager.
bool HasDevicePrefix(std::string_view path) {
    if (path.size() >= 4 && path[0] == '\\' && path.substr(1, 3) == "??\\") {
        return true;
    }
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
           (path[2] == '.' || path[2] == '?') && (path.size() == 3 || IsSeparator(path[3]));
}

bool IsInvalidCharacter(char c, std::size_t index) {
    if (static_cast<unsigned char>(c) < 0x20) {
        return true;
    }
    switch (c) {
    case '<':
    case '>':
    case '"':
    case '|':
    case '?':
    case '*':
        return true;
    case ':':
        return index != 1;
    default:
        return false;
    }
}

bool AnyComponentIsDevice(std::string_view path) {
    std::size_t start = 0;
    // "C:COM1" names the device too: the drive is not part of the name.
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
        start = 2;
    }
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        if (IsReservedDeviceName(path.substr(start, end - start))) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool IsCanonicalComponent(std::string_view component) {
    if (component.empty() || component == "." || component == "..") {
        return false;
    }
    const char last = component.back();
    return last != ' ' && last != '.';
}

} // namespace

bool IsReservedDeviceName(std::string_view component) {
    // The name counts up to its first dot or colon, without trailing spaces.
    std::size_t end = 0;
    while (end < component.size() && component[end] != '.' && component[end] != ':') {
        ++end;
    }
    std::string_view base = component.substr(0, end);
    while (!base.empty() && base.back() == ' ') {
        base.remove_suffix(1);
    }
    for (const char* name : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (EqualsNoCase(base, name)) {
            return true;
        }
    }
    return base.size() == 4 &&
           (EqualsNoCase(base.substr(0, 3), "COM") || EqualsNoCase(base.substr(0, 3), "LPT")) &&
           IsPortDigit(base[3]);
}

Refusal ClassifyProgramPath(std::string_view path) {
    if (path.empty()) {
        return Refusal::PathEmpty;
    }
    if (HasDevicePrefix(path)) {
        return Refusal::DevicePath;
    }
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        return Refusal::UncPath;
    }
    if (AnyComponentIsDevice(path)) {
        return Refusal::DevicePath;
    }
    if (path.size() < 3 || !IsDriveLetter(path[0]) || path[1] != ':' || !IsSeparator(path[2])) {
        return Refusal::NotFullPath;
    }
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsInvalidCharacter(path[i], i)) {
            return Refusal::InvalidCharacters;
        }
    }
    if (path.find('/') != std::string_view::npos) {
        return Refusal::NotCanonical;
    }
    std::size_t start = 3;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        if (!IsCanonicalComponent(path.substr(start, end - start))) {
            return Refusal::NotCanonical;
        }
        start = end + 1;
    }
    return Refusal::None;
}

bool IsInstalledProgramPath(std::string_view requested, std::string_view installed) {
    return !installed.empty() && EqualsNoCase(requested, installed);
}
