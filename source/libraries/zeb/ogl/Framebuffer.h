#pragma once

#include "zeb/ogl/OpenGL.h"

namespace ZEB {
namespace OGL {

class Texture;

// A framebuffer object on the current context.
class Framebuffer {
public:
    Framebuffer();
    ~Framebuffer();

    void bind();
    void unbind();
    // Attaches mip `level` of the texture as colour attachment `colourAttachment`
    // of the bound framebuffer.
    void attach(const Texture& texture, unsigned colourAttachment, int level);

    GLuint handle() const { return uFramebuffer_; }

private:
    Framebuffer(const Framebuffer&) = delete;
    Framebuffer& operator=(const Framebuffer&) = delete;

    GLuint uFramebuffer_;
    RenderContextHandle hRenderContext_;  // the context the framebuffer was made on
};

} // namespace OGL
} // namespace ZEB
