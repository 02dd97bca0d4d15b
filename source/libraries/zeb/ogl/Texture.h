#pragma once

#include "zeb/ogl/OpenGL.h"

namespace ZEB {
namespace OGL {

// A texture object on the current context; base of the concrete targets.
class Texture {
public:
    enum InternalFormat {
        INTERNAL_FORMAT_RGBA8 = 26,   // 4 bytes per texel, colour-renderable
        INTERNAL_FORMAT_RGBA32F = 38  // 16 bytes per texel
    };

    virtual ~Texture();

    GLuint handle() const { return uTexture_; }
    GLenum target() const { return eTarget_; }
    int width() const { return iWidth_; }
    int height() const { return iHeight_; }

protected:
    // Creates level 0 of a width x height image of `format`. `data` may be null
    // (contents undefined, or taken from a bound pixel-unpack buffer).
    Texture(GLenum target, InternalFormat format, int width, int height, bool mipmapped, const void* data);

private:
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    GLenum eTarget_;
    GLuint uTexture_;
    int iWidth_;
    int iHeight_;
    RenderContextHandle hRenderContext_;  // the context the texture was made on
};

} // namespace OGL
} // namespace ZEB
