#pragma once

#include "zeb/ogl/Texture.h"

namespace ZEB {
namespace OGL {

class Texture2D : public Texture {
public:
    Texture2D(InternalFormat format, int width, int height, bool mipmapped, const void* data);
};

} // namespace OGL
} // namespace ZEB
