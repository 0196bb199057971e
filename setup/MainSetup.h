// TMainSetup: the full-screen background window of the run (TSetupRun). It shows the preparation
// window and then the wizard, and ends the run when it closes: with a restart, a cancel message or a
// completion message.
#pragma once

#include "setup/FountainFill.h"
#include "setup/SetupRun.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Pictures.h"
#include "toolkit/StdCtrls.h"

#include <memory>

namespace yar {

class TUnzip;

class TMainSetup : public TForm, public TSetupRun {
public:
    // Makes the background window, then the wizard and the preparation window, in this order. The
    // run follows the switches and writes to log, which outlives the window.
    explicit TMainSetup(TWizardFactory makeWizard, TSetupSwitches switches = {}, TRunLog* log = nullptr);
    ~TMainSetup() override;

    // Painted in this order: the gradient first, the texts over it.
    TFountainFill MainScreen;
    TShadowLabel Setup_Header;
    TShadowLabel Setup_Header2;
    TLabel Footer;
    TPanel bitmapscreen;   // frames the configured picture once it has been expanded
    TAnimatedImage Image3; // in bitmapscreen: a GIF picture, animated
    TImage Image4;         // in bitmapscreen: a picture of any other format
    TTimer Timer1;

    // Fixes the directories of the run, with a new working directory of its own, loads and applies the
    // configuration and starts the timer.
    void FormShow();
    void FormResize();
    // One second after FormShow: the preparation step, then the wizard, then the end.
    void Timer1Timer();
    // Cleans up and ends the run as the end choice and the cancelled flag say.
    void FormClose(TCloseAction& action);

protected:
    void ServeWindows() override;
    // The configured colours and headers, then the wizard's presets.
    void ApplyConfig() override;

private:
    void ShowHandler();

    std::unique_ptr<TUnzip> FUnzip;
};

} // namespace yar
