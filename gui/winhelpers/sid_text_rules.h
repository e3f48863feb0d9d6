// Text form of a security identifier ("S-1-5-18"), from the identifier's parts
// as plain values. The Win32 side reads the parts from a real SID and maps the
// short-buffer answer to ERROR_INSUFFICIENT_BUFFER.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace winhelpers {

// SID_REVISION and SID_MAX_SUB_AUTHORITIES.
constexpr unsigned kSidRevision = 1;
constexpr std::size_t kSidMaxSubAuthorities = 15;

struct SidParts {
    unsigned revision = kSidRevision;
    std::array<std::uint8_t, 6> authority{};
    std::vector<std::uint32_t> subAuthorities;
};

// The structural checks IsValidSid makes: revision 1, at most 15 sub-authorities.
bool IsWellFormedSid(const SidParts& sid);

// Characters the caller must offer: generous for the longest text of n parts.
unsigned long SidTextSizeNeeded(std::size_t subAuthorityCount);

enum class SidTextResult {
    kOk,
    kInvalid,     // not a valid identifier
    kShortBuffer, // *length now holds the size needed; report ERROR_INSUFFICIENT_BUFFER
    kTruncated,   // the text ran into the given length before a sub-authority
};

// Writes the text form into buffer (capacity *length characters, terminator
// included). Never writes past *length characters, whatever the result.
SidTextResult FormatSidText(const SidParts& sid, char* buffer, unsigned long* length);

} // namespace winhelpers
