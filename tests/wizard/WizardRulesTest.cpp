// The wizard's pages: which pages each button leads to and passes over, and which buttons each
// page offers.
#include "wizard/WizardRules.h"

#include "config/SetupConfig.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

using TShown = std::vector<TWizardPage>;

struct TSetup {
    bool Licence = false;
    bool Folder = true;
    bool WorkStation = false;
    bool SkipWarning = false;
};

// The wizard as FormShow leaves it, for a licence.txt and a configuration.
TWizardPages Shown(const TSetup& setup, TPageMove* opening = nullptr) {
    SetupConfig config;
    config.Folder = setup.Folder ? "Acme" : "";
    config.WorkStationPrompt = setup.WorkStation;
    TWizardPages pages;
    pages.WarningSkipAsked = setup.SkipWarning;
    const auto lines = TextLines(setup.Licence ? "Terms\r\nMore terms\r\n" : "Terms\r\n");
    const TPageMove move = PreparePages(pages, config, LicencePresent(lines));
    if (opening) *opening = move;
    return pages;
}

// The pages landed on by Next (Accept where only Accept leads on), or by Back. Bounded, so that a
// rule that never stops fails instead of hanging.
TShown Walk(TWizardPages& pages, bool forward) {
    TShown landed{pages.Page};
    for (int step = 0; step < kWizardPageCount; ++step) {
        const bool next = WizardButtons(pages).NextEnabled;
        const TPageMove move = !forward ? PreviousPage(pages) : next ? NextPage(pages) : AcceptLicence(pages);
        if (!move.Moved()) break;
        landed.push_back(pages.Page);
    }
    return landed;
}

TEST(WizardPages, NamesAndLicenceLines) {
    const TShown all{wpWelcome, wpLicence, wpDestination, wpFolders, wpInstallType, wpReady, wpProgress};
    std::vector<std::string_view> names;
    for (TWizardPage page : all) names.push_back(WizardPageName(page));
    EXPECT_EQ(names, (std::vector<std::string_view>{"page1", "Page2", "Page3", "Page4", "installtype",
                                                    "Page5", "install"}));
    EXPECT_EQ(static_cast<int>(wpProgress) + 1, kWizardPageCount);

    using TLines = std::vector<std::string>;
    EXPECT_EQ(TextLines(""), TLines{});
    EXPECT_EQ(TextLines("\r\n"), TLines{""});
    EXPECT_EQ(TextLines("one\r\n"), TLines{"one"});
    EXPECT_EQ(TextLines("one\ntwo\rthree\r\n\r\n"), (TLines{"one", "two", "three", ""}));
    EXPECT_EQ(TextLines("one\n\rtwo"), (TLines{"one", "", "two"}));
    EXPECT_FALSE(LicencePresent(TextLines("")));
    EXPECT_FALSE(LicencePresent(TextLines("one long line\r\n")));
    EXPECT_TRUE(LicencePresent(TextLines("terms\r\n\r\n")));
}

TEST(WizardNavigation, ForwardAndBackOverEveryCombination) {
    for (const bool licence : {false, true})
        for (const bool folder : {false, true})
            for (const bool workStation : {false, true}) {
                SCOPED_TRACE(testing::Message() << "licence " << licence << " folder " << folder
                                                << " workstation " << workStation);
                TShown expected{wpWelcome};
                if (licence) expected.push_back(wpLicence);
                expected.push_back(wpDestination);
                if (folder) expected.push_back(wpFolders);
                if (workStation) expected.push_back(wpInstallType);
                expected.push_back(wpReady);

                TWizardPages pages = Shown({licence, folder, workStation});
                EXPECT_EQ(Walk(pages, true), expected);
                EXPECT_EQ(Walk(pages, false), TShown(expected.rbegin(), expected.rend()));
                EXPECT_EQ(pages.Accepted, licence);
            }
}

TEST(WizardNavigation, Licence) {
    // One line is no licence: passed over both ways, the page change to it still happening.
    TWizardPages pages = Shown({.Licence = false});
    EXPECT_EQ(NextPage(pages).Shown, (TShown{wpLicence, wpDestination}));
    EXPECT_EQ(PreviousPage(pages).Shown, (TShown{wpLicence, wpWelcome}));

    // A present licence has Next disabled after Next and after Back; only Accept leads on.
    pages = Shown({.Licence = true});
    EXPECT_FALSE(AcceptLicence(pages).Moved()) << "Accept belongs to the licence page";
    EXPECT_EQ(NextPage(pages).Shown, TShown{wpLicence});
    EXPECT_FALSE(WizardButtons(pages).NextEnabled);
    EXPECT_FALSE(NextPage(pages).Moved());
    EXPECT_FALSE(pages.Accepted);
    EXPECT_EQ(AcceptLicence(pages).Shown, TShown{wpDestination});
    EXPECT_TRUE(pages.Accepted);
    EXPECT_EQ(PreviousPage(pages).Shown, TShown{wpLicence});
    EXPECT_FALSE(WizardButtons(pages).NextEnabled);
    EXPECT_EQ(AcceptLicence(pages).Shown, TShown{wpDestination});
}

TEST(WizardNavigation, FolderAndInstallTypeSkips) {
    // No folder, no install type: from the destination straight to Install and back.
    TWizardPages pages = Shown({.Folder = false});
    pages.Page = wpDestination;
    TPageMove move = NextPage(pages);
    EXPECT_EQ(move.Shown, (TShown{wpFolders, wpReady}));
    EXPECT_TRUE(move.Passes(wpFolders)) << "the summary is built although the folders page is skipped";
    EXPECT_TRUE(WizardButtons(pages).InstallVisible);
    EXPECT_EQ(PreviousPage(pages).Shown, (TShown{wpInstallType, wpDestination}));

    // No folder, install type asked: the install-type page holds both ways.
    pages = Shown({.Folder = false, .WorkStation = true});
    pages.Page = wpDestination;
    EXPECT_EQ(NextPage(pages).Shown, (TShown{wpFolders, wpInstallType}));
    EXPECT_FALSE(WizardButtons(pages).InstallVisible);
    EXPECT_EQ(PreviousPage(pages).Shown, (TShown{wpFolders, wpDestination}));

    // A folder: returning to its page shows it again, so its lists are rebuilt.
    pages = Shown({.Folder = true});
    pages.Page = wpFolders;
    EXPECT_EQ(NextPage(pages).Shown, (TShown{wpInstallType, wpReady}));
    EXPECT_TRUE(PreviousPage(pages).Passes(wpFolders));
    EXPECT_EQ(pages.Page, wpFolders);
}

TEST(WizardNavigation, WarningSkipFollowsTheLicenceShown) {
    // Asked for while the configuration loads, taken when the wizard shows its licence.
    TPageMove opening;
    TWizardPages pages = Shown({.Licence = true, .SkipWarning = true}, &opening);
    EXPECT_EQ(opening.Shown, TShown{wpLicence});
    EXPECT_FALSE(WizardButtons(pages).NextEnabled);
    EXPECT_EQ(Walk(pages, false), (TShown{wpLicence, wpWelcome}));

    pages = Shown({.Licence = false, .SkipWarning = true}, &opening);
    EXPECT_EQ(opening.Shown, (TShown{wpLicence, wpDestination}));
    EXPECT_EQ(Walk(pages, false), (TShown{wpDestination, wpWelcome}));

    // Once only, and only from the warning page; without the ask the wizard opens on it.
    SetupConfig config;
    EXPECT_FALSE(PreparePages(pages, config, false).Moved());
    pages.Page = wpDestination;
    pages.WarningSkipAsked = true;
    EXPECT_FALSE(PreparePages(pages, config, false).Moved());
    pages = Shown({.SkipWarning = false}, &opening);
    EXPECT_FALSE(opening.Moved());
    EXPECT_EQ(pages.Page, wpWelcome);
}

TEST(WizardNavigation, InstallOnlyFromTheReadyPage) {
    TWizardPages pages = Shown({.Licence = true, .Folder = true, .WorkStation = true});
    for (int page = wpWelcome; page <= wpReady; ++page) {
        pages.Page = static_cast<TWizardPage>(page);
        EXPECT_FALSE(StartInstall(pages).Moved()) << "never accepted, on " << WizardPageName(pages.Page);
    }
    pages = Shown({.Licence = true, .Folder = true, .WorkStation = true});
    Walk(pages, true);
    EXPECT_FALSE(NextPage(pages).Moved()) << "Next is disabled on the ready page";
    EXPECT_EQ(StartInstall(pages).Shown, TShown{wpProgress});
    EXPECT_FALSE(NextPage(pages).Moved() || PreviousPage(pages).Moved() || StartInstall(pages).Moved());
}

TEST(WizardButtons, EveryPage) {
    struct TCase {
        TWizardPage Page;
        bool Licence;
        TWizardButtons Expected; // panel, cancel, back, next, install, what Enter presses
    };
    const TCase cases[] = {
        {wpWelcome, true, {true, true, false, true, false, ebNext}},
        {wpLicence, true, {true, true, true, false, false, ebAccept}},
        {wpLicence, false, {true, true, true, true, false, ebNext}},
        {wpDestination, true, {true, true, true, true, false, ebNext}},
        {wpFolders, false, {true, true, true, true, false, ebNext}},
        {wpInstallType, false, {true, true, true, true, false, ebNext}},
        {wpReady, true, {true, true, true, false, true, ebInstall}},
        {wpProgress, false, {false, false, false, false, false, ebNone}},
    };
    for (const TCase& c : cases) {
        TWizardPages pages;
        pages.Page = c.Page;
        pages.LicencePresent = c.Licence;
        EXPECT_EQ(WizardButtons(pages), c.Expected) << WizardPageName(c.Page) << " licence " << c.Licence;
    }
}

} // namespace
} // namespace yar
