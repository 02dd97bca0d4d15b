#pragma once

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// What the GL of the GPU under test answers, as a test found out for itself.
struct LumatropeAnswers {
    std::string shadingLanguageVersion;
    // glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, GL_MAX_PROGRAM_INSTRUCTIONS_ARB).
    std::string fragmentProgramInstructions;
    // The glGetIntegerv answer for the limit of that name and enumerant.
    std::function<std::string(const std::string& name, int enumerant)> limit;
    // Whether the context advertises the extension of that name.
    std::function<bool(const std::string& extension)> hasExtension;
};

// The twenty-one query groups the Lumatrope report writes after a single
// GPU's fields ("gpu" tag), in their order.
std::vector<std::string> LumatropeGroupLines(const LumatropeAnswers& answers);

} // namespace testsupport
