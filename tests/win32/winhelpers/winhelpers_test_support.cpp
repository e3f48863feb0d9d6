#include "tests/win32/winhelpers/winhelpers_test_support.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/process_snapshot.h"
#include "tests/support/process_start.h"

namespace {

const char* const kChildVariable = "SULVANTIX_WINHELPERS_CHILD";
constexpr DWORD kChildTimeoutMs = 120000;

std::string ModulePath() {
    std::vector<char> path(MAX_PATH * 4, '\0');
    const DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return n == 0 || n >= path.size() ? std::string() : std::string(path.data(), n);
}

std::string FileNameOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string CurrentTestFilter() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info == nullptr ? std::string()
                           : std::string(info->test_suite_name()) + "." + info->name();
}

// The Wine setting that makes it report another version to one program.
class CScopedWineVersion {
public:
    CScopedWineVersion(const std::string& exeName, const std::string& version)
        : m_path("Software\\Wine\\AppDefaults\\" + exeName) {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return;
        }
        const UniqueRegKey owner(key);
        m_bSet = ::RegSetValueExA(key, "Version", 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(version.c_str()),
                                  static_cast<DWORD>(version.size() + 1)) == ERROR_SUCCESS;
    }
    ~CScopedWineVersion() { ::RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str()); }
    CScopedWineVersion(const CScopedWineVersion&) = delete;
    CScopedWineVersion& operator=(const CScopedWineVersion&) = delete;
    bool IsSet() const { return m_bSet; }

private:
    std::string m_path;
    bool m_bSet = false;
};

// A copy of this program under another name, deleted afterwards.
class CProgramCopy {
public:
    CProgramCopy(const std::string& from, const std::string& to) : m_path(to) {
        m_bMade = ::CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
    }
    ~CProgramCopy() {
        if (m_bMade) {
            ::DeleteFileA(m_path.c_str());
        }
    }
    CProgramCopy(const CProgramCopy&) = delete;
    CProgramCopy& operator=(const CProgramCopy&) = delete;
    bool IsMade() const { return m_bMade; }

private:
    std::string m_path;
    bool m_bMade = false;
};

DWORD RunChild(const std::string& program, const std::string& filter) {
    CStartOptions options;
    options.m_strProgram = program;
    options.m_bInheritStdHandles = true;
    ::SetEnvironmentVariableA(kChildVariable, "1");
    const CRunOutcome run =
        RunToExit("\"" + program + "\" --gtest_filter=" + filter, kChildTimeoutMs, options);
    ::SetEnvironmentVariableA(kChildVariable, nullptr);
    if (!run.m_bStarted) {
        return 0xC0DE0001;
    }
    return run.m_bEnded ? run.m_nExitCode : 0xC0DE0002;
}

} // namespace

CScratchKey::CScratchKey(HKEY root, std::string path) : m_root(root), m_path(std::move(path)) {
    ::RegDeleteTreeA(m_root, m_path.c_str());
    HKEY key = nullptr;
    if (::RegCreateKeyExA(m_root, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) == ERROR_SUCCESS) {
        m_key.Reset(key);
    }
}

CScratchKey::~CScratchKey() {
    m_key.Reset();
    ::RegDeleteTreeA(m_root, m_path.c_str());
}

bool CScratchKey::SetRaw(const char* name, DWORD type, const void* data, DWORD size) const {
    return ::RegSetValueExA(m_key.Get(), name, 0, type, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

bool CScratchKey::SetDword(const char* name, DWORD value) const {
    return SetRaw(name, REG_DWORD, &value, sizeof(value));
}

bool CScratchKey::SetString(const char* name, const std::string& text, DWORD type,
                            bool withTerminator) const {
    return SetRaw(name, type, text.c_str(),
                  static_cast<DWORD>(text.size() + (withTerminator ? 1 : 0)));
}

bool CScratchKey::CreateSubKey(const std::string& name) const {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(m_key.Get(), name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}

CScopedValue::CScopedValue(HKEY root, std::string path, std::string name)
    : m_root(root), m_path(std::move(path)), m_name(std::move(name)) {
    // The outermost key missing now is the one to delete afterwards.
    for (std::string::size_type end = 0; end != std::string::npos;) {
        end = m_path.find('\\', end + 1);
        const std::string prefix = m_path.substr(0, end);
        HKEY probe = nullptr;
        if (::RegOpenKeyExA(m_root, prefix.c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS) {
            m_createdTop = prefix;
            return;
        }
        ::RegCloseKey(probe);
    }
    HKEY key = nullptr;
    if (::RegOpenKeyExA(m_root, m_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    const UniqueRegKey owner(key);
    m_bKeyExisted = true;
    DWORD size = 0;
    if (::RegQueryValueExA(key, m_name.c_str(), nullptr, &m_type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return;
    }
    m_data.assign(size, '\0');
    if (::RegQueryValueExA(key, m_name.c_str(), nullptr, &m_type,
                           reinterpret_cast<BYTE*>(&m_data[0]), &size) == ERROR_SUCCESS) {
        m_data.resize(size);
        m_bExisted = true;
    }
}

CScopedValue::~CScopedValue() {
    if (m_bExisted) {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(m_root, m_path.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            const UniqueRegKey owner(key);
            ::RegSetValueExA(key, m_name.c_str(), 0, m_type,
                             reinterpret_cast<const BYTE*>(m_data.data()),
                             static_cast<DWORD>(m_data.size()));
        }
    } else if (m_bKeyExisted) {
        Remove();
    } else if (!m_createdTop.empty()) {
        ::RegDeleteTreeA(m_root, m_createdTop.c_str());
    }
}

bool CScopedValue::SetString(const std::string& text) const {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(m_root, m_path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const UniqueRegKey owner(key);
    return ::RegSetValueExA(key, m_name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool CScopedValue::SetDword(DWORD value) const {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(m_root, m_path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const UniqueRegKey owner(key);
    return ::RegSetValueExA(key, m_name.c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS;
}

bool CScopedValue::Remove() const {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(m_root, m_path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        return true;
    }
    const UniqueRegKey owner(key);
    const LONG rc = ::RegDeleteValueA(key, m_name.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool IsChildRun() {
    char value[4] = {};
    return ::GetEnvironmentVariableA(kChildVariable, value, sizeof(value)) == 1 && value[0] == '1';
}

DWORD RunThisTestInChild(const std::string& wineVersion) {
    const std::string self = ModulePath();
    const std::string filter = CurrentTestFilter();
    if (self.empty() || filter.empty()) {
        return 0xC0DE0004;
    }
    if (wineVersion.empty()) {
        return RunChild(self, filter);
    }
    // Wine reads its per-program version when the program starts, keyed by
    // the executable's name: so the child is a copy under a name of its own.
    std::string stem = self.substr(0, self.size() - 4);
    const std::string copyPath = stem + "_" + wineVersion + ".exe";
    const CProgramCopy copy(self, copyPath);
    if (!copy.IsMade()) {
        return 0xC0DE0005;
    }
    const CScopedWineVersion version(FileNameOf(copyPath), wineVersion);
    if (!version.IsSet()) {
        return 0xC0DE0006;
    }
    return RunChild(copyPath, filter);
}

bool IsWine() {
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::vector<DWORD> SnapshotPids(const char* exeName) {
    return ProcessIds(
        [&](const PROCESSENTRY32& entry) { return ::lstrcmpiA(entry.szExeFile, exeName) == 0; });
}

bool DesktopShellRuns() {
    ::GetDesktopWindow();
    for (int i = 0; i < 100; ++i) {
        if (!SnapshotPids("explorer.exe").empty()) {
            return true;
        }
        ::Sleep(100);
    }
    return false;
}
