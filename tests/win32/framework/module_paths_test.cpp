// The path helpers against the real API. module_paths_long.sh runs them from a
// program whose path is longer than MAX_PATH.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/module_paths.h"

namespace {

TEST(ModulePaths, AgreeWithTheApiAndKeepTheirSeparators) {
    char raw[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, raw, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(GetModuleFilePath(), std::string(raw, length));
    const std::string directory = GetProgramDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '\\');
    EXPECT_EQ(std::string(raw, length).rfind(directory, 0), 0u);

    char system[MAX_PATH] = {};
    const UINT systemLength = ::GetSystemDirectoryA(system, MAX_PATH);
    ASSERT_GT(systemLength, 0u);
    EXPECT_EQ(GetSystemDirectoryPath(), std::string(system, systemLength));
    EXPECT_NE(GetSystemDirectoryPath().back(), '\\');
}

} // namespace
