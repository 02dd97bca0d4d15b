#include "probe/FaultRecord.h"

#include <gtest/gtest.h>

namespace {

const std::int64_t kDay = 24 * 60 * 60;
const std::int64_t kNow = 1765000000;

FaultRecord::Entry Fault(std::int64_t time, const std::string& kind, const std::string& identity)
{
    FaultRecord::Entry entry;
    entry.time = time;
    entry.kind = kind;
    entry.identity = identity;
    entry.outcome = "signal 11 (Segmentation fault)";
    return entry;
}

} // namespace

TEST(FaultRecord, ReadsBackWhatItWritesAndNothingThatIsNotAWholeRecord)
{
    FaultRecord record;
    record.Add(Fault(kNow, "GPU block, Renderer", "pci 10de:1b80\tdriver\n535"), kNow);
    record.Add(Fault(kNow, "OpenCL probe", "/usr/lib/libOpenCL.so 1 2"), kNow);
    FaultRecord read;
    ASSERT_TRUE(read.Parse(record.Text()));
    EXPECT_EQ(record.Text(), read.Text());
    ASSERT_NE(nullptr, read.Find("GPU block, Renderer", "pci 10de:1b80\tdriver\n535", kNow));

    const std::string line = "1765000000\tOpenCL probe\t/x 1 2\tno progress for 20 s\n";
    const struct {
        std::string text;
        bool whole;
    } cases[] = {
        {"", true},
        {line + line, true},
        {line.substr(0, line.size() / 2), false},
        {line.substr(0, line.size() - 1), false},
        {std::string("\x7f" "ELF\0\0\n", 7), false},
        {"1765000000\tOpenCL probe\t/x 1 2\n", false},
        {"-1\tOpenCL probe\t/x\tsignal 6\n", false},
        {"1765000000\t\t/x\tsignal 6\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        FaultRecord parsed;
        parsed.Add(Fault(kNow, "kept", "from before"), kNow);
        EXPECT_EQ(c.whole, parsed.Parse(c.text));
        EXPECT_EQ(c.whole ? c.text : "", parsed.Text());
    }
}

TEST(FaultRecord, MatchesTheSamePieceAndDriverForThirtyDays)
{
    FaultRecord record;
    record.Add(Fault(kNow - 29 * kDay, "OpenCL probe", "icd 100 5"), kNow);
    record.Add(Fault(kNow - 31 * kDay, "OpenCL check", "icd 100 5"), kNow - 31 * kDay);
    EXPECT_NE(nullptr, record.Find("OpenCL probe", "icd 100 5", kNow));
    EXPECT_EQ(nullptr, record.Find("OpenCL probe", "icd 100 6", kNow));   // the driver changed
    EXPECT_EQ(nullptr, record.Find("OpenCL check", "icd 100 5", kNow));   // forgotten
    EXPECT_TRUE(record.Mentions("OpenCL probe", kNow));
    EXPECT_FALSE(record.Mentions("OpenCL check", kNow));

    // A new fault of the same piece and driver replaces the old; the forgotten go.
    record.Add(Fault(kNow, "OpenCL probe", "icd 100 5"), kNow);
    FaultRecord expected;
    expected.Add(Fault(kNow, "OpenCL probe", "icd 100 5"), kNow);
    EXPECT_EQ(expected.Text(), record.Text());
}
