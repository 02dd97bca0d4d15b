#include "driver/CommandLine.h"

#include <cstdlib>
#include <cstring>
#include <ostream>

CommandLine::CommandLine() : iFailAfter_(-1), bTesterMode_(false) {}

void CommandLine::Parse(int argc, char** argv, std::ostream& diagnostics)
{
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strncmp(argument, "--", 2) != 0) {
            break;
        }
        const std::string text(argument + 2);
        const std::string::size_type equals = text.find('=');
        const std::string key = text.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : text.substr(equals + 1);

        if (key == "failAfter") {
            iFailAfter_ = std::atoi(value.c_str());
        } else if (key == "app") {
            sApp_ = value;
        } else if (key == "qz4") {
            bTesterMode_ = true;
        } else {
            diagnostics << "unknown argument ignored: " << text << std::endl;
        }
    }
}
