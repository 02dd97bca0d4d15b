#include "zeb/ogl/Framebuffer.h"

#include "Detail.h"
#include "GLConstants.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/ExtensionManager.h"
#include "zeb/ogl/Texture.h"

#include <string>

namespace ZEB {
namespace OGL {

namespace {
const char kWho[] = "ZEB::OGL::Framebuffer";
}

Framebuffer::Framebuffer() : uFramebuffer_(0), hRenderContext_(detail::requireCurrentContext(kWho))
{
    const FunctionTable& table = detail::currentTable(kWho);
    detail::requireEntry(table.glGenFramebuffers, kWho, "glGenFramebuffers");
    detail::requireEntry(table.glDeleteFramebuffers, kWho, "glDeleteFramebuffers");
    detail::requireEntry(table.glBindFramebuffer, kWho, "glBindFramebuffer");
    detail::requireEntry(table.glFramebufferTexture2D, kWho, "glFramebufferTexture2D");
    table.glGenFramebuffers(1, &uFramebuffer_);
    detail::throwOnGLError(std::string(kWho) + ": glGenFramebuffers");
    if (uFramebuffer_ == 0) {
        throw RuntimeException(std::string(kWho) + ": glGenFramebuffers gave no name");
    }
}

Framebuffer::~Framebuffer()
{
    if (uFramebuffer_ == 0 || !detail::isCurrent(hRenderContext_)) {
        return;
    }
    if (ExtensionManager* manager = ExtensionManager::Instance()) {
        // Deleting a bound framebuffer binds the default one again.
        manager->table().glDeleteFramebuffers(1, &uFramebuffer_);
    }
}

void Framebuffer::bind() { detail::currentTable(kWho).glBindFramebuffer(gl::kFramebuffer, uFramebuffer_); }

void Framebuffer::unbind() { detail::currentTable(kWho).glBindFramebuffer(gl::kFramebuffer, 0); }

void Framebuffer::attach(const Texture& texture, unsigned colourAttachment, int level)
{
    detail::currentTable(kWho).glFramebufferTexture2D(gl::kFramebuffer, gl::kColorAttachment0 + colourAttachment,
                                                      texture.target(), texture.handle(), level);
}

} // namespace OGL
} // namespace ZEB
