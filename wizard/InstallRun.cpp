#include "wizard/InstallRun.h"

#include "engine/InstallEngine.h"
#include "engine/Win32InstallSystem.h"
#include "system/FileServices.h"
#include "system/Win32Files.h"
#include "system/Win32IniFiles.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"
#include "util/RunLog.h"
#include "wizard/AnswerFile.h"

namespace yar {

TSetupAnswers TInstallRun::Answers() const {
    return FLinks.Switches != nullptr ? FLinks.Switches->Answers : TSetupAnswers{};
}

void TInstallRun::Log(const std::string& event) const {
    if (FLinks.Log != nullptr) FLinks.Log->Write(event);
}

TInstallChoices TInstallRun::UnattendedStart() {
    const TSetupSwitches& switches = *FLinks.Switches;
    FLinks.State.Cancelled = false;
    FUnattendedEnd = UnattendedEndChoice(FLinks.Config, switches.Answers, switches.NoLaunch);
    TInstallChoices choices =
        UnattendedChoices(FLinks.Config, FLinks.State, switches.Answers, *FUnattendedEnd);
    SaveAnswers(choices, *FUnattendedEnd);
    return choices;
}

void TInstallRun::SaveAnswers(const TInstallChoices& choices, TEndChoice endChoice) {
    if (FLinks.Switches == nullptr || FLinks.Switches->SaveInf.empty()) return;
    TSetupAnswers answers = AnswersOf(choices, endChoice);
    answers.Overwrite = FOverwriteAnswer;
    TWin32IniFiles ini;
    try {
        WriteAnswerFile(ini, FLinks.Switches->SaveInf, answers);
        Log("Answers saved: " + FLinks.Switches->SaveInf);
    } catch (const ESwitchError& e) {
        // The install goes on: the answers are a help for later runs, not part of this one.
        Log(std::string("Failure: ") + e.what());
        if (!AskNothing()) Application().ShowException(e);
    }
}

void TInstallRun::Run(const TInstallChoices& choices, TEndChoice end, HWND owner,
                      TInstallProgress& progress) {
    // Without a journal a failure could not be undone: the install does not begin.
    std::string journals, journal;
    try {
        journals = JournalsDirectory();
        journal = CreatePrivateDirectory(journals, "install-");
    } catch (const EInOutError& e) {
        progress.Stopped(std::string("The install cannot keep its journal: ") + e.what());
        FLinks.State.Cancelled = true;
        return;
    }
    Log("Journal: " + journal);
    FJournal = journal;
    FJournals = journals;
    FRunning = std::make_unique<TRunningMark>(journal);
    {
        TWin32InstallSystem system(owner, journal);
        TInstallEngine engine(FLinks.Config, FLinks.State, system.System(), progress, FLinks.Log);
        engine.RunInstall(choices);
    }
    EndJournal();
    // The answer to a question met during the install joins the others.
    if (FOverwriteAnswer) SaveAnswers(choices, end);
}

void TInstallRun::EndJournal() {
    if (!FRunning) return;
    FRunning.reset();
    // What the install kept stays for the user; otherwise the directory it ran in goes.
    TWin32Files files;
    if (!HasJournal(files, FJournal)) RemoveJournal(files, FJournal);
    RemoveEmptyJournalsDirectory(FJournals);
}

bool TInstallRun::ConfirmOverwrite(const std::string& question, TAskYesNo ask) {
    const bool yes = AskNothing() || ask == nullptr ? Answers().Overwrite.value_or(false) : ask(question);
    Log("Message: " + question + " - answer: " + (yes ? "Yes" : "No"));
    FOverwriteAnswer = yes;
    return yes;
}

TFileErrorAnswer TInstallRun::AskFileError(const std::string& message, TAskFileError ask) {
    TFileErrorAnswer answer = feAbort;
    if (!AskNothing() && ask != nullptr)
        answer = ask(message);
    else if (Answers().IgnoreFileErrors.value_or(false))
        answer = feIgnore;
    static constexpr const char* kWords[] = {"Retry", "Ignore", "Abort"};
    Log("Message: " + message + " - answer: " + kWords[answer]);
    return answer;
}

bool TInstallRun::ConfirmRisk(const std::string& question, TAskYesNo ask) {
    const bool yes = !AskNothing() && ask != nullptr && ask(question);
    Log("Message: " + question + " - answer: " + (yes ? "Yes" : "No"));
    return yes;
}

void TInstallRun::Stopped(const std::string& message) {
    FLinks.State.Failure = rfInstall;
    Log("Failure: " + message);
}

void TInstallRun::EndProgram(const std::string& message) {
    // The program ends at once: the journal's directory is tidied first.
    EndJournal();
    Log("Failure: " + message);
    if (!AskNothing()) ShowMessage(message);
    Log(ExitLogText(exInstallStopped));
    TApplication::Halt(exInstallStopped);
}

// ---- TQuietWizard ----

namespace {

// The engine's reports go nowhere; its questions take the answer file's answers.
class TQuietProgress final : public TInstallProgress {
public:
    explicit TQuietProgress(TInstallRun& install) : FInstall(install) {}

    void ShowStatus(const std::string& /*text*/) override {}
    void ShowDestination(const std::string& /*text*/) override {}
    void SetProgressRange(int /*maximum*/) override {}
    void StepProgress() override {}
    void ProcessMessages() override {}
    bool ConfirmOverwrite(const std::string& question) override {
        return FInstall.ConfirmOverwrite(question, nullptr);
    }
    TFileErrorAnswer AskFileError(const std::string& message) override {
        return FInstall.AskFileError(message, nullptr);
    }
    bool ConfirmRisk(const std::string& question) override { return FInstall.ConfirmRisk(question, nullptr); }
    void Finish() override { FInstall.Finished(); }
    void Stopped(const std::string& message) override { FInstall.Stopped(message); }
    void RolledBack(const std::vector<std::string>& /*left*/) override {}
    void EndProgram(const std::string& message) override { FInstall.EndProgram(message); }

private:
    TInstallRun& FInstall;
};

} // namespace

TQuietWizard::TQuietWizard(const TWizardLinks& links) : FInstall(links) {}

TQuietWizard::~TQuietWizard() = default;

void TQuietWizard::PresetEndChoice(const SetupConfig& config) {
    FButtons = EndChoicePreset(config);
}

void TQuietWizard::Execute() {
    const TInstallChoices choices = FInstall.UnattendedStart();
    TQuietProgress progress(FInstall);
    FInstall.Run(choices, EndChoice(), nullptr, progress);
}

TEndChoice TQuietWizard::EndChoice() const {
    if (const std::optional<TEndChoice> end = FInstall.UnattendedEnd()) return *end;
    return EndChoiceOf(FButtons);
}

} // namespace yar
