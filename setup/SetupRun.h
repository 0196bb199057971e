// TSetupRun: the run itself, without a window: the directories, install.cfg read once and checked
// against the manifest, the run's language, the preparation, the wizard and the end (clean-up,
// restart). The background window (TMainSetup) shows it; a run that shows nothing uses it as it is,
// so that Wine never has to start its desktop for it.
#pragma once

#include "config/SetupConfig.h"
#include "config/SetupState.h"
#include "config/SetupSwitches.h"
#include "config/SetupWizard.h"
#include "setup/WinReboot.h"
#include "util/FileBytes.h"
#include "util/RunLog.h"

#include <memory>
#include <string>

namespace yar {

// Makes the wizard of the run; called once the background window stands, so that it owns the wizard.
using TWizardFactory = std::unique_ptr<TSetupWizard> (*)(const TWizardLinks& links);

class TSetupRun {
public:
    // A run without windows; the wizard it makes must make none either. It follows the switches and
    // writes to log, which outlives it.
    TSetupRun(TWizardFactory makeWizard, TSetupSwitches switches, TRunLog* log);
    virtual ~TSetupRun();
    TSetupRun(const TSetupRun&) = delete;
    TSetupRun& operator=(const TSetupRun&) = delete;

    SetupState State;
    SetupConfig Config;
    TWinReboot WinReboot1;

    TSetupWizard& Wizard() const { return *FWizard; }
    const TSetupSwitches& Switches() const { return FSwitches; }
    TRunLog& Log() const { return *FLog; }

    // The whole run without a window shown: the preparation, the install and the end, in order.
    void RunHidden();
    // The run's exit code, once it has ended.
    TExitCode ExitCode() const;

    // The directories, the new working directory and the configuration.
    // Raises EInOutError when the start directory cannot be entered.
    void StartRun();
    // Reads install.cfg from the start directory and the program running, once: what the run follows and
    // installs. False when either is refused (the run then ends as a failed preparation).
    bool ReadSetupFiles();
    // Removes the working directory with what the run left in it.
    void CleanRunDirectory();
    // install.cfg as the run read, checked and follows it (nothing when it could not be read whole), and
    // the program running, read at the start: what is installed as install.cfg and install.exe.
    const std::string* ConfigBytes() const { return FConfigWhole ? &FConfigBytes : nullptr; }
    const std::string& ProgramBytes() const { return FProgramBytes; }

protected:
    // For a run shown on a window, which makes the wizard once it stands.
    TSetupRun(TSetupSwitches switches, TRunLog* log);
    void MakeWizard(TWizardFactory makeWizard, int32_t captionStart, int32_t captionEnd, int32_t captionText);

    // The preparation cannot go on: the run ends cancelled, why logged, shown written to the user.
    void FailPreparation(const std::string& why, const char* shown);
    // The start directory cannot be entered: the run ends before it starts.
    void FailStart(const std::exception& error);
    bool StartFailed() const { return FStartFailed; }
    // The set is expanded: its own language files join the choice.
    void UseSetLanguages();
    // The clean-up, the end message unless the run asks nothing, and the restart unless forbidden.
    void EndRun();

    // What a run shown on windows adds: its windows served between the steps, and the configuration
    // shown on them (the wizard's presets are the run's own: an override calls this one).
    virtual void ServeWindows() {}
    virtual void ApplyConfig();

private:
    // Whether install.cfg, as read, may be followed: always without a manifest in this program, else only
    // the file it lists. A refusal ends the run as a failed preparation.
    bool ConfigAccepted(const TFileBytes& configFile);
    // Reads the program running; a file at its name that is not that program (or none) fails the run
    // as a failed preparation.
    bool ProgramRead();

    TSetupSwitches FSwitches;
    TRunLog FNoLog;
    TRunLog* FLog;
    bool FStartFailed = false;
    std::unique_ptr<TSetupWizard> FWizard;
    std::string FSourceDirFull; // the full path of SourceDirArg, for the cleaning at the end
    std::string FConfigBytes;
    bool FConfigWhole = false;
    std::string FProgramBytes;
};

} // namespace yar
