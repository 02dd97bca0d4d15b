#pragma once

#include "report/JsonReport.h"
#include "report/ReportSink.h"

#include <array>
#include <string>

// The report as Prometheus metrics (text format 0.0.4, for node_exporter's
// textfile collector), made at the end of the run from the facts the JSON
// document collects, and the pieces of work driver faults cost. A fact the
// run did not learn has no series (or no label), never a 0 or an empty text.
// Names and meanings: docs/report-reference.md.
class PrometheusReport : public ReportSink {
public:
    // The tool's version and commit (empty when unknown), for its build_info.
    PrometheusReport(const std::string& version, const std::string& commit);

    void Line(const std::string& line) override { facts_.Line(line); }
    void FailedBlock(const std::string& tag, const std::string& what) override { facts_.FailedBlock(tag, what); }
    void VulkanFacts(const std::string& tag, const std::string& facts) override { facts_.VulkanFacts(tag, facts); }
    void GPUFact(const std::string& tag, const std::string& name, const std::string& value) override
    {
        facts_.GPUFact(tag, name, value);
    }
    void LostDevice(const std::string& what) override { facts_.LostDevice(what); }
    void ProbeFault(ProbeWork work, bool skipped) override;

    // The metrics of a run that began `startSeconds` after the Unix epoch and
    // took `durationSeconds`.
    std::string Text(double startSeconds, double durationSeconds) const;

    // A CIM datetime (yyyymmddhhmmss.ffffff+zzz, time and zone optional) as
    // seconds since the Unix epoch; false when `text` is none.
    static bool DateSeconds(const std::string& text, double& seconds);

private:
    static const std::size_t kWorks = 5;

    JsonReport facts_;
    std::string version_;
    std::string commit_;
    std::array<unsigned, kWorks> failed_;
    std::array<unsigned, kWorks> skipped_;
};
