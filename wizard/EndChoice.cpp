#include "wizard/EndChoice.h"

#include "config/ConfigRules.h"

namespace yar {

TEndChoiceButtons EndChoicePreset(const SetupConfig& config) {
    TEndChoiceButtons buttons;
    buttons.RestartVisible = config.ShowReBoot;
    const bool launch = LaunchPreselected(config.Launch);
    buttons.LaunchChecked = launch;
    buttons.LaunchEnabled = launch;
    // Checking one button of the group clears the others: the return to Windows stays checked
    // unless the restart is checked after it.
    buttons.ReturnChecked = !launch && !config.ShowReBoot;
    buttons.RestartChecked = !launch && config.ShowReBoot;
    return buttons;
}

void CancelRun(TEndChoiceButtons& buttons, SetupState& state) {
    buttons.RestartChecked = false;
    state.Cancelled = true;
}

TEndChoice EndChoiceOf(const TEndChoiceButtons& buttons) {
    if (buttons.RestartChecked) return ecRestart;
    return buttons.LaunchChecked ? ecLaunch : ecReturnToWindows;
}

} // namespace yar
