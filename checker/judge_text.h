// Text helpers the judge's page and answer readers share. Portable.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace judge {

// ASCII lower case, for header names and keywords.
inline std::string LowerText(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// Without the spaces and tabs around it, and a carriage return at its end.
inline std::string_view TrimHeaderSpace(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace judge
