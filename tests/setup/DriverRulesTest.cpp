#include "setup/DriverRules.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

TEST(DriverDirectories, StartDirEndsWithOneSeparator) {
    EXPECT_EQ(StartDirFrom("A:\\"), "A:\\");
    EXPECT_EQ(StartDirFrom("C:\\x"), "C:\\x\\");
    EXPECT_EQ(StartDirFrom("D:\\Setup Files"), "D:\\Setup Files\\");
}

TEST(DriverDirectories, WorkAndRootDirComeFromTheWindowsDirectory) {
    EXPECT_EQ(WorkDirFrom("C:\\windows"), "C:\\windows\\Temp\\y");
    EXPECT_EQ(RootDirFrom("C:\\windows"), "C:\\");
    EXPECT_EQ(RootDirFrom("E:\\WIN95"), "E:\\");
}

TEST(DriverEndChoice, LaunchPreselectedUnlessEmptyOrAChainedSetup) {
    EXPECT_FALSE(LaunchPreselected(""));
    EXPECT_TRUE(LaunchPreselected("<INSTALLDIR>app.exe"));
    EXPECT_TRUE(LaunchPreselected("<INSTALLDIR>app.exe,/s"));
    EXPECT_FALSE(LaunchPreselected("<INSTALLDIR>Setup.exe"));
    EXPECT_FALSE(LaunchPreselected("<INSTALLDIR>disk2\\sEtUp.EXE,/q"));
    EXPECT_TRUE(LaunchPreselected("<INSTALLDIR>setupx.exe"));
    EXPECT_TRUE(LaunchPreselected("<INSTALLDIR>install.exe"));
}

TEST(DriverEndChoice, UpperCaseTouchesAsciiLettersOnly) {
    EXPECT_EQ(UpperCase("setup.exe ~\xe9"), "SETUP.EXE ~\xe9");
}

TEST(DriverRunEnd, RestartThenCancelThenCompletion) {
    EXPECT_EQ(RunEndFor(true, true, true), reRestart);
    EXPECT_EQ(RunEndFor(true, false, false), reRestart);
    EXPECT_EQ(RunEndFor(false, true, true), reCancelled);
    EXPECT_EQ(RunEndFor(false, false, false), reCompleted);
    EXPECT_EQ(RunEndFor(false, false, true), reLaunched);
}

TEST(DriverRunEnd, MessagesUseSingleCarriageReturns) {
    EXPECT_EQ(RunEndMessage(reRestart, "X"),
              "Tarnwick is about to RE-BOOT your PC\r\rPlease Remove any floppies "
              "from drive.\r\rClick on OK when ready.");
    EXPECT_EQ(RunEndMessage(reCancelled, "X"), "Your installation was canceled!");
    EXPECT_EQ(
        RunEndMessage(reCompleted, "Acme Writer"),
        "Your installation of \rAcme Writer\rhas be completed.\r\rPlease Remove any floppies from drive.");
    EXPECT_EQ(RunEndMessage(reLaunched, "X"), "");
    for (TRunEnd end : {reRestart, reCancelled, reCompleted})
        EXPECT_EQ(RunEndMessage(end, "X").find('\n'), std::string::npos);
}

} // namespace
} // namespace yar
