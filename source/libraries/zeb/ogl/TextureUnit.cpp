#include "zeb/ogl/TextureUnit.h"

#include "Detail.h"
#include "GLConstants.h"

#include "zeb/ogl/Texture.h"

namespace ZEB {
namespace OGL {

TextureUnit TextureUnit::Unit(unsigned index) { return TextureUnit(index); }

void TextureUnit::bind(const Texture& texture) const
{
    const FunctionTable& table = detail::currentTable("ZEB::OGL::TextureUnit::bind");
    if (table.glActiveTexture != nullptr) {
        table.glActiveTexture(gl::kTexture0 + uIndex_);
    } else if (uIndex_ != 0) {
        detail::throwMissingEntry("ZEB::OGL::TextureUnit::bind", "glActiveTexture");
    }
    glBindTexture(texture.target(), texture.handle());
    // A fixed-function unit samples only the targets enabled on it.
    glEnable(texture.target());
}

} // namespace OGL
} // namespace ZEB
