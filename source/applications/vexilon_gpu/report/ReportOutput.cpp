#include "report/ReportOutput.h"

#include "compute/ProgressSignal.h"

#include "report/ReportWriteError.h"

#include <cerrno>
#include <iostream>

ReportSink* ReportOutput::sink_ = nullptr;

void ReportOutput::WriteLine(const std::string& line)
{
    if (sink_ != nullptr) {
        sink_->Line(line);
        return;
    }
    errno = 0;
    std::cout << line << std::endl;
    if (!std::cout) {
        // Read at once: the failed write or flush has just set it.
        throw ReportWriteError(errno);
    }
}

void ReportOutput::SetSink(ReportSink* sink) { sink_ = sink; }

void ReportOutput::RecordFailedBlock(const std::string& tag, const std::string& what)
{
    if (sink_ != nullptr) {
        sink_->FailedBlock(tag, what);
    } else {
        // A probe's report goes on in the tool that watches it.
        ProgressSignal::Send("failed " + tag + " " + SingleLine(what));
    }
}

void ReportOutput::RecordLostDevice(const std::string& what)
{
    if (sink_ != nullptr) {
        sink_->LostDevice(SingleLine(what));
    }
}

void ReportOutput::RecordProbeFault(ProbeWork work, bool skipped)
{
    if (sink_ != nullptr) {
        sink_->ProbeFault(work, skipped);
    }
}

void ReportOutput::RecordVulkanFacts(const std::string& tag, const std::string& facts)
{
    if (sink_ != nullptr) {
        sink_->VulkanFacts(tag, facts);
    } else {
        ProgressSignal::Send("vulkan " + (tag.empty() ? std::string("-") : tag) + " " + SingleLine(facts));
    }
}

void ReportOutput::RecordGPUFact(const std::string& tag, const std::string& name, const std::string& value)
{
    if (sink_ != nullptr) {
        sink_->GPUFact(tag, name, value);
    } else {
        ProgressSignal::Send("fact " + tag + " " + name + " " + SingleLine(value));
    }
}

std::string ReportOutput::SingleLine(std::string text)
{
    for (char& byte : text) {
        if (byte == '\r' || byte == '\n') {
            byte = ' ';
        }
    }
    return text;
}
