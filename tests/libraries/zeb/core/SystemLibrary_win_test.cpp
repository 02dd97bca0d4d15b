#include "zeb/core/system/SystemLibrary.h"

#include "ScopedDirectory.h"

#include <gtest/gtest.h>

using ZEB::Core::SystemLibrary;

// A library comes from the system directory, never from the working directory.
TEST(SystemLibrary, LoadsFromTheSystemDirectoryOnly)
{
    char directory[MAX_PATH], previous[MAX_PATH];
    EXPECT_EQ(std::string(directory, GetSystemDirectoryA(directory, MAX_PATH)) + "\\DXGI.dll",
              SystemLibrary::path("DXGI.dll"));
    testsupport::ScopedDirectory folder;
    folder.write("vexilon_planted.dll", "not a library");
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(folder.path().c_str());
    // A plain LoadLibrary finds the planted file (and rejects it); the system-directory load does not see it.
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadLibraryA("vexilon_planted.dll"));
    EXPECT_NE(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
    SetLastError(0);
    EXPECT_EQ(nullptr, SystemLibrary::load("vexilon_planted.dll"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
    SetCurrentDirectoryA(previous);
}
