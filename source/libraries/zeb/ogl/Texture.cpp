#include "zeb/ogl/Texture.h"

#include "Detail.h"
#include "GLConstants.h"

#include "zeb/core/exception/LogicalException.h"
#include "zeb/ogl/Texture2D.h"
#include "zeb/ogl/TextureRECT.h"

#include <string>

namespace ZEB {
namespace OGL {

Texture::Texture(GLenum target, InternalFormat format, int width, int height, bool mipmapped, const void* data)
    : eTarget_(target), uTexture_(0), iWidth_(width), iHeight_(height),
      hRenderContext_(detail::requireCurrentContext("ZEB::OGL::Texture"))
{
    GLint internalFormat = 0;
    GLenum texelType = 0;
    switch (format) {
    case INTERNAL_FORMAT_RGBA8:
        internalFormat = gl::kRGBA8;
        texelType = GL_UNSIGNED_BYTE;
        break;
    case INTERNAL_FORMAT_RGBA32F:
        internalFormat = gl::kRGBA32F;
        texelType = GL_FLOAT;
        break;
    default:
        throw LogicalException("ZEB::OGL::Texture: unknown internal format " +
                               std::to_string(static_cast<int>(format)));
    }
    const GLenum bindingName = target == GL_TEXTURE_2D ? GL_TEXTURE_BINDING_2D : gl::kTextureBindingRectangle;

    // Errors raised from here on are this texture's.
    GLint previous = 0;
    glGetIntegerv(bindingName, &previous);
    glGenTextures(1, &uTexture_);
    glBindTexture(eTarget_, uTexture_);
    glTexParameteri(eTarget_, GL_TEXTURE_MIN_FILTER, mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(eTarget_, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (mipmapped) {
        glTexParameteri(eTarget_, gl::kGenerateMipmap, GL_TRUE);
    }
    // With a pixel-unpack buffer bound, `data` is an offset into that buffer.
    glTexImage2D(eTarget_, 0, internalFormat, width, height, 0, GL_RGBA, texelType, data);
    glBindTexture(eTarget_, static_cast<GLuint>(previous));
    try {
        detail::throwOnGLError("ZEB::OGL::Texture: glTexImage2D");
    } catch (...) {
        glDeleteTextures(1, &uTexture_);
        throw;
    }
}

Texture::~Texture()
{
    if (uTexture_ != 0 && detail::isCurrent(hRenderContext_)) {
        glDeleteTextures(1, &uTexture_);
    }
}

Texture2D::Texture2D(InternalFormat format, int width, int height, bool mipmapped, const void* data)
    : Texture(GL_TEXTURE_2D, format, width, height, mipmapped, data)
{
}

TextureRECT::TextureRECT(InternalFormat format, int width, int height, const void* data)
    : Texture(gl::kTextureRectangle, format, width, height, false, data)
{
}

} // namespace OGL
} // namespace ZEB
