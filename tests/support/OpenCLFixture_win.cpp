#include "OpenCLFixture.h"

#include "ChildProcess.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace testsupport {

namespace {

const char kDescriptionVariable[] = "VEXILON_OCL_FIXTURE";
// Names the one test that a re-run child is to run for real.
const char kChildVariable[] = "VEXILON_OPENCL_CHILD_TEST";

std::string SystemFile(const char* name)
{
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        throw std::runtime_error("GetSystemDirectory failed");
    }
    return std::string(directory, length) + "\\" + name;
}

std::string ThisProgramName()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) {
        throw std::runtime_error("GetModuleFileName failed");
    }
    const std::string full(path, length);
    return full.substr(full.find_last_of("\\/") + 1);
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

// The fixture's OpenCL.dll in the system directory and, per program, the
// override that makes Wine load it rather than its own. The original file and
// values come back when the last fixture goes.
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
        for (const std::string& program : {std::string("vexilon_gpu.exe"), ThisProgramName()}) {
            override(program);
        }
    }

    ~Installation()
    {
        for (const Override& saved : overrides_) {
            HKEY key = nullptr;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, saved.key.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
                continue;
            }
            if (saved.existed) {
                RegSetValueExA(key, "opencl", 0, saved.type, saved.data.data(), static_cast<DWORD>(saved.data.size()));
            } else {
                RegDeleteValueA(key, "opencl");
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
    struct Override {
        std::string key;
        bool existed = false;
        DWORD type = REG_SZ;
        std::vector<BYTE> data;
    };

    void override(const std::string& program)
    {
        Override saved;
        saved.key = "Software\\Wine\\AppDefaults\\" + program + "\\DllOverrides";
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, saved.key.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot open HKCU\\" + saved.key);
        }
        DWORD size = 0;
        if (RegQueryValueExA(key, "opencl", nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
            saved.existed = true;
            saved.data.resize(size);
            RegQueryValueExA(key, "opencl", nullptr, &saved.type, saved.data.data(), &size);
        }
        static const char kNative[] = "native";
        const LONG set =
            RegSetValueExA(key, "opencl", 0, REG_SZ, reinterpret_cast<const BYTE*>(kNative), sizeof kNative);
        RegCloseKey(key);
        if (set != ERROR_SUCCESS) {
            throw std::runtime_error("cannot set the OpenCL override for " + program);
        }
        overrides_.push_back(saved);
    }

    static std::weak_ptr<Installation>& Current()
    {
        static std::weak_ptr<Installation> current;
        return current;
    }

    std::string runtime_;
    std::string original_;
    std::vector<Override> overrides_;
};

OpenCLFixture::DeviceOptions& OpenCLFixture::DeviceOptions::rate(double bytesPerNanosecond)
{
    if (!(bytesPerNanosecond > 0)) {
        throw std::invalid_argument("a rate cap must be positive");
    }
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << " rate=" << bytesPerNanosecond;
    text_ += text.str();
    return *this;
}

OpenCLFixture::DeviceOptions& OpenCLFixture::DeviceOptions::failContext(int errorCode)
{
    if (errorCode >= 0) {
        throw std::invalid_argument("OpenCL error codes are negative");
    }
    text_ += " fail-context=" + std::to_string(errorCode);
    return *this;
}

OpenCLFixture::DeviceOptions& OpenCLFixture::DeviceOptions::failCopy(int errorCode)
{
    if (errorCode >= 0) {
        throw std::invalid_argument("OpenCL error codes are negative");
    }
    text_ += " fail-copy=" + std::to_string(errorCode);
    return *this;
}

OpenCLFixture::OpenCLFixture() : installation_(Installation::Shared()) {}

OpenCLFixture& OpenCLFixture::addPlatform(const std::string& version)
{
    if (version.empty() || version.find_first_of(";|") != std::string::npos) {
        throw std::invalid_argument("a fixture platform version must be non-empty and without ';' or '|'");
    }
    if (!description_.empty()) {
        description_ += ";";
    }
    description_ += version;
    return *this;
}

OpenCLFixture& OpenCLFixture::addGpuDevice(const DeviceOptions& options) { return addDevice("gpu", options); }

OpenCLFixture& OpenCLFixture::addCpuDevice(const DeviceOptions& options) { return addDevice("cpu", options); }

OpenCLFixture& OpenCLFixture::addDevice(const char* type, const DeviceOptions& options)
{
    if (description_.empty()) {
        throw std::logic_error("add a fixture platform before its devices");
    }
    description_ += std::string("|") + type + options.text();
    return *this;
}

std::map<std::string, std::string> OpenCLFixture::environment() const { return {{kDescriptionVariable, description_}}; }

std::map<std::string, std::string> OpenCLFixture::HostDrivers()
{
    if (Installation::Active()) {
        throw std::logic_error("the host's drivers are out of reach while an OpenCLFixture lives");
    }
    // An empty value removes the variable from the child's environment.
    return {{kDescriptionVariable, ""}};
}

bool OpenCLFixture::RerunInChild(const std::map<std::string, std::string>& environment)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (test == nullptr) {
        throw std::logic_error("RerunInChild is for the body of a test");
    }
    const std::string name = std::string(test->test_suite_name()) + "." + test->name();
    const char* marker = std::getenv(kChildVariable);
    if (marker != nullptr && name == marker) {
        return false;
    }

    std::map<std::string, std::string> variables = environment;
    variables[kChildVariable] = name;
    char program[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    if (length == 0 || length == MAX_PATH) {
        throw std::runtime_error("GetModuleFileName failed");
    }
    const ProcessResult result = ChildProcess::Run(program, {"--gtest_filter=" + name, "--gtest_color=no"},
                                                   std::string(), variables, 5 * 60 * 1000);
    EXPECT_FALSE(result.timedOut) << "the child running " << name << " timed out";
    // A filter that matched nothing would pass as well: the count tells.
    EXPECT_TRUE(result.exitCode == 0 && result.out.find("[  PASSED  ] 1 test.") != std::string::npos)
        << "the child running " << name << " ended with " << result.exitCode << ":\n"
        << result.out << result.err;
    return true;
}

} // namespace testsupport
