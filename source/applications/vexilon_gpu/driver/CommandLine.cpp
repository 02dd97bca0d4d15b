#include "driver/CommandLine.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <limits>
#include <ostream>

namespace {

// atoi's reading (leading blanks, a sign, digits up to the first other
// character; junk is 0), with a value past the 32-bit range held at its
// nearest end, as the Windows run time's atoi does. The C standard leaves
// that case undefined, and glibc keeps only the low 32 bits of the number, so
// a huge count could turn negative there and never fail.
std::int32_t ToInt32LikeAtoi(const std::string& text)
{
    std::string::size_type i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) {
            magnitude = limit;
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

} // namespace

const unsigned CommandLine::kDefaultTimeout;

CommandLine::CommandLine()
    : iFailAfter_(-1), bTesterMode_(false), uTimeout_(kDefaultTimeout), bHelp_(false), bVersion_(false),
      bFormatGiven_(false), bOutputGiven_(false), bRetryFaults_(false)
{
}

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
            iFailAfter_ = ToInt32LikeAtoi(value);
        } else if (key == "app") {
            sApp_ = value;
        } else if (key == "qz4") {
            bTesterMode_ = true;
        } else if (key == "timeout") {
            // atoi's reading; less than a second would give no probe a chance.
            const std::int32_t seconds = ToInt32LikeAtoi(value);
            uTimeout_ = seconds < 1 ? 1u : static_cast<unsigned>(seconds);
        } else if (key == "help") {
            bHelp_ = true;
        } else if (key == "version") {
            bVersion_ = true;
        } else if (key == "retry-faults") {
            bRetryFaults_ = true;
        } else if (key == "format") {
            bFormatGiven_ = true;
            sFormat_ = value;
        } else if (key == "output") {
            bOutputGiven_ = true;
            sOutput_ = value;
        } else {
            diagnostics << "unknown argument ignored: " << text << std::endl;
        }
    }
}

CommandLine::Format CommandLine::ReportFormat() const
{
    if (bFormatGiven_ && sFormat_ == "json") {
        return Format::kJson;
    }
    return bFormatGiven_ && sFormat_ == "prometheus" ? Format::kPrometheus : Format::kLines;
}

std::string CommandLine::SwitchError() const
{
    if (bFormatGiven_ && ReportFormat() == Format::kLines) {
        return "--format=" + sFormat_ + ": unknown report format; the ones there are: --format=json, --format=prometheus";
    }
    if (bOutputGiven_ && sOutput_.empty()) {
        return "--output: no file named; give --output=<file>";
    }
    return std::string();
}
