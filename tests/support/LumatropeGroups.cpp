#include "LumatropeGroups.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace testsupport {

std::vector<std::string> LumatropeGroupLines(const LumatropeAnswers& answers)
{
    std::vector<std::string> lines = {
        "gputag.GL_SHADING_LANGUAGE_VERSION=35724",
        "gpu.glGetString[GL_SHADING_LANGUAGE_VERSION]=\"" + answers.shadingLanguageVersion + "\"",
        "gputag.GL_FRAGMENT_PROGRAM_ARB=34820",
        "gputag.GL_MAX_PROGRAM_INSTRUCTIONS_ARB=34977",
        "gpu.glGetProgramivARB[GL_FRAGMENT_PROGRAM_ARB][GL_MAX_PROGRAM_INSTRUCTIONS_ARB]=[" +
            answers.fragmentProgramInstructions + "]"};
    const std::pair<const char*, int> limits[] = {
        {"GL_MAX_TEXTURE_UNITS", 34018},          {"GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS", 35661},
        {"GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS", 35660}, {"GL_MAX_TEXTURE_IMAGE_UNITS", 34930},
        {"GL_MAX_DRAW_BUFFERS", 34852},           {"GL_MAX_VERTEX_UNIFORM_COMPONENTS", 35658},
        {"GL_MAX_FRAGMENT_UNIFORM_COMPONENTS", 35657}, {"GL_MAX_VARYING_FLOATS", 35659},
        {"GL_MAX_VERTEX_ATTRIBS", 34921}};
    for (const auto& limit : limits) {
        lines.push_back("gputag." + std::string(limit.first) + "=" + std::to_string(limit.second));
        lines.push_back("gpu.glGetIntegerv[" + std::string(limit.first) + "]=[" +
                        answers.limit(limit.first, limit.second) + "]");
    }
    const std::pair<const char*, int> flags[] = {
        {"GL_ARB_VERTEX_PROGRAM", 70},    {"GL_ARB_FRAGMENT_PROGRAM", 28},   {"GL_ARB_VERTEX_SHADER", 71},
        {"GL_ARB_FRAGMENT_SHADER", 30},   {"GL_EXT_FRAMEBUFFER_OBJECT", 121}, {"GL_ARB_TEXTURE_RECTANGLE", 64},
        {"GL_ARB_TEXTURE_FLOAT", 61},     {"GL_ARB_OCCLUSION_QUERY", 42},    {"GL_ARB_VERTEX_BUFFER_OBJECT", 69},
        {"GL_ARB_SHADER_TEXTURE_LOD", 47}};
    for (const auto& flag : flags) {
        const std::string symbol = "ZEB::OGL::" + std::string(flag.first);
        // The advertised name: "GL_ARB_" and the rest in lower case.
        std::string name = flag.first;
        std::transform(name.begin() + 7, name.end(), name.begin() + 7, [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
        lines.push_back("gputag." + symbol + "=" + std::to_string(flag.second));
        lines.push_back("gpu.extension[" + symbol + "]=" + (answers.hasExtension(name) ? "1" : "0"));
    }
    return lines;
}

} // namespace testsupport
