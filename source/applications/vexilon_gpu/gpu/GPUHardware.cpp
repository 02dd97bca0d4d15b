#include "gpu/GPUHardware.h"

#include "compute/BestOpenCLDevice.h"
#include "gpu/ContextScope.h"
#include "compute/DeviceRate.h"
#include "gpu/GLErrorException.h"
#include "gpu/GLSLTestProgram.h"
#include "compute/OpenCLBandwidth.h"
#include "compute/OpenCLStartup.h"
#include "compute/OpenCLVersionText.h"
#include "gpu/OpenGLBandwidth.h"
#include "gpu/VersionCache.h"

#include "zeb/core/exception/ExceptionBase.h"
#include "zeb/ocl/CommandQueue.h"
#include "zeb/ocl/Context.h"
#include "zeb/ocl/ContextProperties.h"
#include "zeb/ocl/Platform.h"
#include "zeb/ogl/ExtensionManager.h"
#include "zeb/ogl/Framebuffer.h"
#include "zeb/ogl/Program.h"
#include "zeb/ogl/Texture2D.h"

#include <iostream>
#include <stdexcept>
#include <utility>

namespace {

const GLenum kVendor = 0x1F00;
const GLenum kRenderer = 0x1F01;
const GLenum kMaxRectangleTextureSize = 0x84F8;
const std::uint32_t kVendorATI = 0x1002;
const std::uint32_t kVendorNVIDIA = 0x10DE;
const GLenum kTextureFreeMemoryATI = 0x87FC;
const GLenum kDedicatedVideoMemoryNVX = 0x9047;

void CheckGLError()
{
    if (glGetError() != GL_NO_ERROR) {
        throw GLErrorException();
    }
}

ZEB::OGL::ExtensionManager& CurrentManager()
{
    ZEB::OGL::ExtensionManager* manager = ZEB::OGL::ExtensionManager::Instance();
    if (manager == nullptr) {
        throw std::runtime_error("ZEB::OGL::ExtensionManager::Instance() returned NULL");
    }
    return *manager;
}

std::string Text(const GLubyte* text) { return text != nullptr ? reinterpret_cast<const char*>(text) : ""; }

} // namespace

GPUHardware::GPUHardware(const boost::shared_ptr<ZEB::OGL::Context>& context) : spContext_(context) {}

GPUHardware::~GPUHardware() {}

unsigned int GPUHardware::MemoryMBFromSystemFigure(std::uint64_t systemBytes)
{
    std::uint64_t bytes = systemBytes;

    const std::uint32_t vendor = VendorID();
    GLenum query = 0;
    if (vendor == kVendorATI) {
        query = kTextureFreeMemoryATI;
    } else if (vendor == kVendorNVIDIA) {
        query = kDedicatedVideoMemoryNVX;
    }
    std::uint64_t reported = 0;
    if (query != 0 && GLMemoryBytes(query, reported) && reported > bytes) {
        bytes = reported;
    }
    return static_cast<unsigned int>(bytes >> 20);
}

unsigned int GPUHardware::MemoryMBFromTotal(std::uint64_t totalBytes)
{
    if (VendorID() != kVendorATI) {
        return MemoryMBFromSystemFigure(totalBytes);
    }
    // The free pool moves with the load: only a card that names no total
    // at all is described by it.
    std::uint64_t bytes = totalBytes;
    if (bytes == 0 && !GLMemoryBytes(kDedicatedVideoMemoryNVX, bytes)) {
        GLMemoryBytes(kTextureFreeMemoryATI, bytes);
    }
    return static_cast<unsigned int>(bytes >> 20);
}

bool GPUHardware::GLMemoryBytes(GLenum query, std::uint64_t& bytes)
{
    GLint kibibytes[4] = {0, 0, 0, 0};
    try {
        GetIntegerv(query, kibibytes);
    } catch (const GLErrorException&) {
        // The driver lacks the extension. Leave no error behind for the next question.
        ContextScope scope(*spContext_);
        for (int flags = 0; flags < 32 && glGetError() != GL_NO_ERROR; ++flags) {
        }
        return false;
    }
    bytes = static_cast<std::uint64_t>(static_cast<std::uint32_t>(kibibytes[0])) * 1024;
    return true;
}

std::string GPUHardware::OGLVersion()
{
    static const struct {
        ZEB::OGL::teExtension version;
        const char* text;
    } kVersions[] = {
        {ZEB::OGL::GL_VERSION_3_0, "3.0"}, {ZEB::OGL::GL_VERSION_2_1, "2.1"}, {ZEB::OGL::GL_VERSION_2_0, "2.0"},
        {ZEB::OGL::GL_VERSION_1_5, "1.5"}, {ZEB::OGL::GL_VERSION_1_4, "1.4"}, {ZEB::OGL::GL_VERSION_1_3, "1.3"},
        {ZEB::OGL::GL_VERSION_1_2, "1.2"},
    };
    ContextScope scope(*spContext_);
    ZEB::OGL::ExtensionManager& manager = CurrentManager();
    for (const auto& candidate : kVersions) {
        if (manager.isSupported(candidate.version)) {
            return candidate.text;
        }
    }
    throw std::runtime_error("Cannot determine OGL version");
}

GLint GPUHardware::RectTextureSize()
{
    GLint size = 0;
    GetIntegerv(kMaxRectangleTextureSize, &size);
    return size;
}

std::string GPUHardware::Renderer() { return Text(GetString(kRenderer)); }

std::string GPUHardware::Vendor() { return Text(GetString(kVendor)); }

bool GPUHardware::HasNPOTSupport() { return IsExtensionSupported(ZEB::OGL::GL_ARB_TEXTURE_NON_POWER_OF_TWO); }

bool GPUHardware::DoCompileProgramGLSL()
{
    try {
        ContextScope scope(*spContext_);
        ZEB::OGL::Program program;
        program.loadVertexShader(GLSLTestProgram::kVertexCount, GLSLTestProgram::VertexSource(), nullptr);
        program.loadFragmentShader(GLSLTestProgram::kFragmentCount, GLSLTestProgram::FragmentSource(), nullptr);
        program.link(true);
        return true;
    } catch (const ZEB::ExceptionBase& exception) {
        std::cerr << "DoCompileProgramGLSL: " << exception.what() << std::endl;
        return false;
    }
}

bool GPUHardware::DoTestFrameBuffer()
{
    try {
        ContextScope scope(*spContext_);
        ZEB::OGL::Texture2D texture(ZEB::OGL::Texture::INTERNAL_FORMAT_RGBA8, 32, 32, false, nullptr);
        ZEB::OGL::Framebuffer framebuffer;
        framebuffer.bind();
        framebuffer.attach(texture, 0, 0);
        // 255 rather than 1: the GL clamps, so the clear colour is opaque white either way.
        glClearColor(255.0f, 255.0f, 255.0f, 255.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        framebuffer.unbind();
        const GLenum error = glGetError();
        if (error != GL_NO_ERROR) {
            std::cerr << "DoTestFrameBuffer: glGetError() returns " << static_cast<GLint>(error) << std::endl;
            return false;
        }
        return true;
    } catch (const ZEB::ExceptionBase& exception) {
        std::cerr << "DoTestFrameBuffer: " << exception.what() << std::endl;
        return false;
    }
}

std::string GPUHardware::OCLVersion()
{
    return VersionCache::Take(sOCLVersion_, [this]() { ProbeOpenCL(sOCLVersion_, sCUDAVersion_); });
}

std::string GPUHardware::CUDAVersion()
{
    return VersionCache::Take(sCUDAVersion_, [this]() { ProbeOpenCL(sOCLVersion_, sCUDAVersion_); });
}

const GLubyte* GPUHardware::GetString(GLenum name)
{
    ContextScope scope(*spContext_);
    const GLubyte* text = glGetString(name);
    CheckGLError();
    return text;
}

void GPUHardware::GetIntegerv(GLenum pname, GLint* params)
{
    ContextScope scope(*spContext_);
    glGetIntegerv(pname, params);
    CheckGLError();
}

void GPUHardware::GetProgramivARB(GLenum target, GLenum pname, GLint* params)
{
    ContextScope scope(*spContext_);
    ZEB::OGL::ExtensionManager& manager = CurrentManager();
    if (manager.table().glGetProgramivARB == nullptr) {
        // A driver without ARB programs: the GL would have raised the error itself.
        throw GLErrorException();
    }
    manager.table().glGetProgramivARB(target, pname, params);
    CheckGLError();
}

bool GPUHardware::IsExtensionSupported(ZEB::OGL::teExtension extension)
{
    ContextScope scope(*spContext_);
    return CurrentManager().isSupported(extension);
}

void GPUHardware::ProbeOpenCL(std::string& oclVersion, std::string& cudaVersion)
{
    oclVersion.clear();
    cudaVersion.clear();
    BestOpenCLDevice best;

    if (!OpenCLStartup::Start()) {
        return;
    }

    {
        ContextScope scope(*spContext_);
        const std::vector<ZEB::OCL::Platform> platforms = ZEB::OCL::platforms();
        for (const ZEB::OCL::Platform& platform : platforms) {
            try {
                const std::vector<ZEB::OCL::Device> devices = platform.devices(ZEB::OCL::Device::TYPE_GPU);
                const ZEB::OCL::ContextProperties properties(platform);
                for (const ZEB::OCL::Device& device : devices) {
                    const ZEB::OCL::Context context(properties, device, ZEB::OCL::Context::NotifyCallback());
                    const OpenCLVersionText version(platform.version());
                    const ZEB::OCL::CommandQueue queue(context, device, false, true);
                    const std::uint64_t rate =
                        DeviceRate::Combine(MeasureOpenCLBandwidth(context, queue),
                                            [this]() { return MeasureOpenGLBandwidth(*spContext_); });
                    best.Offer(rate, version);
                }
            } catch (...) {
                // A failing device ends the work on its platform; what was found stays.
            }
        }
    }

    if (best.Found()) {
        oclVersion.swap(best.OpenCL());
        cudaVersion.swap(best.CUDA());
    }
}

std::uint64_t GPUHardware::MeasureOpenCLBandwidth(const ZEB::OCL::Context& context,
                                                  const ZEB::OCL::CommandQueue& queue)
{
    return OpenCLBandwidth::Measure(context, queue);
}

std::uint64_t GPUHardware::MeasureOpenGLBandwidth(const ZEB::OGL::Context& context)
{
    return OpenGLBandwidth::Measure(context);
}
