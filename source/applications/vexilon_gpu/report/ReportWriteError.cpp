#include "report/ReportWriteError.h"

#include <cstring>

ReportWriteError::ReportWriteError(int error)
    : std::runtime_error(std::string("cannot write the report: ") +
                         (error != 0 ? std::strerror(error) : "standard output failed"))
{
}
