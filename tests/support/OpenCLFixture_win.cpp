#include "OpenCLFixture.h"

#include "TestEnvironment.h"

#include <windows.h>

#include <fstream>
#include <stdexcept>
#include <vector>

namespace testsupport {

namespace {

const char kDescriptionVariable[] = "VEXILON_OCL_FIXTURE";

std::string SystemFile(const char* name)
{
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        throw std::runtime_error("GetSystemDirectory failed");
    }
    return std::string(directory, length) + "\\" + name;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    if (!file.flush()) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace

// The fixture's OpenCL.dll in the system directory; per program, the override
// that makes Wine load it rather than its own; and Wine's list of hidden GL
// extensions with the timer query on it, so that a device's rate is never
// made up from a draw measurement on the software renderer. The original file
// and values come back when the last fixture goes.
class OpenCLFixture::Installation {
public:
    Installation() : runtime_(SystemFile("OpenCL.dll"))
    {
        original_ = TestEnvironment::ReadTextFile(runtime_);
        const std::string fixture =
            TestEnvironment::ReadTextFile(TestEnvironment::FixtureBuildPath("opencl\\OpenCL.dll"));
        if (fixture != original_) {
            WriteFileBytes(runtime_, fixture);
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
        for (const Saved& saved : saved_) {
            HKEY key = nullptr;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, saved.key.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
                continue;
            }
            if (saved.existed) {
                RegSetValueExA(key, saved.name.c_str(), 0, saved.type, saved.data.data(),
                               static_cast<DWORD>(saved.data.size()));
            } else {
                RegDeleteValueA(key, saved.name.c_str());
            }
            RegCloseKey(key);
        }
        try {
            WriteFileBytes(runtime_, original_);
        } catch (const std::exception&) {
            // A process that still maps the file (a re-run child itself) cannot
            // put it back. Harmless: without an override Wine prefers its own.
        }
    }

    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    // The one installation that the fixtures alive share.
    static std::shared_ptr<Installation> Shared()
    {
        std::shared_ptr<Installation> installation = Current().lock();
        if (!installation) {
            installation = std::make_shared<Installation>();
            Current() = installation;
        }
        return installation;
    }

    static bool Active() { return !Current().expired(); }

private:
    struct Saved {
        std::string key;
        std::string name;
        bool existed = false;
        DWORD type = REG_SZ;
        std::vector<BYTE> data;
    };

    // Sets a text value under HKCU, keeping what was there.
    void set(const std::string& keyName, const std::string& name, const std::string& text)
    {
        Saved saved;
        saved.key = keyName;
        saved.name = name;
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot open HKCU\\" + keyName);
        }
        DWORD size = 0;
        if (RegQueryValueExA(key, name.c_str(), nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
            saved.existed = true;
            saved.data.resize(size);
            RegQueryValueExA(key, name.c_str(), nullptr, &saved.type, saved.data.data(), &size);
        }
        const LONG result = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                           static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
        if (result != ERROR_SUCCESS) {
            throw std::runtime_error("cannot set HKCU\\" + keyName + "\\" + name);
        }
        saved_.push_back(saved);
    }

    static std::weak_ptr<Installation>& Current()
    {
        static std::weak_ptr<Installation> current;
        return current;
    }

    std::string runtime_;
    std::string original_;
    std::vector<Saved> saved_;
};

OpenCLFixture::OpenCLFixture() : installation_(Installation::Shared()) {}

std::map<std::string, std::string> OpenCLFixture::environment() const { return {{kDescriptionVariable, description_}}; }

std::map<std::string, std::string> OpenCLFixture::HostDrivers()
{
    if (Installation::Active()) {
        throw std::logic_error("the host's drivers are out of reach while an OpenCLFixture lives");
    }
    // An empty value removes the variable from the child's environment.
    return {{kDescriptionVariable, ""}};
}

} // namespace testsupport
