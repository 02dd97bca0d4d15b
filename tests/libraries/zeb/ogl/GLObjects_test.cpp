// The GL objects and the scoped wrapper on a real offscreen context.
#include "OglTestSupport.h"

#include "zeb/core/exception/RuntimeException.h"
#include "zeb/ogl/Framebuffer.h"
#include "zeb/ogl/Program.h"
#include "zeb/ogl/ScopedContextWrapper.h"
#include "zeb/ogl/Texture2D.h"

#ifndef _WIN32
#include <EGL/egl.h>
#endif

#include <gmock/gmock.h>

#include <vector>

using namespace ZEB::OGL;

namespace {

#ifdef _WIN32
void* CurrentContext() { return wglGetCurrentContext(); }
void ReleaseCurrent() { wglMakeCurrent(nullptr, nullptr); }
#else
void* CurrentContext() { return eglGetCurrentContext(); }
void ReleaseCurrent() { eglMakeCurrent(eglGetCurrentDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT); }
#endif

class GLObjects : public ::testing::Test {
protected:
    void SetUp() override { context_->makeCurrent(); }
    void TearDown() override { EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError()); } // none left behind

    ScopedContextWrapper scope_; // outlives the context
    const std::unique_ptr<ContextOffscreen> context_ = ogltest::NewContext();
};

} // namespace

TEST_F(GLObjects, ProgramsLinkOrThrowWithTheDriversLog)
{
    const char* const vertex[] = {"void main(void){gl_Position = ftransform();}"};
    const struct {
        const char* fragment;
        const char* error;
    } kCases[] = {
        {"void main(void){gl_FragColor = vec4(1.0);}", ""},
        {"void main(void){gl_FragColor = undeclared_colour;}", "fragment shader failed to compile"},
    };
    for (const auto& c : kCases) {
        std::string error;
        try {
            Program program;
            program.loadVertexShader(1, vertex, nullptr);
            program.loadFragmentShader(1, &c.fragment, nullptr);
            program.link(true);
        } catch (const ZEB::RuntimeException& exception) {
            error = exception.what();
        }
        EXPECT_EQ(*c.error == '\0', error.empty()) << error;
        EXPECT_THAT(error, ::testing::HasSubstr(c.error));
    }
}

TEST_F(GLObjects, AFramebufferDrawsIntoItsTexture)
{
    Texture2D texture(Texture::InternalFormat(26), 32, 32, false, nullptr);
    Framebuffer framebuffer;
    framebuffer.bind();
    framebuffer.attach(texture, 0, 0);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    framebuffer.unbind();
    std::vector<GLubyte> texels(32 * 32 * 4, 0);
    glBindTexture(GL_TEXTURE_2D, texture.handle());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(std::vector<GLubyte>(texels.size(), 255), texels);
}

TEST_F(GLObjects, ScopedContextWrapperRestoresWhatWasCurrent)
{
    const std::unique_ptr<ContextOffscreen> inner = ogltest::NewContext();
    for (const ContextOffscreen* before : {static_cast<ContextOffscreen*>(nullptr), context_.get()}) {
        before != nullptr ? before->makeCurrent() : ReleaseCurrent();
        void* const expected = before != nullptr ? static_cast<void*>(before->renderContext()) : nullptr;
        {
            ScopedContextWrapper scope;
            inner->makeCurrent();
            EXPECT_EQ(static_cast<void*>(inner->renderContext()), CurrentContext());
        }
        EXPECT_EQ(expected, CurrentContext()) << (before == nullptr ? "none was current" : "one was current");
    }
}
