#include "report/TimeStamp.h"

#include <gtest/gtest.h>

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include <ctime>

using boost::gregorian::date;
using boost::posix_time::ptime;
using boost::posix_time::time_duration;

TEST(TimeStamp, PadsEveryFieldToItsWidth)
{
    EXPECT_EQ("2027-02-03_09:05:00", TimeStamp::Format(ptime(date(2027, 2, 3), time_duration(9, 5, 0))));
    EXPECT_EQ("1400-01-01_00:00:09", TimeStamp::Format(ptime(date(1400, 1, 1), time_duration(0, 0, 9))));
    EXPECT_EQ("2030-10-31_23:59:59", TimeStamp::Format(ptime(date(2030, 10, 31), time_duration(23, 59, 59))));
}

TEST(TimeStamp, NowIsTheLocalTimeOfTheMachine)
{
    // Taken on both sides of the call: the stamp may fall on a second boundary.
    const auto Stamp = [] {
        const std::time_t now = std::time(nullptr);
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%d_%H:%M:%S", std::localtime(&now));
        return std::string(text);
    };
    const std::string before = Stamp();
    const std::string now = TimeStamp::Now();
    const std::string after = Stamp();
    ASSERT_EQ(19u, now.size());
    EXPECT_LE(before, now);
    EXPECT_GE(after, now);
}
