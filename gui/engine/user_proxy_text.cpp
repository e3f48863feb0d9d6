#include "gui/engine/user_proxy_text.h"

#include "shared/list_lines.h"

std::string UserProxyAddress(const std::uint8_t fields[4], int nonBlankFields) {
    if (nonBlankFields <= 0) {
        return std::string();
    }
    return std::to_string(fields[0]) + "." + std::to_string(fields[1]) + "." +
           std::to_string(fields[2]) + "." + std::to_string(fields[3]);
}

std::string UserProxyEntry(const std::string& address, const std::string& portText) {
    return address + ":" + portText;
}

std::string TrimmedPortText(const std::string& text) {
    return std::string(TrimListText(text));
}
