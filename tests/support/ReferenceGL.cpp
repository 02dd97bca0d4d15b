#include "ReferenceGL.h"

namespace testsupport {

ReferenceGL::~ReferenceGL()
{
    if (context_) {
        releaseCurrent();
    }
}

std::string ReferenceGL::text(GLenum name) const
{
    context_->makeCurrent();
    const GLubyte* text = glGetString(name);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

GLint ReferenceGL::integer(GLenum name) const
{
    context_->makeCurrent();
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

bool ReferenceGL::hasExtension(const std::string& name) const
{
    return (" " + text(GL_EXTENSIONS) + " ").find(" " + name + " ") != std::string::npos;
}

LumatropeAnswers ReferenceGL::lumatropeAnswers() const
{
    LumatropeAnswers answers;
    answers.shadingLanguageVersion = text(0x8B8C /* GL_SHADING_LANGUAGE_VERSION */);
    answers.fragmentProgramInstructions = std::to_string(fragmentProgramInstructions());
    answers.limit = [this](const std::string&, int enumerant) { return std::to_string(integer(enumerant)); };
    answers.hasExtension = [this](const std::string& name) { return hasExtension(name); };
    return answers;
}

} // namespace testsupport
