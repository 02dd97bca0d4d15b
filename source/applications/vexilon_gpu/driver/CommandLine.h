#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

// The "--" switches of the command line.
class CommandLine {
public:
    CommandLine();

    // Walks argv[1..] up to the first argument that does not begin with "--".
    // Unknown keys are reported on `diagnostics` and skipped.
    void Parse(int argc, char** argv, std::ostream& diagnostics);

    const std::string& App() const { return sApp_; }
    std::int32_t FailAfter() const { return iFailAfter_; }
    bool TesterMode() const { return bTesterMode_; }
    // Seconds a probe may go without a line or a sign of progress.
    unsigned Timeout() const { return uTimeout_; }

    static const unsigned kDefaultTimeout = 20;

private:
    std::string sApp_;
    std::int32_t iFailAfter_;
    bool bTesterMode_;
    unsigned uTimeout_;
};
