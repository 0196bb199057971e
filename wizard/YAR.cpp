#include "wizard/YAR.h"

#include "config/Texts.h"
#include "engine/InstallEngine.h"
#include "engine/Win32InstallSystem.h"
#include "system/FileServices.h"
#include "system/InstallJournals.h"
#include "system/TimeSlice.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"
#include "util/RunLog.h"
#include "wizard/AnswerFile.h"

#include <stdexcept>

namespace yar {

namespace {

constexpr int kClientWidth = 480;
constexpr int kPanelHeight = 44;
constexpr int kNotebookHeight = 296;
constexpr int kClientHeight = kNotebookHeight + kPanelHeight;
constexpr int kMargin = 12;
constexpr int kInnerWidth = kClientWidth - 2 * kMargin;
// While installing: the wizard's height, and its distance from the bottom of the background window.
constexpr int kProgressHeight = 120;
constexpr int kProgressBottomGap = 30;

TFormDesign WizardDesign() {
    TFormDesign design;
    design.Caption = Tr(txWizardCaption);
    design.BorderStyle = bsToolWindow;
    design.ClientWidth = kClientWidth;
    design.ClientHeight = kClientHeight;
    design.ScreenCenter = true;
    return design;
}

// A label whose caption wraps within the width it is given.
void WrapLabel(TLabel& label, const std::string& caption) {
    label.SetWordWrap(true);
    label.SetCaption(caption);
}

void TitleLabel(TLabel& label) {
    TFont font = label.Font();
    font.SetBold(true);
    label.SetFont(font);
}

// A memo the user reads but does not change.
void TextMemo(TMemo& memo, TScrollStyle scrollBars) {
    memo.SetScrollBars(scrollBars);
    memo.SetReadOnly(true);
}

// A page of the notebook for each row of the page table, in its order.
std::vector<std::unique_ptr<TPage>> MakePages(TNotebook& notebook) {
    std::vector<std::unique_ptr<TPage>> pages(kWizardPages.size());
    for (std::unique_ptr<TPage>& page : pages) page = std::make_unique<TPage>(&notebook);
    return pages;
}

void FillCheckList(TCheckListBox& list, const std::vector<TCheckItem>& items) {
    list.Clear();
    for (const TCheckItem& item : items) list.SetChecked(list.AddItem(item.Caption), item.Checked);
}

} // namespace

TYAR::~TYAR() = default;

TYAR::TYAR(const TWizardLinks& links)
    : TForm(WizardDesign()), MarsCaption1(*this), Notebook1(this, {0, 0, kClientWidth, kNotebookHeight}),
      NotebookPages(MakePages(Notebook1)), page1(*NotebookPages[wpWelcome]), Page2(*NotebookPages[wpLicence]),
      Page3(*NotebookPages[wpDestination]), Page4(*NotebookPages[wpFolders]),
      installtype(*NotebookPages[wpInstallType]), Page5(*NotebookPages[wpReady]),
      installPage(*NotebookPages[wpProgress]),
      // page1
      Memo1(&page1, {kMargin, kMargin, kInnerWidth, kNotebookHeight - 2 * kMargin}),
      // Page2
      LicenceHint(&Page2, {kMargin, 8, kInnerWidth, 0}), Memo3(&Page2, {kMargin, 40, kInnerWidth, 178}),
      LicenceChoice(&Page2, {kMargin, 226, kInnerWidth, 0}), decline(&Page2, {300, 262, 80, 25}),
      accept(&Page2, {388, 262, 80, 25}),
      // Page3
      Memo2(&Page3, {kMargin, kMargin, kInnerWidth, 170}),
      DestinationGroup(&Page3, {kMargin, 196, kInnerWidth, 60}),
      Main_Dir(&DestinationGroup, {12, 24, kInnerWidth - 24, 21}),
      // Page4
      FoldersTitle(&Page4, {kMargin, 8}), MainFolderLabel(&Page4, {kMargin, 36}),
      CreateFolder(&Page4, {90, 36}), CheckBox1(&Page4, {kMargin, 60, 220, 17}),
      CheckBox2(&Page4, {244, 60, 224, 17}), DesktopLabel(&Page4, {kMargin, 90}),
      StartMenuLabel(&Page4, {244, 90}), DK(&Page4, {kMargin, 108, 220, 176}),
      SM(&Page4, {244, 108, 224, 176}),
      // installtype
      InstallTypeTitle(&installtype, {kMargin, 8}), full(&installtype, {24, 48, 440, 17}),
      min(&installtype, {24, 76, 440, 17}),
      // Page5
      ReadyTitle(&Page5, {kMargin, 8}), RadioButton1(&Page5, {kMargin, 36, 300, 17}),
      Label2(&Page5, {32, 56}), RadioButton2(&Page5, {kMargin, 78, 300, 17}),
      reboot(&Page5, {kMargin, 102, 300, 17}), Memo4(&Page5, {kMargin, 128, kInnerWidth, 156}),
      // install
      source(&installPage, {kMargin, 8, kInnerWidth, 0}), Dest(&installPage, {kMargin, 28, kInnerWidth, 0}),
      ProgressBar1(&installPage, {kMargin, 52, kInnerWidth, 18}),
      // the buttons
      Panel1(this, {0, kNotebookHeight, kClientWidth, kPanelHeight}), cancel(&Panel1, {kMargin, 10, 80, 25}),
      back(&Panel1, {212, 10, 80, 25}), next(&Panel1, {296, 10, 80, 25}), install(&Panel1, {388, 10, 80, 25}),
      FLinks(links), FInstall(links) {
    TextMemo(Memo1, ssNone);
    TextMemo(Memo3, ssVertical);
    TextMemo(Memo2, ssNone);
    TitleLabel(FoldersTitle);
    TitleLabel(InstallTypeTitle);
    TitleLabel(ReadyTitle);
    full.SetChecked(true);
    reboot.SetChecked(true);
    TextMemo(Memo4, ssVertical);
    WrapLabel(source, "");
    WrapLabel(Dest, "");
    NameControls();
    Panel1.SetBevelOuter(bvNone);
    cancel.SetCancel(true);
    ShowTexts();

    Notebook1.OnPageChanged = [this] { Notebook1PageChanged(); };
    next.OnClick = [this] { nextClick(); };
    back.OnClick = [this] { backClick(); };
    accept.OnClick = [this] { acceptClick(); };
    decline.OnClick = [this] { declineClick(); };
    cancel.OnClick = [this] { cancelClick(); };
    install.OnClick = [this] { installClick(); };
    OnShow = [this] { FormShow(); };
    OnClose = [this](TCloseAction& action) { FormClose(action); };
    FormCreate();
}

// The labels drawn beside the edits and lists name them for screen readers (the texts read alone are
// named with the run's language in ShowTexts).
void TYAR::NameControls() {
    Memo3.SetAccessibleLabel(&LicenceHint);
    Memo2.SetAccessibleLabel(&DestinationGroup);
    Main_Dir.SetAccessibleLabel(&DestinationGroup);
    DK.SetAccessibleLabel(&DesktopLabel);
    SM.SetAccessibleLabel(&StartMenuLabel);
    Memo4.SetAccessibleLabel(&ReadyTitle);
}

// The texts of the run's language; the wizard is made before the language is settled, so it shows
// them again when it is shown.
void TYAR::ShowTexts() {
    SetCaption(Tr(txWizardCaption));
    Memo1.SetLines(CurrentTexts().Lines(txWelcome));
    WrapLabel(LicenceHint, Tr(txLicenceHint));
    WrapLabel(LicenceChoice, Tr(txLicenceChoice));
    decline.SetCaption(Tr(txDecline));
    accept.SetCaption(Tr(txAccept));
    Memo2.SetLines(CurrentTexts().Lines(txDestination));
    DestinationGroup.SetCaption(Tr(txDestinationGroup));
    Main_Dir.SetButtonHint(Tr(txBrowseHint));
    Main_Dir.SetButtonCaption(Tr(txBrowseButton));
    FoldersTitle.SetCaption(Tr(txFoldersTitle));
    MainFolderLabel.SetCaption(Tr(txMainFolder));
    CheckBox1.SetCaption(Tr(txFolderStartMenu));
    CheckBox2.SetCaption(Tr(txFolderDesktop));
    DesktopLabel.SetCaption(Tr(txShortcutsDesktop));
    StartMenuLabel.SetCaption(Tr(txShortcutsStartMenu));
    InstallTypeTitle.SetCaption(Tr(txInstallTypeTitle));
    full.SetCaption(Tr(txFullInstall));
    min.SetCaption(Tr(txMinInstall));
    ReadyTitle.SetCaption(Tr(txReadyTitle));
    RadioButton1.SetCaption(Tr(txLaunchAfter));
    RadioButton2.SetCaption(Tr(txReturnAfter));
    reboot.SetCaption(Tr(txRestartAfter));
    cancel.SetCaption(Tr(txCancelButton));
    back.SetCaption(Tr(txBackButton));
    next.SetCaption(Tr(txNextButton));
    install.SetCaption(Tr(txInstallButton));
    Memo1.SetAccessibleName(Tr(txWarningName));
    ProgressBar1.SetAccessibleName(Tr(txProgressName));
}

void TYAR::FormCreate() {
    Notebook1.SetPageIndex(wpWelcome);
    MarsCaption1.SetActiveStartColor(FLinks.CaptionStartColor);
    MarsCaption1.SetActiveEndColor(FLinks.CaptionEndColor);
    MarsCaption1.SetActiveTextColor(FLinks.CaptionTextColor);
    ShowButtons();
}

void TYAR::FormShow() {
    // A run without pages shows only the progress, which RunUnattended has set up.
    if (AskNothing()) return;
    FLinks.State.Cancelled = false;
    const TShownPages shown = ShownPages(FLinks.Config, FLinks.State);
    CreateFolder.SetCaption(shown.CreateFolder);
    if (!LoadLicence()) {
        CancelTheRun();
        Close();
        return;
    }
    (shown.MinInstall ? min : full).SetChecked(true);
    Main_Dir.SetText(shown.MainDir);
    ShowMove(PreparePages(FPages, FLinks.Config, LicencePresent(Memo3.Lines())));
    Repaint();
    if (TForm* main = Application().MainForm(); main && main != this) main->Repaint();
    Application().ProcessMessages();
}

bool TYAR::LoadLicence() {
    const std::string path = FLinks.State.WorkDir + "\\license.txt";
    if (!FileExistsAt(path)) {
        Memo3.Clear();
        return true;
    }
    try {
        Memo3.LoadFromFile(path);
        return true;
    } catch (const std::runtime_error&) {
        MessageDlg(Tr(txLicenceUnreadable, {path}), mtError, {mbOK});
        return false;
    }
}

void TYAR::nextClick() {
    ShowMove(NextPage(FPages));
}

void TYAR::backClick() {
    ShowMove(PreviousPage(FPages));
}

void TYAR::acceptClick() {
    ShowMove(AcceptLicence(FPages));
}

void TYAR::declineClick() {
    CancelTheRun();
    Close();
}

void TYAR::cancelClick() {
    CancelTheRun();
    Close();
}

void TYAR::FormClose(TCloseAction& /*action*/) {
    if (!FInstalled) CancelTheRun();
}

void TYAR::CancelTheRun() {
    TEndChoiceButtons buttons = EndChoiceButtons();
    CancelRun(buttons, FLinks.State);
    ShowEndChoice(buttons);
}

// The buttons follow the page a move ends on, in ShowButtons; the page change fills the pages that
// show what the earlier pages chose.
void TYAR::Notebook1PageChanged() {
    const int page = Notebook1.PageIndex();
    if (page == wpFolders) FillFolderPage();
    if (page == wpReady) Label2.SetCaption(LaunchName(FLinks.Config.Launch));
}

void TYAR::FillFolderPage() {
    const TFolderPage content = FolderPage(FLinks.Config, Main_Dir.Text(), CreateFolder.Caption());
    Memo4.SetLines(content.Summary);
    FillCheckList(DK, content.DK);
    FillCheckList(SM, content.SM);
}

void TYAR::installClick() {
    const TPageMove move = StartInstall(FPages);
    if (!move.Moved()) return;
    FShortcutFolders = ShortcutFolders(CreateFolder.Caption(), CheckBox1.Checked(), CheckBox2.Checked());
    ShowMove(move);
    const TInstallChoices choices = InstallChoices();
    FInstall.SaveAnswers(choices, EndChoice());
    RunInstall(choices);
}

void TYAR::Execute() {
    ShowTexts();
    if (AskNothing())
        RunUnattended();
    else
        ShowModal();
}

void TYAR::RunUnattended() {
    const TInstallChoices choices = FInstall.UnattendedStart();
    FShortcutFolders = choices.Folders;
    Notebook1.SetPageIndex(wpProgress);
    Panel1.Hide();
    if (FLinks.Switches->Mode == rmSilent) Show();
    RunInstall(choices);
}

// The background window: the application's main form, unless the wizard is shown on its own.
const TForm* TYAR::Background() const {
    const TForm* main = Application().MainForm();
    return main != this ? main : nullptr;
}

void TYAR::RunInstall(const TInstallChoices& choices) {
    ShowProgressLayout();
    FInstall.Run(choices, EndChoice(), Background() != nullptr ? Background()->Handle() : nullptr, *this);
}

void TYAR::ShowProgressLayout() {
    const int screenHeight = Background() != nullptr ? Background()->Height() : GetSystemMetrics(SM_CYSCREEN);
    SetBounds(Left(), screenHeight - Scaled(kProgressHeight + kProgressBottomGap), Width(),
              Scaled(kProgressHeight));
    Application().ProcessMessages();
}

namespace {

std::vector<TCheckItem> CheckItemsOf(const TCheckListBox& list) {
    const std::vector<std::string> captions = list.Items();
    std::vector<TCheckItem> items;
    items.reserve(captions.size());
    for (int i = 0; i < list.Count(); ++i)
        items.push_back({captions[static_cast<std::size_t>(i)], list.Checked(i)});
    return items;
}

} // namespace

TInstallChoices TYAR::InstallChoices() const {
    return {Main_Dir.Text(),  min.Checked(),    RadioButton1.Checked(),
            CheckItemsOf(DK), CheckItemsOf(SM), FShortcutFolders};
}

void TYAR::ShowStatus(const std::string& text) {
    FReported.Status = text;
    FReported.Pending = true;
}

void TYAR::ShowDestination(const std::string& text) {
    FReported.Destination = text;
    FReported.Pending = true;
}

void TYAR::SetProgressRange(int maximum) {
    ProgressBar1.SetRange(0, maximum);
    ProgressBar1.SetPosition(0);
    FReported.Position = 0;
}

void TYAR::StepProgress() {
    ++FReported.Position;
    FReported.Pending = true;
}

void TYAR::ShowReported() {
    if (!FReported.Pending) return;
    FReported.Pending = false;
    source.SetCaption(FReported.Status);
    Dest.SetCaption(FReported.Destination);
    ProgressBar1.SetPosition(FReported.Position);
}

void TYAR::ProcessMessages() {
    // The engine reports and asks after every step of every file: the page follows at a pace the eye
    // cannot tell apart from each step, each change to a control being a call into the system.
    if (!FServePace.Due(MillisecondClock())) return;
    ShowReported();
    Application().ProcessMessages();
}

bool TYAR::ConfirmOverwrite(const std::string& question) {
    ShowReported(); // the page names the file asked about
    return FInstall.ConfirmOverwrite(question, [](const std::string& text) {
        return MessageDlg(text, mtConfirmation, {mbYes, mbNo}) == mrYes;
    });
}

TFileErrorAnswer TYAR::AskFileError(const std::string& message) {
    ShowReported();
    return FInstall.AskFileError(message, [](const std::string& text) {
        const int pressed = MessageDlg(text, mtError, {mbAbort, mbRetry, mbIgnore});
        return pressed == mrRetry ? feRetry : pressed == mrIgnore ? feIgnore : feAbort;
    });
}

bool TYAR::ConfirmRisk(const std::string& question) {
    ShowReported();
    return FInstall.ConfirmRisk(question, [](const std::string& text) {
        return MessageDlg(text, mtWarning, {mbYes, mbNo}) == mrYes;
    });
}

void TYAR::Finish() {
    ShowReported();
    FInstalled = true;
    FInstall.Finished();
    Close();
}

// The page stays as the stop left it; the wizard takes its full size and place again so that its one
// button, which closes it as a cancelled run, shows on the screen.
void TYAR::Stopped(const std::string& message) {
    ShowReported(); // the page stays on the step that stopped
    FInstall.Stopped(message);
    if (AskNothing()) return;
    Application().ShowException(std::runtime_error(message));
    SetClientSize(Scaled(kClientWidth), Scaled(kClientHeight));
    CenterOnScreen();
    for (TButton* button : {&back, &next, &install}) button->Hide();
    cancel.SetCaption(Tr(txCloseButton));
    cancel.SetEnabled(true);
    Panel1.Show();
    SetFocus(cancel.Handle());
}

void TYAR::RolledBack(const std::vector<std::string>& left) {
    if (AskNothing()) return;
    ShowMessage(RolledBackMessage(left));
}

void TYAR::EndProgram(const std::string& message) {
    FInstall.EndProgram(message);
}

void TYAR::ShowMove(const TPageMove& move) {
    for (const TWizardPage page : move.Shown) Notebook1.SetPageIndex(page);
    ShowButtons();
}

void TYAR::ShowButtons() {
    const TWizardButtons buttons = WizardButtons(FPages);
    Panel1.SetVisible(buttons.PanelVisible);
    cancel.SetEnabled(buttons.CancelEnabled);
    back.SetEnabled(buttons.BackEnabled);
    next.SetEnabled(buttons.NextEnabled);
    install.SetVisible(buttons.InstallVisible);
    switch (buttons.Default) {
    case ebNext:
        next.SetDefault(true);
        break;
    case ebAccept:
        accept.SetDefault(true);
        break;
    case ebInstall:
        install.SetDefault(true);
        break;
    case ebNone:
        if (auto* button = dynamic_cast<TButton*>(DefaultButton())) button->SetDefault(false);
        break;
    }
    KeepFocus();
}

void TYAR::KeepFocus() {
    if (GetActiveWindow() != Handle()) return;
    HWND focus = GetFocus();
    if (focus && IsWindowVisible(focus) && IsWindowEnabled(focus)) return;
    const TPage* page = Notebook1.ActivePage();
    HWND first = page ? GetNextDlgTabItem(page->Handle(), nullptr, FALSE) : nullptr;
    SetFocus(first ? first : Handle());
}

void TYAR::PresetEndChoice(const SetupConfig& config) {
    ShowEndChoice(EndChoicePreset(config));
}

void TYAR::ShowEndChoice(const TEndChoiceButtons& buttons) {
    RadioButton1.SetChecked(buttons.LaunchChecked);
    RadioButton2.SetChecked(buttons.ReturnChecked);
    reboot.SetChecked(buttons.RestartChecked);
    RadioButton1.SetEnabled(buttons.LaunchEnabled);
    reboot.SetVisible(buttons.RestartVisible);
}

TEndChoiceButtons TYAR::EndChoiceButtons() const {
    return {RadioButton1.Checked(), RadioButton2.Checked(), reboot.Checked(), RadioButton1.Enabled(),
            reboot.Visible()};
}

TEndChoice TYAR::EndChoice() const {
    if (const std::optional<TEndChoice> end = FInstall.UnattendedEnd()) return *end;
    return EndChoiceOf(EndChoiceButtons());
}

} // namespace yar
