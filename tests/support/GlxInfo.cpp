#include "GlxInfo.h"

#include "TestEnvironment.h"

#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace testsupport {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

std::string Trim(const std::string& text)
{
    const std::string::size_type first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return std::string();
    }
    const std::string::size_type last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

} // namespace

GlxInfo GlxInfo::FromTestbed() { return Parse(TestEnvironment::ReadTextFile(TestEnvironment::TestbedFile("glxinfo-limits.txt"))); }

GlxInfo GlxInfo::Parse(const std::string& text)
{
    GlxInfo info;
    enum Section { kOther, kExtensions, kLimits } section = kOther;
    std::string limitGroup;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (StartsWith(line, "OpenGL vendor string: ")) {
            info.vendor_ = line.substr(22);
        } else if (StartsWith(line, "OpenGL renderer string: ")) {
            info.renderer_ = line.substr(24);
        } else if (StartsWith(line, "OpenGL version string: ")) {
            info.version_ = line.substr(23);
        } else if (StartsWith(line, "OpenGL shading language version string: ")) {
            info.shadingLanguageVersion_ = line.substr(40);
        }

        if (!StartsWith(line, " ")) {
            section = line == "OpenGL extensions:" ? kExtensions : line == "OpenGL limits:" ? kLimits : kOther;
            limitGroup.clear();
            continue;
        }
        if (section == kExtensions) {
            std::istringstream names(line);
            std::string name;
            while (std::getline(names, name, ',')) {
                name = Trim(name);
                if (!name.empty()) {
                    info.extensions_.insert(name);
                }
            }
        } else if (section == kLimits) {
            if (StartsWith(line, "  ") && !StartsWith(line, "   ") && line.back() == ':') {
                limitGroup = Trim(line.substr(0, line.size() - 1));
                continue;
            }
            const std::string::size_type equals = line.find(" = ");
            if (equals == std::string::npos) {
                continue;
            }
            const std::string name = Trim(line.substr(0, equals));
            const long long value = std::atoll(line.c_str() + equals + 3);
            info.limits_.insert(std::make_pair(name, value));
            if (!limitGroup.empty()) {
                info.limits_.insert(std::make_pair(limitGroup + "/" + name, value));
            }
        }
    }
    return info;
}

bool GlxInfo::hasLimit(const std::string& name, const std::string& section) const
{
    return limits_.count(section.empty() ? name : section + "/" + name) != 0;
}

long long GlxInfo::limit(const std::string& name, const std::string& section) const
{
    const auto found = limits_.find(section.empty() ? name : section + "/" + name);
    if (found == limits_.end()) {
        throw std::runtime_error("glxinfo lists no limit " + name);
    }
    return found->second;
}

} // namespace testsupport
