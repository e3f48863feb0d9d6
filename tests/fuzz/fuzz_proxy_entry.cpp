// SplitProxyEntry and the atoi rule, against the C library's strtol.
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shared/proxy_entry.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// atoi's result for in-range values, clamped the way strtol clamps; strtol
// stops at a NUL just as the rule stops at any non-digit.
int ReferenceAtoi(std::string_view text) {
    const std::string copy(text);
    errno = 0;
    const long value = std::strtol(copy.c_str(), nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view entry(reinterpret_cast<const char*>(data), size);

    FUZZ_CHECK(AtoiDecimal(entry) == ReferenceAtoi(entry));

    const CProxyEntryParts parts = SplitProxyEntry(entry);
    const std::size_t colon = entry.rfind(':');
    if (colon == std::string_view::npos) {
        FUZZ_CHECK(parts.m_strAddress.empty());
        FUZZ_CHECK(parts.m_nPort == AtoiDecimal(entry));
        return 0;
    }
    // The address is the text before the last ':', so the tail holds none,
    // and address, ':' and tail give the entry back.
    const std::string_view tail = entry.substr(parts.m_strAddress.size() + 1);
    FUZZ_CHECK(parts.m_strAddress.size() == colon);
    FUZZ_CHECK(parts.m_strAddress + ":" + std::string(tail) == entry);
    FUZZ_CHECK(tail.find(':') == std::string_view::npos);
    FUZZ_CHECK(parts.m_nPort == AtoiDecimal(tail));
    return 0;
}
