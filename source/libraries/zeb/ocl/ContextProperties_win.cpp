#include "zeb/ocl/ContextProperties.h"

#include <CL/cl_gl.h>

namespace ZEB {
namespace OCL {

void ContextProperties::setDisplayContext(DisplayContext deviceContext)
{
    set(CL_WGL_HDC_KHR, reinterpret_cast<cl_context_properties>(deviceContext));
}

} // namespace OCL
} // namespace ZEB
