#include "util/RunLog.h"

#include <utility>

#include "util/NumberText.h"

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
    std::string line = FixedText(seconds, 3, 8) + " " + event;
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    return line;
}

} // namespace yar
