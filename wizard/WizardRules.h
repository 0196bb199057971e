// The wizard's pages and how its buttons move between them: which pages are passed over, which
// buttons each page offers, and when the licence page counts. Plain data and functions; the wizard
// window applies the results to its notebook and buttons.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace yar {

struct SetupConfig;

// The pages of Notebook1, by index.
enum TWizardPage : int {
    wpWelcome = 0,     // warning text
    wpLicence = 1,     // licence, Accept or Decline
    wpDestination = 2, // Main_Dir
    wpFolders = 3,     // main folder and the shortcut check lists
    wpInstallType = 4, // full or network minimum
    wpReady = 5,       // end choice and summary
    wpProgress = 6,    // the install engine's progress; reached only by Install
};
inline constexpr int kWizardPageCount = 7;

// The page the wizard shows and what decides which pages it passes over.
struct TWizardPages {
    TWizardPage Page = wpWelcome;
    bool LicencePresent = false;    // the licence page is part of the sequence
    bool Accepted = false;          // Accept was clicked
    bool FolderOffered = false;     // Folder is not empty: the folders page is shown
    bool WorkStationPrompt = false; // the install-type page is shown
    // The driver asked, while the configuration loaded, to open past the warning page. The step
    // waits for PreparePages: the licence is expanded only after the configuration is read.
    bool WarningSkipAsked = false;
};

// The button that Enter presses on the page shown (eb: Enter button).
enum TDefaultButton { ebNone, ebNext, ebAccept, ebInstall };

// One page of Notebook1. The rules, the window and the tests read the pages from the table below.
struct TWizardPageRow {
    TWizardPage Page;      // its position in the notebook
    std::string_view Name; // the notebook's name of the page
    // Whether Next and Back pass over the page; nullptr for a page always shown.
    bool (*Skipped)(const TWizardPages& pages);
    // What Enter presses there, and so which button leads on: Next where the page is passed over,
    // ebNone where nothing leads on (the install runs, the buttons hide).
    TDefaultButton Default;
};

// The pages in notebook order. A new page is a position above, a row here and the page's controls
// in the window.
inline constexpr std::array<TWizardPageRow, kWizardPageCount> kWizardPages{{
    {wpWelcome, "page1", nullptr, ebNext},
    {wpLicence, "Page2", [](const TWizardPages& pages) { return !pages.LicencePresent; }, ebAccept},
    {wpDestination, "Page3", nullptr, ebNext},
    {wpFolders, "Page4", [](const TWizardPages& pages) { return !pages.FolderOffered; }, ebNext},
    {wpInstallType, "installtype", [](const TWizardPages& pages) { return !pages.WorkStationPrompt; },
     ebNext},
    {wpReady, "Page5", nullptr, ebInstall},
    // Reached only by Install.
    {wpProgress, "install", nullptr, ebNone},
}};

constexpr bool EveryPageAtItsPosition() {
    for (std::size_t i = 0; i < kWizardPages.size(); ++i)
        if (static_cast<std::size_t>(kWizardPages[i].Page) != i || kWizardPages[i].Name.empty()) return false;
    return true;
}
static_assert(EveryPageAtItsPosition(), "each page needs its row, in notebook order");

std::string_view WizardPageName(TWizardPage page);

// The pages a move showed, in order. The page-change handler runs for each of them, also for the
// pages a skip passes over: a skip over the folders page still rebuilds the summary.
struct TPageMove {
    std::vector<TWizardPage> Shown;

    bool Moved() const { return !Shown.empty(); }
    bool Passes(TWizardPage page) const;
};

// A licence text split into lines as the text loader does: a line ends at CR LF, CR or LF, and
// the text after the last break is a line when it is not empty.
std::vector<std::string> TextLines(std::string_view text);
// The licence page is shown only for a licence of at least two lines; one line or none is no
// licence.
bool LicencePresent(const std::vector<std::string>& lines);

// FormShow: takes the page rules from the configuration and whether the licence that Memo3 now
// holds is present, then performs the step over the warning page if one was asked for, so that
// it lands on the licence page only when there is a licence.
TPageMove PreparePages(TWizardPages& pages, const SetupConfig& config, bool licencePresent);

// Next: one page on; when the rows pass over that page (the licence page without a licence, the
// folders page without a folder, the install-type page without WorkStationPrompt), it still shows on
// the way and the move goes on to the next page they do not pass over. No move where the button is
// disabled: a present licence is left only by Accept, the ready page only by Install.
TPageMove NextPage(TWizardPages& pages);
// Back: one page back, past the pages Next passes over; no move where the button is disabled.
TPageMove PreviousPage(TWizardPages& pages);
// Accept, on the licence page only: to the destination page without any skip rule.
TPageMove AcceptLicence(TWizardPages& pages);
// Install, on the ready page only, and only once a present licence was accepted: the progress page.
TPageMove StartInstall(TWizardPages& pages);

// The button panel on the page shown. Cancel sits on the panel and is usable wherever it is.
struct TWizardButtons {
    bool PanelVisible = true; // hidden while installing, so no navigation runs again
    bool CancelEnabled = true;
    bool BackEnabled = false;
    bool NextEnabled = true;
    bool InstallVisible = false;
    TDefaultButton Default = ebNext;

    bool operator==(const TWizardButtons&) const = default;
};

// From the page's row: Back on every page but the first; Next where Next leads on, so not on a present
// licence (only Accept or Decline lead on) nor on the ready page, where Install shows instead; and
// Enter presses the button that leads on.
TWizardButtons WizardButtons(const TWizardPages& pages);

} // namespace yar
