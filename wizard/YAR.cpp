#include "wizard/YAR.h"

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

TYAR::TYAR(const TWizardLinks& /*links*/)
    : TForm(WizardDesign()), RadioButton1(this, {40, 60, 300, 17}), RadioButton2(this, {40, 100, 300, 17}),
      reboot(this, {40, 124, 300, 17}) {
    RadioButton1.SetCaption("Launch Program after installed");
    RadioButton2.SetCaption("Return to Windows after installed");
    reboot.SetCaption("Re Boot Windows After installed");
    reboot.SetChecked(true);
}

void TYAR::nextClick() {}

void TYAR::PresetEndChoice(const SetupConfig& config) {
    ShowEndChoice(EndChoicePreset(config));
}

void TYAR::ShowEndChoice(const TEndChoiceButtons& buttons) {
    RadioButton1.SetChecked(buttons.LaunchChecked);
    RadioButton2.SetChecked(buttons.ReturnChecked);
    reboot.SetChecked(buttons.RestartChecked);
    RadioButton1.SetEnabled(buttons.LaunchEnabled);
    reboot.SetVisible(buttons.RestartVisible);
}

TEndChoiceButtons TYAR::EndChoiceButtons() const {
    return {RadioButton1.Checked(), RadioButton2.Checked(), reboot.Checked(), RadioButton1.Enabled(),
            reboot.Visible()};
}

TEndChoice TYAR::EndChoice() const {
    return EndChoiceOf(EndChoiceButtons());
}

} // namespace yar
