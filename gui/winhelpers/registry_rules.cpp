#include "gui/winhelpers/registry_rules.h"

#include <algorithm>
#include <limits>

namespace winhelpers {

std::string UserHivePrefixFor(const std::string& sidText) {
    return sidText.empty() ? std::string() : sidText + "\\";
}

HiveTarget RedirectToUserHive(const std::string& userHivePrefix, bool rootIsCurrentUser,
                              const std::string& subkey) {
    HiveTarget target;
    if (rootIsCurrentUser && !userHivePrefix.empty()) {
        target.toUsers = true;
        target.subkey = userHivePrefix + subkey;
    } else {
        target.subkey = subkey;
    }
    return target;
}

bool IsReadableDword(unsigned long type, unsigned long size) {
    return type == kRegDword && size != 0;
}

bool IsReadableString(unsigned long type, unsigned long size) {
    return (type == kRegSz || type == kRegExpandSz) && size != 0 &&
           size < std::numeric_limits<unsigned long>::max();
}

std::string TextUpToFirstZero(const std::vector<char>& bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), '\0');
    return std::string(bytes.begin(), end);
}

unsigned long SubKeyNameBufferSize(unsigned long longestNameLength) {
    // Key names stop at 255 characters; the cap only keeps the sum from wrapping.
    const unsigned long m = std::min(longestNameLength, 0x7FFFFFF0ul);
    return 2 * m + 3;
}

} // namespace winhelpers
