// A proxy entry is the text address, ":" and a decimal port. Nothing else is
// stored with it; files and the list box hold the text as it stands.
#pragma once

#include <string>
#include <string_view>

struct CProxyEntryParts {
    std::string m_strAddress;
    int m_nPort = 0;
};

// The C library's atoi rule: leading white space, an optional sign, then
// decimal digits up to the first other character; no digits gives 0. Values
// beyond the int range are clamped to INT_MAX or INT_MIN, as strtol does.
int AtoiDecimal(std::string_view text);

// Address is everything before the last ":", the port is the rest read with
// the atoi rule. Without ":" the address is empty and the whole text is the port.
CProxyEntryParts SplitProxyEntry(std::string_view entry);
