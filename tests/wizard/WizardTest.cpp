// The wizard under Wine, driven through its real windows: its pages and texts, every way through
// them, Accept, Decline, Cancel and the close box, the keys, an unreadable licence, and the end
// choice preset from the configuration and reported to the driver.
#include "BoxWatcher.h"
#include "SmallForm.h"

#include "wizard/YAR.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

namespace yar {
namespace {

using TLines = std::vector<std::string>;

void Click(const TWinControl& button) {
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    Application().ProcessMessages();
}

// A key on the focused control, as the application's loop handles it.
void PressKey(WPARAM key, UINT msg = WM_KEYDOWN) {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    PostMessageA(focus, msg, key, msg == WM_SYSCHAR ? (1 << 29) : 0);
    Application().ProcessMessages();
}

bool Showing(const TWinControl& control) {
    return IsWindowVisible(control.Handle()) != FALSE;
}

bool Usable(const TWinControl& control) {
    return Showing(control) && IsWindowEnabled(control.Handle());
}

std::string WindowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<std::string> CheckListItems(const TCheckListBox& list, bool checkedOnly) {
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i)
        if (!checkedOnly || list.Checked(i)) items.push_back(list.Item(i));
    return items;
}

TFormDesign BackgroundDesign() {
    TFormDesign design;
    design.Caption = "background";
    design.BorderStyle = bsNone;
    return design;
}

// A run of its own: the background window first (the main form, as in the setup), its configuration
// and state, a working directory for license.txt, and the wizard with the background's colours.
struct TWizardRun {
    TForm Background{BackgroundDesign()};
    SetupConfig Config;
    SetupState State;
    std::unique_ptr<TYAR> Made;
    TYAR& Wizard;

    TWizardRun() : Made(MakeWizard()), Wizard(*Made) {}
    ~TWizardRun() {
        Made.reset();
        std::error_code ignored;
        std::filesystem::remove_all(State.WorkDir, ignored);
    }
    TWizardRun(const TWizardRun&) = delete;
    TWizardRun& operator=(const TWizardRun&) = delete;

    std::unique_ptr<TYAR> MakeWizard() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        static int runs = 0;
        State.WorkDir = std::string(temp) + "yarwizard" + std::to_string(GetCurrentProcessId()) + "-" +
                        std::to_string(++runs);
        State.RootDir = "C:\\";
        CreateDirectoryA(State.WorkDir.c_str(), nullptr);
        Config.InstallDir = "Acme";
        return std::make_unique<TYAR>(TWizardLinks{Config, State, 0xFF0000, 0x000000, 0x00FFFF});
    }

    std::string LicencePath() const { return State.WorkDir + "\\license.txt"; }
    void WriteLicence(const std::string& text) const {
        std::ofstream(LicencePath(), std::ios::binary) << text;
    }

    // What an install needs: the installation directory's row, and the program and its configuration
    // in the working directory. The destination proposed is Target.
    void ReadyToInstall() {
        State.RootDir = State.WorkDir + "\\";
        Config.InstallDir = "target";
        Config.DirectoryEntries = {"<INSTALLDIR>~"};
        for (const char* name : {"install.exe", "install.cfg"})
            std::ofstream(State.WorkDir + "\\" + name) << name;
    }
    std::string Target() const { return State.WorkDir + "\\target"; }

    // Shown modeless and active, as the user finds it.
    void Open() { test::ShowActive(Wizard); }
    int Page() const { return Wizard.Notebook1.PageIndex(); }
};

constexpr const char* kTwoLines = "Terms of use\r\nMore terms\r\n";

TEST(WizardPages, CaptionsAndTextsOfEveryPage) {
    TWizardRun run;
    TYAR& w = run.Wizard;
    EXPECT_EQ(w.Caption(), "YAR32 - Setup");
    EXPECT_TRUE(GetWindowLongPtrA(w.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(w.MarsCaption1.ActiveStartColor(), 0xFF0000);
    EXPECT_EQ(w.MarsCaption1.ActiveEndColor(), 0x000000);
    EXPECT_EQ(w.MarsCaption1.ActiveTextColor(), 0x00FFFF);
    ASSERT_EQ(w.Notebook1.PageCount(), kWizardPageCount);
    EXPECT_EQ(run.Page(), wpWelcome);

    const TLines memo1 = w.Memo1.Lines();
    const TLines given{"",
                       "It is strongly recommended that you exit all windows programs",
                       "before running this Setup program.",
                       "",
                       "Click Cancel to quit Setup and then close any programs you have",
                       "running ( Re-Boot if Necessary ). Click Next continue with Setup",
                       "Program.",
                       "",
                       ""};
    ASSERT_GT(memo1.size(), given.size());
    EXPECT_EQ(TLines(memo1.begin(), memo1.begin() + static_cast<long>(given.size())), given);
    EXPECT_NE(memo1[given.size()].find("WARNING"), std::string::npos);
    EXPECT_TRUE(w.Memo1.ReadOnly());

    EXPECT_EQ(w.LicenceHint.Caption(),
              "Click on Accept to continue with install process. pgdn/pgup to view License information.");
    EXPECT_EQ(w.LicenceChoice.Caption(),
              "You must select Accept or Decline to Continue with installation. if "
              "you accept License then click Accept!");
    EXPECT_EQ(w.Memo3.ScrollBars(), ssVertical);
    EXPECT_TRUE(GetWindowLongPtrA(w.Memo3.Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(w.Memo2.Lines(),
              (TLines{"Setup will now install Software into the following directory", "",
                      "To install to this directory, click next.", "",
                      "To install to different directory, click browse and select ", "another", "directory.",
                      "", "you can choose not to install by clicking cancel."}));
    EXPECT_EQ(w.DestinationGroup.Caption(), " Destination  Directory ");
    EXPECT_EQ(w.Main_Dir.Parent(), &w.DestinationGroup);
    EXPECT_EQ(w.Main_Dir.ButtonHint(), "Browse for Directory");
    EXPECT_EQ(w.FoldersTitle.Caption(), "Create Folder's and Shortcuts.");
    EXPECT_EQ(w.MainFolderLabel.Caption(), "Main Folder:");
    EXPECT_EQ(w.DesktopLabel.Caption(), "Add Shortcut to Desktop?");
    EXPECT_EQ(w.StartMenuLabel.Caption(), "Add Shortcut to Startmenu?");
    EXPECT_FALSE(w.CheckBox1.Checked() || w.CheckBox2.Checked());
    EXPECT_EQ(w.InstallTypeTitle.Caption(), "What type of install to Execute");
    EXPECT_EQ(w.ReadyTitle.Caption(), "Ready to Start Installing Software");
    EXPECT_TRUE(w.full.Checked());
    EXPECT_FALSE(w.min.Checked());
    EXPECT_EQ(w.Memo4.ScrollBars(), ssVertical);
    EXPECT_TRUE(w.Panel1.Visible());
    EXPECT_EQ(w.Panel1.Parent(), &w);

    // Every button of the wizard by a caption of its own, so that it can be found and pressed by it.
    const std::vector<std::pair<const TWinControl*, std::string>> buttons{
        {&w.cancel, "&Cancel"},
        {&w.back, "&Back"},
        {&w.next, "&Next"},
        {&w.install, "&Install"},
        {&w.accept, "&Accept"},
        {&w.decline, "&Decline"},
        {&w.CheckBox1, "Add Folder to Start Menu"},
        {&w.CheckBox2, "Add Folder to Desktop"},
        {&w.full, "Full Install ( All Files will be installed )"},
        {&w.min, "Only Files need to run from Network will be installed"},
        {&w.RadioButton1, "Launch Program after installed"},
        {&w.RadioButton2, "Return to Windows after installed"},
        {&w.reboot, "Re Boot Windows After installed"},
    };
    std::set<std::string> captions;
    for (HWND child : ChildWindows(w.Handle())) {
        char cls[32] = {};
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Button") == 0) {
            EXPECT_TRUE(captions.insert(WindowText(child)).second) << "twice: " << WindowText(child);
        }
    }
    for (const auto& [button, caption] : buttons) {
        EXPECT_EQ(WindowText(button->Handle()), caption);
        EXPECT_TRUE(captions.contains(caption)) << caption;
    }
}

TEST(WizardPages, FormShowFillsThePagesAndClearsTheCancel) {
    TWizardRun run;
    run.State.Cancelled = true;
    run.Config.Folder = "Acme Tools";
    run.Config.AddToProgramFiles = true;
    run.Config.WorkStationPrompt = true;
    run.WriteLicence(kTwoLines);
    run.Open();
    TYAR& w = run.Wizard;
    EXPECT_FALSE(run.State.Cancelled);
    EXPECT_EQ(w.CreateFolder.Caption(), "Acme Tools");
    EXPECT_EQ(w.Main_Dir.Text(), "C:\\Program Files\\Acme");
    EXPECT_TRUE(w.min.Checked());
    EXPECT_FALSE(w.full.Checked());
    EXPECT_EQ(w.Memo3.Lines(), (TLines{"Terms of use", "More terms"}));
    EXPECT_EQ(run.Page(), wpWelcome);
    EXPECT_TRUE(Showing(w.page1));
    EXPECT_FALSE(Usable(w.back));
    EXPECT_TRUE(Usable(w.next));
    EXPECT_FALSE(Showing(w.install));
}

TEST(WizardNavigation, ALicenceOfOneLineIsPassedOverBothWays) {
    TWizardRun run;
    run.WriteLicence("Only one line\r\n");
    run.Open();
    TYAR& w = run.Wizard;
    Click(w.next);
    EXPECT_EQ(run.Page(), wpDestination);
    EXPECT_TRUE(Showing(w.Page3));
    EXPECT_FALSE(Showing(w.Page2));
    Click(w.back);
    EXPECT_EQ(run.Page(), wpWelcome);
    EXPECT_FALSE(Usable(w.back));
}

TEST(WizardNavigation, ALicenceOfTwoLinesIsLeftOnlyByAcceptOrDecline) {
    TWizardRun run;
    run.WriteLicence(kTwoLines);
    run.Open();
    TYAR& w = run.Wizard;
    Click(w.next);
    EXPECT_EQ(run.Page(), wpLicence);
    EXPECT_FALSE(Usable(w.next));
    EXPECT_TRUE(Usable(w.back));
    Click(w.next); // disabled: nothing moves
    EXPECT_EQ(run.Page(), wpLicence);
    Click(w.back);
    EXPECT_EQ(run.Page(), wpWelcome);
    Click(w.next);
    Click(w.accept);
    EXPECT_EQ(run.Page(), wpDestination);
    EXPECT_TRUE(Usable(w.next));
    Click(w.back);
    EXPECT_EQ(run.Page(), wpLicence);
    EXPECT_FALSE(Usable(w.next));
    Click(w.accept);
    EXPECT_EQ(run.Page(), wpDestination);
    EXPECT_FALSE(run.State.Cancelled);
}

TEST(WizardNavigation, NoFolderAndNoInstallTypeGoStraightToTheReadyPage) {
    TWizardRun run;
    run.Config.Folder = "";
    run.Open();
    TYAR& w = run.Wizard;
    Click(w.next);
    ASSERT_EQ(run.Page(), wpDestination);
    Click(w.next);
    EXPECT_EQ(run.Page(), wpReady);
    EXPECT_TRUE(Usable(w.install));
    EXPECT_FALSE(Usable(w.next));
    // The summary is built on the way, although the folders page was passed over.
    const TLines summary = w.Memo4.Lines();
    ASSERT_GE(summary.size(), 5U);
    EXPECT_EQ(TLines(summary.begin(), summary.begin() + 5),
              (TLines{"Install to:", "  C:\\Acme", "", "File \\ Folder : ", "  "}));
    Click(w.back);
    EXPECT_EQ(run.Page(), wpDestination);
    EXPECT_FALSE(Showing(w.install));
}

TEST(WizardNavigation, NoFolderWithTheInstallTypeStopsThere) {
    TWizardRun run;
    run.Config.Folder = "";
    run.Config.WorkStationPrompt = true;
    run.Open();
    TYAR& w = run.Wizard;
    Click(w.next);
    Click(w.next);
    EXPECT_EQ(run.Page(), wpInstallType);
    EXPECT_TRUE(Showing(w.installtype));
    EXPECT_TRUE(w.min.Checked());
    Click(w.next);
    EXPECT_EQ(run.Page(), wpReady);
    Click(w.back);
    EXPECT_EQ(run.Page(), wpInstallType);
    Click(w.back);
    EXPECT_EQ(run.Page(), wpDestination);
}

TEST(WizardNavigation, ReturningToTheFoldersPageTicksTheListsAgain) {
    TWizardRun run;
    run.Config.DesktopEntries = {"Writer~<INSTALLDIR>bin\\writer.exe~X~X~<INSTALLDIR>writer.ico~Acme",
                                 "Help~<INSTALLDIR>help.exe~X~~<INSTALLDIR>help.ico~Acme Help",
                                 "Lower~<INSTALLDIR>lower.exe~x~x~<INSTALLDIR>lower.ico~Acme"};
    run.Open();
    TYAR& w = run.Wizard;
    Click(w.next);
    Click(w.next);
    ASSERT_EQ(run.Page(), wpFolders);
    EXPECT_EQ(w.CreateFolder.Caption(), "Accessories");
    // Lower-case marks offer the shortcut in neither list.
    EXPECT_EQ(CheckListItems(w.DK, true), (TLines{"Writer", "Help"}));
    EXPECT_EQ(CheckListItems(w.SM, true), TLines{"Writer"});
    w.DK.SetChecked(0, false);
    w.SM.SetChecked(0, false);
    Click(w.next);
    EXPECT_EQ(run.Page(), wpReady);
    Click(w.back);
    EXPECT_EQ(run.Page(), wpFolders);
    EXPECT_EQ(CheckListItems(w.DK, true), (TLines{"Writer", "Help"}));
    EXPECT_EQ(CheckListItems(w.SM, true), TLines{"Writer"});
    EXPECT_EQ(w.Memo4.Lines().back(), "  lower.exe \\ Acme");
}

TEST(WizardNavigation, WithoutTheWarningPageItOpensPastItAndBackReachesIt) {
    for (const bool licence : {true, false}) {
        SCOPED_TRACE(licence ? "licence" : "no licence");
        TWizardRun run;
        run.WriteLicence(licence ? kTwoLines : "One line only");
        run.Wizard.SkipWarningPage();
        EXPECT_EQ(run.Page(), wpWelcome) << "the step waits until the licence is loaded";
        run.Open();
        TYAR& w = run.Wizard;
        EXPECT_EQ(run.Page(), licence ? wpLicence : wpDestination);
        EXPECT_EQ(Usable(w.next), !licence);
        Click(w.back);
        EXPECT_EQ(run.Page(), wpWelcome);
    }
}

TEST(WizardNavigation, TheReadyPageNamesTheProgramWithoutItsDirectoryTag) {
    TWizardRun run;
    run.Config.Launch = "<INSTALLDIR>bin\\app.exe";
    run.Wizard.PresetEndChoice(run.Config);
    run.Open();
    TYAR& w = run.Wizard;
    for (int i = 0; i < 3; ++i) Click(w.next);
    ASSERT_EQ(run.Page(), wpReady);
    EXPECT_EQ(w.Label2.Caption(), "bin\\app.exe");
    EXPECT_TRUE(w.RadioButton1.Checked());
}

// The ways the wizard ends, each as the driver runs it: modal, ended by what the user does.
TEST(WizardEnd, InstallFinishesTheRunWithTheFolderChoices) {
    TWizardRun run;
    run.Config.ShowReBoot = false;
    run.Wizard.PresetEndChoice(run.Config);
    run.WriteLicence(kTwoLines);
    run.ReadyToInstall();
    run.Open();
    TYAR& w = run.Wizard;
    Click(w.next);
    Click(w.accept);
    Click(w.next);
    Click(w.CheckBox2);
    Click(w.next);
    ASSERT_EQ(run.Page(), wpReady);
    w.Hide();
    // The button's click is handled once the modal loop runs.
    PostMessageA(w.install.Handle(), BM_CLICK, 0, 0);
    w.Execute();
    EXPECT_FALSE(Showing(w));
    EXPECT_FALSE(run.State.Cancelled);
    EXPECT_EQ(run.Page(), wpProgress);
    EXPECT_FALSE(w.Panel1.Visible());
    EXPECT_EQ(w.ShortcutFolderChoice(), (TShortcutFolders{"Accessories", false, true}));
    EXPECT_EQ(w.EndChoice(), ecReturnToWindows);
    // The engine installed into the destination the page showed, low on the screen.
    EXPECT_TRUE(std::filesystem::exists(run.Target() + "\\install.exe"));
    EXPECT_TRUE(std::filesystem::exists(run.Target() + "\\uninstall.cfg"));
    EXPECT_EQ(w.Height(), 120);
}

TEST(WizardEnd, CancelDeclineAndTheCloseBoxCancelTheRunAndNeverRestart) {
    struct TWay {
        const char* Name;
        std::function<void(TYAR&)> Post;
    };
    const TWay ways[] = {
        {"cancel", [](TYAR& w) { PostMessageA(w.cancel.Handle(), BM_CLICK, 0, 0); }},
        {"decline", [](TYAR& w) { PostMessageA(w.decline.Handle(), BM_CLICK, 0, 0); }},
        {"close box", [](TYAR& w) { PostMessageA(w.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+F4", [](TYAR& w) { PostMessageA(w.Handle(), WM_SYSKEYDOWN, VK_F4, 1 << 29); }},
        {"close message", [](TYAR& w) { PostMessageA(w.Handle(), WM_CLOSE, 0, 0); }},
    };
    for (const TWay& way : ways) {
        SCOPED_TRACE(way.Name);
        TWizardRun run;
        run.WriteLicence(kTwoLines);
        run.Wizard.SkipWarningPage(); // opens on the licence, where Decline is
        ASSERT_TRUE(run.Wizard.reboot.Checked());
        way.Post(run.Wizard);
        run.Wizard.Execute();
        EXPECT_FALSE(Showing(run.Wizard));
        EXPECT_TRUE(run.State.Cancelled);
        EXPECT_FALSE(run.Wizard.reboot.Checked());
        EXPECT_NE(run.Wizard.EndChoice(), ecRestart);
    }
}

TEST(WizardEnd, AStoppedInstallWaitsWithItsCloseButtonOnTheScreen) {
    TWizardRun run;
    run.Config.Folder = "";
    run.Config.ShowReBoot = true;
    run.Wizard.PresetEndChoice(run.Config);
    // No row for the installation directory: the install stops before it writes anything.
    run.Open();
    TYAR& w = run.Wizard;
    for (int i = 0; i < 6 && run.Page() != wpReady; ++i) Click(w.next);
    ASSERT_EQ(run.Page(), wpReady);

    const test::TSeenBox box = test::WatchBox(IDOK, [&] { Click(w.install); });
    ASSERT_TRUE(box.Shown);
    EXPECT_NE(box.Text.find("<INSTALLDIR>"), std::string::npos) << box.Text;
    ASSERT_TRUE(Usable(w.cancel));
    EXPECT_EQ(WindowText(w.cancel.Handle()), "&Close");
    RECT button{};
    ASSERT_TRUE(GetWindowRect(w.cancel.Handle(), &button));
    EXPECT_GE(button.left, 0);
    EXPECT_GE(button.top, 0);
    EXPECT_LE(button.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(button.bottom, GetSystemMetrics(SM_CYSCREEN)) << "the button is below the screen's edge";

    Click(w.cancel);
    EXPECT_FALSE(Showing(w));
    EXPECT_TRUE(run.State.Cancelled);
    EXPECT_EQ(run.State.Failure, rfInstall);
    EXPECT_NE(w.EndChoice(), ecRestart);
}

TEST(WizardEnd, AnUnreadableLicenceIsReportedAndEndsTheRunCancelled) {
    TWizardRun run;
    run.WriteLicence(kTwoLines);
    // Another program holds the file open for itself alone.
    HANDLE held = CreateFileA(run.LicencePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const test::TSeenBox box = test::WatchBox(IDOK, [&] { run.Wizard.Execute(); });
    CloseHandle(held);
    ASSERT_TRUE(box.Shown);
    EXPECT_EQ(box.Caption, "Error");
    EXPECT_NE(box.Text.find(run.LicencePath()), std::string::npos) << box.Text;
    EXPECT_TRUE(box.HasIcon);
    EXPECT_FALSE(Showing(run.Wizard));
    EXPECT_TRUE(run.State.Cancelled);
    EXPECT_NE(run.Wizard.EndChoice(), ecRestart);
}

TEST(WizardKeys, EnterPressesTheButtonThatLeadsOnAndEscapeCancels) {
    TWizardRun run;
    run.Config.Folder = "";
    run.WriteLicence(kTwoLines);
    run.Open();
    TYAR& w = run.Wizard;
    EXPECT_EQ(GetFocus(), w.Memo1.Handle()) << "the keyboard starts on the page";
    PressKey(VK_RETURN);
    EXPECT_EQ(run.Page(), wpLicence);
    EXPECT_TRUE(w.accept.Default());
    EXPECT_EQ(GetFocus(), w.Memo3.Handle());
    PressKey(VK_RETURN);
    EXPECT_EQ(run.Page(), wpDestination);
    EXPECT_TRUE(w.next.Default());
    PressKey('n', WM_SYSCHAR); // Alt+N
    EXPECT_EQ(run.Page(), wpReady);
    EXPECT_TRUE(w.install.Default());
    PressKey('b', WM_SYSCHAR); // Alt+B
    EXPECT_EQ(run.Page(), wpDestination);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(run.State.Cancelled);
    EXPECT_FALSE(Showing(w));
}

TEST(WizardKeys, EnterOnTheReadyPageInstallsWithTheChoicePreset) {
    TWizardRun run;
    run.Config.Folder = "";
    run.Config.Launch = "<INSTALLDIR>disk2\\SETUP.EXE";
    run.Wizard.PresetEndChoice(run.Config);
    run.ReadyToInstall();
    run.Open();
    TYAR& w = run.Wizard;
    PressKey(VK_RETURN);
    PressKey(VK_RETURN);
    ASSERT_EQ(run.Page(), wpReady);
    // The keyboard on the page's first button does not change the choice.
    EXPECT_TRUE(IsChild(w.Page5.Handle(), GetFocus()));
    EXPECT_TRUE(w.reboot.Checked());
    PressKey(VK_RETURN);
    EXPECT_EQ(run.Page(), wpProgress);
    EXPECT_FALSE(run.State.Cancelled);
    EXPECT_FALSE(Showing(w));
    EXPECT_EQ(w.EndChoice(), ecRestart);
}

TEST(WizardKeys, TabRunsThroughThePageThenTheButtons) {
    TWizardRun run;
    run.WriteLicence(kTwoLines);
    run.Open();
    TYAR& w = run.Wizard;
    Click(w.next);
    ASSERT_EQ(run.Page(), wpLicence);
    SetFocus(w.Memo3.Handle());
    std::vector<HWND> order;
    for (int i = 0; i < 5; ++i) {
        PressKey(VK_TAB);
        order.push_back(GetFocus());
    }
    // Next is disabled and Install hidden on this page.
    EXPECT_EQ(order, (std::vector<HWND>{w.decline.Handle(), w.accept.Handle(), w.cancel.Handle(),
                                        w.back.Handle(), w.Memo3.Handle()}));
}

struct TPresetSeen {
    bool Launch, Return, Restart, LaunchEnabled, RestartVisible;
    TEndChoice Choice;
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
