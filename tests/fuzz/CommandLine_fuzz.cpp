// The switch reader on any argument list: NUL bytes in the input separate
// the arguments.
#include "driver/CommandLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> arguments{"vexilon_gpu"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    arguments.push_back(current);

    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);

    CommandLine options;
    std::ostringstream diagnostics;
    options.Parse(static_cast<int>(arguments.size()), argv.data(), diagnostics);

    // Every diagnostic is one whole line about one switch.
    const std::string text = diagnostics.str();
    if (!text.empty() && text.back() != '\n') {
        std::abort();
    }
    return 0;
}
