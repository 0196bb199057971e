// install.exe: the setup program. The background window drives the whole run; the command line
// says how much of it is shown and what a run without pages answers.
#include "Version.h"
#include "config/SetupSwitches.h"
#include "config/Texts.h"
#include "engine/InterruptedInstalls.h"
#include "setup/MainSetup.h"
#include "setup/RunLanguage.h"
#include "setup/SetupRun.h"
#include "system/ComScope.h"
#include "system/DllSearch.h"
#include "system/FileServices.h"
#include "system/LogFile.h"
#include "system/Win32Files.h"
#include "system/Win32IniFiles.h"
#include "toolkit/Application.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Pictures.h"
#include "util/Paths.h"
#include "util/RunLog.h"
#include "wizard/AnswerFile.h"
#include "wizard/InstallRun.h"
#include "wizard/YAR.h"

#include <windows.h>

#include <commctrl.h>

#include <array>

namespace {

// Before the first window: the window components' DLLs from the system directory, the common controls.
void PrepareWindows() {
    yar::LoadWindowComponentDlls();
    yar::UseCommonControls(ICC_WIN95_CLASSES);
}

std::vector<std::string> Arguments() {
    std::vector<std::string> args;
    for (int i = 1; i <= yar::ParamCount(); ++i) args.push_back(yar::ParamStr(i));
    return args;
}

// The log /LOG asks for; a log that keeps nothing otherwise. Without a name it is a new file of a name
// drawn at random: any user may have made a fixed name in the temporary directory first.
yar::TRunLog OpenLog(const yar::TSetupSwitches& switches) {
    if (!switches.Log) return yar::TRunLog();
    if (!switches.Log->empty()) return yar::TRunLog(yar::TLogFile::OpenNamed(*switches.Log));
    const std::string temp = yar::TempDirectory();
    return yar::TRunLog(
        yar::TLogFile::CreateNew([&] { return yar::DefaultLogPath(temp, yar::RandomNamePart()); }));
}

void LogStart(yar::TRunLog& log, const std::vector<std::string>& args) {
    std::string line = std::string("Start: YAR Setup ") + YAR_VERSION_TEXT + " - arguments:";
    for (const std::string& arg : args) line += " \"" + arg + "\"";
    log.Write(line + " - current directory: " + yar::CurrentDirectory());
}

// The switches with the answer file's answers under their own.
yar::TSetupSwitches ReadSwitches(const std::vector<std::string>& args) {
    yar::TSetupSwitches switches = yar::ParseSetupSwitches(args);
    // A bare name is the current directory's, as the user meant it: the profile functions would read and
    // write an answer file in the Windows directory.
    const std::string current = yar::CurrentDirectory();
    for (std::string* named : {&switches.LoadInf, &switches.SaveInf, switches.Log ? &*switches.Log : nullptr})
        if (named != nullptr && !named->empty()) *named = yar::PathFrom(current, *named);
    // A file written by the name it was given is the program's own only where no other account could have
    // made or prepared it, or can change it or a directory on its way.
    const yar::TWin32Files files;
    if (switches.Log && !switches.Log->empty())
        if (const std::optional<std::string> reason = yar::UnsafeFileReason(files, *switches.Log))
            throw yar::ELogError("Cannot create the log file " + *switches.Log + ": " + *reason);
    if (!switches.SaveInf.empty())
        if (const std::optional<std::string> reason = yar::UnsafeFileReason(files, switches.SaveInf))
            throw yar::ESwitchError("The answer file " + switches.SaveInf + " cannot be written: " + *reason);
    if (!switches.LoadInf.empty()) {
        const yar::TWin32IniFiles ini;
        switches.Answers =
            yar::MergeAnswers(switches.Answers, yar::ReadAnswerFile(files, ini, switches.LoadInf));
    }
    return switches;
}

// An install on this machine that was killed is undone before anything else, and the user told so.
void UndoInterruptedInstalls(const yar::TSetupSwitches& switches, yar::TRunLog& log) {
    std::vector<std::string> told;
    try {
        told = yar::UndoInterruptedInstalls();
    } catch (const yar::EInOutError& e) {
        // The install itself will refuse to run without a journal it can trust, and say why.
        log.Write(std::string("Journals: ") + e.what());
        return;
    }
    if (told.empty()) return;
    for (const std::string& line : told) log.Write("Undone: " + line);
    if (!switches.Unattended()) yar::ShowMessage(yar::InterruptedInstallsMessage(told));
}

// A run that shows nothing makes no window, starts neither COM (until a shortcut needs it) nor GDI+,
// and loads no common controls: under Wine any of them would start the desktop process first.
int RunWithoutWindows(yar::TSetupSwitches switches, yar::TRunLog& log) {
    yar::UseRunLanguage(yar::RunLanguageFiles(""), {}, switches.Language, &log);
    yar::TSetupRun run(
        [](const yar::TWizardLinks& links) -> std::unique_ptr<yar::TSetupWizard> {
            return std::make_unique<yar::TQuietWizard>(links);
        },
        std::move(switches), &log);
    run.RunHidden();
    return run.ExitCode();
}

int Run(yar::TSetupSwitches switches, yar::TRunLog& log) {
    if (switches.Mode == yar::rmVerySilent) return RunWithoutWindows(std::move(switches), log);
    yar::TApplication& application = yar::Application();
    // COM once, for the whole run: the install saves its shortcuts through the shell-link object.
    const yar::TComScope com;
    const yar::TGdiplusSession pictures; // the picture on the background and the animated icon
    // The windows are made in the language known so far; install.cfg and the set may still change it.
    yar::UseRunLanguage(yar::RunLanguageFiles(""), {}, switches.Language, &log);
    // The background window makes the wizard and the preparation window after itself.
    yar::TMainSetup mainSetup(
        [](const yar::TWizardLinks& links) -> std::unique_ptr<yar::TSetupWizard> {
            return std::make_unique<yar::TYAR>(links);
        },
        std::move(switches), &log);
    application.Run();
    return mainSetup.ExitCode();
}

} // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    // The theme library waits for the first window (PrepareWindows): a run that shows nothing makes none.
    yar::RestrictDllSearch();
    yar::TApplication& application = yar::Application();
    application.SetTitle(yar::Tr(yar::txSetupTitle));
    const std::vector<std::string> args = Arguments();
    yar::TSetupSwitches switches;
    yar::TRunLog log;
    try {
        switches = ReadSwitches(args);
        log = OpenLog(switches);
    } catch (const std::exception& e) {
        // Bad switches, a missing answer file or a log that cannot be made: nothing has started.
        if (!yar::AsksNothing(args)) {
            PrepareWindows();
            application.ShowException(e);
        }
        return yar::exBadStart;
    }
    if (switches.Mode != yar::rmVerySilent || switches.Help) PrepareWindows();
    LogStart(log, args);
    if (switches.Help) {
        yar::ShowMessage(yar::kSwitchHelpText);
        log.Write(yar::ExitLogText(yar::exInstalled));
        return yar::exInstalled;
    }
    int code = yar::exBadStart;
    const bool unattended = switches.Unattended();
    try {
        UndoInterruptedInstalls(switches, log);
        code = Run(std::move(switches), log);
    } catch (const std::exception& e) {
        // The windows could not be made: nothing of the run has started.
        log.Write(std::string("Failure: ") + e.what());
        if (!unattended) application.ShowException(e);
    }
    log.Write(yar::ExitLogText(static_cast<yar::TExitCode>(code)));
    return code;
}
