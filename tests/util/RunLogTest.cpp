#include "util/RunLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
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

TEST(RunLog, TheFileHoldsEveryLineAsSoonAsItIsWritten) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "yar-runlog-test.log";
    {
        TRunLog log(std::make_unique<TFileLogSink>(path.string()), [] { return 1.5; });
        log.Write("first");
        // Read while the log is still open: the line is there already.
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_EQ(text.str(), "   1.500 first\r\n");
    }
    std::filesystem::remove(path);
    EXPECT_THROW(TFileLogSink("/nonexistent-dir/x/yar.log"), ELogError);
}

} // namespace
} // namespace yar
