// Helpers of the Windows-helper tests: scratch registry keys removed again,
// and re-running one test case in a child process, optionally under a Windows
// version that Wine reports for that program only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gui/winhelpers/registry.h"

// A key created for a test and deleted with all it holds when the test ends.
class CScratchKey {
public:
    CScratchKey(HKEY root, std::string path);
    ~CScratchKey();
    CScratchKey(const CScratchKey&) = delete;
    CScratchKey& operator=(const CScratchKey&) = delete;

    bool IsValid() const { return m_key.IsValid(); }
    HKEY Get() const { return m_key.Get(); }
    const std::string& Path() const { return m_path; }

    bool SetRaw(const char* name, DWORD type, const void* data, DWORD size) const;
    bool SetDword(const char* name, DWORD value) const;
    // Stored with its terminator unless withTerminator is false.
    bool SetString(const char* name, const std::string& text, DWORD type = REG_SZ,
                   bool withTerminator = true) const;
    bool CreateSubKey(const std::string& name) const;

private:
    HKEY m_root;
    std::string m_path;
    UniqueRegKey m_key;
};

// A value set for a test and put back as it was (or removed) afterwards.
class CScopedValue {
public:
    CScopedValue(HKEY root, std::string path, std::string name);
    ~CScopedValue();
    CScopedValue(const CScopedValue&) = delete;
    CScopedValue& operator=(const CScopedValue&) = delete;

    bool SetString(const std::string& text) const;
    bool SetDword(DWORD value) const;
    bool Remove() const;

private:
    HKEY m_root;
    std::string m_path;
    std::string m_name;
    bool m_bExisted = false;
    bool m_bKeyExisted = false;
    std::string m_createdTop; // outermost key of the path that did not exist
    DWORD m_type = 0;
    std::string m_data;
};

// True in the child process that RunThisTestInChild started.
bool IsChildRun();

// Runs the current test case again in a child process and returns its exit
// code (0: the case passed there), or a nonzero code when it could not run.
// With a Wine version name ("win98", "win2k", ...) the child is a copy of this
// program under its own name, for which Wine reports that version.
DWORD RunThisTestInChild(const std::string& wineVersion = std::string());

// Wine starts its desktop shell, "explorer.exe", for the first program that
// needs the desktop window: asks for that window and waits until a process
// snapshot shows the shell. False when none appears within ten seconds.
bool DesktopShellRuns();

// Every pid of an executable name in a fresh snapshot, in snapshot order.
std::vector<DWORD> SnapshotPids(const char* exeName);

// Whether the process runs under Wine.
bool IsWine();
