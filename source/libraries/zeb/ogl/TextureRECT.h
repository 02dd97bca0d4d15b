#pragma once

#include "zeb/ogl/Texture.h"

namespace ZEB {
namespace OGL {

// A rectangle texture (texel coordinates, no mipmaps).
class TextureRECT : public Texture {
public:
    TextureRECT(InternalFormat format, int width, int height, const void* data);
};

} // namespace OGL
} // namespace ZEB
