#include "setup/MainSetup.h"

#include "setup/DriverRules.h"
#include "setup/MediaCheck.h"
#include "setup/RunLanguage.h"
#include "setup/Unzip.h"
#include "system/FileServices.h"
#include "system/MediaDigest.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"

namespace yar {

namespace {

TFormDesign MainDesign() {
    TFormDesign design;
    design.Caption = "YAR 32Bit Installer";
    design.BorderStyle = bsNone;
    design.SystemMenu = false;
    design.ClientWidth = 640;
    design.ClientHeight = 480;
    design.Maximized = true;
    return design;
}

// The footer's built-in text.
constexpr const char* kFooterText = "YAR 32Bit Installer  -  Tarnwick";

void DesignHeader(TShadowLabel& label, int left, int top, const std::string& caption, const TFont& font,
                  int shadowSize) {
    label.SetTransparent(true);
    label.SetFont(font);
    label.SetCaption(caption);
    label.SetShadowColor(clWhite);
    label.SetShadowSize(shadowSize);
    label.SetShadowPos(spRightBottom);
    label.SetBounds(label.Scaled(left), label.Scaled(top), label.Width(), label.Height());
}

void ApplyHeader(TShadowLabel& label, const std::string& text, const std::string& fontName, int points,
                 TColor color, TColor shadow) {
    TFont font = label.Font();
    font.SetName(fontName);
    font.SetSize(points);
    font.SetColor(color);
    label.SetFont(font);
    label.SetCaption(text);
    label.SetShadowColor(shadow);
}

} // namespace

TMainSetup::TMainSetup(const TWizardFactory& makeWizard, TSetupSwitches switches, TRunLog* log)
    : TForm(MainDesign()), MainScreen(this), Setup_Header(this), Setup_Header2(this), Footer(this),
      bitmapscreen(this, {0, 0, 185, 41}), Image3(&bitmapscreen), Image4(&bitmapscreen),
      FSwitches(std::move(switches)), FLog(log != nullptr ? log : &FNoLog) {
    MainScreen.SetAlign(alClient);
    MainScreen.SetFromColor(clBlue);
    MainScreen.SetToColor(clBlack);
    MainScreen.SetSteps(255);
    MainScreen.SetStyle(fsHorizontal);

    DesignHeader(Setup_Header, 8, 1, SetupConfig{}.Header, TFont("Impact", 35, clBlack), 2);
    DesignHeader(Setup_Header2, 18, 32, kBuiltInHeader2, TFont("Times New Roman", 13, clBlack), 1);

    Footer.SetTransparent(true);
    Footer.SetAlignment(taCenter);
    Footer.SetFont(TFont("MS Sans Serif", 11, clWhite));
    Footer.SetCursor(reinterpret_cast<LPCSTR>(IDC_HAND));
    Footer.SetCaption(kFooterText);

    bitmapscreen.SetBevelInner(bvRaised);
    bitmapscreen.Hide();
    Image3.SetAnimate(true);
    Image3.Hide();
    Image4.Hide();

    Timer1.SetEnabled(false);
    Timer1.SetInterval(1000);
    Timer1.OnTimer = [this] { Timer1Timer(); };

    OnShow = [this] { ShowHandler(); };
    OnResize = [this] { FormResize(); };
    OnClose = [this](TCloseAction& action) { FormClose(action); };

    FWizard = makeWizard({Config, State, MainScreen.FromColor(), MainScreen.ToColor(),
                          Setup_Header.Font().Color(), &FSwitches, FLog});
    FUnzip = std::make_unique<TUnzip>(*this);
}

TMainSetup::~TMainSetup() = default;

void TMainSetup::ShowHandler() {
    try {
        FormShow();
    } catch (const EInOutError& e) {
        // The close handler does not run, as the run has not started: nothing to clean, nothing to end.
        FailStart(e);
        Application().ShowException(e);
        Application().Terminate();
    }
}

void TMainSetup::FailStart(const std::exception& error) {
    FStartFailed = true;
    Log().Write(std::string("Failure: ") + error.what());
}

void TMainSetup::FormShow() {
    StartRun();
    Timer1.SetEnabled(true);
}

void TMainSetup::StartRun() {
    State.SourceDirArg.clear();
    if (!FSwitches.SourceDir.empty()) {
        const std::string& dir = FSwitches.SourceDir;
        EnterDirectory(dir);
        State.SourceDirArg = dir;
        FSourceDirFull = CurrentDirectory();
    }
    State.StartDir = StartDirFrom(CurrentDirectory());
    const std::string windowsDir = WindowsDirectory();
    State.RootDir = RootDirFrom(windowsDir);
    Log().Write("Start directory: " + State.StartDir + " - Windows directory: " + windowsDir);
    // A directory of this run's own, never one another account could have prepared: nothing in it is older
    // than the run.
    try {
        State.WorkDir = CreatePrivateDirectory(TempDirectory(), kWorkDirPrefix);
        Log().Write("Working directory: " + State.WorkDir);
    } catch (const EInOutError& e) {
        // The preparation has nowhere to expand to, and fails.
        State.WorkDir.clear();
        Log().Write(std::string("Working directory not made: ") + e.what());
    }
    Application().ProcessMessages();
    // Read once: the run follows the very bytes checked against the manifest, which nobody can change
    // between the check and the reading.
    const TFileBytes configFile = ReadFileBytes(State.StartDir + kSetupConfigName);
    if (!ConfigAccepted(configFile)) return;
    LoadSetupConfigText(configFile.Bytes, Config);
    State.Language = UseRunLanguage(RunLanguageFiles(""), Config.Languages, FSwitches.Language, FLog);
    ApplyConfig();
}

bool TMainSetup::ConfigAccepted(const TFileBytes& configFile) {
    try {
        const std::optional<TMediaManifest> manifest = OwnMediaManifest();
        if (!manifest || ConfigMatches(*manifest, configFile, MediaDigest())) return true;
    } catch (const EManifestError& e) {
        Log().Write(std::string("Manifest: ") + e.what());
    }
    // Nothing of the file is read: it decides what an elevated run does, and it is not the one signed.
    Log().Write(std::string("Failure: ") + kConfigMismatchText);
    if (!FSwitches.Unattended()) ShowMessage(kConfigMismatchText);
    FWizard->ClearRestart();
    State.Cancelled = true;
    State.Failure = rfPrepare;
    return false;
}

void TMainSetup::ApplyConfig() {
    MainScreen.SetFromColor(Config.DitherFrom);
    MainScreen.SetToColor(Config.DitherTo);
    ApplyHeader(Setup_Header, Config.Header, Config.HeaderFontName, Config.HeaderFontSize,
                Config.HeaderFontColor, Config.HeaderFontShadow);
    ApplyHeader(Setup_Header2, Config.Header2, Config.Header2FontName, Config.Header2FontSize,
                Config.Header2FontColor, Config.Header2FontShadow);
    SetColor(MainScreen.FromColor());
    // The configured picture is the product's: screen readers name it by the product's header.
    Image3.SetAccessibleName(Config.Header);
    Image4.SetAccessibleName(Config.Header);
    FWizard->PresetEndChoice(Config);
    if (!Config.ShowWarningScreen) FWizard->SkipWarningPage();
}

void TMainSetup::UseSetLanguages() {
    if (State.Cancelled || State.WorkDir.empty()) return;
    State.Language =
        UseRunLanguage(RunLanguageFiles(State.WorkDir), Config.Languages, FSwitches.Language, FLog);
}

void TMainSetup::FormResize() {
    Footer.SetBounds(0, MainScreen.Height() - Footer.Height() - Scaled(10), MainScreen.Width(),
                     Footer.Height());
    Setup_Header.SetTop(Scaled(1));
    Setup_Header2.SetTop(Setup_Header.Top() + Setup_Header.Height() + Scaled(2));
}

void TMainSetup::Timer1Timer() {
    Timer1.SetEnabled(false);
    if (!State.Cancelled) FUnzip->ShowModal();
    FUnzip.reset();
    UseSetLanguages();
    if (!State.Cancelled) FWizard->Execute();
    Close();
}

void TMainSetup::RunHidden() {
    try {
        StartRun();
    } catch (const EInOutError& e) {
        FailStart(e);
        return;
    }
    if (!State.Cancelled) FUnzip->Expand();
    FUnzip.reset();
    UseSetLanguages();
    if (!State.Cancelled) FWizard->Execute();
    EndRun();
}

TExitCode TMainSetup::ExitCode() const {
    if (FStartFailed) return exBadStart;
    return ExitCodeFor(State, FWizard->EndChoice(), FSwitches.NoRestart);
}

void TMainSetup::FormClose(TCloseAction& /*action*/) {
    EndRun();
}

void TMainSetup::CleanRunDirectory() {
    if (State.WorkDir.empty()) return;
    CleanWorkDir(SegmentDirOf(State.WorkDir));
    CleanWorkDir(State.WorkDir);
}

void TMainSetup::EndRun() {
    for (auto* list : {&Config.DirectoryEntries, &Config.FileEntries, &Config.DesktopEntries,
                       &Config.IniSetupEntries, &Config.WorkStationEntries, &Config.AutoexecLines}) {
        std::vector<std::string>().swap(*list);
        Application().ProcessMessages();
    }
    CleanRunDirectory();
    if (!State.SourceDirArg.empty() && SourceDirIsDisposable(FSourceDirFull, TempDirectory())) {
        // A directory cannot be removed while it is the current one: leave it for the Windows drive's root.
        SetCurrentDirectoryA(State.RootDir.c_str());
        CleanWorkDir(FSourceDirFull);
    }
    const TRunEnd end = RunEndFor(FWizard->EndChoice(), State);
    const std::string message = RunEndMessage(end, Setup_Header.Caption());
    if (!message.empty() && !FSwitches.Unattended()) {
        ShowMessage(message);
        Log().Write("Message: " + message + " - answer: OK");
    }
    if (end == reRestart && FSwitches.NoRestart) {
        Log().Write("Restart needed, not made (/NORESTART)");
    } else if (end == reRestart) {
        Log().Write("Restarting Windows");
        Application().ProcessMessages();
        WinReboot1.RebootWindows(EWX_REBOOT); // a failed restart ends the run like any other
        Application().ProcessMessages();
    }
}

} // namespace yar
