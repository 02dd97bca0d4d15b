#pragma once

#include <string>

namespace testsupport {

// Where the test run's pieces are, as the test bed (Windows) or ctest hands
// them over in the environment. Paths come back in this system's form: under
// Wine, Windows paths (Wine maps the Unix root to Z:).
class TestEnvironment {
public:
    // The vexilon_gpu program under test.
    static std::string ToolPath();
    // A file or folder of the test fixtures' build output.
    static std::string FixtureBuildPath(const std::string& name);
    // The running test program.
    static std::string CurrentProgram();
    // How a text-mode stream ends its lines here: CR LF on Windows, LF elsewhere.
    static const std::string& LineEnd();

    static std::string ReadTextFile(const std::string& path);

private:
    static std::string Variable(const char* name);
    // Under Wine, the Windows form of a Unix path.
    static std::string NativePath(const std::string& unixPath);
};

} // namespace testsupport
