#include "report/VulkanReport.h"

#include "compute/ProgressSignal.h"
#include "enumeration/VulkanTies.h"
#include "report/ReportOutput.h"
#include "report/Tester.h"
#include "vulkan/VulkanDevices.h"
#include "vulkan/VulkanVersionText.h"

#include <nlohmann/json.hpp>

void VulkanReport::Run(const GPUList& gpus)
{
    ProgressSignal::Send("at vulkan");
    const std::vector<VulkanDevice> devices = VulkanDevices::List();
    std::vector<GPUIdentity> identities;
    for (const boost::shared_ptr<GPU>& gpu : gpus) {
        identities.push_back(gpu->Identity());
    }
    const VulkanTies::System system = VulkanTies::Native();
    const std::vector<int> ties = VulkanTies::Tie(identities, devices, system);
    for (std::size_t device = 0; device < devices.size(); ++device) {
        const std::string tag =
            ties[device] < 0 ? std::string() : Tester::GPUTag(static_cast<std::size_t>(ties[device]), gpus.size());
        ReportOutput::RecordVulkanFacts(tag, Facts(devices[device], system == VulkanTies::System::kWindows));
    }
}

std::string VulkanReport::Facts(const VulkanDevice& device, bool windows)
{
    nlohmann::ordered_json facts;
    facts["apiVersion"] = VulkanVersionText::Api(device.apiVersion);
    facts["driverVersion"] = VulkanVersionText::Driver(device.vendorID, device.driverVersion, windows);
    facts["driverVersionRaw"] = device.driverVersion;
    if (device.hasDriverProperties) {
        facts["driverName"] = device.driverName;
        facts["driverInfo"] = device.driverInfo;
    }
    facts["deviceName"] = device.deviceName;
    facts["deviceType"] = device.deviceType;
    facts["vendorID"] = device.vendorID;
    facts["deviceID"] = device.deviceID;
    if (device.hasIDs) {
        facts["deviceUUID"] = VulkanVersionText::Uuid(device.deviceUUID);
    }
    if (!device.conformanceVersion.empty()) {
        facts["conformanceVersion"] = device.conformanceVersion;
    }
    return facts.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}
