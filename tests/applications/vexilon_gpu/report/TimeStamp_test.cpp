#include "report/TimeStamp.h"

#include <gtest/gtest.h>

#include <boost/date_time/gregorian/gregorian_types.hpp>


using boost::gregorian::date;
using boost::posix_time::ptime;
using boost::posix_time::time_duration;

TEST(TimeStamp, PadsEveryFieldToItsWidth)
{
    EXPECT_EQ("2027-02-03_09:05:00", TimeStamp::Format(ptime(date(2027, 2, 3), time_duration(9, 5, 0))));
    EXPECT_EQ("1400-01-01_00:00:09", TimeStamp::Format(ptime(date(1400, 1, 1), time_duration(0, 0, 9))));
    EXPECT_EQ("2030-10-31_23:59:59", TimeStamp::Format(ptime(date(2030, 10, 31), time_duration(23, 59, 59))));
}
