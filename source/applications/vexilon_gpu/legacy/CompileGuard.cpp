#include "legacy/CompileGuard.h"

#include "zeb/core/exception/ExceptionBase.h"

#include <cstdlib>
#include <iostream>

void CompileGuard::Run(void (*compile)())
{
    try {
        RunWithFaultExit(compile);
    } catch (const ZEB::ExceptionBase& exception) {
        std::cerr << exception.what() << std::endl;
        std::cout << "Return code: 0" << std::endl;
        std::exit(0);
    } catch (...) {
        EndAtOnce();
    }
}
