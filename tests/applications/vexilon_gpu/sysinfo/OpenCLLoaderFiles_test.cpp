#include "sysinfo/OpenCLLoaderFiles.h"

#include "ScopedDirectory.h"
#include "sysinfo/DriverIdentity.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>

// Every way the loader's manual gives of choosing the runtimes names the
// libraries it would load, and the identity follows those libraries.
TEST(OpenCLLoaderFiles, NamesTheLibrariesTheLoaderWouldLoad)
{
    testsupport::ScopedDirectory folder;
    std::filesystem::create_directories(folder.file("vendors"));
    folder.write("vendors/b.icd", "/opt/b/libB.so\r\n");
    folder.write("vendors/a.icd", "libA.so.1\nsecond line\n");
    folder.write("vendors/notes.txt", "libNotes.so\n");
    folder.write("own.icd", "libOwn.so\n");
    const std::string vendors = folder.file("vendors");
    typedef std::vector<std::string> List;
    const struct {
        std::map<std::string, std::string> environment;
        List descriptions, libraries;
    } cases[] = {
        {{{"OCL_ICD_FILENAMES", "libX.so::/lib/libY.so"}, {"OCL_ICD_VENDORS", vendors}}, {}, {"libX.so", "/lib/libY.so"}},
        {{{"OCL_ICD_VENDORS", vendors}}, {vendors + "/a.icd", vendors + "/b.icd"}, {"libA.so.1", "/opt/b/libB.so"}},
        {{{"OPENCL_VENDOR_PATH", vendors}}, {vendors + "/a.icd", vendors + "/b.icd"}, {"libA.so.1", "/opt/b/libB.so"}},
        {{{"OCL_ICD_VENDORS", folder.file("own.icd")}}, {folder.file("own.icd")}, {"libOwn.so"}},
        {{{"OCL_ICD_VENDORS", "b.icd"}, {"OPENCL_VENDOR_PATH", vendors}}, {vendors + "/b.icd"}, {"/opt/b/libB.so"}},
        {{{"OCL_ICD_VENDORS", "libDirect.so"}, {"OPENCL_VENDOR_PATH", vendors}}, {}, {"libDirect.so"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.environment.begin()->first + "=" + c.environment.begin()->second);
        const OpenCLLoaderFiles::Files files = OpenCLLoaderFiles::Find([&c](const char* name) {
            const auto found = c.environment.find(name);
            return found == c.environment.end() ? std::string() : found->second;
        });
        EXPECT_EQ(c.descriptions, files.descriptions);
        EXPECT_EQ(c.libraries, files.libraries);
    }

    // An update of the library, with its description as it was, is another driver.
    folder.write("libOwn.so", "runtime");
    const std::string before = DriverIdentity::Files({folder.file("own.icd"), folder.file("libOwn.so")});
    const auto written = std::filesystem::last_write_time(folder.file("libOwn.so"));
    std::filesystem::last_write_time(folder.file("libOwn.so"), written + std::chrono::seconds(2));
    EXPECT_NE(before, DriverIdentity::Files({folder.file("own.icd"), folder.file("libOwn.so")}));
}
