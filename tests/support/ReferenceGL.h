#pragma once

#include "LumatropeGroups.h"

#include "zeb/ogl/ContextOffscreen.h"
#include "zeb/ogl/OpenGL.h"

#include <memory>
#include <string>

namespace testsupport {

// A context of this test process on the device the tool reports first (the
// primary display device on Windows, EGL's software device on Linux), asked
// directly, to hold the tool's answers against.
class ReferenceGL {
public:
    ReferenceGL();
    ~ReferenceGL();  // leaves no context current
    ReferenceGL(const ReferenceGL&) = delete;
    ReferenceGL& operator=(const ReferenceGL&) = delete;

    bool available() const { return context_ != nullptr; }
#ifndef _WIN32
    std::string driverName() const { return context_->driverName(); }
#endif
    std::string text(GLenum name) const;
    GLint integer(GLenum name) const;
    bool hasExtension(const std::string& name) const;
    // What the Lumatrope report's query groups should say of this context.
    LumatropeAnswers lumatropeAnswers() const;

private:
    void releaseCurrent() const;
    // glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, GL_MAX_PROGRAM_INSTRUCTIONS_ARB).
    GLint fragmentProgramInstructions() const;

    std::unique_ptr<ZEB::OGL::ContextOffscreen> context_;
};

} // namespace testsupport
