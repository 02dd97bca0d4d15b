#include "zeb/core/system/SystemLibrary.h"

#include "ScopedDirectory.h"

#include <gtest/gtest.h>

#include <cctype>

namespace {

std::string Lower(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string SystemDirectory()
{
    char buffer[1024];
    const UINT length = GetSystemDirectoryA(buffer, sizeof buffer);
    return std::string(buffer, length);
}

// Makes a folder the working directory for the length of a scope.
class ScopedWorkingDirectory {
public:
    explicit ScopedWorkingDirectory(const std::string& path)
    {
        GetCurrentDirectoryA(MAX_PATH, previous_);
        SetCurrentDirectoryA(path.c_str());
    }
    ~ScopedWorkingDirectory() { SetCurrentDirectoryA(previous_); }

private:
    char previous_[MAX_PATH];
};

} // namespace

TEST(SystemLibrary, PathIsTheSystemDirectoryAndTheName)
{
    EXPECT_EQ(SystemDirectory() + "\\DXGI.dll", ZEB::Core::SystemLibrary::path("DXGI.dll"));
}

TEST(SystemLibrary, LoadsTheLibraryFromTheSystemDirectory)
{
    HMODULE module = ZEB::Core::SystemLibrary::load("d3d9.dll");
    ASSERT_NE(nullptr, module);
    char loaded[MAX_PATH];
    GetModuleFileNameA(module, loaded, MAX_PATH);
    EXPECT_EQ(Lower(SystemDirectory() + "\\d3d9.dll"), Lower(loaded));
    FreeLibrary(module);
}

TEST(SystemLibrary, NeverLoadsALibraryPlantedInTheWorkingDirectory)
{
    testsupport::ScopedDirectory folder;
    folder.write("vexilon_planted.dll", "not a library");
    ScopedWorkingDirectory inside(folder.path());

    // A plain LoadLibrary finds the planted file (and rejects its contents)...
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadLibraryA("vexilon_planted.dll"));
    EXPECT_NE(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());

    // ...the system-directory load does not even see it.
    SetLastError(0);
    EXPECT_EQ(nullptr, ZEB::Core::SystemLibrary::load("vexilon_planted.dll"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
}
