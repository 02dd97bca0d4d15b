#include "zeb/ocl/ContextProperties.h"

#include <gtest/gtest.h>

#include <CL/cl_gl.h>

#include <vector>

using ZEB::OCL::ContextProperties;
using ZEB::OCL::Platform;

namespace {

#ifdef _WIN32
const cl_context_properties kDisplayKey = CL_WGL_HDC_KHR;
#else
const cl_context_properties kDisplayKey = CL_EGL_DISPLAY_KHR;
#endif

std::vector<cl_context_properties> List(const ContextProperties& properties)
{
    std::vector<cl_context_properties> list;
    const cl_context_properties* entry = properties.data();
    while (*entry != 0) {
        list.push_back(entry[0]);
        list.push_back(entry[1]);
        entry += 2;
    }
    return list;
}

} // namespace

TEST(ContextProperties, NamesThePlatformAndEachSharingContextOnce)
{
    ContextProperties properties(Platform(reinterpret_cast<cl_platform_id>(0x100)));
    EXPECT_EQ((std::vector<cl_context_properties>{CL_CONTEXT_PLATFORM, 0x100}), List(properties));

    properties.setSharedRenderContext(reinterpret_cast<ContextProperties::RenderContext>(0x200));
    properties.setDisplayContext(reinterpret_cast<ContextProperties::DisplayContext>(0x300));
    EXPECT_EQ((std::vector<cl_context_properties>{CL_CONTEXT_PLATFORM, 0x100, CL_GL_CONTEXT_KHR, 0x200, kDisplayKey,
                                                  0x300}),
              List(properties));

    // Sharing with another context replaces the first, as clCreateContext
    // rejects a key given twice.
    properties.setSharedRenderContext(reinterpret_cast<ContextProperties::RenderContext>(0x400));
    EXPECT_EQ((std::vector<cl_context_properties>{CL_CONTEXT_PLATFORM, 0x100, CL_GL_CONTEXT_KHR, 0x400, kDisplayKey,
                                                  0x300}),
              List(properties));
}
