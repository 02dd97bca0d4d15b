#include "legacy/LegacyCheck.h"

#include "legacy/CheckOpenCL.h"
#include "legacy/CheckOpenGLVersion.h"
#include "compute/ProgressSignal.h"
#include "legacy/LegacyCompileTest.h"
#include "report/ReportOutput.h"
#include "sysinfo/ErrorMode.h"
#include "sysinfo/VideoControllerListing.h"

#include "zeb/core/Library.h"
#include "zeb/core/exception/ExceptionBase.h"
#include "zeb/core/exception/InternalException.h"
#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/Context.h"
#include "zeb/ogl/ExtensionManager.h"
#include "zeb/ogl/Library.h"
#include "zeb/ogl/OpenGL.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

const char kSourceFile[] = "source/applications/vexilon_gpu/main";

// The failing paths leave without unwinding: the context and the framework
// stay as they are, exit handlers run.
[[noreturn]] void EndProcess()
{
    std::cout.exceptions(std::ios::goodbit);
    std::exit(0);
}

[[noreturn]] void FailWithReturnCode()
{
    std::cout.exceptions(std::ios::goodbit);
    std::cout << "Return code: 0" << std::endl;
    EndProcess();
}

void WriteGLString(const char* label, GLenum name)
{
    std::cout << label;
    if (const GLubyte* text = glGetString(name)) {
        std::cout << ReportOutput::SingleLine(reinterpret_cast<const char*>(text));
    }
    std::cout << std::endl;
}

// "TRUE" and on, or "FALSE" and the end of the process.
void RequireExtension(const ZEB::OGL::ExtensionManager& manager, const char* label, ZEB::OGL::teExtension extension)
{
    std::cout << label;
    if (!manager.isSupported(extension)) {
        std::cout << "FALSE" << std::endl;
        EndProcess();
    }
    std::cout << "TRUE" << std::endl;
}

} // namespace

LegacyCheck::LegacyCheck(const Platform& platform) : platform_(platform) {}

int LegacyCheck::Run()
{
    ErrorMode::AddNoFaultDialog();
    int returnCode = 0;
    try {
        // A check that cannot be written has failed: the first refused write
        // ends it, rather than every later step writing into the void.
        std::cout.exceptions(std::ios::badbit);
        returnCode = RunSteps();
        std::cout << "Return code: " << returnCode << std::endl;
    } catch (const ZEB::ExceptionBase& exception) {
        // Standard error flushes standard output first, which must not throw again.
        std::cout.exceptions(std::ios::goodbit);
        std::cerr << exception.what() << std::endl;
        FailWithReturnCode();
    } catch (...) {
        const int error = errno;
        std::cout.exceptions(std::ios::goodbit);
        // The stream's own exception type differs between library builds:
        // the stream's state says whether a write was refused.
        if (std::cout.bad()) {
            std::cerr << "cannot write the check: " << (error != 0 ? std::strerror(error) : "standard output failed")
                      << std::endl;
            EndProcess();
        }
        FailWithReturnCode();
    }
    std::cout.exceptions(std::ios::goodbit);
    return returnCode;
}

int LegacyCheck::RunSteps()
{
    if (resumeAfterOpenCL) {
        return RunLastStep(1);
    }
    // A mark before each step of the OpenGL stage: a later run that skips a
    // step that faulted still writes what the steps before it wrote.
    ProgressSignal::Send("at legacy gl start");
    if (!resumeAtContext) {
        PrintVideoControllers();
    }

    ZEB::Core::Library::initialize();
    {
        const ZEB::OGL::Library::InitOptions options;
        ZEB::OGL::Library::initialize(options);
    }

    ProgressSignal::Send("at legacy gl context");
    std::unique_ptr<ZEB::OGL::Context> apContext = platform_.openContext();
    ProgressSignal::Send("at legacy gl context");  // the devices' steps are over
    if (apContext.get() == nullptr) {
        throw ZEB::InternalException(kSourceFile, 1265, "Enforce apContext.get() != NULL");
    }
    apContext->makeCurrent();
    ZEB::OGL::ExtensionManager* manager = platform_.extensionManager();
    if (manager == nullptr) {
        throw ZEB::RuntimeException("no OpenGL extension manager for the current context");
    }

    // Each string a step: a line cut short by a fault is not written.
    ProgressSignal::Send("at legacy gl vendor");
    WriteGLString("Vendor string:    ", GL_VENDOR);
    ProgressSignal::Send("at legacy gl renderer");
    WriteGLString("Renderer string:  ", GL_RENDERER);
    ProgressSignal::Send("at legacy gl version-string");
    WriteGLString("Version string:   ", GL_VERSION);
    ProgressSignal::Send("at legacy gl version");
    // No flush: the version line below ends with one.
    std::cout << "\nOpenGL version as determined by Quernwheel...\n";

    if (!CheckOpenGLVersion(*manager)) {
        EndProcess();
    }
    ProgressSignal::Send("at legacy gl extensions");
    RequireExtension(*manager, "Has NPOT support: ", ZEB::OGL::GL_ARB_TEXTURE_NON_POWER_OF_TWO);
    RequireExtension(*manager, "Has Framebuffer Object Extension support: ", ZEB::OGL::GL_EXT_FRAMEBUFFER_OBJECT);
    if (!manager->isSupported(ZEB::OGL::GL_ARB_SHADER_OBJECTS) ||
        !manager->isSupported(ZEB::OGL::GL_ARB_SHADING_LANGUAGE_100)) {
        std::cout << "Has Shading Language support: FALSE" << std::endl;
        FailWithReturnCode();
    }

    ProgressSignal::Send("at legacy gl compile");
    LegacyCompileTest();
    std::cout << "OpenGL ok" << std::endl;
    int returnCode = 1;

    std::string version;
    ProgressSignal::Send("at legacy opencl");
    if (CheckOpenCL(apContext.get(), &version)) {
        std::cout << "OpenCL ok, version=" << ReportOutput::SingleLine(version) << std::endl;
        returnCode = 3;
    }

    // The last step needs neither the context nor the framework.
    apContext.reset();
    ZEB::OGL::Library::terminate();
    ZEB::Core::Library::terminate();
    return RunLastStep(returnCode);
}

int LegacyCheck::RunLastStep(int returnCode)
{
    ProgressSignal::Send("at legacy last");
    if (platform_.lastStep != nullptr) {
        platform_.lastStep();
    }
    return returnCode;
}
