#include "ChildProcess.h"
#include "SystemFacts.h"

#include <windows.h>

#include <sstream>
#include <stdexcept>

namespace testsupport {

std::string FreshSystemFacts::Print()
{
    std::ostringstream text;
    for (const VideoControllerFacts& c : SystemFacts::VideoControllers()) {
        text << "controller\t" << c.caption << '\t' << c.installedDisplayDrivers << '\t' << c.driverVersion << '\t'
             << c.driverDate << '\t' << c.adapterRAM << "\t\n";
    }
    for (const AdapterIdentifiers& a : SystemFacts::DXGIAdapters()) {
        text << "adapter\t" << a.vendorID << '\t' << a.deviceID << '\t' << a.dedicatedVideoMemory << "\t\n";
    }
    return text.str();
}

FreshSystemFacts FreshSystemFacts::Read()
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const ProcessResult result = ChildProcess::Run(self, {"--gtest_filter=SystemFactsProbe.Print"}, std::string(),
                                                   {{"VEXILON_PRINT_SYSTEM_FACTS", "1"}}, 120000);
    const std::string begin = "<facts>\r\n";
    const std::string::size_type start = result.out.find(begin);
    const std::string::size_type end = result.out.find("</facts>");
    if (start == std::string::npos || end == std::string::npos) {
        throw std::runtime_error("the fact printer wrote no facts:\n" + result.out + result.err);
    }
    FreshSystemFacts facts;
    std::istringstream lines(result.out.substr(start + begin.size(), end - start - begin.size()));
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream columns(line);
        std::string field;
        while (std::getline(columns, field, '\t')) {
            fields.push_back(field);
        }
        if (fields.size() == 7 && fields[0] == "controller") {
            VideoControllerFacts c;
            c.caption = fields[1];
            c.installedDisplayDrivers = fields[2];
            c.driverVersion = fields[3];
            c.driverDate = fields[4];
            c.adapterRAM = static_cast<std::uint32_t>(std::stoul(fields[5]));
            facts.controllers.push_back(c);
        } else if (fields.size() == 5 && fields[0] == "adapter") {
            facts.adapters.push_back({static_cast<std::uint32_t>(std::stoul(fields[1])),
                                      static_cast<std::uint32_t>(std::stoul(fields[2])), std::stoull(fields[3])});
        }
    }
    return facts;
}

} // namespace testsupport
