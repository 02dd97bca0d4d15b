#pragma once

#include "probe/FaultGate.h"
#include "probe/ProbePosition.h"
#include "probe/ProbeResume.h"

#include <string>
#include <vector>

class ProbeProcess;

// Runs the mode's work in probes and answers for them: forwards their report
// lines and diagnostics, watches for progress, and when a probe crashes or
// stops making progress, says so and starts the next one after the lost part.
class ProbeWatcher {
public:
    // `arguments`: the tool's own (without the program), passed to every probe.
    // Work that faulted in an earlier run with the same driver is skipped
    // (FaultGate), unless `retryFaults`.
    ProbeWatcher(const std::vector<std::string>& arguments, bool testerMode, unsigned timeoutSeconds,
                 bool retryFaults = false);

    // The run's exit status. A fault that ends a report run throws
    // std::runtime_error; a report that standard output refuses throws
    // ReportWriteError.
    int Run();
    // Whether a probe has been started: before that, nothing has been written.
    bool Started() const { return started_; }

private:
    // Forwards the probe's output until it says it is done (true, with its
    // exit status) or is lost (false, with what happened).
    bool Watch(ProbeProcess& probe, int& exitStatus, std::string& fault);
    // True for the probe's last word, "done <status>".
    bool TakeMark(const std::string& mark, int& exitStatus);
    // After a fault: true and the next probe's start, or false when the run
    // ends here with `exitStatus`.
    bool ResumeAfter(const std::string& fault, int& exitStatus);
    bool ResumeReportAfter(const std::string& fault);
    // After a fault while the listing asked a device: true to list again without it.
    bool ResumeListingAfter(const std::string& fault);
    // The OpenCL work that faulted with this driver before is left out from the start.
    void SkipKnownOpenCL();
    // Once the probe is where the OpenCL work would have been: why it was skipped.
    void SaySkippedOpenCL();
    std::string Verdict() const { return faults_.Skipped() ? "probe skipped: " : "probe failed: "; }
    // "gpu[1], Renderer": where the probe was.
    std::string Where() const;
    std::string Tag() const;

    std::vector<std::string> arguments_;
    bool testerMode_;
    unsigned timeoutSeconds_;
    ProbeResume resume_;
    ProbePosition position_;
    ProbePosition lastFault_;
    bool lastFaultOpenCL_ = true;
    std::string openCLSkipped_;  // why the OpenCL work is left out, until said
    bool started_ = false;
    FaultGate faults_;
};
