#pragma once

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
    ProbeWatcher(const std::vector<std::string>& arguments, bool testerMode, unsigned timeoutSeconds);

    // The run's exit status. A fault that ends a report run throws
    // std::runtime_error; a report that standard output refuses throws
    // ReportWriteError.
    int Run();
    // Whether a probe has been started: before that, nothing has been written.
    bool Started() const { return started_; }

private:
    struct Position {
        bool known = false;  // no mark yet: the GPUs are being listed
        std::size_t gpu = 0;
        std::size_t field = 0;
        std::uint32_t steps = 0;
        std::size_t count = 0;
        std::string legacyStage;  // "gl", "opencl" or "last"
        bool vulkan = false;      // the report is done; its Vulkan facts are being gathered
    };

    // Forwards the probe's output until it says it is done (true, with its
    // exit status) or is lost (false, with what happened).
    bool Watch(ProbeProcess& probe, int& exitStatus, std::string& fault);
    // True for the probe's last word, "done <status>".
    bool TakeMark(const std::string& mark, int& exitStatus);
    // After a fault: true and the next probe's start, or false when the run
    // ends here with `exitStatus`.
    bool ResumeAfter(const std::string& fault, int& exitStatus);
    bool ResumeReportAfter(const std::string& fault);
    // "gpu[1], Renderer": where the probe was.
    std::string Where() const;
    std::string Tag() const;

    std::vector<std::string> arguments_;
    bool testerMode_;
    unsigned timeoutSeconds_;
    ProbeResume resume_;
    Position position_;
    Position lastFault_;
    bool lastFaultOpenCL_ = true;
    bool started_ = false;
};
