// What the driver of the run asks of the wizard. The wizard implements it and the program entry
// hands one to the driver, so that neither knows the other's windows.
#pragma once

#include "config/SetupConfig.h"
#include "config/SetupState.h"

#include <cstdint>

namespace yar {

struct TSetupSwitches;
class TRunLog;

// How the run ends once the install is done.
enum TEndChoice { ecLaunch, ecReturnToWindows, ecRestart };

// What the wizard is made with: the run's configuration and state, which outlive it, and the colours
// of its caption bar as the background window has them when the wizard is made ($00BBGGRR).
struct TWizardLinks {
    const SetupConfig& Config;
    SetupState& State;
    int32_t CaptionStartColor;
    int32_t CaptionEndColor;
    int32_t CaptionTextColor;
    // The command line's switches and the run's log; none for a run that asks through its pages and
    // logs nothing.
    const TSetupSwitches* Switches = nullptr;
    TRunLog* Log = nullptr;
};

class TSetupWizard {
public:
    TSetupWizard() = default;
    virtual ~TSetupWizard() = default;
    TSetupWizard(const TSetupWizard&) = delete;
    TSetupWizard& operator=(const TSetupWizard&) = delete;

    // Presets the end choice from the configuration, before the wizard is first shown.
    virtual void PresetEndChoice(const SetupConfig& config) = 0;
    // Asks to open past the warning page, for a configuration that switches it off. The step is taken
    // when the wizard is shown: where it lands depends on the licence expanded meanwhile.
    virtual void SkipWarningPage() = 0;
    // Shows the wizard modally until its pages are done or the user leaves them.
    virtual void Execute() = 0;
    // The end choice as the wizard holds it now.
    virtual TEndChoice EndChoice() const = 0;
    // The preparation failed or was aborted: the restart choice is cleared, so that the run never
    // restarts Windows.
    virtual void ClearRestart() = 0;
};

} // namespace yar
