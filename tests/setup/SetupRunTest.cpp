// The run without windows under Wine (/VERYSILENT): a set of the test's own installed from its start
// directory, or failing its preparation, with no window made and COM never started on the thread.
#include "setup/SetupRun.h"
#include "wizard/InstallRun.h"

#include "tests/archive/SegmentTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

namespace yar {
namespace {

using test::Bytes;

BOOL CALLBACK CountWindow(HWND /*window*/, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

int WindowsOfThisThread() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// S_OK from a first CoInitialize: nothing had started COM on the thread.
bool ComStartedOnThisThread() {
    const HRESULT result = CoInitialize(nullptr);
    if (SUCCEEDED(result)) CoUninitialize();
    return result != S_OK;
}

class SetupRunTest : public test::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        std::filesystem::create_directories(NativePath(StartDir()));
        WriteFile(StartDir() + "\\install.exe", Bytes("MZ the setup program"));
        WriteFile(StartDir() + "\\install.cfg",
                  Bytes("[Setup - Main]\r\nShow Re-Boot=0\r\n[Directories]\r\nDir1=<INSTALLDIR>~\r\n"
                        "[Files]\r\nFile1=readme.txt~<INSTALLDIR>\r\n"));
        FStartedIn = CurrentDirectory();
    }
    void TearDown() override {
        EnterDirectory(FStartedIn);
        ScratchDir::TearDown();
    }

    std::string StartDir() const { return PathOf("start"); }
    std::string Target() const { return PathOf("target"); }

    // The whole run as install.exe makes it for /VERYSILENT /DIR=target; its exit code.
    TExitCode RunQuietly() const {
        TSetupSwitches switches;
        switches.Mode = rmVerySilent;
        switches.SourceDir = StartDir() + "\\";
        switches.Answers.Dir = Target();
        switches.NoLaunch = true;
        switches.NoRestart = true;
        TSetupRun run(
            [](const TWizardLinks& links) -> std::unique_ptr<TSetupWizard> {
                return std::make_unique<TQuietWizard>(links);
            },
            switches, nullptr);
        run.RunHidden();
        return run.ExitCode();
    }

private:
    std::string FStartedIn;
};

TEST_F(SetupRunTest, InstallsWithoutAnyWindowOrCom) {
    const std::vector<uint8_t> readme = Bytes("read me, installed without a window");
    const auto archives = {test::SetArchiveOf(PathOf("recorded"), {{"readme.txt", readme}})};
    test::WriteSetWithCuts(StartDir(), "disk", "", builder::SegmentSetStream(archives), {});
    const int windowsBefore = WindowsOfThisThread();

    EXPECT_EQ(RunQuietly(), exInstalled);
    EXPECT_EQ(ReadFile(Target() + "\\readme.txt"), readme);
    EXPECT_EQ(WindowsOfThisThread(), windowsBefore);
    EXPECT_FALSE(ComStartedOnThisThread());
}

TEST_F(SetupRunTest, AMissingVolumeFailsThePreparationWithoutAWindowAndInstallsNothing) {
    const int windowsBefore = WindowsOfThisThread();

    EXPECT_EQ(RunQuietly(), exPrepareFailed);
    EXPECT_FALSE(DirectoryExistsAt(Target()));
    EXPECT_EQ(WindowsOfThisThread(), windowsBefore);
}

} // namespace
} // namespace yar
