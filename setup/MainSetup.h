// TMainSetup: the full-screen background window and the driver of the run. It owns the run's state
// and configuration, shows the preparation window and then the wizard, and ends the run when it
// closes: with a restart, a cancel message or a completion message.
#pragma once

#include "setup/FountainFill.h"
#include "setup/SetupConfig.h"
#include "setup/SetupState.h"
#include "setup/WinReboot.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

#include <memory>

namespace yar {

class TYAR;
class TUnzip;

class TMainSetup : public TForm {
public:
    // Makes the background window, then the wizard and the preparation window, in this order.
    TMainSetup();
    ~TMainSetup() override;

    SetupState State;
    SetupConfig Config;

    // Painted in this order: the gradient first, the texts over it.
    TFountainFill MainScreen;
    TShadowLabel Setup_Header;
    TShadowLabel Setup_Header2;
    TLabel Footer;
    TPanel bitmapscreen; // frames the configured picture once it has been expanded
    TTimer Timer1;
    TWinReboot WinReboot1;

    TYAR& Wizard() const { return *FWizard; }

    // Fixes the directories of the run, clears what an earlier run left in the working directory,
    // loads and applies the configuration and starts the timer.
    void FormShow();
    void FormResize();
    // One second after FormShow: the preparation step, then the wizard, then the end.
    void Timer1Timer();
    // Cleans up and ends the run as the end choice and the cancelled flag say.
    void FormClose(TCloseAction& action);

private:
    void ShowHandler();
    void ApplyConfig();

    std::unique_ptr<TYAR> FWizard;
    std::unique_ptr<TUnzip> FUnzip;
    std::string FSourceDirFull; // the full path of SourceDirArg, for the cleaning at the end
};

// The driver's preset of the wizard's end choice: launch when a program other than a chained setup
// is configured; otherwise return to Windows, or restart when ShowReBoot is on. The restart choice
// is visible exactly when ShowReBoot is on.
void PresetEndChoice(TYAR& wizard, const SetupConfig& config);

} // namespace yar
