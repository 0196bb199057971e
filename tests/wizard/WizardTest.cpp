// The wizard under Wine: its end choice, preset from the configuration and reported to the driver.
#include "wizard/YAR.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

struct TPresetSeen {
    bool Launch, Return, Restart, LaunchEnabled, RestartVisible;
    TEndChoice Choice;
};

// A wizard of its own run, with the background window's designed colours.
struct TWizardRun {
    SetupConfig Config;
    SetupState State;
    TYAR Wizard{{Config, State, 0xFF0000, 0x000000, 0x000000}};
};

TPresetSeen Preset(const std::string& launch, bool showReBoot) {
    TWizardRun run;
    TYAR& wizard = run.Wizard;
    SetupConfig config;
    config.Launch = launch;
    config.ShowReBoot = showReBoot;
    wizard.PresetEndChoice(config);
    // The buttons themselves must show what the controls say.
    EXPECT_EQ(SendMessageA(wizard.reboot.Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED,
              wizard.reboot.Checked());
    EXPECT_EQ(SendMessageA(wizard.RadioButton1.Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED,
              wizard.RadioButton1.Checked());
    return TPresetSeen{wizard.RadioButton1.Checked(), wizard.RadioButton2.Checked(), wizard.reboot.Checked(),
                       wizard.RadioButton1.Enabled(), wizard.reboot.Visible(),       wizard.EndChoice()};
}

TEST(EndChoicePreset, OrdinaryProgramIsLaunched) {
    TPresetSeen c = Preset("<INSTALLDIR>app.exe", true);
    EXPECT_TRUE(c.Launch && c.LaunchEnabled && c.RestartVisible);
    EXPECT_FALSE(c.Return || c.Restart);
    EXPECT_EQ(c.Choice, ecLaunch);
    c = Preset("<INSTALLDIR>app.exe", false);
    EXPECT_TRUE(c.Launch);
    EXPECT_FALSE(c.Restart || c.RestartVisible);
}

TEST(EndChoicePreset, ChainedSetupOrNoProgramReturnsOrRestarts) {
    TPresetSeen c = Preset("<INSTALLDIR>disk2\\SETUP.EXE", true);
    EXPECT_TRUE(c.Restart && c.RestartVisible);
    EXPECT_FALSE(c.Launch || c.Return || c.LaunchEnabled);
    EXPECT_EQ(c.Choice, ecRestart);
    c = Preset("", false);
    EXPECT_TRUE(c.Return);
    EXPECT_EQ(c.Choice, ecReturnToWindows);
    EXPECT_FALSE(c.Launch || c.Restart || c.RestartVisible || c.LaunchEnabled);
}

TEST(EndChoicePreset, WizardStartsWithTheRestartSelected) {
    TWizardRun run;
    const TYAR& wizard = run.Wizard;
    EXPECT_TRUE(wizard.reboot.Checked());
    EXPECT_EQ(wizard.EndChoice(), ecRestart);
    EXPECT_FALSE(wizard.RadioButton1.Checked() || wizard.RadioButton2.Checked());
    EXPECT_EQ(wizard.RadioButton1.Caption(), "Launch Program after installed");
    EXPECT_EQ(wizard.RadioButton2.Caption(), "Return to Windows after installed");
    EXPECT_EQ(wizard.reboot.Caption(), "Re Boot Windows After installed");
}

} // namespace
} // namespace yar
