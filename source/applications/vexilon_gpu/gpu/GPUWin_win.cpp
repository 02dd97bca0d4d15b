#include "gpu/GPUWin.h"

#include "gpu/DeviceRate.h"
#include "gpu/GLErrorException.h"
#include "gpu/ContextScope.h"

#include "zeb/ocl/ContextProperties.h"

#include <cstring>

namespace {

const std::uint32_t kVendorATI = 0x1002;
const std::uint32_t kVendorNVIDIA = 0x10DE;
const GLenum kTextureFreeMemoryATI = 0x87FC;
const GLenum kDedicatedVideoMemoryNVX = 0x9047;

} // namespace

GPUWin::GPUWin(const boost::shared_ptr<ZEB::OGL::Context>& context, std::uint32_t vendorID, std::uint32_t deviceID,
               const WMIData& wmiData)
    : GPUHardware(context), uVendorID_(vendorID), uDeviceID_(deviceID), wmiData_(wmiData)
{
}

GPUWin::~GPUWin() {}

unsigned int GPUWin::MemoryMB()
{
    std::uint64_t bytes = wmiData_.AdapterRAM();

    const std::uint32_t vendor = VendorID();
    GLenum query = 0;
    if (vendor == kVendorATI) {
        query = kTextureFreeMemoryATI;
    } else if (vendor == kVendorNVIDIA) {
        query = kDedicatedVideoMemoryNVX;
    }
    if (query != 0) {
        GLint kibibytes[4] = {0, 0, 0, 0};
        try {
            GetIntegerv(query, kibibytes);
            const std::uint64_t reported = static_cast<std::uint64_t>(static_cast<std::uint32_t>(kibibytes[0])) * 1024;
            if (reported > bytes) {
                bytes = reported;
            }
        } catch (const GLErrorException&) {
            // The driver lacks the vendor's memory extension: the WMI figure is
            // the best one known. Leave no error behind for the next question.
            ContextScope scope(*context());
            for (int flags = 0; flags < 32 && glGetError() != GL_NO_ERROR; ++flags) {
            }
        }
    }
    return static_cast<unsigned int>(bytes >> 20);
}

unsigned int GPUWin::RendererID() { return uDeviceID_; }

unsigned int GPUWin::VendorID() { return uVendorID_; }

std::string GPUWin::DriverVersion() { return wmiData_.DriverVersion(); }

std::string GPUWin::Driver() { return wmiData_.InstalledDisplayDrivers(); }

std::string GPUWin::DriverDate() { return wmiData_.DriverDate(); }

std::string GPUWin::Caption() { return wmiData_.Caption(); }

void GPUWin::SetOpenCLContextProperties(ZEB::OCL::ContextProperties& properties, const ZEB::OGL::Context& context)
{
    properties.setSharedRenderContext(context.renderContext());
    properties.setDisplayContext(context.deviceContext());
}

bool GPUWin::IsOpenCLVersionSupported(const char* version)
{
    return version != nullptr && std::strstr(version, "1.0") == nullptr;
}

bool GPUWin::IsOpenCLBandwidthSufficient(std::uint64_t rate) { return DeviceRate::IsSufficient(rate); }
