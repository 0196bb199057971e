// A progress page for the install engine's tests: it logs what the engine tells it and answers
// the overwrite question as told.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/InstallProgress.h"
#include "util/RunLog.h"

namespace yar::test {

using TLines = std::vector<std::string>;

class TProgressLog final : public TInstallProgress {
public:
    void ShowStatus(const std::string& text) override { Log("status " + text); }
    void ShowDestination(const std::string& text) override { Log("dest " + text); }
    void SetProgressRange(int maximum) override { Log("range " + std::to_string(maximum)); }
    void StepProgress() override { Log("step"); }
    void ProcessMessages() override { ++MessageRuns; }
    bool ConfirmOverwrite(const std::string& question) override {
        Log("ask " + question);
        return Answer;
    }
    TFileErrorAnswer AskFileError(const std::string& message) override {
        Log("file error " + message);
        if (FileErrorAnswers.empty()) return feIgnore;
        const TFileErrorAnswer answer = FileErrorAnswers.front();
        FileErrorAnswers.erase(FileErrorAnswers.begin());
        return answer;
    }
    bool ConfirmRisk(const std::string& question) override {
        Log("risk " + question);
        return RiskAnswer;
    }
    void Finish() override { Log("finish"); }
    void Stopped(const std::string& message) override { Log("stopped " + message); }
    void EndProgram(const std::string& message) override { Log("end " + message); }
    void RolledBack(const std::vector<std::string>& left) override {
        std::string text = "rolled back";
        for (const std::string& line : left) text += "; " + line;
        Log(text);
    }

    // The events whose text begins with prefix, without it.
    TLines Only(const std::string& prefix) const {
        TLines found;
        for (const std::string& event : Events)
            if (event.starts_with(prefix)) found.push_back(event.substr(prefix.size()));
        return found;
    }

    TLines Events;
    int MessageRuns = 0;
    bool Answer = true;
    bool RiskAnswer = false;
    // The answers to file errors in turn; Ignore once they are used up.
    std::vector<TFileErrorAnswer> FileErrorAnswers;

private:
    void Log(std::string event) { Events.push_back(std::move(event)); }
};

// A log sink that keeps its lines.
class TKeptLines final : public TLogSink {
public:
    explicit TKeptLines(TLines& lines) : Lines(lines) {}
    void WriteLine(const std::string& line) override { Lines.push_back(line); }
    TLines& Lines;
};

} // namespace yar::test
