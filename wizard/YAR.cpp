#include "wizard/YAR.h"

#include "config/ConfigRules.h"

namespace yar {

namespace {

TFormDesign WizardDesign() {
    TFormDesign design;
    design.Caption = "YAR32 - Setup";
    design.BorderStyle = bsToolWindow;
    design.ClientWidth = 478;
    design.ClientHeight = 330;
    design.ScreenCenter = true;
    return design;
}

} // namespace

TYAR::TYAR()
    : TForm(WizardDesign()), RadioButton1(this, {40, 60, 300, 17}), RadioButton2(this, {40, 100, 300, 17}),
      reboot(this, {40, 124, 300, 17}) {
    RadioButton1.SetCaption("Launch Program after installed");
    RadioButton2.SetCaption("Return to Windows after installed");
    reboot.SetCaption("Re Boot Windows After installed");
    reboot.SetChecked(true);
}

void TYAR::nextClick() {}

void TYAR::PresetEndChoice(const SetupConfig& config) {
    reboot.SetVisible(config.ShowReBoot);
    if (LaunchPreselected(config.Launch)) {
        RadioButton1.SetChecked(true);
    } else {
        RadioButton2.SetChecked(true);
        RadioButton1.SetEnabled(false);
        reboot.SetChecked(config.ShowReBoot);
    }
}

TEndChoice TYAR::EndChoice() const {
    if (reboot.Checked()) return ecRestart;
    return RadioButton1.Checked() ? ecLaunch : ecReturnToWindows;
}

} // namespace yar
