#pragma once

#include <cstdint>
#include <string>

// NVIDIA's user-space libraries, loaded at run time on first use and released
// with the object: the CUDA driver API (libcuda) and NVML. Either may be
// missing (containers, machines without the NVIDIA driver); every question
// then has no answer.
class NvidiaLibraries {
public:
    // The system's libcuda.so.1 and libnvidia-ml.so.1, found by soname.
    NvidiaLibraries();
    // The libraries at these names: sonames, or paths to a build of one's own.
    NvidiaLibraries(const std::string& cudaLibrary, const std::string& nvmlLibrary);
    ~NvidiaLibraries();

    // The PCI address CUDA gives device `ordinal` of this process, as CUDA
    // writes it ("00000000:81:00.0"); empty when unknown. CUDA's numbering
    // follows CUDA_DEVICE_ORDER and CUDA_VISIBLE_DEVICES, like EGL's CUDA index.
    std::string CudaPciAddress(int ordinal);
    // NVML's PCI address of the GPU with this UUID ("GPU-..."); empty when unknown.
    std::string NvmlPciAddress(const std::string& uuid);
    // NVML's driver version ("550.54.15"); empty when unknown.
    std::string NvmlDriverVersion();
    // NVML's total memory of the GPU at a PCI address; false when unknown.
    bool NvmlMemoryBytes(const std::string& pciAddress, std::uint64_t& bytes);

private:
    NvidiaLibraries(const NvidiaLibraries&) = delete;
    NvidiaLibraries& operator=(const NvidiaLibraries&) = delete;

    // The library, loaded on the first call; null when it cannot be.
    void* Load(void*& handle, bool& tried, const std::string& name);
    void* Symbol(void* handle, const char* name) const;
    bool CudaReady();
    bool NvmlReady();

    std::string sCudaLibrary_;
    std::string sNvmlLibrary_;
    void* hCuda_ = nullptr;
    void* hNvml_ = nullptr;
    bool bCudaTried_ = false;
    bool bNvmlTried_ = false;
    int iCudaState_ = 0;  // 0: not initialised yet, 1: cuInit succeeded, -1: failed
    int iNvmlState_ = 0;  // the same for nvmlInit_v2; 1 needs nvmlShutdown
};
