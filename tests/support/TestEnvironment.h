#pragma once

#include <string>

namespace testsupport {

// Where the test run's pieces are, as the test bed hands them over in the
// environment. Paths come back in Windows form (Wine maps the Unix root to Z:).
class TestEnvironment {
public:
    // The vexilon_gpu.exe under test.
    static std::string ToolPath();
    // A file of the test bed's state folder (glxinfo captures and the like).
    static std::string TestbedFile(const std::string& name);
    // A file or folder of the test fixtures' build output.
    static std::string FixtureBuildPath(const std::string& name);
    // The Unix form of that folder, for variables that native libraries read.
    static std::string FixtureBuildUnixPath(const std::string& name);

    static std::string Variable(const char* name);
    static std::string WindowsPathFromUnix(const std::string& unixPath);
    static std::string ReadTextFile(const std::string& path);
};

} // namespace testsupport
