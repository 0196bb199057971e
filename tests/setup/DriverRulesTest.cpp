#include "setup/DriverRules.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

TEST(DriverDirectories, StartDirEndsWithOneSeparator) {
    EXPECT_EQ(StartDirFrom("A:\\"), "A:\\");
    EXPECT_EQ(StartDirFrom("C:\\x"), "C:\\x\\");
    EXPECT_EQ(StartDirFrom("D:\\Setup Files"), "D:\\Setup Files\\");
}

TEST(DriverDirectories, TheRootComesFromTheWindowsDirectoryTheSegmentCopiesLieInTheWorkDir) {
    EXPECT_EQ(SegmentDirOf("C:\\Temp\\yar-abc"), "C:\\Temp\\yar-abc\\~segments");
    EXPECT_EQ(RootDirFrom("C:\\windows"), "C:\\");
    EXPECT_EQ(RootDirFrom("E:\\WIN95"), "E:\\");
}

// The argument's directory is removed only below the temporary directory: a distribution folder, the
// temporary directory itself or a path that climbs out of it stays.
TEST(DriverDirectories, OnlyADirectoryBelowTheTemporaryOneIsDisposable) {
    const std::string temp = "C:\\Users\\Ann\\AppData\\Local\\Temp\\";
    EXPECT_TRUE(SourceDirIsDisposable("C:\\Users\\Ann\\AppData\\Local\\Temp\\setup1", temp));
    EXPECT_TRUE(SourceDirIsDisposable("c:\\users\\ann\\appdata\\local\\temp\\SETUP1\\", temp));
    EXPECT_FALSE(SourceDirIsDisposable("C:\\Users\\Ann\\AppData\\Local\\Temp", temp));
    EXPECT_FALSE(SourceDirIsDisposable("C:\\Users\\Ann\\AppData\\Local\\Temp\\", temp));
    EXPECT_FALSE(SourceDirIsDisposable("C:\\Users\\Ann\\AppData\\Local\\Temporary", temp));
    EXPECT_FALSE(SourceDirIsDisposable("C:\\Users\\Ann\\AppData\\Local\\Temp\\..\\..\\Documents", temp));
    EXPECT_FALSE(SourceDirIsDisposable("D:\\dist", temp));
    EXPECT_FALSE(SourceDirIsDisposable("D:\\dist", ""));
}

TEST(DriverRunEnd, RestartThenCancelThenCompletion) {
    SetupState cancelled;
    cancelled.Cancelled = true;
    const SetupState going;
    EXPECT_EQ(RunEndFor(ecRestart, cancelled), reRestart);
    EXPECT_EQ(RunEndFor(ecRestart, going), reRestart);
    EXPECT_EQ(RunEndFor(ecLaunch, cancelled), reCancelled);
    EXPECT_EQ(RunEndFor(ecReturnToWindows, cancelled), reCancelled);
    EXPECT_EQ(RunEndFor(ecReturnToWindows, going), reCompleted);
    EXPECT_EQ(RunEndFor(ecLaunch, going), reLaunched);
    SetupState incomplete;
    incomplete.FilesLeftOut = 2;
    for (const TEndChoice choice : {ecLaunch, ecReturnToWindows})
        EXPECT_EQ(RunEndFor(choice, incomplete), reIncomplete) << "the user hears of the files left out";
    EXPECT_EQ(RunEndFor(ecRestart, incomplete), reRestart);
    SetupState inUse;
    inUse.RestartNeeded = true;
    for (const TEndChoice choice : {ecLaunch, ecReturnToWindows})
        EXPECT_EQ(RunEndFor(choice, inUse), reRestart) << "files in use are replaced only by the restart";
    inUse.Installed = true;
    EXPECT_EQ(ExitCodeFor(inUse, ecReturnToWindows, true), exRestartNeeded);
    EXPECT_EQ(ExitCodeFor(inUse, ecReturnToWindows, false), exInstalled);
}

// Any account that may read a file can hold it open: an unattended run does not restart Windows for it
// unless /ALLOWRESTART says so; a restart the configuration chose, and one the user sees coming, stay.
TEST(DriverRunEnd, AnUnattendedRunLeavesARestartForFilesInUseToTheCaller) {
    SetupState inUse;
    inUse.RestartNeeded = true;
    SetupState plain;
    const auto switches = [](TRunMode mode, bool noRestart, bool allowRestart) {
        TSetupSwitches s;
        s.Mode = mode;
        s.NoRestart = noRestart;
        s.AllowRestart = allowRestart;
        return s;
    };
    struct TCase {
        TRunMode Mode;
        bool NoRestart, AllowRestart;
        TEndChoice Choice;
        const SetupState& State;
        bool LeftToCaller;
    };
    const TCase cases[] = {
        {rmVerySilent, false, false, ecReturnToWindows, inUse, true},
        {rmSilent, false, false, ecLaunch, inUse, true},
        {rmVerySilent, false, true, ecReturnToWindows, inUse, false},
        {rmVerySilent, false, false, ecRestart, inUse, false}, // the configuration's own end
        {rmVerySilent, false, false, ecRestart, plain, false},
        {rmInteractive, false, false, ecReturnToWindows, inUse, false}, // told, and answered OK
        {rmInteractive, true, false, ecReturnToWindows, inUse, true},
        {rmVerySilent, true, true, ecRestart, plain, true},
    };
    for (const TCase& c : cases) {
        const std::string why =
            RestartLeftToCaller(c.Choice, c.State, switches(c.Mode, c.NoRestart, c.AllowRestart));
        EXPECT_EQ(!why.empty(), c.LeftToCaller)
            << c.Mode << " " << c.NoRestart << c.AllowRestart << " " << c.Choice;
    }
    EXPECT_EQ(RestartLeftToCaller(ecReturnToWindows, inUse, switches(rmVerySilent, false, false)),
              "files in use are replaced when Windows next starts; /ALLOWRESTART restarts it");
}

TEST(DriverRunEnd, AFailedRunNeitherRestartsNorLaunches) {
    for (const TRunFailure failure : {rfPrepare, rfInstall})
        for (const bool cancelled : {false, true}) {
            SetupState state;
            state.Failure = failure;
            state.Cancelled = cancelled;
            for (const TEndChoice choice : {ecRestart, ecLaunch, ecReturnToWindows})
                EXPECT_EQ(RunEndFor(choice, state), reCancelled) << failure << cancelled << choice;
        }
}

TEST(DriverRunEnd, MessagesUseSingleCarriageReturns) {
    EXPECT_EQ(RunEndMessage(reRestart, "X"),
              "Tarnwick is about to RE-BOOT your PC\r\rPlease Remove any floppies "
              "from drive.\r\rClick on OK when ready.");
    EXPECT_EQ(RunEndMessage(reCancelled, "X"), "Your installation was canceled!");
    EXPECT_EQ(
        RunEndMessage(reCompleted, "Acme Writer"),
        "Your installation of \rAcme Writer\rhas be completed.\r\rPlease Remove any floppies from drive.");
    EXPECT_EQ(RunEndMessage(reIncomplete, "Acme Writer"),
              "Your installation of \rAcme Writer\ris incomplete: files that could not be written were left "
              "out.\r\rPlease Remove any floppies from drive.");
    EXPECT_EQ(RunEndMessage(reLaunched, "X"), "");
    for (TRunEnd end : {reRestart, reCancelled, reCompleted, reIncomplete})
        EXPECT_EQ(RunEndMessage(end, "X").find('\n'), std::string::npos);
}

TEST(DriverExitCode, FailuresThenCancelThenInstalledThenTheRestartLeftUndone) {
    SetupState state;
    EXPECT_EQ(ExitCodeFor(state, ecReturnToWindows, false), exCancelled) << "nothing was installed";
    state.Installed = true;
    EXPECT_EQ(ExitCodeFor(state, ecReturnToWindows, true), exInstalled);
    EXPECT_EQ(ExitCodeFor(state, ecRestart, false), exInstalled) << "the restart was made";
    EXPECT_EQ(ExitCodeFor(state, ecRestart, true), exRestartNeeded);
    state.FilesLeftOut = 1;
    EXPECT_EQ(ExitCodeFor(state, ecReturnToWindows, true), exIncomplete);
    EXPECT_EQ(ExitCodeFor(state, ecRestart, true), exRestartNeeded) << "the restart left undone comes first";
    state.Cancelled = true;
    EXPECT_EQ(ExitCodeFor(state, ecRestart, true), exCancelled);
    state.Failure = rfInstall;
    EXPECT_EQ(ExitCodeFor(state, ecRestart, true), exInstallStopped);
    state.Failure = rfPrepare;
    state.Installed = false;
    EXPECT_EQ(ExitCodeFor(state, ecReturnToWindows, false), exPrepareFailed);
}

} // namespace
} // namespace yar
