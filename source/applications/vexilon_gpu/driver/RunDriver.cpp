#include "driver/RunDriver.h"

#include "driver/CommandLine.h"
#include "driver/HandshakeFiles.h"
#include "legacy/LegacyConsoleCheck.h"
#include "report/LumatropeTester.h"
#include "report/Tester.h"
#include "sysinfo/ErrorMode.h"

#include "zeb/core/exception/LogicalException.h"

#include <boost/shared_ptr.hpp>

#include <cstdio>
#include <exception>
#include <iostream>

int RunDriver::Run(int argc, char** argv)
{
    ErrorMode::AddNoFaultDialog();
    ErrorMode::ReportBrokenPipeAsWriteError();
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
    tester->Begin();
    tester->Run();
    tester->End();
    tester.reset();
    return 0;
}
