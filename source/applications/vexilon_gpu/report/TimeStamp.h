#pragma once

#include <boost/date_time/posix_time/posix_time_types.hpp>

#include <string>

// The local time stamp of the report markers: YYYY-MM-DD_HH:MM:SS.
class TimeStamp {
public:
    // The current local time, whole seconds, in the machine's time zone.
    static std::string Now();
    static std::string Format(const boost::posix_time::ptime& time);

private:
    TimeStamp() = delete;
};
