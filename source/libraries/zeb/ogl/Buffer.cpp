#include "zeb/ogl/Buffer.h"

#include "Detail.h"
#include "GLConstants.h"

#include "zeb/core/exception/LogicalException.h"
#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/ExtensionManager.h"

#include <string>

namespace ZEB {
namespace OGL {

namespace {

const char kWho[] = "ZEB::OGL::Buffer";

GLenum targetOf(Buffer::Type type)
{
    switch (type) {
    case Buffer::TYPE_PIXEL_UNPACK: return gl::kPixelUnpackBuffer;
    case Buffer::TYPE_ARRAY: return gl::kArrayBuffer;
    }
    throw LogicalException(std::string(kWho) + ": unknown type " + std::to_string(static_cast<int>(type)));
}

GLenum bindingOf(GLenum target)
{
    return target == gl::kPixelUnpackBuffer ? gl::kPixelUnpackBufferBinding : gl::kArrayBufferBinding;
}

GLenum usageOf(Buffer::Usage usage)
{
    switch (usage) {
    case Buffer::USAGE_STREAM_DRAW: return gl::kStreamDraw;
    case Buffer::USAGE_STATIC_DRAW: return gl::kStaticDraw;
    case Buffer::USAGE_DYNAMIC_DRAW: return gl::kDynamicDraw;
    case Buffer::USAGE_STREAM_COPY: return gl::kStreamCopy;
    }
    throw LogicalException(std::string(kWho) + ": unknown usage " + std::to_string(static_cast<int>(usage)));
}

} // namespace

Buffer::Buffer(std::size_t size, Type type, Usage usage, const void* data)
    : eTarget_(targetOf(type)), uBuffer_(0), hRenderContext_(detail::requireCurrentContext(kWho))
{
    const GLenum glUsage = usageOf(usage);
    const FunctionTable& table = detail::currentTable(kWho);
    detail::requireEntry(table.glGenBuffers, kWho, "glGenBuffers");
    detail::requireEntry(table.glDeleteBuffers, kWho, "glDeleteBuffers");
    detail::requireEntry(table.glBindBuffer, kWho, "glBindBuffer");
    detail::requireEntry(table.glBufferData, kWho, "glBufferData");

    // Made and filled through the target's binding point, which is then given
    // back to the buffer bound there before.
    GLint previous = 0;
    glGetIntegerv(bindingOf(eTarget_), &previous);
    table.glGenBuffers(1, &uBuffer_);
    table.glBindBuffer(eTarget_, uBuffer_);
    table.glBufferData(eTarget_, static_cast<FunctionTable::SizeIPtr>(size), data, glUsage);
    table.glBindBuffer(eTarget_, static_cast<GLuint>(previous));
    try {
        detail::throwOnGLError(std::string(kWho) + ": glBufferData");
    } catch (...) {
        table.glDeleteBuffers(1, &uBuffer_);
        throw;
    }
}

Buffer::~Buffer()
{
    if (uBuffer_ == 0 || !detail::isCurrent(hRenderContext_)) {
        return;
    }
    if (ExtensionManager* manager = ExtensionManager::Instance()) {
        // Deleting a bound buffer unbinds it.
        manager->table().glDeleteBuffers(1, &uBuffer_);
    }
}

void Buffer::bind() { detail::currentTable(kWho).glBindBuffer(eTarget_, uBuffer_); }

void Buffer::unbind() { detail::currentTable(kWho).glBindBuffer(eTarget_, 0); }

} // namespace OGL
} // namespace ZEB
