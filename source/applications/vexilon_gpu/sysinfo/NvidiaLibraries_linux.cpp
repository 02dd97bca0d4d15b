#include "sysinfo/NvidiaLibraries.h"

#include "zeb/core/system/SystemLibrary.h"

#include <dlfcn.h>

namespace {

// The few declarations used here, as NVIDIA's public CUDA driver API and NVML
// documentation give them.
typedef int CUresult;
typedef int CUdevice;
const CUresult kCudaSuccess = 0;
typedef CUresult (*CuInitFunction)(unsigned int);
typedef CUresult (*CuDeviceGetFunction)(CUdevice*, int);
typedef CUresult (*CuDeviceGetPCIBusIdFunction)(char*, int, CUdevice);

typedef int nvmlReturn_t;
const nvmlReturn_t kNvmlSuccess = 0;
typedef struct nvmlDevice_st* nvmlDevice_t;
struct nvmlMemory_t {
    unsigned long long total;
    unsigned long long free;
    unsigned long long used;
};
struct nvmlPciInfo_t {
    char busIdLegacy[16];
    unsigned int domain;
    unsigned int bus;
    unsigned int device;
    unsigned int pciDeviceId;
    unsigned int pciSubSystemId;
    char busId[32];
};
typedef nvmlReturn_t (*NvmlInitFunction)();
typedef nvmlReturn_t (*NvmlShutdownFunction)();
typedef nvmlReturn_t (*NvmlHandleByTextFunction)(const char*, nvmlDevice_t*);
typedef nvmlReturn_t (*NvmlPciInfoFunction)(nvmlDevice_t, nvmlPciInfo_t*);
typedef nvmlReturn_t (*NvmlMemoryInfoFunction)(nvmlDevice_t, nvmlMemory_t*);
typedef nvmlReturn_t (*NvmlDriverVersionFunction)(char*, unsigned int);

// A text the library wrote into `buffer`, up to its terminator or the buffer's end.
std::string Terminated(const char* buffer, std::size_t size)
{
    std::size_t length = 0;
    while (length < size && buffer[length] != '\0') {
        ++length;
    }
    return std::string(buffer, length);
}

} // namespace

NvidiaLibraries::NvidiaLibraries() : NvidiaLibraries("libcuda.so.1", "libnvidia-ml.so.1") {}

NvidiaLibraries::NvidiaLibraries(const std::string& cudaLibrary, const std::string& nvmlLibrary)
    : sCudaLibrary_(cudaLibrary), sNvmlLibrary_(nvmlLibrary)
{
}

NvidiaLibraries::~NvidiaLibraries()
{
    if (iNvmlState_ > 0) {
        const NvmlShutdownFunction shutdown = reinterpret_cast<NvmlShutdownFunction>(Symbol(hNvml_, "nvmlShutdown"));
        if (shutdown) {
            shutdown();
        }
    }
    // CUDA has no counterpart of cuInit: the driver keeps its state until the process ends.
    ZEB::Core::SystemLibrary::unload(hNvml_);
    ZEB::Core::SystemLibrary::unload(hCuda_);
}

void* NvidiaLibraries::Load(void*& handle, bool& tried, const std::string& name)
{
    if (!tried) {
        tried = true;
        // A soname goes through the system's search only; a path is a library
        // the caller built (tests), kept mapped like the system's ones.
        handle = name.find('/') == std::string::npos ? ZEB::Core::SystemLibrary::load(name.c_str())
                                                     : dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    }
    return handle;
}

void* NvidiaLibraries::Symbol(void* handle, const char* name) const
{
    return ZEB::Core::SystemLibrary::symbol(handle, name);
}

bool NvidiaLibraries::CudaReady()
{
    if (iCudaState_ == 0) {
        const CuInitFunction init =
            reinterpret_cast<CuInitFunction>(Symbol(Load(hCuda_, bCudaTried_, sCudaLibrary_), "cuInit"));
        iCudaState_ = init && init(0) == kCudaSuccess ? 1 : -1;
    }
    return iCudaState_ > 0;
}

bool NvidiaLibraries::NvmlReady()
{
    if (iNvmlState_ == 0) {
        const NvmlInitFunction init =
            reinterpret_cast<NvmlInitFunction>(Symbol(Load(hNvml_, bNvmlTried_, sNvmlLibrary_), "nvmlInit_v2"));
        iNvmlState_ = init && init() == kNvmlSuccess ? 1 : -1;
    }
    return iNvmlState_ > 0;
}

std::string NvidiaLibraries::CudaPciAddress(int ordinal)
{
    if (ordinal < 0 || !CudaReady()) {
        return std::string();
    }
    const CuDeviceGetFunction deviceGet = reinterpret_cast<CuDeviceGetFunction>(Symbol(hCuda_, "cuDeviceGet"));
    const CuDeviceGetPCIBusIdFunction busId =
        reinterpret_cast<CuDeviceGetPCIBusIdFunction>(Symbol(hCuda_, "cuDeviceGetPCIBusId"));
    CUdevice device = 0;
    char address[64] = {};
    if (!deviceGet || !busId || deviceGet(&device, ordinal) != kCudaSuccess ||
        busId(address, static_cast<int>(sizeof address), device) != kCudaSuccess) {
        return std::string();
    }
    return Terminated(address, sizeof address);
}

std::string NvidiaLibraries::NvmlPciAddress(const std::string& uuid)
{
    if (uuid.empty() || !NvmlReady()) {
        return std::string();
    }
    const NvmlHandleByTextFunction byUuid =
        reinterpret_cast<NvmlHandleByTextFunction>(Symbol(hNvml_, "nvmlDeviceGetHandleByUUID"));
    const NvmlPciInfoFunction pciInfo =
        reinterpret_cast<NvmlPciInfoFunction>(Symbol(hNvml_, "nvmlDeviceGetPciInfo_v3"));
    nvmlDevice_t device = nullptr;
    nvmlPciInfo_t info = {};
    if (!byUuid || !pciInfo || byUuid(uuid.c_str(), &device) != kNvmlSuccess ||
        pciInfo(device, &info) != kNvmlSuccess) {
        return std::string();
    }
    return Terminated(info.busId, sizeof info.busId);
}

std::string NvidiaLibraries::NvmlDriverVersion()
{
    if (!NvmlReady()) {
        return std::string();
    }
    const NvmlDriverVersionFunction driverVersion =
        reinterpret_cast<NvmlDriverVersionFunction>(Symbol(hNvml_, "nvmlSystemGetDriverVersion"));
    char version[80] = {};
    if (!driverVersion || driverVersion(version, sizeof version) != kNvmlSuccess) {
        return std::string();
    }
    return Terminated(version, sizeof version);
}

bool NvidiaLibraries::NvmlMemoryBytes(const std::string& pciAddress, std::uint64_t& bytes)
{
    bytes = 0;
    if (pciAddress.empty() || !NvmlReady()) {
        return false;
    }
    const NvmlHandleByTextFunction byBusId =
        reinterpret_cast<NvmlHandleByTextFunction>(Symbol(hNvml_, "nvmlDeviceGetHandleByPciBusId_v2"));
    const NvmlMemoryInfoFunction memoryInfo =
        reinterpret_cast<NvmlMemoryInfoFunction>(Symbol(hNvml_, "nvmlDeviceGetMemoryInfo"));
    nvmlDevice_t device = nullptr;
    nvmlMemory_t memory = {0, 0, 0};
    if (!byBusId || !memoryInfo || byBusId(pciAddress.c_str(), &device) != kNvmlSuccess ||
        memoryInfo(device, &memory) != kNvmlSuccess || memory.total == 0) {
        return false;
    }
    bytes = memory.total;
    return true;
}
