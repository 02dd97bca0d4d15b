#include "zeb/ocl/ContextProperties.h"

#include <CL/cl_gl.h>

namespace ZEB {
namespace OCL {

ContextProperties::ContextProperties(const Platform& platform)
    : properties_{CL_CONTEXT_PLATFORM, reinterpret_cast<cl_context_properties>(platform.handle()), 0}
{
}

void ContextProperties::setSharedRenderContext(RenderContext renderContext)
{
    set(CL_GL_CONTEXT_KHR, reinterpret_cast<cl_context_properties>(renderContext));
}

// A key appears once in the list: setting it again replaces its value.
void ContextProperties::set(cl_context_properties key, cl_context_properties value)
{
    const size_t end = properties_.size() - 1; // the terminating zero
    for (size_t i = 0; i < end; i += 2) {
        if (properties_[i] == key) {
            properties_[i + 1] = value;
            return;
        }
    }
    properties_.insert(properties_.begin() + end, {key, value});
}

} // namespace OCL
} // namespace ZEB
