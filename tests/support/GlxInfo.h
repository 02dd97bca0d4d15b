#pragma once

#include <map>
#include <set>
#include <string>

namespace testsupport {

// What glxinfo reported for the test bed's display (the compatibility-profile
// part, which is what a legacy WGL context gets).
class GlxInfo {
public:
    // Reads the captures the test bed made when it started.
    static GlxInfo FromTestbed();
    // Parses the text of "glxinfo -l".
    static GlxInfo Parse(const std::string& text);

    const std::string& vendor() const { return vendor_; }
    const std::string& renderer() const { return renderer_; }
    const std::string& version() const { return version_; }
    const std::string& shadingLanguageVersion() const { return shadingLanguageVersion_; }
    const std::set<std::string>& extensions() const { return extensions_; }

    // The first value of a limit in the compatibility limits, or of the limit
    // listed under `section` (for example "GL_ARB_fragment_program").
    bool hasLimit(const std::string& name, const std::string& section = std::string()) const;
    long long limit(const std::string& name, const std::string& section = std::string()) const;

private:
    std::string vendor_;
    std::string renderer_;
    std::string version_;
    std::string shadingLanguageVersion_;
    std::set<std::string> extensions_;
    std::map<std::string, long long> limits_;
};

} // namespace testsupport
