#include "driver/RunDriver.h"

#include "driver/CommandLine.h"
#include "driver/HandshakeFiles.h"
#include "probe/ProbeProcess.h"
#include "probe/ProbeResume.h"
#include "probe/ProbeWatcher.h"
#include "driver/ToolInfo.h"
#include "compute/OpenCLStartup.h"
#include "compute/ProgressSignal.h"
#include "enumeration/ListingSteps.h"
#include "enumeration/GPUFactory.h"
#include "legacy/LegacyConsoleCheck.h"
#include "probe/FaultRecordFile.h"
#include "report/JsonReport.h"
#include "report/LineReport.h"
#include "report/LumatropeTester.h"
#include "report/ReportOutput.h"
#include "report/PrometheusReport.h"
#include "report/ReportWriteError.h"
#include "report/Tester.h"
#include "report/VulkanReport.h"
#include "sysinfo/ErrorMode.h"

#include "zeb/core/exception/LogicalException.h"

#include <boost/shared_ptr.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <sstream>
#include <vector>

#ifdef VEXILON_COVERAGE
extern "C" void __gcov_dump();
#endif

namespace {

// A coverage build's probe writes its counts before its last word: the
// watcher ends it right after.
void WriteCoverageCounts()
{
#ifdef VEXILON_COVERAGE
    __gcov_dump();
#endif
}

// The last position the probe's work gave.
std::string gPosition;

// A mark for the watcher, on standard output between whole lines.
void SendMark(const std::string& mark)
{
    if (mark.compare(0, 3, "at ") == 0) {
        gPosition = mark;
    }
    std::cout << '\x1e' << mark << std::endl;
}

// The check's steps that end the process say so; the status is the process's
// own. The check never ends the process in its OpenCL step: an exit there is
// a driver's, a fault like a crash.
void SendExitingAtExit()
{
    if (gPosition != "at legacy opencl") {
        WriteCoverageCounts();
        SendMark("exiting");
    }
}

bool InProcess()
{
    const char* value = std::getenv("VEXILON_IN_PROCESS");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

} // namespace

int RunDriver::Run(int argc, char** argv)
{
    ErrorMode::AddNoFaultDialog();
    ErrorMode::ReportBrokenPipeAsWriteError();
    if (argc > 1 && std::strncmp(argv[1], ProbeResume::kSwitch, std::strlen(ProbeResume::kSwitch)) == 0) {
        return RunProbe(argc, argv);
    }
    const int answered = AnswerAboutItself(argc, argv);
    if (answered >= 0) {
        return answered;
    }
    HandshakeFiles::WaitWhileWaitFileExists();
    try {
        if (HandshakeFiles::ReplayOutputFile(stdout)) {
            return 0;
        }
    } catch (const std::exception& exception) {
        std::cerr << "exception: " << exception.what() << std::endl;
        return 2;
    }

    CommandLine options;
    return Guarded([&]() {
        options.Parse(argc, argv, std::cerr);
        if (!options.SwitchError().empty()) {
            std::cerr << options.SwitchError() << std::endl;
            return 2;
        }
        if (InProcess()) {
            return RunMode(options, ProbeResume(), true, argc, argv);
        }
        if (options.TesterMode()) {
            return WithDocument(options, [&]() { return RunWatched(options, argc, argv); });
        }
        return RunWatched(options, argc, argv);
    });
}

int RunDriver::RunWatched(const CommandLine& options, int argc, char** argv)
{
    ProbeWatcher watcher(std::vector<std::string>(argv + 1, argv + argc), options.TesterMode(), options.Timeout(),
                         options.RetryFaults());
    try {
        return watcher.Run();
    } catch (const ProbeProcess::StartFailure&) {
        if (watcher.Started()) {
            throw;
        }
        // A system that gives the tool no second process still gets its answer.
        return RunMode(options, ProbeResume(), false, argc, argv);
    } catch (const ReportWriteError& error) {
        if (options.TesterMode()) {
            throw;
        }
        std::cerr << "cannot write the check: " << error.Reason() << std::endl;
        return 0;
    }
}

int RunDriver::RunProbe(int argc, char** argv)
{
    ProbeProcess::BecomeProbe();
    ProbeResume resume;
    if (!ProbeResume::Parse(argv[1] + std::strlen(ProbeResume::kSwitch), resume)) {
        return 2;
    }
    ProgressSignal::Install(&SendMark);
    // The tool has read the switches and said what it had to say about them.
    std::ostringstream ignored;
    CommandLine options;
    options.Parse(argc - 1, argv + 1, ignored);
    if (!options.TesterMode()) {
        // The check's failing steps end the process themselves.
        std::atexit(&SendExitingAtExit);
    }
    // The probe writes lines; a JSON document is the watcher's to make.
    const int exitCode = Guarded([&]() { return RunMode(options, resume, false, argc - 1, argv + 1); });
    WriteCoverageCounts();
    SendMark("done " + std::to_string(exitCode));
    return exitCode;
}

int RunDriver::Guarded(const std::function<int()>& run)
{
    int exitCode = 0;
    try {
        exitCode = run();
    } catch (const ZEB::LogicalException& exception) {
        std::cerr << "ZEB::LogicalException: " << exception << std::endl;
        exitCode = 2;
    } catch (const std::exception& exception) {
        std::cerr << "exception: " << exception.what() << std::endl;
        exitCode = 2;
    } catch (...) {
        std::cerr << "unknown exception" << std::endl;
        exitCode = 2;
    }
    return exitCode;
}

int RunDriver::RunMode(const CommandLine& options, const ProbeResume& resume, bool document, int argc, char** argv)
{
    if (!resume.openCL) {
        OpenCLStartup::Disable();
    }
    ListingSteps::Skip(resume.skipped);
    if (!options.TesterMode()) {
        try {
            return LegacyConsoleCheck(argc, argv, resume.legacyAfterOpenCL, resume.atListing);
        } catch (...) {
            // The check reports its own failures; whatever escapes it ends the run quietly.
            return 0;
        }
    }

    if (document) {
        return WithDocument(options, [&]() { return RunMode(options, resume, false, argc, argv); });
    }
    boost::shared_ptr<Tester> tester;
    if (options.App() == "Lumatrope") {
        tester.reset(new LumatropeTester());
    } else {
        tester.reset(new Tester());
    }
    tester->failAfter = static_cast<std::uint32_t>(options.FailAfter());
    tester->stepCount = resume.steps;
    tester->resume.active = !resume.atStart;
    tester->resume.listing = resume.atListing;
    tester->resume.gpu = resume.gpu;
    tester->resume.field = resume.field;
    tester->resume.count = resume.count;
    if (resume.atStart) {
        tester->Begin();
    }
    tester->Run();
    tester->End();
    tester.reset();
    if (options.ReportFormat() != CommandLine::Format::kLines) {
        VulkanReport::Run(GPUFactory::Instance().GetGPUs());
    }
    return 0;
}

int RunDriver::AnswerAboutItself(int argc, char** argv)
{
    // Read before the handshake files, which these two never wait for or
    // replay; the warnings are kept for the one parse that writes them.
    std::ostringstream warnings;
    CommandLine options;
    options.Parse(argc, argv, warnings);
    if (!options.Help() && !options.Version()) {
        return -1;
    }
    std::cerr << warnings.str() << std::flush;
    std::cout << (options.Help() ? ToolInfo::Usage() : ToolInfo::VersionLine() + "\n") << std::flush;
    if (!std::cout) {
        std::cerr << "exception: cannot write to standard output" << std::endl;
        return 2;
    }
    return 0;
}

int RunDriver::WithDocument(const CommandLine& options, const std::function<int()>& run)
{
    const CommandLine::Format format = options.ReportFormat();
    if (format == CommandLine::Format::kLines && options.Output().empty()) {
        return run();  // line by line, as the run goes
    }
    JsonReport json;
    PrometheusReport metrics(ToolInfo::Version(), ToolInfo::Commit());
    LineReport lines;
    ReportSink* const sink = format == CommandLine::Format::kJson         ? static_cast<ReportSink*>(&json)
                             : format == CommandLine::Format::kPrometheus ? static_cast<ReportSink*>(&metrics)
                                                                          : static_cast<ReportSink*>(&lines);
    const auto start = std::chrono::system_clock::now();
    const auto startTick = std::chrono::steady_clock::now();
    ReportOutput::SetSink(sink);
    int exitCode = 2;
    try {
        exitCode = run();
    } catch (...) {
        ReportOutput::SetSink(nullptr);  // a failed run writes no document
        throw;
    }
    ReportOutput::SetSink(nullptr);
    if (exitCode != 0) {
        return exitCode;
    }
    std::string text = lines.Text();
    if (format == CommandLine::Format::kJson) {
        text = json.Text() + "\n";
    } else if (format == CommandLine::Format::kPrometheus) {
        const std::chrono::duration<double> since = start.time_since_epoch(),
                                            took = std::chrono::steady_clock::now() - startTick;
        text = metrics.Text(since.count(), took.count());
    }
    if (options.Output().empty()) {
        text.pop_back();  // the line end WriteLine gives
        ReportOutput::WriteLine(text);
        return 0;
    }
    // Written beside the file and renamed over it: a reader sees the old
    // document or the new one, whole.
    std::string error;
    if (!FaultRecordFile(options.Output()).Replace(text, error)) {
        std::cerr << "cannot write " << options.Output() << ": " << error << std::endl;
        return 2;
    }
    return 0;
}
