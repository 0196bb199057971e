// The recorded launcher and restarter that stand in for the shell and the session in tests of their
// callers: they must keep every call in order and answer as they were told.
#include "system/Launcher.h"
#include "system/Restarter.h"

#include <gtest/gtest.h>

namespace yar {

namespace {

TEST(RecordedLauncher, KeepsEveryCallAndAnswersAsTold) {
    TRecordedLauncher launcher;
    TLauncher& shell = launcher;
    EXPECT_TRUE(launcher.Calls().empty());
    EXPECT_TRUE(shell.Launch("app.exe", "/s", "C:\\Acme\\"));
    launcher.SetResult(false);
    EXPECT_FALSE(shell.Launch("C:\\Acme\\app.exe", "", ""));
    launcher.SetResult(true);
    EXPECT_TRUE(shell.Launch("setup.exe", "a, b", "D:\\"));
    EXPECT_EQ(launcher.Calls(), (std::vector<TLaunchCall>{{"app.exe", "/s", "C:\\Acme\\"},
                                                          {"C:\\Acme\\app.exe", "", ""},
                                                          {"setup.exe", "a, b", "D:\\"}}));
}

TEST(RecordedRestarter, KeepsEveryCallAndAnswersAsTold) {
    TRecordedRestarter recorder;
    TRestarter& system = recorder;
    EXPECT_TRUE(system.AdjustPrivilege("SeShutdownPrivilege", true));
    EXPECT_TRUE(system.ExitWindows(2));
    recorder.SetPrivilegeResult(false);
    EXPECT_FALSE(system.AdjustPrivilege("SeShutdownPrivilege", false));
    EXPECT_TRUE(system.ExitWindows(6)); // each answer is told on its own
    recorder.SetExitResult(false);
    EXPECT_FALSE(system.ExitWindows(1));
    const std::vector<TRestartCall> expected{
        {TRestartCall::rkAdjustPrivilege, "SeShutdownPrivilege", true, 0},
        {TRestartCall::rkExitWindows, "", false, 2},
        {TRestartCall::rkAdjustPrivilege, "SeShutdownPrivilege", false, 0},
        {TRestartCall::rkExitWindows, "", false, 6},
        {TRestartCall::rkExitWindows, "", false, 1}};
    EXPECT_EQ(recorder.Calls(), expected);
}

} // namespace
} // namespace yar
