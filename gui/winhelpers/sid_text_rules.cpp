#include "gui/winhelpers/sid_text_rules.h"

#include <cstdio>
#include <cstring>

namespace winhelpers {

namespace {

// Appends one formatted piece at *used, bounded by capacity; false when it did not fit.
template <typename... Args>
bool Append(char* buffer, unsigned long capacity, unsigned long* used, const char* format,
            Args... args) {
    const unsigned long room = capacity - *used;
    const int written = std::snprintf(buffer + *used, room, format, args...);
    if (written < 0 || static_cast<unsigned long>(written) >= room) {
        // snprintf terminated what it could; the text is cut short.
        *used = capacity - 1;
        return false;
    }
    *used += static_cast<unsigned long>(written);
    return true;
}

} // namespace

bool IsWellFormedSid(const SidParts& sid) {
    return sid.revision == kSidRevision && sid.subAuthorities.size() <= kSidMaxSubAuthorities;
}

unsigned long SidTextSizeNeeded(std::size_t subAuthorityCount) {
    return 28ul + 12ul * static_cast<unsigned long>(subAuthorityCount);
}

SidTextResult FormatSidText(const SidParts& sid, char* buffer, unsigned long* length) {
    if (length == nullptr || !IsWellFormedSid(sid)) {
        return SidTextResult::kInvalid;
    }
    const unsigned long needed = SidTextSizeNeeded(sid.subAuthorities.size());
    if (*length < needed || buffer == nullptr) {
        *length = needed;
        return SidTextResult::kShortBuffer;
    }
    const unsigned long capacity = *length;
    unsigned long used = 0;
    buffer[0] = '\0';

    // The revision is always written as 1, whatever the record says.
    if (!Append(buffer, capacity, &used, "S-%lu-", 1ul)) {
        return SidTextResult::kTruncated;
    }
    const std::array<std::uint8_t, 6>& a = sid.authority;
    bool fitted;
    if (a[0] != 0 || a[1] != 0) {
        fitted = Append(buffer, capacity, &used, "0x%02hx%02hx%02hx%02hx%02hx%02hx",
                        static_cast<unsigned short>(a[0]), static_cast<unsigned short>(a[1]),
                        static_cast<unsigned short>(a[2]), static_cast<unsigned short>(a[3]),
                        static_cast<unsigned short>(a[4]), static_cast<unsigned short>(a[5]));
    } else {
        const unsigned long value =
            (static_cast<unsigned long>(a[2]) << 24) | (static_cast<unsigned long>(a[3]) << 16) |
            (static_cast<unsigned long>(a[4]) << 8) | static_cast<unsigned long>(a[5]);
        fitted = Append(buffer, capacity, &used, "%lu", value);
    }
    if (!fitted) {
        return SidTextResult::kTruncated;
    }
    // With the size rule above every piece fits; the bound only guards the buffer.
    for (const std::uint32_t sub : sid.subAuthorities) {
        if (!Append(buffer, capacity, &used, "-%lu", static_cast<unsigned long>(sub))) {
            return SidTextResult::kTruncated;
        }
    }
    return SidTextResult::kOk;
}

} // namespace winhelpers
