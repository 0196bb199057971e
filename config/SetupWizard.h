// What the driver of the run asks of the wizard. The wizard implements it and the program entry
// hands one to the driver, so that neither knows the other's windows.
#pragma once

#include "config/SetupConfig.h"

namespace yar {

// How the run ends once the install is done.
enum TEndChoice { ecLaunch, ecReturnToWindows, ecRestart };

class TSetupWizard {
public:
    TSetupWizard() = default;
    virtual ~TSetupWizard() = default;
    TSetupWizard(const TSetupWizard&) = delete;
    TSetupWizard& operator=(const TSetupWizard&) = delete;

    // Presets the end choice from the configuration, before the wizard is first shown.
    virtual void PresetEndChoice(const SetupConfig& config) = 0;
    // Steps over the warning page, for a configuration that switches it off.
    virtual void SkipWarningPage() = 0;
    // Shows the wizard modally until its pages are done or the user leaves them.
    virtual void Execute() = 0;
    // The end choice as the wizard holds it now.
    virtual TEndChoice EndChoice() const = 0;
};

} // namespace yar
