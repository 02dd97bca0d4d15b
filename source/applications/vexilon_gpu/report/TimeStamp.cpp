#include "report/TimeStamp.h"

#include <iomanip>
#include <sstream>

std::string TimeStamp::Now() { return Format(boost::posix_time::second_clock::local_time()); }

std::string TimeStamp::Format(const boost::posix_time::ptime& time)
{
    const boost::gregorian::date date = time.date();
    const boost::posix_time::time_duration clock = time.time_of_day();

    std::ostringstream stream;
    stream.fill('0');
    stream << std::setw(4) << static_cast<int>(date.year()) << '-' << std::setw(2)
           << static_cast<int>(date.month()) << '-' << std::setw(2) << static_cast<int>(date.day()) << '_'
           << std::setw(2) << clock.hours() << ':' << std::setw(2) << clock.minutes() << ':' << std::setw(2)
           << clock.seconds();
    return stream.str();
}
