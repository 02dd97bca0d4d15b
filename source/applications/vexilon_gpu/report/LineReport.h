#pragma once

#include "report/ReportSink.h"

#include <string>

// The report lines kept whole until the run is over, for a file that must
// never hold half a report. Only the lines go there, as on standard output.
class LineReport : public ReportSink {
public:
    void Line(const std::string& line) override { text_ += line + "\n"; }
    void FailedBlock(const std::string&, const std::string&) override {}
    void VulkanFacts(const std::string&, const std::string&) override {}
    void GPUFact(const std::string&, const std::string&, const std::string&) override {}
    void LostDevice(const std::string&) override {}
    void ProbeFault(ProbeWork, bool) override {}

    // Every line so far, each ending in a line feed.
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};
