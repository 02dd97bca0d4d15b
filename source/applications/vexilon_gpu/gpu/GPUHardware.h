#pragma once

#include "gpu/GPU.h"

#include "zeb/ogl/Context.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <string>

namespace ZEB {
namespace OCL {
class Context;
class CommandQueue;
} // namespace OCL
} // namespace ZEB

// The platform-neutral half of an adapter: everything that only needs its
// OpenGL context or OpenCL. Owns the context.
class GPUHardware : public GPU {
public:
    explicit GPUHardware(const boost::shared_ptr<ZEB::OGL::Context>& context);
    ~GPUHardware() override;

    std::string OGLVersion() override;
    GLint RectTextureSize() override;
    std::string Renderer() override;
    std::string Vendor() override;
    bool HasNPOTSupport() override;
    bool DoCompileProgramGLSL() override;
    bool DoTestFrameBuffer() override;
    std::string OCLVersion() override;
    std::string CUDAVersion() override;
    const GLubyte* GetString(GLenum name) override;
    void GetIntegerv(GLenum pname, GLint* params) override;
    void GetProgramivARB(GLenum target, GLenum pname, GLint* params) override;
    bool IsExtensionSupported(ZEB::OGL::teExtension extension) override;

    // Fills the OpenCL and CUDA version texts from the OpenCL device with the
    // best measured transfer rate; both stay empty when there is none.
    void ProbeOpenCL(std::string& oclVersion, std::string& cudaVersion);
    // Transfer rates in bytes per nanosecond; 0 when nothing was measured.
    std::uint64_t MeasureOpenCLBandwidth(const ZEB::OCL::Context& context, const ZEB::OCL::CommandQueue& queue);
    std::uint64_t MeasureOpenGLBandwidth(const ZEB::OGL::Context& context);

protected:
    const boost::shared_ptr<ZEB::OGL::Context>& context() const { return spContext_; }
    // The larger of the system's byte count and the vendor's own GL figure
    // (AMD and NVIDIA only), in whole MiB. A driver without the vendor's
    // extension leaves the system's figure standing.
    unsigned int MemoryMBFromSystemFigure(std::uint64_t systemBytes);
    // AMD: the card's total from the system, else the dedicated memory of
    // GL_NVX_gpu_memory_info, and only without either GL_ATI_meminfo's free
    // texture memory; other vendors as MemoryMBFromSystemFigure.
    unsigned int MemoryMBFromTotal(std::uint64_t totalBytes);

private:
    // The vendor's GL memory figure `query` (KiB) in bytes; false, with
    // `bytes` untouched, when the driver lacks the extension.
    bool GLMemoryBytes(GLenum query, std::uint64_t& bytes);

    boost::shared_ptr<ZEB::OGL::Context> spContext_;
    std::string sOCLVersion_;
    std::string sCUDAVersion_;
};
