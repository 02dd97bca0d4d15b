#pragma once

#include "gpu/GPU.h"

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

// A GPU whose answers the test sets; any operation can be made to throw.
class FakeGPU : public GPU {
public:
    std::string oglVersion = "3.0";
    unsigned int memoryMB = 1024;
    GLint rectTextureSize = 8192;
    std::string renderer = "Fake Renderer";
    unsigned int rendererID = 0x1234;
    std::string vendor = "Fake Vendor";
    unsigned int vendorID = 0x10DE;
    bool npot = true;
    std::string driverVersion = "1.2.3.4";
    std::string driver = "fake.dll";
    std::string driverDate = "20240101000000.000000-000";
    std::string caption = "Fake Adapter";
    std::string kernelDriver;
    std::string kernelDriverVersion;
    std::string pciAddress;
    bool compileGLSL = true;
    bool frameBuffer = true;
    // Successive answers of OCLVersion/CUDAVersion; "" once exhausted.
    std::vector<std::string> oclAnswers;
    std::vector<std::string> cudaAnswers;
    std::map<GLenum, std::string> strings;
    std::map<GLenum, GLint> integers;
    std::map<GLenum, GLint> programIntegers;
    std::set<int> extensions;  // those supported

    // Operation name -> message of the std::runtime_error it throws.
    std::map<std::string, std::string> failures;

    std::string OGLVersion() override { return Answer("OGLVersion", oglVersion); }
    unsigned int MemoryMB() override { return Answer("MemoryMB", memoryMB); }
    GLint RectTextureSize() override { return Answer("RectTextureSize", rectTextureSize); }
    std::string Renderer() override { return Answer("Renderer", renderer); }
    unsigned int RendererID() override { return Answer("RendererID", rendererID); }
    std::string Vendor() override { return Answer("Vendor", vendor); }
    unsigned int VendorID() override { return Answer("VendorID", vendorID); }
    bool HasNPOTSupport() override { return Answer("HasNPOTSupport", npot); }
    std::string DriverVersion() override { return Answer("DriverVersion", driverVersion); }
    std::string Driver() override { return Answer("Driver", driver); }
    std::string DriverDate() override { return Answer("DriverDate", driverDate); }
    std::string Caption() override { return Answer("Caption", caption); }
    std::string KernelDriver() override { return kernelDriver; }
    std::string KernelDriverVersion() override { return kernelDriverVersion; }
    GPUIdentity Identity() override
    {
        GPUIdentity identity;
        identity.pciAddress = pciAddress;
        return identity;
    }
    bool DoCompileProgramGLSL() override { return Answer("DoCompileProgramGLSL", compileGLSL); }
    bool DoTestFrameBuffer() override { return Answer("DoTestFrameBuffer", frameBuffer); }
    std::string OCLVersion() override { return Next("OCLVersion", oclAnswers); }
    std::string CUDAVersion() override { return Next("CUDAVersion", cudaAnswers); }

    const GLubyte* GetString(GLenum name) override
    {
        Enter("GetString");
        const auto found = strings.find(name);
        return found == strings.end() ? nullptr : reinterpret_cast<const GLubyte*>(found->second.c_str());
    }
    void GetIntegerv(GLenum pname, GLint* params) override { Fill("GetIntegerv", integers, pname, params); }
    void GetProgramivARB(GLenum, GLenum pname, GLint* params) override
    {
        Fill("GetProgramivARB", programIntegers, pname, params);
    }
    bool IsExtensionSupported(ZEB::OGL::teExtension extension) override
    {
        Enter("IsExtensionSupported");
        return extensions.count(extension) != 0;
    }

private:
    void Fill(const std::string& operation, const std::map<GLenum, GLint>& answers, GLenum name, GLint* params)
    {
        Enter(operation);
        if (answers.count(name) != 0) {
            *params = answers.at(name);
        }
    }
    void Enter(const std::string& operation)
    {
        const auto failure = failures.find(operation);
        if (failure != failures.end()) {
            throw std::runtime_error(failure->second);
        }
    }
    template <typename T>
    T Answer(const std::string& operation, const T& value)
    {
        Enter(operation);
        return value;
    }
    std::string Next(const std::string& operation, std::vector<std::string>& answers)
    {
        Enter(operation);
        if (answers.empty()) {
            return std::string();
        }
        std::string answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
};

} // namespace testsupport
