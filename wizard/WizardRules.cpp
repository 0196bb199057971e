#include "wizard/WizardRules.h"

#include "config/SetupConfig.h"

#include <algorithm>
#include <array>

namespace yar {

namespace {

// Every page change goes through here so that the move lists each page shown.
void ShowPage(TWizardPages& pages, TPageMove& move, TWizardPage page) {
    pages.Page = page;
    move.Shown.push_back(page);
}

const TWizardPageRow& RowOf(TWizardPage page) {
    return kWizardPages.at(static_cast<std::size_t>(page));
}

bool PassedOver(const TWizardPages& pages, TWizardPage page) {
    const TWizardPageRow& row = RowOf(page);
    return row.Skipped != nullptr && row.Skipped(pages);
}

// The next page from page in the direction of step that the rows do not pass over; the first and the
// ready page never are.
TWizardPage Landing(const TWizardPages& pages, TWizardPage page, int step) {
    auto at = static_cast<TWizardPage>(page + step);
    while (at > wpWelcome && at < wpProgress && PassedOver(pages, at))
        at = static_cast<TWizardPage>(at + step);
    return at;
}

// One page on or back; a page passed over shows on the way, then the move lands past it.
TPageMove Step(TWizardPages& pages, int step) {
    TPageMove move;
    ShowPage(pages, move, static_cast<TWizardPage>(pages.Page + step));
    if (PassedOver(pages, pages.Page)) ShowPage(pages, move, Landing(pages, pages.Page, step));
    return move;
}

} // namespace

std::string_view WizardPageName(TWizardPage page) {
    return RowOf(page).Name;
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

// Only the page stepped onto shows on the way: from the folders page without WorkStationPrompt
// the move lands on the ready page without showing the install-type page, and from the install-type
// page the step back goes straight to the destination page when there is no folder.
TPageMove NextPage(TWizardPages& pages) {
    return WizardButtons(pages).NextEnabled ? Step(pages, 1) : TPageMove{};
}

TPageMove PreviousPage(TWizardPages& pages) {
    return WizardButtons(pages).BackEnabled ? Step(pages, -1) : TPageMove{};
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
    // A page the rows pass over leads on by Next, should it show (the licence page without a licence).
    const TDefaultButton leads = PassedOver(pages, pages.Page) ? ebNext : RowOf(pages.Page).Default;
    TWizardButtons buttons;
    buttons.PanelVisible = leads != ebNone;
    buttons.CancelEnabled = leads != ebNone;
    buttons.BackEnabled = leads != ebNone && pages.Page != kWizardPages.front().Page;
    buttons.NextEnabled = leads == ebNext;
    buttons.InstallVisible = leads == ebInstall;
    buttons.Default = leads;
    return buttons;
}

} // namespace yar
