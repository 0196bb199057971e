// The wizard's pages and how its buttons move between them: which pages are passed over, which
// buttons each page offers, and when the licence page counts. Plain data and functions; the wizard
// window applies the results to its notebook and buttons.
#pragma once

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

// The notebook's name of a page: "page1", "Page2", "Page3", "Page4", "installtype", "Page5",
// "install".
std::string_view WizardPageName(TWizardPage page);

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

// Next: one page on, then past the licence page without a licence, past the folders page without
// a folder and past the install-type page without WorkStationPrompt. No move where the button is
// disabled: a present licence is left only by Accept, the ready page only by Install.
TPageMove NextPage(TWizardPages& pages);
// Back: one page back, past the pages Next passes over; no move where the button is disabled.
TPageMove PreviousPage(TWizardPages& pages);
// Accept, on the licence page only: to the destination page without any skip rule.
TPageMove AcceptLicence(TWizardPages& pages);
// Install, on the ready page only, and only once a present licence was accepted: the progress page.
TPageMove StartInstall(TWizardPages& pages);

// The button that Enter presses on the page shown (eb: Enter button).
enum TDefaultButton { ebNone, ebNext, ebAccept, ebInstall };

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

// Back on every page but the first; Next everywhere but on a present licence (only Accept or
// Decline lead on) and on the ready page, where Install shows instead. Enter presses the button that
// leads on: Accept on a present licence, Install on the ready page, Next elsewhere.
TWizardButtons WizardButtons(const TWizardPages& pages);

} // namespace yar
