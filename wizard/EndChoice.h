// The end choice on the ready page: launch the installed program, return to Windows or restart.
// The three radio buttons form one group; the driver presets them while the configuration loads
// and reads the choice once the wizard has closed.
#pragma once

#include "config/SetupState.h"
#include "config/SetupWizard.h"

namespace yar {

// RadioButton1 (launch), RadioButton2 (return to Windows) and reboot, as check marks and states.
struct TEndChoiceButtons {
    bool LaunchChecked = false;
    bool ReturnChecked = false;
    bool RestartChecked = true; // as designed, until the preset
    bool LaunchEnabled = true;
    bool RestartVisible = true;

    bool operator==(const TEndChoiceButtons&) const = default;
};

// Launch when a program other than a chained setup is configured; otherwise return to Windows, or
// restart when ShowReBoot is on. The restart choice is visible exactly when ShowReBoot is on.
TEndChoiceButtons EndChoicePreset(const SetupConfig& config);

// Decline and Cancel: the run is cancelled, and the restart is cleared so that it never restarts
// Windows.
void CancelRun(TEndChoiceButtons& buttons, SetupState& state);

// What the buttons choose: the restart first, then the launch, else the return to Windows.
TEndChoice EndChoiceOf(const TEndChoiceButtons& buttons);

} // namespace yar
