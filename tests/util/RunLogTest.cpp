#include "util/RunLog.h"

#include <gtest/gtest.h>

#include <vector>

namespace yar {
namespace {

class TKeptLines final : public TLogSink {
public:
    explicit TKeptLines(std::vector<std::string>& lines) : Lines(lines) {}
    void WriteLine(const std::string& line) override { Lines.push_back(line); }
    std::vector<std::string>& Lines;
};

TEST(RunLog, EachEventIsOneLineWithTheTimeSinceTheStart) {
    std::vector<std::string> lines;
    double now = 0.0;
    TRunLog log(std::make_unique<TKeptLines>(lines), [&] { return now; });
    EXPECT_TRUE(log.Enabled());
    log.Write("Start");
    now = 12.3456;
    log.Write("Message: Disk 2?\r\rAnswer: OK\n");
    now = 12345.5;
    log.Write("End");
    EXPECT_EQ(lines, (std::vector<std::string>{"   0.000 Start", "  12.346 Message: Disk 2?  Answer: OK ",
                                               "12345.500 End"}));
}

TEST(RunLog, WithoutASinkNothingIsWritten) {
    TRunLog log;
    EXPECT_FALSE(log.Enabled());
    log.Write("nothing");
}

} // namespace
} // namespace yar
