// TInstallRun: the install as the wizard runs it, shown or not: the journal it keeps while the engine
// runs, the answer file, and the answers of a run that asks nothing, each question and answer logged.
// TQuietWizard is the wizard of a run that shows nothing.
#pragma once

#include "config/SetupSwitches.h"
#include "config/SetupWizard.h"
#include "engine/InstallChoices.h"
#include "engine/InstallProgress.h"
#include "system/InstallJournals.h"
#include "wizard/EndChoice.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace yar {

class TInstallRun {
public:
    explicit TInstallRun(const TWizardLinks& links) : FLinks(links) {}

    bool AskNothing() const { return FLinks.Switches != nullptr && FLinks.Switches->Unattended(); }
    void Log(const std::string& event) const;

    // A run that asks nothing: the run's choices from the configuration and the answers, saved to the
    // answer file when one is asked for. Sets the end choice.
    TInstallChoices UnattendedStart();
    std::optional<TEndChoice> UnattendedEnd() const { return FUnattendedEnd; }

    // The engine's run reporting to progress, within a journal; without one the install does not begin.
    // owner: the background window, when there is one. end: the end choice, for the answer file.
    void Run(const TInstallChoices& choices, TEndChoice end, HWND owner, TInstallProgress& progress);
    // The install has ended: its running mark goes, and its journal's directory unless it keeps what
    // could not be undone.
    void EndJournal();
    // /SAVEINF: the answers given so far go to the answer file.
    void SaveAnswers(const TInstallChoices& choices, TEndChoice endChoice);

    // The questions of the engine: the answer file's answer in a run that asks nothing or without ask,
    // else the user's through ask.
    using TAskYesNo = bool (*)(const std::string& question);
    using TAskFileError = TFileErrorAnswer (*)(const std::string& message);
    bool ConfirmOverwrite(const std::string& question, TAskYesNo ask);
    TFileErrorAnswer AskFileError(const std::string& message, TAskFileError ask);
    bool ConfirmRisk(const std::string& question, TAskYesNo ask);
    // The install is done.
    void Finished() { FLinks.State.Installed = true; }
    // The install stopped: the run is a failed install.
    void Stopped(const std::string& message);
    // The program ends at once with the exit code of a stopped install.
    [[noreturn]] void EndProgram(const std::string& message);

private:
    // The answers of the command line and the answer file; none for a run that asks through its pages.
    TSetupAnswers Answers() const;

    TWizardLinks FLinks;
    std::optional<TEndChoice> FUnattendedEnd;
    std::optional<bool> FOverwriteAnswer; // the last answer to the overwrite question
    std::string FJournal, FJournals;      // the install's journal directory, and the one of all journals
    std::unique_ptr<TRunningMark> FRunning;
};

// The wizard of a run that shows nothing (/VERYSILENT): no page, no window, the install at once with
// the answers. It makes no window, so that Wine never starts its desktop for the run.
class TQuietWizard final : public TSetupWizard {
public:
    explicit TQuietWizard(const TWizardLinks& links);
    ~TQuietWizard() override;

    void PresetEndChoice(const SetupConfig& config) override;
    void SkipWarningPage() override {}
    void Execute() override;
    TEndChoice EndChoice() const override;
    void ClearRestart() override { FButtons.RestartChecked = false; }

private:
    TInstallRun FInstall;
    TEndChoiceButtons FButtons; // as the wizard's buttons would hold them
};

} // namespace yar
