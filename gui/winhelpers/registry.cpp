#include "gui/winhelpers/registry.h"

#include <algorithm>
#include <cstring>

#include "gui/winhelpers/registry_rules.h"
#include "gui/winhelpers/system_helper.h"

std::string g_strUserHivePrefix;

namespace {

// The root and subkey an access really uses.
struct Target {
    HKEY root;
    std::string subkey;
};

Target Redirect(HKEY root, const std::string& subkey) {
    const winhelpers::HiveTarget target =
        winhelpers::RedirectToUserHive(g_strUserHivePrefix, root == HKEY_CURRENT_USER, subkey);
    return {target.toUsers ? HKEY_USERS : root, target.subkey};
}

UniqueRegKey OpenForRead(HKEY root, const std::string& subkey) {
    const Target target = Redirect(root, subkey);
    HKEY key = nullptr;
    if (::RegOpenKeyExA(target.root, target.subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return UniqueRegKey();
    }
    return UniqueRegKey(key);
}

} // namespace

CRegistry::CRegistry() {
    try {
        if (g_strUserHivePrefix.empty()) {
            g_strUserHivePrefix =
                winhelpers::UserHivePrefixFor(CSystemHelper().GetExplorerUserSid());
        }
    } catch (...) {
        // Left empty: the next construction tries again.
    }
}

CRegistry::~CRegistry() = default;

bool CRegistry::KeyExists(std::string subkey, HKEY root) const {
    try {
        const Target target = Redirect(root, subkey);
        HKEY key = nullptr;
        if (::RegOpenKeyA(target.root, target.subkey.c_str(), &key) != ERROR_SUCCESS) {
            return false;
        }
        ::RegCloseKey(key);
        return true;
    } catch (...) {
        return false;
    }
}

bool CRegistry::ReadDword(std::string subkey, std::string valueName, DWORD* value,
                          HKEY root) const {
    try {
        if (value == nullptr) {
            return false;
        }
        *value = 0;
        const UniqueRegKey key = OpenForRead(root, subkey);
        if (!key) {
            return false;
        }
        DWORD type = REG_DWORD;
        DWORD size = winhelpers::kValueSizeQueryPreset;
        if (::RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS ||
            !winhelpers::IsReadableDword(type, size)) {
            return false;
        }
        // Offer four bytes, not the stored size: a REG_DWORD stored with more
        // data answers ERROR_MORE_DATA instead of running past the number.
        DWORD number = 0;
        DWORD numberSize = sizeof(number);
        if (::RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(&number), &numberSize) != ERROR_SUCCESS ||
            type != REG_DWORD) {
            return false;
        }
        *value = number;
        return true;
    } catch (...) {
        return false;
    }
}

bool CRegistry::ReadString(std::string subkey, std::string valueName, std::string* text,
                           HKEY root) const {
    try {
        if (text == nullptr) {
            return false;
        }
        text->clear();
        const UniqueRegKey key = OpenForRead(root, subkey);
        if (!key) {
            return false;
        }
        DWORD type = REG_SZ;
        DWORD size = winhelpers::kValueSizeQueryPreset;
        if (::RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS ||
            !winhelpers::IsReadableString(type, size)) {
            return false;
        }
        // One zero byte more than the data, so a value stored without its
        // terminator still ends; a value grown since the query answers
        // ERROR_MORE_DATA.
        std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
        DWORD readSize = size;
        if (::RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(buffer.data()),
                               &readSize) != ERROR_SUCCESS ||
            !winhelpers::IsReadableString(type, size)) {
            return false;
        }
        *text = winhelpers::TextUpToFirstZero(buffer);
        return true;
    } catch (...) {
        return false;
    }
}

bool CRegistry::EnumSubKeys(std::string subkey, std::vector<std::string>* names, HKEY root) const {
    try {
        if (names == nullptr) {
            return false;
        }
        const UniqueRegKey key = OpenForRead(root, subkey);
        if (!key) {
            return false;
        }
        DWORD longest = 0;
        if (::RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, &longest, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const DWORD capacity = winhelpers::SubKeyNameBufferSize(longest);
        std::vector<char> buffer(capacity, '\0');
        for (DWORD index = 0;; ++index) {
            std::fill(buffer.begin(), buffer.end(), '\0');
            DWORD length = capacity;
            // ERROR_NO_MORE_ITEMS ends the list; any other error ends it as well.
            if (::RegEnumKeyExA(key.Get(), index, buffer.data(), &length, nullptr, nullptr, nullptr,
                                nullptr) != ERROR_SUCCESS) {
                break;
            }
            const std::string name(buffer.data(), ::strnlen(buffer.data(), capacity));
            if (!name.empty()) {
                names->push_back(name);
            }
        }
        return !names->empty();
    } catch (...) {
        return false;
    }
}
