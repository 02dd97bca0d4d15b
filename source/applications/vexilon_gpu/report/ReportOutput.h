#pragma once

#include "report/ReportSink.h"

#include <string>

// Standard output as the report and the check use it: one flushed line at a
// time, each value on the line it belongs to.
class ReportOutput {
public:
    // Writes `line` and a line end, flushes, and throws ReportWriteError when
    // standard output fails (now or on an earlier write).
    // With a sink installed the line goes to the sink instead.
    static void WriteLine(const std::string& line);

    // Sends every later line, and every failed GPU block, to `sink` (borrowed
    // until it is replaced); nullptr returns them to standard output.
    static void SetSink(ReportSink* sink);

    // A GPU's block ended early ("DoRunGPU exception"): tells the sink which
    // GPU and why, or, without one, whoever watches the run. The caller
    // writes the message on standard error itself.
    static void RecordFailedBlock(const std::string& tag, const std::string& what);

    // The Vulkan facts of a GPU or an untied device (ReportSink::VulkanFacts):
    // to the sink, or, without one, to whoever watches the run; never to
    // standard output.
    // A device lost while the GPUs were listed (ReportSink::LostDevice); the
    // report lines have no place for it.
    static void RecordLostDevice(const std::string& what);
    static void RecordVulkanFacts(const std::string& tag, const std::string& facts);
    // A fact of a GPU for the JSON document only (ReportSink::GPUFact), on
    // the same way as the Vulkan facts.
    static void RecordGPUFact(const std::string& tag, const std::string& name, const std::string& value);

    // A piece of work a driver fault cost (ReportSink::ProbeFault); only a sink hears of it.
    static void RecordProbeFault(ProbeWork work, bool skipped);

    // `text` with a space for every carriage return and line feed, so that a
    // driver's text can never split a line; every other byte stays.
    static std::string SingleLine(std::string text);

private:
    ReportOutput() = delete;

    static ReportSink* sink_;
};
