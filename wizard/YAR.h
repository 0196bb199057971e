// TYAR: the install wizard, a fixed-size tool window above the background window. Its pages ask for
// the licence, the destination, the program folder and its shortcuts, the install type and the end
// choice of the run: launch the installed program, return to Windows, or restart Windows.
#pragma once

#include "config/SetupSwitches.h"
#include "config/SetupWizard.h"
#include "engine/InstallProgress.h"
#include "system/InstallJournals.h"
#include "toolkit/CheckListBox.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/DirectoryEdit.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/GradientCaption.h"
#include "toolkit/StdCtrls.h"
#include "util/Pacer.h"
#include "wizard/EndChoice.h"
#include "wizard/InstallRun.h"
#include "wizard/WizardContent.h"
#include "wizard/WizardRules.h"

#include <memory>
#include <optional>
#include <vector>

namespace yar {

// The wizard also shows the install engine's progress on its last page.
class TYAR : public TForm, public TSetupWizard, private TInstallProgress {
public:
    explicit TYAR(const TWizardLinks& links);
    // Defined in YAR.cpp alone: an inline one, with its thunks, emitted in two objects is a multiple
    // definition for the link-time optimiser of mingw-w64.
    ~TYAR() override;

    TGradientCaption MarsCaption1;

    // Made before the button panel, so that Tab runs through the page shown first, then the buttons.
    TNotebook Notebook1;
    // One page per row of the page table, made in its order; the members below are the pages by
    // their positions.
    std::vector<std::unique_ptr<TPage>> NotebookPages;
    TPage &page1, &Page2, &Page3, &Page4, &installtype, &Page5;
    TPage& installPage; // the notebook's page "install"; the name stays with the button

    // page1: the welcome text.
    TMemo Memo1;
    // Page2: the licence.
    TLabel LicenceHint;
    TMemo Memo3;
    TLabel LicenceChoice;
    TButton decline, accept;
    // Page3: the destination.
    TMemo Memo2;
    TGroupBox DestinationGroup;
    TDirectoryEdit Main_Dir;
    // Page4: the program folder and the shortcuts offered.
    TLabel FoldersTitle, MainFolderLabel, CreateFolder;
    TCheckBox CheckBox1, CheckBox2;
    TLabel DesktopLabel, StartMenuLabel;
    TCheckListBox DK, SM;
    // installtype.
    TLabel InstallTypeTitle;
    TRadioButton full, min;
    // Page5: the end choice, one group, so checking one clears the others. The restart is selected
    // until the driver presets the choice from the configuration.
    TLabel ReadyTitle;
    TRadioButton RadioButton1; // "Launch Program after installed"
    TLabel Label2;             // the program it launches
    TRadioButton RadioButton2; // "Return to Windows after installed"
    TRadioButton reboot;       // "Re Boot Windows After installed"
    TMemo Memo4;               // the summary
    // install: the engine's progress.
    TLabel source, Dest;
    TProgressBar ProgressBar1;

    TPanel Panel1;
    TButton cancel, back, next, install;

    void FormCreate();
    void ShowTexts();
    // Clears the cancel, fills the pages from the configuration, loads the licence and takes the
    // step over the warning page when one was asked for.
    void FormShow();
    void nextClick();
    void backClick();
    void acceptClick();
    void declineClick();
    void cancelClick();
    void Notebook1PageChanged();
    void installClick();
    // Closing by the title bar or Alt+F4 cancels the run unless Install finished it.
    void FormClose(TCloseAction& action);

    // What Install kept for the shortcut component.
    const TShortcutFolders& ShortcutFolderChoice() const { return FShortcutFolders; }
    // The pages as the navigation rules see them.
    const TWizardPages& Pages() const { return FPages; }

    void PresetEndChoice(const SetupConfig& config) override;
    // Taken by FormShow, once the licence that decides where the step lands is loaded.
    void SkipWarningPage() override { FPages.WarningSkipAsked = true; }
    // The pages modally; a run that asks nothing installs with its answers at once instead.
    void Execute() override;
    TEndChoice EndChoice() const override;
    void ClearRestart() override { reboot.SetChecked(false); }

private:
    // Shows each page of a move in turn, so that the page change runs for each, then the buttons
    // of the page it ends on.
    void ShowMove(const TPageMove& move);
    void ShowButtons();
    void NameControls();
    // Puts the keyboard back on the page when the control that had it was disabled or hidden.
    void KeepFocus();
    // Memo3 from license.txt; false when the file exists but cannot be read.
    bool LoadLicence();
    void FillFolderPage();
    void CancelTheRun();
    // The install engine's run on the progress page; it ends the run by closing the wizard, or stops
    // and leaves the page open with a way to close it.
    void RunInstall(const TInstallChoices& choices);
    // The install without pages: the progress alone, or nothing, shows.
    void RunUnattended();
    bool AskNothing() const { return FInstall.AskNothing(); }
    const TForm* Background() const;
    // The wizard low on the screen, just tall enough for the progress page.
    void ShowProgressLayout();
    TInstallChoices InstallChoices() const;

    // What the install engine reports.
    void ShowStatus(const std::string& text) override;
    void ShowDestination(const std::string& text) override;
    void SetProgressRange(int maximum) override;
    void StepProgress() override;
    void ProcessMessages() override;
    // Puts what the engine reported last on the page.
    void ShowReported();
    bool ConfirmOverwrite(const std::string& question) override;
    bool ConfirmRisk(const std::string& question) override;
    TFileErrorAnswer AskFileError(const std::string& message) override;
    void RolledBack(const std::vector<std::string>& left) override;
    void Finish() override;
    void Stopped(const std::string& message) override;
    void EndProgram(const std::string& message) override;
    // The page-5 buttons as the rules see them, and back.
    void ShowEndChoice(const TEndChoiceButtons& buttons);
    TEndChoiceButtons EndChoiceButtons() const;

    TWizardLinks FLinks;
    TWizardPages FPages;
    TShortcutFolders FShortcutFolders;
    bool FInstalled = false;
    TInstallRun FInstall;
    TPacer FServePace; // of the engine's calls to serve the windows
    // What the engine reported, shown at that pace and before anything the user is asked.
    struct TReported {
        std::string Status, Destination;
        int Position = 0;
        bool Pending = false;
    } FReported;
};

} // namespace yar
