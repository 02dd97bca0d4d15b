#pragma once

#include "zeb/ogl/OpenGL.h"

namespace ZEB {
namespace OGL {

class Texture;

// One fixed-function texture unit of the current context.
class TextureUnit {
public:
    static TextureUnit Unit(unsigned index);

    // Makes the unit active, binds the texture to its target there and enables
    // that target, so that fixed-function drawing samples the texture.
    void bind(const Texture& texture) const;

    unsigned index() const { return uIndex_; }

private:
    explicit TextureUnit(unsigned index) : uIndex_(index) {}

    unsigned uIndex_;
};

} // namespace OGL
} // namespace ZEB
