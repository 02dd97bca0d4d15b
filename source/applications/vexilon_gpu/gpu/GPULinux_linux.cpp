#include "gpu/GPULinux.h"

GPULinux::GPULinux(const boost::shared_ptr<ZEB::OGL::Context>& context, const DeviceFacts& facts,
                   const std::string& caption)
    : GPUHardware(context), facts_(facts), sCaption_(caption)
{
}

GPULinux::~GPULinux() {}

unsigned int GPULinux::MemoryMB() { return MemoryMBFromSystemFigure(facts_.memoryBytes); }

unsigned int GPULinux::RendererID() { return facts_.deviceID; }

unsigned int GPULinux::VendorID() { return facts_.vendorID; }

std::string GPULinux::DriverVersion() { return facts_.driverVersion; }

std::string GPULinux::Driver() { return facts_.driver; }

std::string GPULinux::DriverDate() { return facts_.driverDate; }

std::string GPULinux::Caption() { return sCaption_; }
