#include "driver/RunDriver.h"

#include "driver/CommandLine.h"
#include "driver/HandshakeFiles.h"
#include "driver/ToolInfo.h"
#include "legacy/LegacyConsoleCheck.h"
#include "report/JsonReport.h"
#include "report/LumatropeTester.h"
#include "report/ReportOutput.h"
#include "report/Tester.h"
#include "sysinfo/ErrorMode.h"

#include "zeb/core/exception/LogicalException.h"

#include <boost/shared_ptr.hpp>

#include <cstdio>
#include <exception>
#include <iostream>
#include <sstream>

int RunDriver::Run(int argc, char** argv)
{
    ErrorMode::AddNoFaultDialog();
    ErrorMode::ReportBrokenPipeAsWriteError();
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

    int exitCode = 0;
    try {
        exitCode = RunMode(argc, argv);
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

int RunDriver::RunMode(int argc, char** argv)
{
    CommandLine options;
    options.Parse(argc, argv, std::cerr);
    if (!options.FormatError().empty()) {
        std::cerr << options.FormatError() << std::endl;
        return 2;
    }

    if (!options.TesterMode()) {
        try {
            return LegacyConsoleCheck(argc, argv);
        } catch (...) {
            // The check reports its own failures; whatever escapes it ends the run quietly.
            return 0;
        }
    }

    boost::shared_ptr<Tester> tester;
    if (options.App() == "Lumatrope") {
        tester.reset(new LumatropeTester());
    } else {
        tester.reset(new Tester());
    }
    tester->failAfter = static_cast<std::uint32_t>(options.FailAfter());
    tester->stepCount = 0;
    RunTester(*tester, options.JsonFormat());
    tester.reset();
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

void RunDriver::RunTester(Tester& tester, bool json)
{
    if (!json) {
        tester.Begin();
        tester.Run();
        tester.End();
        return;
    }
    JsonReport document;
    ReportOutput::SetSink(&document);
    try {
        tester.Begin();
        tester.Run();
        tester.End();
    } catch (...) {
        ReportOutput::SetSink(nullptr);  // a failed run writes no document
        throw;
    }
    ReportOutput::SetSink(nullptr);
    ReportOutput::WriteLine(document.Text());
}
