// The restart component's order of calls, against a recorded restarter: the shutdown privilege is
// switched on before the session is ended and off again afterwards, whatever the answers.
#include "setup/WinReboot.h"

#include <gtest/gtest.h>

namespace yar {

namespace {

std::vector<TRestartCall> RestartCalls(uint32_t flags) {
    return {{TRestartCall::rkAdjustPrivilege, "SeShutdownPrivilege", true, 0},
            {TRestartCall::rkExitWindows, "", false, flags},
            {TRestartCall::rkAdjustPrivilege, "SeShutdownPrivilege", false, 0}};
}

TEST(WinRebootOrder, PrivilegeOnThenTheSessionEndsThenPrivilegeOff) {
    TRecordedRestarter recorder;
    const TWinReboot reboot(recorder);
    EXPECT_TRUE(reboot.RebootWindows(2));
    EXPECT_EQ(recorder.Calls(), RestartCalls(2));
}

TEST(WinRebootOrder, RefusedPrivilegesDoNotStopTheRestart) {
    TRecordedRestarter recorder;
    recorder.SetPrivilegeResult(false);
    const TWinReboot reboot(recorder);
    EXPECT_TRUE(reboot.RebootWindows(1)); // shut down
    EXPECT_EQ(recorder.Calls(), RestartCalls(1));
}

TEST(WinRebootOrder, ARefusedRestartIsReportedAndThePrivilegeStillGoesOff) {
    TRecordedRestarter recorder;
    recorder.SetExitResult(false);
    const TWinReboot reboot(recorder);
    EXPECT_FALSE(reboot.RebootWindows(6)); // restart, forced
    EXPECT_EQ(recorder.Calls(), RestartCalls(6));
}

TEST(WinRebootOrder, PrivilegesPassThroughWithTheirAnswer) {
    TRecordedRestarter recorder;
    const TWinReboot reboot(recorder);
    EXPECT_TRUE(reboot.AdjustPrivilege("SeBackupPrivilege", false));
    recorder.SetPrivilegeResult(false);
    EXPECT_FALSE(reboot.AdjustPrivilege("SeNoSuchPrivilege", true));
    EXPECT_EQ(recorder.Calls(),
              (std::vector<TRestartCall>{{TRestartCall::rkAdjustPrivilege, "SeBackupPrivilege", false, 0},
                                         {TRestartCall::rkAdjustPrivilege, "SeNoSuchPrivilege", true, 0}}));
}

} // namespace
} // namespace yar
