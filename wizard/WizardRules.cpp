#include "wizard/WizardRules.h"

#include "config/SetupConfig.h"

#include <algorithm>
#include <array>

namespace yar {

namespace {

constexpr std::array<std::string_view, kWizardPageCount> kPageNames = {
    "page1", "Page2", "Page3", "Page4", "installtype", "Page5", "install",
};

// Every page change goes through here so that the move lists each page shown.
void ShowPage(TWizardPages& pages, TPageMove& move, TWizardPage page) {
    pages.Page = page;
    move.Shown.push_back(page);
}

} // namespace

std::string_view WizardPageName(TWizardPage page) {
    return kPageNames.at(static_cast<std::size_t>(page));
}

bool TPageMove::Passes(TWizardPage page) const {
    return std::ranges::find(Shown, page) != Shown.end();
}

std::vector<std::string> TextLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        const std::size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        text.remove_prefix(next);
    }
    return lines;
}

bool LicencePresent(const std::vector<std::string>& lines) {
    return lines.size() >= 2;
}

TPageMove PreparePages(TWizardPages& pages, const SetupConfig& config, bool licencePresent) {
    pages.LicencePresent = licencePresent;
    pages.FolderOffered = !config.Folder.empty();
    pages.WorkStationPrompt = config.WorkStationPrompt;
    if (!pages.WarningSkipAsked || pages.Page != wpWelcome) return {};
    pages.WarningSkipAsked = false;
    return NextPage(pages);
}

// The rules run in this order, each on the page the one before left: a skip from the folders page
// to the install-type page is then held there by that page's own rule.
TPageMove NextPage(TWizardPages& pages) {
    TPageMove move;
    if (!WizardButtons(pages).NextEnabled) return move;
    ShowPage(pages, move, static_cast<TWizardPage>(pages.Page + 1));
    if (pages.Page == wpLicence && !pages.LicencePresent) ShowPage(pages, move, wpDestination);
    if (pages.Page == wpFolders && !pages.FolderOffered)
        ShowPage(pages, move, pages.WorkStationPrompt ? wpInstallType : wpReady);
    if (pages.Page == wpInstallType && !pages.WorkStationPrompt) ShowPage(pages, move, wpReady);
    return move;
}

// In this order too; from the install-type page the step back goes straight to the destination
// page when there is no folder, without showing the folders page on the way.
TPageMove PreviousPage(TWizardPages& pages) {
    TPageMove move;
    if (!WizardButtons(pages).BackEnabled) return move;
    ShowPage(pages, move, static_cast<TWizardPage>(pages.Page - 1));
    if (pages.Page == wpLicence && !pages.LicencePresent) ShowPage(pages, move, wpWelcome);
    if (pages.Page == wpFolders && !pages.FolderOffered) ShowPage(pages, move, wpDestination);
    if (pages.Page == wpInstallType && !pages.WorkStationPrompt)
        ShowPage(pages, move, pages.FolderOffered ? wpFolders : wpDestination);
    return move;
}

TPageMove AcceptLicence(TWizardPages& pages) {
    TPageMove move;
    if (pages.Page != wpLicence) return move;
    pages.Accepted = true;
    ShowPage(pages, move, wpDestination);
    return move;
}

TPageMove StartInstall(TWizardPages& pages) {
    TPageMove move;
    if (pages.Page != wpReady || (pages.LicencePresent && !pages.Accepted)) return move;
    ShowPage(pages, move, wpProgress);
    return move;
}

TWizardButtons WizardButtons(const TWizardPages& pages) {
    TWizardButtons buttons;
    if (pages.Page == wpProgress) {
        buttons.PanelVisible = false;
        buttons.CancelEnabled = false;
        buttons.NextEnabled = false;
        buttons.Default = ebNone;
        return buttons;
    }
    buttons.BackEnabled = pages.Page != wpWelcome;
    buttons.NextEnabled = pages.Page != wpReady && !(pages.Page == wpLicence && pages.LicencePresent);
    buttons.InstallVisible = pages.Page == wpReady;
    if (pages.Page == wpLicence && pages.LicencePresent) buttons.Default = ebAccept;
    if (pages.Page == wpReady) buttons.Default = ebInstall;
    return buttons;
}

} // namespace yar
