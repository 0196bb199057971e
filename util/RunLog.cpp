#include "util/RunLog.h"

#include <array>
#include <cstdio>
#include <utility>

namespace yar {

TRunLog::TRunLog() = default;

TRunLog::TRunLog(std::unique_ptr<TLogSink> sink, TClock clock)
    : FSink(std::move(sink)), FClock(std::move(clock)) {
    if (!FClock) {
        const auto start = std::chrono::steady_clock::now();
        FClock = [start] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        };
    }
}

void TRunLog::Write(const std::string& event) {
    if (FSink) FSink->WriteLine(LogLine(FClock(), event));
}

std::string LogLine(double seconds, const std::string& event) {
    std::array<char, 32> time{};
    std::snprintf(time.data(), time.size(), "%8.3f ", seconds);
    std::string line = time.data() + event;
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    return line;
}

} // namespace yar
