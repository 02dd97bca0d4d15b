#include "LegacyCheckLines.h"

#include "GlxInfo.h"

namespace testsupport {

std::vector<std::string> LegacyCheckLines::Controllers(const std::vector<VideoControllerFacts>& controllers)
{
    std::vector<std::string> lines;
    for (const VideoControllerFacts& controller : controllers) {
        lines.push_back("Device: " + controller.caption +
                        " has video RAM(MB): " + std::to_string(controller.adapterRAM >> 20));
    }
    return lines;
}

std::vector<std::string> LegacyCheckLines::GLStrings()
{
    const GlxInfo glx = GlxInfo::FromTestbed();
    return {"Vendor string:    " + glx.vendor(), "Renderer string:  " + glx.renderer(),
            "Version string:   " + glx.version(), "", "OpenGL version as determined by Quernwheel..."};
}

std::vector<std::string> LegacyCheckLines::OpenGLPasses()
{
    return {"OpenGL Version 3.0", "Has NPOT support: TRUE", "Has Framebuffer Object Extension support: TRUE",
            "OpenGL ok"};
}

std::string LegacyCheckLines::Text(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

std::vector<std::string> LegacyCheckLines::Join(std::vector<std::string> first, const std::vector<std::string>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

} // namespace testsupport
