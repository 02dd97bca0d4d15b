#include "probe/ProbeResume.h"

#include <sstream>

const char* const ProbeResume::kSwitch = "--vexilon-probe=";

std::string ProbeResume::Text() const
{
    std::ostringstream text;
    text << atStart << ',' << gpu << ',' << field << ',' << steps << ',' << openCL << ',' << legacyAfterOpenCL;
    return text.str();
}

bool ProbeResume::Parse(const std::string& text, ProbeResume& resume)
{
    std::istringstream in(text);
    char comma[5] = {};
    in >> resume.atStart >> comma[0] >> resume.gpu >> comma[1] >> resume.field >> comma[2] >> resume.steps >>
        comma[3] >> resume.openCL >> comma[4] >> resume.legacyAfterOpenCL;
    return in && in.peek() == std::char_traits<char>::eof() && std::string(comma, 5) == ",,,,,";
}
