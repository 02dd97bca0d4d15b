#pragma once

#include "SystemFacts.h"

#include <string>
#include <vector>

namespace testsupport {

// What the legacy console check should write on the test bed, built from
// direct readings of WMI and glxinfo rather than from the tool's code.
class LegacyCheckLines {
public:
    // "Device: <caption> has video RAM(MB): <MiB>", one per controller.
    static std::vector<std::string> Controllers(const std::vector<VideoControllerFacts>& controllers);
    // The three GL strings glxinfo reports for the display, the empty line and the heading.
    static std::vector<std::string> GLStrings();
    // The lines of a context that passes every OpenGL requirement, from the
    // version gate to "OpenGL ok".
    static std::vector<std::string> OpenGLPasses();

    // Each line ended with CR LF, as a Windows text-mode stream writes it.
    static std::string Text(const std::vector<std::string>& lines);
    static std::vector<std::string> Join(std::vector<std::string> first, const std::vector<std::string>& second);

private:
    LegacyCheckLines() = delete;
};

} // namespace testsupport
