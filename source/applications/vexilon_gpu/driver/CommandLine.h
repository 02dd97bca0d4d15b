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

    // "--help" and "--version": the tool says what it is and does nothing else.
    bool Help() const { return bHelp_; }
    bool Version() const { return bVersion_; }
    // "--retry-faults": work skipped for an earlier driver fault is tried again.
    bool RetryFaults() const { return bRetryFaults_; }
    // "--format=json" or "--format=prometheus": the report as one document
    // of that kind instead of lines.
    enum class Format { kLines, kJson, kPrometheus };
    Format ReportFormat() const;
    // "--output=<file>": the report replaces that file once the run is over;
    // empty for standard output.
    const std::string& Output() const { return sOutput_; }
    // Why the "--format" or "--output" value cannot be used; empty when both
    // can or were not given.
    std::string SwitchError() const;

private:
    std::string sApp_;
    std::int32_t iFailAfter_;
    bool bTesterMode_;
    unsigned uTimeout_;
    bool bHelp_;
    bool bVersion_;
    bool bFormatGiven_;
    std::string sFormat_;
    bool bOutputGiven_;
    std::string sOutput_;
    bool bRetryFaults_;
};
