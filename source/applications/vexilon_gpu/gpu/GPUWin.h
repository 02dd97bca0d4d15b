#pragma once

#include "gpu/GPUHardware.h"
#include "wmi/WMIData.h"

#include <cstdint>

namespace ZEB {
namespace OCL {
class ContextProperties;
} // namespace OCL
} // namespace ZEB

// The Windows half of an adapter: its PCI identifiers, DXGI's dedicated memory
// and adapter LUID (0 when DXGI was not asked or failed) and its WMI record.
class GPUWin : public GPUHardware {
public:
    GPUWin(const boost::shared_ptr<ZEB::OGL::Context>& context, std::uint32_t vendorID, std::uint32_t deviceID,
           std::uint64_t dedicatedVideoMemory, const WMIData& wmiData, std::uint64_t adapterLuid = 0);
    ~GPUWin() override;

    unsigned int MemoryMB() override;
    unsigned int RendererID() override;
    unsigned int VendorID() override;
    std::string DriverVersion() override;
    std::string Driver() override;
    std::string DriverDate() override;
    std::string Caption() override;
    GPUIdentity Identity() override;

    // OpenCL sharing with this adapter's GL context.
    virtual void SetOpenCLContextProperties(ZEB::OCL::ContextProperties& properties,
                                            const ZEB::OGL::Context& context);
    virtual bool IsOpenCLVersionSupported(const char* version);
    virtual bool IsOpenCLBandwidthSufficient(std::uint64_t rate);

private:
    std::uint32_t uVendorID_;
    std::uint32_t uDeviceID_;
    std::uint64_t uDedicatedVideoMemory_;
    WMIData wmiData_;
    std::uint64_t uAdapterLuid_;
};
