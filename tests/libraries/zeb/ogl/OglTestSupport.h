#pragma once

// Shared by the zeb_ogl tests: a real offscreen context on the primary
// display device (Windows) or the first EGL device (Linux), current for the
// length of one test.

#include "zeb/ogl/ContextOffscreen.h"
#include "zeb/ogl/Library.h"
#include "zeb/ogl/ScopedContextWrapper.h"

#include "zeb/ogl/OpenGL.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace ogltest {

inline std::string GLString(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
}

inline std::set<std::string> Words(const std::string& text)
{
    std::set<std::string> words;
    std::istringstream stream(text);
    std::string word;
    while (stream >> word) {
        words.insert(word);
    }
    return words;
}

// An offscreen context on the device the tests use.
inline std::unique_ptr<ZEB::OGL::ContextOffscreen> NewContext()
{
#ifdef _WIN32
    return std::unique_ptr<ZEB::OGL::ContextOffscreen>(
        new ZEB::OGL::ContextOffscreen(ZEB::OGL::Context::primaryDisplayDevice()));
#else
    const std::vector<ZEB::OGL::EGLDevice> devices = ZEB::OGL::EGLDevice::all();
    if (devices.empty()) {
        throw std::runtime_error("EGL offers no device");
    }
    return std::unique_ptr<ZEB::OGL::ContextOffscreen>(new ZEB::OGL::ContextOffscreen(devices.front()));
#endif
}

// Leaves no context current on the calling thread.
inline void ReleaseCurrent()
{
#ifdef _WIN32
    wglMakeCurrent(nullptr, nullptr);
#else
    eglBindAPI(EGL_OPENGL_API);
    if (eglGetCurrentDisplay() != EGL_NO_DISPLAY) {
        eglMakeCurrent(eglGetCurrentDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
#endif
}

class CurrentContextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZEB::OGL::Library::initialize(ZEB::OGL::Library::InitOptions());
        context_ = NewContext();
        scope_.reset(new ZEB::OGL::ScopedContextWrapper());
        context_->makeCurrent();
        ASSERT_EQ(GLenum(GL_NO_ERROR), glGetError()) << "a fresh context has an error pending";
    }

    void TearDown() override
    {
        // Every test must leave no GL error behind.
        EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
        scope_.reset();
        context_.reset();
    }

    std::unique_ptr<ZEB::OGL::ContextOffscreen> context_;
    std::unique_ptr<ZEB::OGL::ScopedContextWrapper> scope_;
};

} // namespace ogltest
