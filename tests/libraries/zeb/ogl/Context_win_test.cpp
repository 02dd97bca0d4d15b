#include "OglTestSupport.h"

#include "zeb/ogl/ScopedContextWrapper.h"

#include <gmock/gmock.h>

#include <vector>

namespace {

// Vendor, renderer and version of the current context.
std::vector<std::string> Reading()
{
    std::vector<std::string> reading;
    for (GLenum name : {GLenum(GL_VENDOR), GLenum(GL_RENDERER), GLenum(GL_VERSION)}) {
        const GLubyte* text = glGetString(name);
        reading.push_back(text != nullptr ? reinterpret_cast<const char*>(text) : "");
    }
    return reading;
}

} // namespace

// A context on the primary display device answers as a plain WGL context on a window does.
TEST(WGLContext, AnswersLikeAPlainWGLContext)
{
    const HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR format = {
        sizeof format, 1, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER, PFD_TYPE_RGBA, 32};
    SetPixelFormat(dc, ChoosePixelFormat(dc, &format), &format);
    const HGLRC plain = wglCreateContext(dc);
    ASSERT_TRUE(wglMakeCurrent(dc, plain));
    const std::vector<std::string> expected = Reading();
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(plain);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    EXPECT_THAT(expected[2], ::testing::HasSubstr("Compatibility Profile"));

    const std::unique_ptr<ZEB::OGL::ContextOffscreen> context = ogltest::NewContext();
    EXPECT_FALSE(IsWindowVisible(context->window()));
    ZEB::OGL::ScopedContextWrapper scope;
    context->makeCurrent();
    EXPECT_EQ(expected, Reading());
}
