#include "OpenCLFixture.h"

#include "TestEnvironment.h"

#include <windows.h>

#include <fstream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace testsupport {

// The fixture's OpenCL.dll in the system directory, per program the override
// that makes Wine load it rather than its own, and the timer query on Wine's
// list of hidden GL extensions. The values go with the last fixture (the test
// bed's prefix sets none of them otherwise); the file may stay, as without the
// override Wine loads its own.
class OpenCLFixture::Installation {
public:
    Installation()
    {
        char directory[MAX_PATH];
        const std::string runtime = std::string(directory, GetSystemDirectoryA(directory, MAX_PATH)) + "\\OpenCL.dll";
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
            set("Software\\Wine\\AppDefaults\\" + name + "\\DllOverrides", "opencl", "native");
        }
        set("Software\\Wine\\OpenGL", "DisabledExtensions", "GL_ARB_timer_query GL_EXT_timer_query");
    }

    ~Installation()
    {
        for (const auto& value : values_) {
            RegDeleteKeyValueA(HKEY_CURRENT_USER, value.first.c_str(), value.second.c_str());
        }
    }

    // The one installation that the fixtures alive share.
    static std::weak_ptr<Installation>& Current()
    {
        static std::weak_ptr<Installation> current;
        return current;
    }

private:
    void set(const std::string& key, const std::string& name, const std::string& text)
    {
        if (RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_SZ, text.c_str(),
                            static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot set HKCU\\" + key + "\\" + name);
        }
        values_.emplace_back(key, name);
    }

    std::vector<std::pair<std::string, std::string>> values_; // key, name
};

OpenCLFixture::OpenCLFixture() : installation_(Installation::Current().lock())
{
    if (!installation_) {
        installation_ = std::make_shared<Installation>();
        Installation::Current() = installation_;
    }
}

std::map<std::string, std::string> OpenCLFixture::environment() const { return {{"VEXILON_OCL_FIXTURE", description_}}; }

} // namespace testsupport
