#include "probe/ProbeResume.h"

#include <sstream>

const char* const ProbeResume::kSwitch = "--vexilon-probe=";

namespace {

// "<index>@<identity>" per device, joined by "+"; identities hold neither.
std::string SkippedText(const std::vector<ListingSteps::Device>& devices)
{
    std::string text;
    for (const ListingSteps::Device& device : devices) {
        text += (text.empty() ? "" : "+") + std::to_string(device.index) + "@" + device.identity;
    }
    return text;
}

bool ParseSkipped(const std::string& text, std::vector<ListingSteps::Device>& devices)
{
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, '+');) {
        const std::string::size_type at = item.find('@');
        if (at == 0 || at == std::string::npos || item.find_first_not_of("0123456789") != at) {
            return false;
        }
        ListingSteps::Device device;
        device.index = std::stoul(item.substr(0, at));
        device.identity = item.substr(at + 1);
        devices.push_back(device);
    }
    return true;
}

} // namespace

std::string ProbeResume::Text() const
{
    std::ostringstream text;
    text << atStart << ',' << atListing << ',' << gpu << ',' << field << ',' << count << ',' << steps << ','
         << openCL << ',' << legacyAfterOpenCL << ',' << SkippedText(skipped);
    return text.str();
}

bool ProbeResume::Parse(const std::string& text, ProbeResume& resume)
{
    std::istringstream in(text);
    char comma[8] = {};
    in >> resume.atStart >> comma[0] >> resume.atListing >> comma[1] >> resume.gpu >> comma[2] >> resume.field >>
        comma[3] >> resume.count >> comma[4] >> resume.steps >> comma[5] >> resume.openCL >> comma[6] >>
        resume.legacyAfterOpenCL >> comma[7];
    if (!in || std::string(comma, 8) != ",,,,,,,,") {
        return false;
    }
    std::string skipped;
    std::getline(in, skipped);
    return ParseSkipped(skipped, resume.skipped);
}
