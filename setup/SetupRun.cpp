#include "setup/SetupRun.h"

#include "setup/DriverRules.h"
#include "setup/MediaCheck.h"
#include "setup/Preparation.h"
#include "setup/PrepareRules.h"
#include "setup/RunLanguage.h"
#include "system/FileServices.h"
#include "system/MediaDigest.h"
#include "system/RunningProgram.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Graphics.h"

#include <windows.h>

namespace yar {

TSetupRun::TSetupRun(TSetupSwitches switches, TRunLog* log)
    : FSwitches(std::move(switches)), FLog(log != nullptr ? log : &FNoLog) {}

TSetupRun::TSetupRun(TWizardFactory makeWizard, TSetupSwitches switches, TRunLog* log)
    : TSetupRun(std::move(switches), log) {
    // The colours the background window would have when it makes the wizard.
    MakeWizard(makeWizard, clBlue, clBlack, clBlack);
}

TSetupRun::~TSetupRun() = default;

void TSetupRun::MakeWizard(TWizardFactory makeWizard, int32_t captionStart, int32_t captionEnd,
                           int32_t captionText) {
    FWizard = makeWizard({Config, State, captionStart, captionEnd, captionText, &FSwitches, FLog});
}

void TSetupRun::FailStart(const std::exception& error) {
    FStartFailed = true;
    Log().Write(std::string("Failure: ") + error.what());
}

void TSetupRun::StartRun() {
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
    ServeWindows();
    if (!ReadSetupFiles()) return;
    LoadSetupConfigText(FConfigBytes, Config);
    State.Language = UseRunLanguage(RunLanguageFiles(""), Config.Languages, FSwitches.Language, FLog);
    ApplyConfig();
}

bool TSetupRun::ReadSetupFiles() {
    // Read once: the run follows the very bytes checked against the manifest, which nobody can change
    // between the check and the reading.
    const TFileBytes configFile = ReadFileBytes(State.StartDir + kSetupConfigName);
    if (!ConfigAccepted(configFile)) return false;
    FConfigBytes = configFile.Bytes;
    FConfigWhole = configFile.Complete;
    // Read now too: the program installed as install.exe is the one running, whatever file the media's
    // owner gives its name later.
    return ProgramRead();
}

bool TSetupRun::ConfigAccepted(const TFileBytes& configFile) {
    try {
        const std::optional<TMediaManifest> manifest = OwnMediaManifest();
        if (!manifest || ConfigMatches(*manifest, configFile, MediaDigest())) return true;
    } catch (const EManifestError& e) {
        Log().Write(std::string("Manifest: ") + e.what());
    }
    // Nothing of the file is read: it decides what an elevated run does, and it is not the one signed.
    FailPreparation(kConfigMismatchText, kConfigMismatchText);
    return false;
}

bool TSetupRun::ProgramRead() {
    try {
        FProgramBytes = RunningProgramBytes();
        return true;
    } catch (const EInOutError& e) {
        FailPreparation(e.what(), kPrepareErrorText);
        return false;
    }
}

void TSetupRun::FailPreparation(const std::string& why, const char* shown) {
    Log().Write("Failure: " + why);
    if (!FSwitches.Unattended()) ShowMessage(shown);
    FWizard->ClearRestart();
    State.Cancelled = true;
    State.Failure = rfPrepare;
}

void TSetupRun::ApplyConfig() {
    FWizard->PresetEndChoice(Config);
    if (!Config.ShowWarningScreen) FWizard->SkipWarningPage();
}

void TSetupRun::UseSetLanguages() {
    if (State.Cancelled || State.WorkDir.empty()) return;
    State.Language =
        UseRunLanguage(RunLanguageFiles(State.WorkDir), Config.Languages, FSwitches.Language, FLog);
}

void TSetupRun::RunHidden() {
    try {
        StartRun();
    } catch (const EInOutError& e) {
        FailStart(e);
        return;
    }
    if (!State.Cancelled) TPreparation(*this).Expand();
    UseSetLanguages();
    if (!State.Cancelled) FWizard->Execute();
    EndRun();
}

TExitCode TSetupRun::ExitCode() const {
    if (FStartFailed) return exBadStart;
    return ExitCodeFor(State, FWizard->EndChoice(),
                       !RestartLeftToCaller(FWizard->EndChoice(), State, FSwitches).empty());
}

void TSetupRun::CleanRunDirectory() {
    if (State.WorkDir.empty()) return;
    CleanWorkDir(SegmentDirOf(State.WorkDir));
    CleanWorkDir(State.WorkDir);
}

void TSetupRun::EndRun() {
    for (auto* list : {&Config.DirectoryEntries, &Config.FileEntries, &Config.DesktopEntries,
                       &Config.IniSetupEntries, &Config.WorkStationEntries, &Config.AutoexecLines}) {
        std::vector<std::string>().swap(*list);
        ServeWindows();
    }
    CleanRunDirectory();
    if (!State.SourceDirArg.empty() && SourceDirIsDisposable(FSourceDirFull, TempDirectory())) {
        // A directory cannot be removed while it is the current one: leave it for the Windows drive's root.
        SetCurrentDirectoryA(State.RootDir.c_str());
        CleanWorkDir(FSourceDirFull);
    }
    const TRunEnd end = RunEndFor(FWizard->EndChoice(), State);
    const std::string message = RunEndMessage(end, Config.Header);
    if (!message.empty() && !FSwitches.Unattended()) {
        ShowMessage(message);
        Log().Write("Message: " + message + " - answer: OK");
    }
    const std::string leftToCaller = RestartLeftToCaller(FWizard->EndChoice(), State, FSwitches);
    if (end == reRestart && !leftToCaller.empty()) {
        Log().Write("Restart needed, not made (" + leftToCaller + ")");
    } else if (end == reRestart) {
        Log().Write("Restarting Windows");
        ServeWindows();
        WinReboot1.RebootWindows(EWX_REBOOT); // a failed restart ends the run like any other
        ServeWindows();
    }
}

} // namespace yar
