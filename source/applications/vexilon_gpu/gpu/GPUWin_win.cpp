#include "gpu/GPUWin.h"

#include "compute/DeviceRate.h"

#include "zeb/ocl/ContextProperties.h"

#include <cstring>

GPUWin::GPUWin(const boost::shared_ptr<ZEB::OGL::Context>& context, std::uint32_t vendorID, std::uint32_t deviceID,
               std::uint64_t dedicatedVideoMemory, const WMIData& wmiData, std::uint64_t adapterLuid)
    : GPUHardware(context), uVendorID_(vendorID), uDeviceID_(deviceID), uDedicatedVideoMemory_(dedicatedVideoMemory),
      wmiData_(wmiData), uAdapterLuid_(adapterLuid)
{
}

GPUIdentity GPUWin::Identity()
{
    GPUIdentity identity;
    identity.luid = uAdapterLuid_;
    identity.vendorID = uVendorID_;
    identity.deviceID = uDeviceID_;
    return identity;
}

GPUWin::~GPUWin() {}

unsigned int GPUWin::MemoryMB()
{
    // WMI's AdapterRAM is 32 bits wide and stops just short of 4 GiB; DXGI's
    // figure is not capped.
    const std::uint64_t wmiBytes = wmiData_.AdapterRAM();
    return MemoryMBFromSystemFigure(uDedicatedVideoMemory_ > wmiBytes ? uDedicatedVideoMemory_ : wmiBytes);
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
