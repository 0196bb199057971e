// TYAR: the install wizard, a fixed-size tool window above the background window. It holds the end
// choice of the run: launch the installed program, return to Windows, or restart Windows.
#pragma once

#include "config/SetupWizard.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"
#include "wizard/EndChoice.h"

namespace yar {

class TYAR : public TForm, public TSetupWizard {
public:
    explicit TYAR(const TWizardLinks& links);

    // The end choice: one group, so checking one clears the others. The restart is selected
    // until the driver presets the choice from the configuration.
    TRadioButton RadioButton1; // "Launch Program after installed"
    TRadioButton RadioButton2; // "Return to Windows after installed"
    TRadioButton reboot;       // "Re Boot Windows After installed"

    // One step forward through the pages. The wizard has no pages yet, so there is nothing to
    // step over.
    void nextClick();

    void PresetEndChoice(const SetupConfig& config) override;
    void SkipWarningPage() override { nextClick(); }
    void Execute() override { ShowModal(); }
    TEndChoice EndChoice() const override;
    void ClearRestart() override { reboot.SetChecked(false); }

private:
    // The page-5 buttons as the rules see them, and back.
    void ShowEndChoice(const TEndChoiceButtons& buttons);
    TEndChoiceButtons EndChoiceButtons() const;
};

} // namespace yar
