#include "zeb/ocl/Runtime.h"

#include "zeb/core/system/SystemLibrary.h"

#include <cstddef>

namespace ZEB {
namespace OCL {

// Callers index the table as the ICD dispatch table; these are the positions
// they rely on.
static_assert(offsetof(cl_icd_dispatch, clCreateBuffer) == 14 * sizeof(void*), "dispatch order");
static_assert(offsetof(cl_icd_dispatch, clReleaseMemObject) == 18 * sizeof(void*), "dispatch order");
static_assert(offsetof(cl_icd_dispatch, clReleaseEvent) == 44 * sizeof(void*), "dispatch order");
static_assert(offsetof(cl_icd_dispatch, clGetEventProfilingInfo) == 45 * sizeof(void*), "dispatch order");
static_assert(offsetof(cl_icd_dispatch, clFinish) == 47 * sizeof(void*), "dispatch order");
static_assert(offsetof(cl_icd_dispatch, clEnqueueCopyBuffer) == 50 * sizeof(void*), "dispatch order");

namespace {

template <typename Entry> void Resolve(Runtime::Module module, const char* name, Entry& entry)
{
    entry = reinterpret_cast<Entry>(ZEB::Core::SystemLibrary::symbol(module, name));
}

// What a runtime must offer before the layer will use it.
#define ZEB_OCL_REQUIRED_ENTRIES(X) \
    X(clGetPlatformIDs) \
    X(clGetPlatformInfo) \
    X(clGetDeviceIDs) \
    X(clGetDeviceInfo) \
    X(clCreateContext) \
    X(clReleaseContext) \
    X(clCreateCommandQueue) \
    X(clReleaseCommandQueue) \
    X(clCreateBuffer) \
    X(clReleaseMemObject) \
    X(clReleaseEvent) \
    X(clGetEventProfilingInfo) \
    X(clFinish) \
    X(clEnqueueCopyBuffer)

// The rest of OpenCL 1.2 and its GL sharing; null where the runtime lacks them.
#define ZEB_OCL_OPTIONAL_ENTRIES(X) \
    X(clCreateContextFromType) \
    X(clRetainContext) \
    X(clGetContextInfo) \
    X(clRetainCommandQueue) \
    X(clGetCommandQueueInfo) \
    X(clSetCommandQueueProperty) \
    X(clCreateImage2D) \
    X(clCreateImage3D) \
    X(clRetainMemObject) \
    X(clGetSupportedImageFormats) \
    X(clGetMemObjectInfo) \
    X(clGetImageInfo) \
    X(clCreateSampler) \
    X(clRetainSampler) \
    X(clReleaseSampler) \
    X(clGetSamplerInfo) \
    X(clCreateProgramWithSource) \
    X(clCreateProgramWithBinary) \
    X(clRetainProgram) \
    X(clReleaseProgram) \
    X(clBuildProgram) \
    X(clUnloadCompiler) \
    X(clGetProgramInfo) \
    X(clGetProgramBuildInfo) \
    X(clCreateKernel) \
    X(clCreateKernelsInProgram) \
    X(clRetainKernel) \
    X(clReleaseKernel) \
    X(clSetKernelArg) \
    X(clGetKernelInfo) \
    X(clGetKernelWorkGroupInfo) \
    X(clWaitForEvents) \
    X(clGetEventInfo) \
    X(clRetainEvent) \
    X(clFlush) \
    X(clEnqueueReadBuffer) \
    X(clEnqueueWriteBuffer) \
    X(clEnqueueReadImage) \
    X(clEnqueueWriteImage) \
    X(clEnqueueCopyImage) \
    X(clEnqueueCopyImageToBuffer) \
    X(clEnqueueCopyBufferToImage) \
    X(clEnqueueMapBuffer) \
    X(clEnqueueMapImage) \
    X(clEnqueueUnmapMemObject) \
    X(clEnqueueNDRangeKernel) \
    X(clEnqueueTask) \
    X(clEnqueueNativeKernel) \
    X(clEnqueueMarker) \
    X(clEnqueueWaitForEvents) \
    X(clEnqueueBarrier) \
    X(clGetExtensionFunctionAddress) \
    X(clCreateFromGLBuffer) \
    X(clCreateFromGLTexture2D) \
    X(clCreateFromGLTexture3D) \
    X(clCreateFromGLRenderbuffer) \
    X(clGetGLObjectInfo) \
    X(clGetGLTextureInfo) \
    X(clEnqueueAcquireGLObjects) \
    X(clEnqueueReleaseGLObjects) \
    X(clGetGLContextInfoKHR) \
    X(clSetEventCallback) \
    X(clCreateSubBuffer) \
    X(clSetMemObjectDestructorCallback) \
    X(clCreateUserEvent) \
    X(clSetUserEventStatus) \
    X(clEnqueueReadBufferRect) \
    X(clEnqueueWriteBufferRect) \
    X(clEnqueueCopyBufferRect) \
    X(clCreateSubDevices) \
    X(clRetainDevice) \
    X(clReleaseDevice) \
    X(clCreateImage) \
    X(clCreateProgramWithBuiltInKernels) \
    X(clCompileProgram) \
    X(clLinkProgram) \
    X(clUnloadPlatformCompiler) \
    X(clGetKernelArgInfo) \
    X(clEnqueueFillBuffer) \
    X(clEnqueueFillImage) \
    X(clEnqueueMigrateMemObjects) \
    X(clEnqueueMarkerWithWaitList) \
    X(clEnqueueBarrierWithWaitList) \
    X(clGetExtensionFunctionAddressForPlatform) \
    X(clCreateFromGLTexture)

} // namespace

std::unique_ptr<Runtime> Runtime::load(const std::string& libraryPath)
{
    Module module = open(libraryPath);
    if (module == nullptr) {
        return nullptr;
    }
    cl_icd_dispatch table = {};
    bool complete = true;
#define ZEB_OCL_RESOLVE_REQUIRED(name) \
    Resolve(module, #name, table.name); \
    complete = complete && table.name != nullptr;
#define ZEB_OCL_RESOLVE_OPTIONAL(name) Resolve(module, #name, table.name);
    ZEB_OCL_REQUIRED_ENTRIES(ZEB_OCL_RESOLVE_REQUIRED)
    ZEB_OCL_OPTIONAL_ENTRIES(ZEB_OCL_RESOLVE_OPTIONAL)
#undef ZEB_OCL_RESOLVE_REQUIRED
#undef ZEB_OCL_RESOLVE_OPTIONAL
    if (!complete) {
        ZEB::Core::SystemLibrary::unload(module);
        return nullptr;
    }
    return std::unique_ptr<Runtime>(new Runtime(module, table));
}

Runtime::Runtime(Module module, const cl_icd_dispatch& table) : hModule_(module), table_(table) {}

Runtime::~Runtime() { ZEB::Core::SystemLibrary::unload(hModule_); }

} // namespace OCL
} // namespace ZEB
