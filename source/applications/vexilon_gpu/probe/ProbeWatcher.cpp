#include "probe/ProbeWatcher.h"

#include "probe/ProbeProcess.h"
#include "report/ReportOutput.h"
#include "report/Tester.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace {

const char kMarkStart = '\x1e';
const std::size_t kOCLVersionField = 13;

} // namespace

ProbeWatcher::ProbeWatcher(const std::vector<std::string>& arguments, bool testerMode, unsigned timeoutSeconds,
                           bool retryFaults)
    : arguments_(arguments), testerMode_(testerMode), timeoutSeconds_(timeoutSeconds),
      faults_(testerMode, retryFaults)
{
}

int ProbeWatcher::Run()
{
    SkipKnownOpenCL();
    for (;;) {
        std::vector<std::string> arguments{ProbeResume::kSwitch + resume_.Text()};
        arguments.insert(arguments.end(), arguments_.begin(), arguments_.end());
        int exitStatus = 0;
        std::string fault;
        position_.atDevice = false;
        {
            ProbeProcess probe(arguments);
            started_ = true;
            if (Watch(probe, exitStatus, fault)) {
                return exitStatus;
            }
        }
        faults_.Remember(position_, resume_.openCL, fault);
        if (!ResumeAfter(fault, exitStatus)) {
            return exitStatus;
        }
        faults_.NextProbe();
    }
}

bool ProbeWatcher::Watch(ProbeProcess& probe, int& exitStatus, std::string& fault)
{
    typedef std::chrono::steady_clock Clock;
    const auto patience = std::chrono::seconds(timeoutSeconds_);
    auto lastSign = Clock::now();
    std::string pending;
    for (;;) {
        ProbeProcess::Output output = probe.Read(50);
        if (!output.out.empty() || !output.err.empty()) {
            lastSign = Clock::now();
        }
        if (!output.err.empty()) {
            ProbeProcess::WriteError(output.err);
        }
        pending += output.out;
        std::string::size_type end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (line.empty() || line[0] != kMarkStart) {
                ReportOutput::WriteLine(line);
            } else if (TakeMark(line.substr(1), exitStatus)) {
                // Whatever it wrote to standard error before its last word is there now;
                // a probe that then hangs in its drivers' clean-up is no concern.
                ProbeProcess::WriteError(probe.Read(0).err);
                return true;
            } else if (line == std::string(1, kMarkStart) + "exiting") {
                // The check ended the process itself: its status, unless the
                // drivers' clean-up hangs or crashes after the check was done.
                int status = 0;
                std::string how;
                const bool exited = probe.Ended(2000, status, how) && how.compare(0, 11, "exit status") == 0;
                ProbeProcess::WriteError(probe.Read(0).err);
                exitStatus = exited ? status : 0;
                return true;
            } else if (faults_.SkipHere(position_, resume_.openCL, fault)) {
                return false;
            }
        }
        if (probe.OutputClosed()) {
            std::string how = "closed its output without a last word";
            int status = 0;
            if (probe.Ended(2000, status, how)) {
                ProbeProcess::WriteError(probe.Read(0).err);
            }
            fault = how;
            return false;
        }
        if (Clock::now() - lastSign >= patience) {
            probe.Kill();
            fault = "no progress for " + std::to_string(timeoutSeconds_) + " s";
            return false;
        }
    }
}

bool ProbeWatcher::TakeMark(const std::string& mark, int& exitStatus)
{
    std::istringstream words(mark);
    std::string word;
    words >> word;
    if (word == "done") {
        words >> exitStatus;
        return true;
    }
    if (word == "failed") {
        std::string tag;
        std::string what;
        words >> tag;
        std::getline(words >> std::ws, what);
        ReportOutput::RecordFailedBlock(tag, what);
    }
    if (word == "gpu") {
        std::size_t gpu = 0;
        words >> gpu;
        faults_.DeviceSaid(gpu, mark);
    }
    if (word == "vulkan") {
        std::string tag;
        std::string facts;
        words >> tag;
        std::getline(words >> std::ws, facts);
        ReportOutput::RecordVulkanFacts(tag == "-" ? std::string() : tag, facts);
    }
    if (word == "fact") {
        std::string tag;
        std::string name;
        std::string value;
        words >> tag >> name;
        std::getline(words >> std::ws, value);
        ReportOutput::RecordGPUFact(tag, name, value);
    }
    if (word == "at") {
        std::string first;
        words >> first;
        // A resumed probe lists the GPUs again: it is still where the last one stopped.
        if (first != "listing" || !position_.known) {
            faults_.PlaceChanged();
        }
        position_.atDevice = first == "device";
        if (position_.atDevice) {
            position_.device = ListingSteps::Device();
            words >> position_.device.index >> position_.device.identity;
        } else if (first == "listing") {
            words >> position_.listingSteps;
        } else if (first == "legacy") {
            position_.legacyStep.clear();
            words >> position_.legacyStage >> position_.legacyStep;
        } else if (first == "vulkan") {
            position_.vulkan = true;
        } else {
            position_.known = true;
            position_.gpu = std::stoul(first);
            words >> position_.field >> position_.steps >> position_.count;
        }
        SaySkippedOpenCL();
    }
    return false;
}

bool ProbeWatcher::ResumeAfter(const std::string& fault, int& exitStatus)
{
    if (position_.atDevice && ResumeListingAfter(fault)) {
        return true;
    }
    if (testerMode_) {
        return ResumeReportAfter(fault);
    }
    if (position_.legacyStage == "opencl" && !resume_.legacyAfterOpenCL) {
        // As a machine without a usable OpenCL device: on to the last step.
        std::cerr << Verdict() << "OpenCL check: " << fault << std::endl;
        resume_.legacyAfterOpenCL = true;
        return true;
    }
    const std::string& at = position_.legacyStage;
    const std::string stage = at == "last" ? "last step" : at == "opencl" ? "OpenCL check" : "OpenGL check";
    std::cerr << Verdict() << stage << ": " << fault << std::endl;
    ReportOutput::WriteLine("Return code: 0");
    exitStatus = 0;
    return false;
}

bool ProbeWatcher::ResumeReportAfter(const std::string& fault)
{
    const ProbePosition& at = position_;
    if (at.vulkan) {
        // The report is whole; only its Vulkan facts are lost.
        std::cerr << Verdict() << "Vulkan probe: " << fault << std::endl;
        ReportOutput::RecordProbeFault(ProbeWork::kVulkan, faults_.Skipped());
        return false;
    }
    // A second fault where the last one struck: the drivers cannot get past it.
    const bool again = lastFault_.known && at.gpu == lastFault_.gpu && at.field == lastFault_.field &&
                       at.steps == lastFault_.steps && resume_.openCL == lastFaultOpenCL_;
    if (!at.known || again || at.field >= Tester::kFieldCount) {
        throw std::runtime_error(Verdict() + Where() + ": " + fault);
    }
    lastFault_ = at;
    lastFaultOpenCL_ = resume_.openCL;
    resume_.atStart = false;
    resume_.atListing = false;
    resume_.gpu = at.gpu;
    resume_.field = at.field;
    resume_.count = at.count;
    resume_.steps = at.steps;
    if (at.gpu >= at.count) {
        // Only the end was left: the next probe writes it without asking a driver.
        std::cerr << Verdict() << Where() << ": " << fault << std::endl;
        ReportOutput::RecordProbeFault(ProbeWork::kEnd, faults_.Skipped());
        return true;
    }
    if (at.field >= kOCLVersionField && resume_.openCL) {
        // As on a machine without an OpenCL GPU device, for this GPU and the rest.
        std::cerr << Verdict() << "OpenCL probe (" << Tag() << "): " << fault << std::endl;
        ReportOutput::RecordProbeFault(ProbeWork::kOpenCL, faults_.Skipped());
        resume_.openCL = false;
        return true;
    }
    std::cerr << "DoRunGPU exception" << std::endl;
    std::cerr << Verdict() << Where() << ": " << fault << std::endl;
    ReportOutput::RecordFailedBlock(Tag(), Verdict() + Where() + ": " + fault);
    ReportOutput::RecordProbeFault(ProbeWork::kBlock, faults_.Skipped());
    // As after an exception there: what follows the fields (the Lumatrope
    // groups) still comes, with the steps the lost fields did not take.
    resume_.field = Tester::kFieldCount;
    return true;
}

bool ProbeWatcher::ResumeListingAfter(const std::string& fault)
{
    const ListingSteps::Device& device = position_.device;
    const std::string where = "listing the GPUs, device " + std::to_string(device.index);
    const bool again = std::any_of(resume_.skipped.begin(), resume_.skipped.end(),
                                   [&device](const ListingSteps::Device& skipped) { return skipped.index == device.index; });
    // Once the count is written, a shorter list would not match it.
    if (again || (testerMode_ && position_.known)) {
        if (testerMode_) {
            throw std::runtime_error(Verdict() + where + ": " + fault);
        }
        return false;
    }
    std::cerr << Verdict() << where << ": " << fault << std::endl;
    ReportOutput::RecordLostDevice(Verdict() + where + ": " + fault);
    ReportOutput::RecordProbeFault(ProbeWork::kListing, faults_.Skipped());
    resume_.skipped.push_back(device);
    if (resume_.atStart) {
        resume_.atStart = false;
        resume_.atListing = true;
        resume_.steps = position_.listingSteps;
    }
    return true;
}

void ProbeWatcher::SkipKnownOpenCL()
{
    // As after the fault: as on a machine without an OpenCL GPU device. It
    // is said where the fault struck, so that only the verdict differs.
    openCLSkipped_ = faults_.SkipOpenCL();
    resume_.openCL = openCLSkipped_.empty();
    if (!resume_.openCL) {
        ReportOutput::RecordProbeFault(ProbeWork::kOpenCL, true);
    }
}

void ProbeWatcher::SaySkippedOpenCL()
{
    const ProbePosition& at = position_;
    const bool inReport = at.known && at.gpu < at.count && at.field >= kOCLVersionField && at.field < Tester::kFieldCount;
    if (openCLSkipped_.empty() || !(testerMode_ ? inReport : at.legacyStage == "opencl")) {
        return;
    }
    std::cerr << "probe skipped: " << (testerMode_ ? "OpenCL probe (" + Tag() + ")" : "OpenCL check") << ": "
              << openCLSkipped_ << std::endl;
    openCLSkipped_.clear();
}

std::string ProbeWatcher::Where() const
{
    if (!position_.known) {
        return "listing the GPUs";
    }
    if (position_.gpu >= position_.count) {
        return "the end of the report";
    }
    return Tag() + ", " + Tester::FieldName(position_.field);
}

std::string ProbeWatcher::Tag() const
{
    return position_.count > 1 ? "gpu[" + std::to_string(position_.gpu) + "]" : "gpu";
}
