// What the install engine needs of the wizard window while it runs: the progress page's texts and
// bar, the overwrite question, pending messages, and how the run ends. The window implements it;
// the engine itself knows no window.
#pragma once

#include <string>
#include <vector>

namespace yar {

// What the user does about a file that cannot be written.
enum TFileErrorAnswer { feRetry, feIgnore, feAbort };

class TInstallProgress {
public:
    TInstallProgress() = default;
    virtual ~TInstallProgress() = default;
    TInstallProgress(const TInstallProgress&) = delete;
    TInstallProgress& operator=(const TInstallProgress&) = delete;

    // The label source: the current step or file.
    virtual void ShowStatus(const std::string& text) = 0;
    // The label Dest: the current destination.
    virtual void ShowDestination(const std::string& text) = 0;
    // ProgressBar1: minimum 0, this maximum, position 0.
    virtual void SetProgressRange(int maximum) = 0;
    // ProgressBar1 one step on.
    virtual void StepProgress() = 0;
    // Lets pending window messages run, so that the page repaints.
    virtual void ProcessMessages() = 0;
    // A confirmation box with Yes and No; true for Yes.
    virtual bool ConfirmOverwrite(const std::string& question) = 0;
    // An error box with Abort, Retry and Ignore for a file the install cannot write; an unattended run
    // answers Ignore or Abort as its answers say, else Abort.
    virtual TFileErrorAnswer AskFileError(const std::string& message) = 0;
    // A warning box with Yes and No, No the default, before a step that puts the machine at risk; an
    // unattended run answers No. True for Yes.
    virtual bool ConfirmRisk(const std::string& question) = 0;
    // The install is done: the wizard closes.
    virtual void Finish() = 0;
    // The install stopped with this message (the application's standard error box): what was done
    // stays in place, the run counts as cancelled, and the page offers only a way to close.
    virtual void Stopped(const std::string& message) = 0;
    // A stopped install was undone; what could not be undone, one line each (empty: nothing is left).
    virtual void RolledBack(const std::vector<std::string>& left) = 0;
    // The installation directory cannot be made: the message is shown and the program ends at once,
    // without the end of the run.
    virtual void EndProgram(const std::string& message) = 0;
};

} // namespace yar
