// TMainSetup: the full-screen background window and the driver of the run. It owns the run's state
// and configuration, shows the preparation window and then the wizard, and ends the run when it
// closes: with a restart, a cancel message or a completion message.
#pragma once

#include "config/SetupConfig.h"
#include "config/SetupState.h"
#include "config/SetupSwitches.h"
#include "config/SetupWizard.h"
#include "setup/FountainFill.h"
#include "setup/WinReboot.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Pictures.h"
#include "toolkit/StdCtrls.h"
#include "util/FileBytes.h"
#include "util/RunLog.h"

#include <functional>
#include <memory>

namespace yar {

class TUnzip;

// Makes the wizard of the run; called once the background window stands, so that it owns the wizard.
using TWizardFactory = std::function<std::unique_ptr<TSetupWizard>(const TWizardLinks& links)>;

class TMainSetup : public TForm {
public:
    // Makes the background window, then the wizard and the preparation window, in this order. The
    // run follows the switches and writes to log, which outlives the window.
    explicit TMainSetup(const TWizardFactory& makeWizard, TSetupSwitches switches = {},
                        TRunLog* log = nullptr);
    ~TMainSetup() override;

    SetupState State;
    SetupConfig Config;

    // Painted in this order: the gradient first, the texts over it.
    TFountainFill MainScreen;
    TShadowLabel Setup_Header;
    TShadowLabel Setup_Header2;
    TLabel Footer;
    TPanel bitmapscreen;   // frames the configured picture once it has been expanded
    TAnimatedImage Image3; // in bitmapscreen: a GIF picture, animated
    TImage Image4;         // in bitmapscreen: a picture of any other format
    TTimer Timer1;
    TWinReboot WinReboot1;

    TSetupWizard& Wizard() const { return *FWizard; }
    const TSetupSwitches& Switches() const { return FSwitches; }
    TRunLog& Log() const { return *FLog; }

    // The whole run without a window shown: the preparation, the install and the end, in order.
    void RunHidden();
    // The run's exit code, once it has ended.
    TExitCode ExitCode() const;

    // Fixes the directories of the run, with a new working directory of its own, loads and applies the
    // configuration and starts the timer.
    void FormShow();
    void FormResize();
    // FormShow but the timer: the directories, the new working directory and the configuration.
    // Raises EInOutError when the start directory cannot be entered.
    void StartRun();
    // Whether install.cfg, as read, may be followed: always without a manifest in this program, else only
    // the file it lists. A refusal ends the run as a failed preparation.
    bool ConfigAccepted(const TFileBytes& configFile);
    // Removes the working directory with what the run left in it.
    void CleanRunDirectory();
    // One second after FormShow: the preparation step, then the wizard, then the end.
    void Timer1Timer();
    // Cleans up and ends the run as the end choice and the cancelled flag say.
    void FormClose(TCloseAction& action);

private:
    void ShowHandler();
    void ApplyConfig();
    // The set is expanded: its own language files join the choice.
    void UseSetLanguages();
    // The start directory cannot be entered: the run ends before it starts.
    void FailStart(const std::exception& error);
    // The clean-up, the end message unless the run asks nothing, and the restart unless forbidden.
    void EndRun();

    TSetupSwitches FSwitches;
    TRunLog FNoLog;
    TRunLog* FLog;
    bool FStartFailed = false;
    std::unique_ptr<TSetupWizard> FWizard;
    std::unique_ptr<TUnzip> FUnzip;
    std::string FSourceDirFull; // the full path of SourceDirArg, for the cleaning at the end
};

} // namespace yar
