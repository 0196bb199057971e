// The run's log: one line per event, each with the seconds since the run started. Lines go to a sink
// as they happen, so that a run that dies leaves what it did so far. Without a sink nothing is kept.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace yar {

class TLogSink {
public:
    TLogSink() = default;
    virtual ~TLogSink() = default;
    TLogSink(const TLogSink&) = delete;
    TLogSink& operator=(const TLogSink&) = delete;

    // One whole line, without its line end; on disk before the call returns.
    virtual void WriteLine(const std::string& line) = 0;
};

// A log file that cannot be made (system/LogFile).
class ELogError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TRunLog {
public:
    // The seconds since the run started.
    using TClock = std::function<double()>;

    // A log that keeps nothing.
    TRunLog();
    // The clock starts now unless one is given.
    explicit TRunLog(std::unique_ptr<TLogSink> sink, TClock clock = {});

    bool Enabled() const { return FSink != nullptr; }
    // "  12.345 event": the time right-aligned in eight characters, then the event; line ends in the
    // event become blanks, so that each event stays one line.
    void Write(const std::string& event);

private:
    std::unique_ptr<TLogSink> FSink;
    TClock FClock;
};

// The line Write makes.
std::string LogLine(double seconds, const std::string& event);

} // namespace yar
