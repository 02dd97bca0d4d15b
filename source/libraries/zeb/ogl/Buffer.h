#pragma once

#include "zeb/ogl/OpenGL.h"

#include <cstddef>

namespace ZEB {
namespace OGL {

// A buffer object on the current context.
class Buffer {
public:
    enum Type {
        TYPE_PIXEL_UNPACK = 0,  // source of texture uploads while bound
        TYPE_ARRAY = 1
    };
    enum Usage {
        USAGE_STREAM_DRAW = 0,
        USAGE_STATIC_DRAW = 1,
        USAGE_DYNAMIC_DRAW = 2,
        USAGE_STREAM_COPY = 3
    };

    Buffer(std::size_t size, Type type, Usage usage, const void* data);
    ~Buffer();

    void bind();
    void unbind();

    GLuint handle() const { return uBuffer_; }

private:
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    GLenum eTarget_;
    GLuint uBuffer_;
    RenderContextHandle hRenderContext_;  // the context the buffer was made on
};

} // namespace OGL
} // namespace ZEB
