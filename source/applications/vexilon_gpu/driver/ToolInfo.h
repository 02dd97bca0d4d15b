#pragma once

#include <string>

// What the tool says about itself for "--help" and "--version".
class ToolInfo {
public:
    // The switches, handshake files and exit codes, made from the README's
    // tables at build time; ends with a line end.
    static std::string Usage();

    // "vexilon_gpu <version>", and " (commit <id>)" when the build knew it;
    // no line end.
    static std::string VersionLine();
    // The project version, and the commit (empty when the build did not know it).
    static std::string Version();
    static std::string Commit();

private:
    ToolInfo() = delete;
};
