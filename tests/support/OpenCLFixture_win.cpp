#include "OpenCLFixture.h"

#include "TestEnvironment.h"
#include "WineSettings.h"

#include <windows.h>

#include <fstream>
#include <stdexcept>

namespace testsupport {

// The fixture's OpenCL.dll in the system directory, per program the override
// that makes Wine load it rather than its own, and the timer query on Wine's
// list of hidden GL extensions. The values go with the last fixture; the file
// may stay, as without the override Wine loads its own.
class OpenCLFixture::Installation {
public:
    Installation()
    {
        const std::string runtime = runtimePath();
        const std::string fixture =
            TestEnvironment::ReadTextFile(TestEnvironment::FixtureBuildPath("opencl\\OpenCL.dll"));
        // A re-run child finds it in place, and mapped by its parent.
        if (fixture != TestEnvironment::ReadTextFile(runtime)) {
            std::ofstream file(runtime, std::ios::binary | std::ios::trunc);
            if (!(file << fixture).flush()) {
                throw std::runtime_error("cannot write " + runtime);
            }
        }
        std::string program = TestEnvironment::CurrentProgram();
        program = program.substr(program.find_last_of("\\/") + 1);
        for (const std::string& name : {std::string("vexilon_gpu.exe"), program}) {
            settings_.setString("Software\\Wine\\AppDefaults\\" + name + "\\DllOverrides", "opencl", "native");
        }
        settings_.setString("Software\\Wine\\OpenGL", "DisabledExtensions", "GL_ARB_timer_query GL_EXT_timer_query");
    }

    // The one installation that the fixtures alive share.
    static std::weak_ptr<Installation>& Current()
    {
        static std::weak_ptr<Installation> current;
        return current;
    }

private:
    WineSettings settings_;
};

OpenCLFixture::OpenCLFixture() : installation_(Installation::Current().lock())
{
    if (!installation_) {
        installation_ = std::make_shared<Installation>();
        Installation::Current() = installation_;
    }
}

std::string OpenCLFixture::runtimePath()
{
    char directory[MAX_PATH];
    return std::string(directory, GetSystemDirectoryA(directory, MAX_PATH)) + "\\OpenCL.dll";
}

std::map<std::string, std::string> OpenCLFixture::environment() const { return {{"VEXILON_OCL_FIXTURE", description_}}; }

} // namespace testsupport
