// uninstaller.exe: removes the installation whose uninstall.cfg lies beside it. Started from the
// list of installed programs, by a double click, or with /S by an unattended run.
#include "config/Languages.h"
#include "engine/InterruptedInstalls.h"
#include "system/CodePages.h"
#include "system/ComScope.h"
#include "system/DllSearch.h"
#include "system/Win32Files.h"
#include "system/Win32Registry.h"
#include "toolkit/Application.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Dialogs.h"
#include "uninstall/SelfRemoval.h"
#include "uninstall/UninstallRules.h"
#include "uninstall/UninstallWindow.h"
#include "uninstall/Uninstaller.h"
#include "util/Paths.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

// A silent run shows nothing.
class TQuietProgress final : public yar::TUninstallProgress {
public:
    void Begin(int /*steps*/) override {}
    void Step(const std::string& /*what*/) override {}
};

std::string ProgramPath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

// The language the install showed, when the program has it built in and the system's code page can show
// it; English otherwise.
void UseInstallsLanguage(const std::string& code) {
    for (const yar::TLanguageFile& file : yar::BuiltInLanguages()) {
        if (file.Code != code) continue;
        const auto texts = yar::LanguageTexts(file.Text, [](const std::string& text, int codePage) {
            return yar::ConvertCodePage(text, codePage, yar::kProgramText);
        });
        if (texts) yar::UseTexts(*texts);
    }
    yar::Application().SetTitle(yar::Tr(yar::txUninstallTitle));
}

int Uninstall(const yar::TUninstallCommand& command) {
    const std::string program = ProgramPath();
    yar::TWin32Files files;
    yar::TWin32Registry registry;
    yar::TUninstallData data;
    try {
        data = yar::ReadTrustedUninstallData(files, registry, yar::ExtractFileDir(program));
    } catch (const yar::EUntrustedRecordError& e) {
        if (!command.Silent) yar::MessageDlg(e.what(), yar::mtError, {yar::mbOK});
        return yar::kExitNoRecord;
    } catch (const yar::EUninstallError& e) {
        if (!command.Silent) yar::MessageDlg(e.what(), yar::mtInformation, {yar::mbOK});
        return yar::kExitNoRecord;
    }
    UseInstallsLanguage(data.Language);
    if (!command.Silent && yar::MessageDlg(yar::RemoveQuestion(data.Title), yar::mtConfirmation,
                                           {yar::mbYes, yar::mbNo}) != yar::mrYes)
        return yar::kExitDeclined;

    // As the report names it: canonical, long names.
    const std::string self = yar::JoinPath(data.TargetDir, yar::ExtractFileName(files.LongPath(program)));
    yar::TUninstallReport report;
    if (command.Silent) {
        TQuietProgress quiet;
        report = yar::TUninstaller(data, {files, registry}, quiet, self).Run();
    } else {
        yar::TUninstallForm form(data.Title);
        form.SetVisible(true);
        report = yar::TUninstaller(data, {files, registry}, form, self).Run();
        form.SetVisible(false);
    }
    // The program's own file was reported as going once it has ended, and with it its directory when the
    // install made that.
    const auto goes = [&](const std::string& what) {
        return std::ranges::any_of(report.Items, [&](const yar::TReportItem& item) {
            return item.Outcome == yar::uoRemoved && yar::SamePath(item.What, what);
        });
    };
    if (goes(self)) yar::StartRemovalHelper(program, goes(data.TargetDir));
    if (!command.Silent)
        yar::MessageDlg(report.Text(), report.Failed() ? yar::mtWarning : yar::mtInformation, {yar::mbOK});
    return report.ExitCode();
}

} // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    yar::RestrictDllSearch();
    yar::LoadWindowComponentDlls();
    const yar::TUninstallCommand command = yar::ParseUninstallCommand(GetCommandLineA());
    if (command.WaitFor != 0) return yar::RunRemovalHelper(command);
    yar::UseCommonControls(ICC_WIN95_CLASSES);
    // Screen readers reach the window's accessible objects through COM.
    const yar::TComScope com;
    yar::TApplication& application = yar::Application();
    application.SetTitle(yar::Tr(yar::txUninstallTitle));
    try {
        // An install that was killed is undone first: its record may be among what is uninstalled.
        const std::vector<std::string> told = yar::UndoInterruptedInstalls();
        if (!told.empty() && !command.Silent) yar::ShowMessage(yar::InterruptedInstallsMessage(told));
        return Uninstall(command);
    } catch (const std::exception& e) {
        if (!command.Silent) application.ShowException(e);
        return yar::kExitIncomplete;
    }
}
