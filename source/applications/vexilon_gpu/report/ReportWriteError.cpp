#include "report/ReportWriteError.h"

#include <cstring>

namespace {
std::string ReasonFor(int error) { return error != 0 ? std::strerror(error) : "standard output failed"; }
} // namespace

ReportWriteError::ReportWriteError(int error)
    : std::runtime_error("cannot write the report: " + ReasonFor(error)), reason_(ReasonFor(error))
{
}
