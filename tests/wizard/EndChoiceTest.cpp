// The end choice: preset from the configuration, cleared of the restart by Cancel and Decline,
// read by the driver.
#include "wizard/EndChoice.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

TEndChoiceButtons Preset(const std::string& launch, bool showReBoot) {
    SetupConfig config;
    config.Launch = launch;
    config.ShowReBoot = showReBoot;
    return EndChoicePreset(config);
}

TEST(EndChoiceRules, PresetFromLaunchAndShowReBoot) {
    EXPECT_EQ(EndChoiceOf(TEndChoiceButtons{}), ecRestart) << "as designed";
    // launch, return, restart checked; launch enabled; restart visible
    EXPECT_EQ(Preset("<INSTALLDIR>app.exe", true), (TEndChoiceButtons{true, false, false, true, true}));
    EXPECT_EQ(Preset("<INSTALLDIR>app.exe", false), (TEndChoiceButtons{true, false, false, true, false}));
    EXPECT_EQ(EndChoiceOf(Preset("<INSTALLDIR>setupx.exe", false)), ecLaunch) << "no dot after SETUP";
    for (const char* launch : {"", "<INSTALLDIR>disk2\\SETUP.EXE", "<INSTALLDIR>disk2\\Setup.exe,/s"}) {
        SCOPED_TRACE(launch);
        EXPECT_EQ(Preset(launch, true), (TEndChoiceButtons{false, false, true, false, true}));
        EXPECT_EQ(Preset(launch, false), (TEndChoiceButtons{false, true, false, false, false}));
        EXPECT_EQ(EndChoiceOf(Preset(launch, false)), ecReturnToWindows);
    }
}

TEST(EndChoiceRules, CancelNeverRestarts) {
    for (const char* launch : {"", "<INSTALLDIR>app.exe"}) {
        TEndChoiceButtons buttons = Preset(launch, true);
        const bool launched = buttons.LaunchChecked;
        SetupState state;
        CancelRun(buttons, state);
        EXPECT_TRUE(state.Cancelled);
        EXPECT_NE(EndChoiceOf(buttons), ecRestart) << launch;
        EXPECT_EQ(buttons.LaunchChecked, launched) << "the other buttons stay as they were";
    }
}

} // namespace
} // namespace yar
