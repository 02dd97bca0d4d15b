#pragma once

#include "gpu/GPU.h"

// The process-wide source of the GPU list. The list is built once, on the first
// demand that finds adapters, and every caller gets its own copy of it.
class GPUFactory {
public:
    virtual ~GPUFactory();

    // The one factory of the process (the platform's own), unless a
    // replacement has been installed.
    static GPUFactory& Instance();

    // Makes Instance() return `replacement` until it is called again with null.
    // For tests that report adapters of their own; the caller keeps ownership.
    static void InstallReplacement(GPUFactory* replacement);

    // A copy of the cached list; enumerates first while the cache is empty.
    GPUList GetGPUs();

protected:
    GPUFactory() {}

    virtual GPUList CreateGPUs() = 0;

private:
    // The platform's factory, made on first use and destroyed at process exit.
    static GPUFactory& SystemFactory();

    GPUFactory(const GPUFactory&) = delete;
    GPUFactory& operator=(const GPUFactory&) = delete;

    GPUList spGPUs_;
};
