#include "vulkan/VulkanDevices.h"

#include "zeb/core/system/SystemLibrary.h"

#define VK_NO_PROTOTYPES
#include <vulkan/vulkan.h>

#include <cstring>
#include <string>

namespace {

#ifdef _WIN32
const char* const kLoader = "vulkan-1.dll";
#else
const char* const kLoader = "libvulkan.so.1";
#endif

// The loader's module and the instance made with it, given back in reverse.
class Session {
public:
    Session() : library_(ZEB::Core::SystemLibrary::load(kLoader))
    {
        if (library_ == nullptr) {
            return;
        }
        getProc_ = reinterpret_cast<PFN_vkGetInstanceProcAddr>(
            ZEB::Core::SystemLibrary::symbol(library_, "vkGetInstanceProcAddr"));
        if (getProc_ == nullptr) {
            return;
        }
        const auto enumerateVersion =
            reinterpret_cast<PFN_vkEnumerateInstanceVersion>(getProc_(nullptr, "vkEnumerateInstanceVersion"));
        std::uint32_t loaderVersion = VK_API_VERSION_1_0;
        if (enumerateVersion == nullptr || enumerateVersion(&loaderVersion) != VK_SUCCESS) {
            loaderVersion = VK_API_VERSION_1_0;
        }
        // A 1.0 loader refuses anything newer; a newer one takes 1.3 and
        // answers each device's own properties.
        const bool current = loaderVersion >= VK_API_VERSION_1_1;
        const auto create = reinterpret_cast<PFN_vkCreateInstance>(getProc_(nullptr, "vkCreateInstance"));
        if (create == nullptr) {
            return;
        }
        VkApplicationInfo application = {};
        application.sType = VK_STRUCTURE_TYPE_APPLICATION_INFO;
        application.pApplicationName = "vexilon_gpu";
        application.apiVersion = current ? VK_API_VERSION_1_3 : VK_API_VERSION_1_0;
        VkInstanceCreateInfo info = {};
        info.sType = VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO;
        info.pApplicationInfo = &application;
        if (create(&info, nullptr, &instance_) != VK_SUCCESS) {
            instance_ = VK_NULL_HANDLE;
            return;
        }
        properties2_ = current ? Proc<PFN_vkGetPhysicalDeviceProperties2>("vkGetPhysicalDeviceProperties2") : nullptr;
    }

    ~Session()
    {
        if (instance_ != VK_NULL_HANDLE) {
            const auto destroy = Proc<PFN_vkDestroyInstance>("vkDestroyInstance");
            if (destroy != nullptr) {
                destroy(instance_, nullptr);
            }
        }
        ZEB::Core::SystemLibrary::unload(library_);
    }

    template <typename Function>
    Function Proc(const char* name) const
    {
        return instance_ == VK_NULL_HANDLE ? nullptr : reinterpret_cast<Function>(getProc_(instance_, name));
    }

    VkInstance Instance() const { return instance_; }
    PFN_vkGetPhysicalDeviceProperties2 Properties2() const { return properties2_; }

private:
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ZEB::Core::SystemLibrary::Handle library_;
    PFN_vkGetInstanceProcAddr getProc_ = nullptr;
    VkInstance instance_ = VK_NULL_HANDLE;
    PFN_vkGetPhysicalDeviceProperties2 properties2_ = nullptr;
};

const char* TypeName(VkPhysicalDeviceType type)
{
    switch (type) {
    case VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU:
        return "integrated";
    case VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU:
        return "discrete";
    case VK_PHYSICAL_DEVICE_TYPE_VIRTUAL_GPU:
        return "virtual";
    case VK_PHYSICAL_DEVICE_TYPE_CPU:
        return "cpu";
    default:
        return "other";
    }
}

// A fixed-size text of the driver's, which may lack its terminator.
std::string Text(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

bool HasExtension(const Session& session, VkPhysicalDevice device, const char* name)
{
    const auto enumerate =
        session.Proc<PFN_vkEnumerateDeviceExtensionProperties>("vkEnumerateDeviceExtensionProperties");
    std::uint32_t count = 0;
    if (enumerate == nullptr || enumerate(device, nullptr, &count, nullptr) != VK_SUCCESS) {
        return false;
    }
    std::vector<VkExtensionProperties> extensions(count);
    if (enumerate(device, nullptr, &count, extensions.data()) < VK_SUCCESS) {
        return false;
    }
    extensions.resize(count);
    for (const VkExtensionProperties& extension : extensions) {
        if (std::strncmp(extension.extensionName, name, VK_MAX_EXTENSION_NAME_SIZE) == 0) {
            return true;
        }
    }
    return false;
}

// The newer properties of a device that offers them, chained into one query.
void ReadNewerProperties(const Session& session, VkPhysicalDevice physical, VulkanDevice& device)
{
    if (session.Properties2() == nullptr || device.apiVersion < VK_API_VERSION_1_1) {
        return;
    }
    VkPhysicalDeviceProperties2 properties = {};
    properties.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PROPERTIES_2;
    VkPhysicalDeviceIDProperties ids = {};
    ids.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_ID_PROPERTIES;
    properties.pNext = &ids;
    VkPhysicalDeviceDriverProperties driver = {};
    driver.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_DRIVER_PROPERTIES;
    const bool hasDriver = device.apiVersion >= VK_API_VERSION_1_2 ||
                           HasExtension(session, physical, VK_KHR_DRIVER_PROPERTIES_EXTENSION_NAME);
    if (hasDriver) {
        driver.pNext = properties.pNext;
        properties.pNext = &driver;
    }
    VkPhysicalDevicePCIBusInfoPropertiesEXT pci = {};
    pci.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PCI_BUS_INFO_PROPERTIES_EXT;
    const bool hasPci = HasExtension(session, physical, VK_EXT_PCI_BUS_INFO_EXTENSION_NAME);
    if (hasPci) {
        pci.pNext = properties.pNext;
        properties.pNext = &pci;
    }
    session.Properties2()(physical, &properties);

    device.hasIDs = true;
    std::memcpy(device.deviceUUID.data(), ids.deviceUUID, device.deviceUUID.size());
    device.luidValid = ids.deviceLUIDValid == VK_TRUE;
    if (device.luidValid) {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
        std::memcpy(&low, ids.deviceLUID, 4);
        std::memcpy(&high, ids.deviceLUID + 4, 4);
        device.luid = static_cast<std::uint64_t>(high) << 32 | low;
    }
    if (hasDriver) {
        device.hasDriverProperties = true;
        device.driverName = Text(driver.driverName, VK_MAX_DRIVER_NAME_SIZE);
        device.driverInfo = Text(driver.driverInfo, VK_MAX_DRIVER_INFO_SIZE);
        const VkConformanceVersion& conformance = driver.conformanceVersion;
        if (conformance.major != 0) {
            device.conformanceVersion = std::to_string(conformance.major) + "." + std::to_string(conformance.minor) +
                                        "." + std::to_string(conformance.subminor) + "." +
                                        std::to_string(conformance.patch);
        }
    }
    if (hasPci) {
        device.hasPciBusInfo = true;
        device.pciDomain = pci.pciDomain;
        device.pciBus = pci.pciBus;
        device.pciDevice = pci.pciDevice;
        device.pciFunction = pci.pciFunction;
    }
}

} // namespace

std::vector<VulkanDevice> VulkanDevices::List()
{
    std::vector<VulkanDevice> devices;
    const Session session;
    const auto enumerate = session.Proc<PFN_vkEnumeratePhysicalDevices>("vkEnumeratePhysicalDevices");
    const auto properties = session.Proc<PFN_vkGetPhysicalDeviceProperties>("vkGetPhysicalDeviceProperties");
    std::uint32_t count = 0;
    if (enumerate == nullptr || properties == nullptr || enumerate(session.Instance(), &count, nullptr) != VK_SUCCESS) {
        return devices;
    }
    std::vector<VkPhysicalDevice> physical(count);
    if (enumerate(session.Instance(), &count, physical.data()) < VK_SUCCESS) {
        return devices;
    }
    physical.resize(count);
    for (VkPhysicalDevice handle : physical) {
        VkPhysicalDeviceProperties base = {};
        properties(handle, &base);
        VulkanDevice device;
        device.apiVersion = base.apiVersion;
        device.driverVersion = base.driverVersion;
        device.vendorID = base.vendorID;
        device.deviceID = base.deviceID;
        device.deviceType = TypeName(base.deviceType);
        device.deviceName = Text(base.deviceName, VK_MAX_PHYSICAL_DEVICE_NAME_SIZE);
        ReadNewerProperties(session, handle, device);
        devices.push_back(device);
    }
    return devices;
}
