#pragma once

// Shared by the zeb_ogl tests: a real offscreen context on the primary
// display device, current for the length of one test.

#include "zeb/ogl/ContextOffscreen.h"
#include "zeb/ogl/Library.h"
#include "zeb/ogl/ScopedContextWrapper.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <sstream>
#include <string>

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

class CurrentContextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZEB::OGL::Library::initialize(ZEB::OGL::Library::InitOptions());
        context_.reset(new ZEB::OGL::ContextOffscreen(ZEB::OGL::Context::primaryDisplayDevice()));
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
