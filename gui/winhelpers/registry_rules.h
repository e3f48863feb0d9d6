// The registry wrapper's rules over plain values: the redirection of the
// current user's hive to HKEY_USERS under the desktop user's identifier, which
// value types each read accepts, and the buffer sizes it uses.
#pragma once

#include <string>
#include <vector>

namespace winhelpers {

// REG_SZ, REG_EXPAND_SZ, REG_BINARY and REG_DWORD.
constexpr unsigned long kRegSz = 1;
constexpr unsigned long kRegExpandSz = 2;
constexpr unsigned long kRegBinary = 3;
constexpr unsigned long kRegDword = 4;

// The size a type-and-size query is preset with.
constexpr unsigned long kValueSizeQueryPreset = 260;

// "S-1-5-21-...\" from an identifier text; empty stays empty (not known yet).
std::string UserHivePrefixFor(const std::string& sidText);

// Where an access goes: under HKEY_USERS with the prefix put in front, or to
// the root it was given.
struct HiveTarget {
    bool toUsers = false;
    std::string subkey;
};
HiveTarget RedirectToUserHive(const std::string& userHivePrefix, bool rootIsCurrentUser,
                              const std::string& subkey);

// A value ReadDword takes: REG_DWORD with some data.
bool IsReadableDword(unsigned long type, unsigned long size);

// A value ReadString takes: REG_SZ or REG_EXPAND_SZ with some data, small
// enough that one more byte for the terminator still counts.
bool IsReadableString(unsigned long type, unsigned long size);

// The text of a value's bytes, up to the first zero byte (or all of them).
std::string TextUpToFirstZero(const std::vector<char>& bytes);

// Buffer size for the subkey names, from the longest name's length m: 2m + 3.
unsigned long SubKeyNameBufferSize(unsigned long longestNameLength);

} // namespace winhelpers
