// The wizard's pages: which pages each button leads to and passes over, and which buttons each
// page offers.
#include "wizard/WizardRules.h"

#include "config/SetupConfig.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

using TShown = std::vector<TWizardPage>;

constexpr const char* kTwoLineLicence = "Licence terms\r\nMore terms\r\n";
constexpr const char* kOneLineLicence = "Licence terms\r\n";

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
    const auto lines = TextLines(setup.Licence ? kTwoLineLicence : kOneLineLicence);
    TPageMove move = PreparePages(pages, config, LicencePresent(lines));
    if (opening) *opening = move;
    return pages;
}

// Walks forward with Next, and Accept where only Accept leads on, collecting the pages landed on.
TShown WalkForward(TWizardPages& pages) {
    TShown landed{pages.Page};
    // Bounded, so that a rule that never stops fails instead of hanging.
    for (int step = 0; step < kWizardPageCount && pages.Page != wpReady; ++step) {
        const TPageMove move = WizardButtons(pages).NextEnabled ? NextPage(pages) : AcceptLicence(pages);
        if (!move.Moved()) break;
        landed.push_back(pages.Page);
    }
    return landed;
}

TShown WalkBack(TWizardPages& pages) {
    TShown landed{pages.Page};
    for (int step = 0; step < kWizardPageCount && PreviousPage(pages).Moved(); ++step)
        landed.push_back(pages.Page);
    return landed;
}

TEST(WizardPageNames, NotebookOrder) {
    EXPECT_EQ(kWizardPageCount, 7);
    EXPECT_EQ(WizardPageName(wpWelcome), "page1");
    EXPECT_EQ(WizardPageName(wpLicence), "Page2");
    EXPECT_EQ(WizardPageName(wpDestination), "Page3");
    EXPECT_EQ(WizardPageName(wpFolders), "Page4");
    EXPECT_EQ(WizardPageName(wpInstallType), "installtype");
    EXPECT_EQ(WizardPageName(wpReady), "Page5");
    EXPECT_EQ(WizardPageName(wpProgress), "install");
    EXPECT_EQ(static_cast<int>(wpProgress), 6);
}

TEST(WizardLicence, LinesEndAtAnyBreak) {
    using TLines = std::vector<std::string>;
    EXPECT_EQ(TextLines(""), TLines{});
    EXPECT_EQ(TextLines("one"), TLines{"one"});
    EXPECT_EQ(TextLines("one\r\n"), TLines{"one"});
    EXPECT_EQ(TextLines("one\r\ntwo"), (TLines{"one", "two"}));
    EXPECT_EQ(TextLines("one\ntwo\rthree\r\n"), (TLines{"one", "two", "three"}));
    EXPECT_EQ(TextLines("\r\n"), TLines{""});
    EXPECT_EQ(TextLines("one\r\n\r\n"), (TLines{"one", ""}));
    EXPECT_EQ(TextLines("one\n\rtwo"), (TLines{"one", "", "two"}));
}

TEST(WizardLicence, TwoLinesAtLeast) {
    EXPECT_FALSE(LicencePresent(TextLines("")));
    EXPECT_FALSE(LicencePresent(TextLines(kOneLineLicence)));
    EXPECT_FALSE(LicencePresent(TextLines("a very long single line without a break")));
    EXPECT_TRUE(LicencePresent(TextLines(kTwoLineLicence)));
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
                EXPECT_EQ(WalkForward(pages), expected);
                EXPECT_EQ(WalkBack(pages), TShown(expected.rbegin(), expected.rend()));
                EXPECT_EQ(pages.Accepted, licence);
            }
}

TEST(WizardNavigation, OneLineLicenceIsNoLicence) {
    TWizardPages pages = Shown({.Licence = false});
    TPageMove move = NextPage(pages);
    EXPECT_EQ(pages.Page, wpDestination);
    EXPECT_EQ(move.Shown, (TShown{wpLicence, wpDestination}));
    move = PreviousPage(pages);
    EXPECT_EQ(pages.Page, wpWelcome);
    EXPECT_EQ(move.Shown, (TShown{wpLicence, wpWelcome}));
}

TEST(WizardNavigation, PresentLicenceLeadsOnOnlyByAccept) {
    TWizardPages pages = Shown({.Licence = true});
    EXPECT_EQ(NextPage(pages).Shown, TShown{wpLicence});
    EXPECT_FALSE(WizardButtons(pages).NextEnabled);
    EXPECT_TRUE(WizardButtons(pages).BackEnabled);
    EXPECT_FALSE(NextPage(pages).Moved()) << "Next is disabled on the licence";
    EXPECT_FALSE(StartInstall(pages).Moved());

    EXPECT_EQ(AcceptLicence(pages).Shown, TShown{wpDestination});
    EXPECT_TRUE(pages.Accepted);
    EXPECT_EQ(PreviousPage(pages).Shown, TShown{wpLicence});
    EXPECT_FALSE(WizardButtons(pages).NextEnabled) << "also after Back";
    EXPECT_EQ(AcceptLicence(pages).Shown, TShown{wpDestination});
}

TEST(WizardNavigation, AcceptOnlyOnTheLicencePage) {
    TWizardPages pages = Shown({.Licence = true});
    EXPECT_FALSE(AcceptLicence(pages).Moved());
    EXPECT_EQ(pages.Page, wpWelcome);
    EXPECT_FALSE(pages.Accepted);
}

TEST(WizardNavigation, NoFolderNoWorkStation) {
    TWizardPages pages = Shown({.Folder = false});
    pages.Page = wpDestination;
    TPageMove move = NextPage(pages);
    EXPECT_EQ(move.Shown, (TShown{wpFolders, wpReady}));
    EXPECT_TRUE(move.Passes(wpFolders)) << "the summary is built although the folders page is skipped";
    const TWizardButtons buttons = WizardButtons(pages);
    EXPECT_TRUE(buttons.InstallVisible);
    EXPECT_FALSE(buttons.NextEnabled);
    move = PreviousPage(pages);
    EXPECT_EQ(move.Shown, (TShown{wpInstallType, wpDestination}));
    EXPECT_FALSE(WizardButtons(pages).InstallVisible);
}

TEST(WizardNavigation, NoFolderWithWorkStation) {
    TWizardPages pages = Shown({.Folder = false, .WorkStation = true});
    pages.Page = wpDestination;
    TPageMove move = NextPage(pages);
    EXPECT_EQ(move.Shown, (TShown{wpFolders, wpInstallType}));
    EXPECT_TRUE(WizardButtons(pages).NextEnabled);
    EXPECT_FALSE(WizardButtons(pages).InstallVisible);
    move = PreviousPage(pages);
    EXPECT_EQ(move.Shown, (TShown{wpFolders, wpDestination}));
    EXPECT_EQ(NextPage(pages).Shown, (TShown{wpFolders, wpInstallType}));
    EXPECT_EQ(NextPage(pages).Shown, TShown{wpReady});
    EXPECT_EQ(PreviousPage(pages).Shown, TShown{wpInstallType});
}

TEST(WizardNavigation, FolderWithoutWorkStation) {
    TWizardPages pages = Shown({.Folder = true});
    pages.Page = wpFolders;
    EXPECT_EQ(NextPage(pages).Shown, (TShown{wpInstallType, wpReady}));
    TPageMove move = PreviousPage(pages);
    EXPECT_EQ(move.Shown, (TShown{wpInstallType, wpFolders}));
    EXPECT_TRUE(move.Passes(wpFolders)) << "returning to the folders page rebuilds its lists";
}

TEST(WizardNavigation, WarningSkipWaitsForTheLicence) {
    TWizardPages asked;
    asked.WarningSkipAsked = true;
    EXPECT_EQ(asked.Page, wpWelcome) << "asking moves nothing before the licence is known";

    TPageMove opening;
    TWizardPages pages = Shown({.Licence = true, .SkipWarning = true}, &opening);
    EXPECT_EQ(pages.Page, wpLicence);
    EXPECT_EQ(opening.Shown, TShown{wpLicence});
    EXPECT_FALSE(WizardButtons(pages).NextEnabled);
    EXPECT_EQ(WalkBack(pages), (TShown{wpLicence, wpWelcome}));

    pages = Shown({.Licence = false, .SkipWarning = true}, &opening);
    EXPECT_EQ(pages.Page, wpDestination);
    EXPECT_EQ(opening.Shown, (TShown{wpLicence, wpDestination}));
    EXPECT_TRUE(WizardButtons(pages).NextEnabled);
    EXPECT_EQ(WalkBack(pages), (TShown{wpDestination, wpWelcome}));
}

TEST(WizardNavigation, WarningSkipHappensOnce) {
    SetupConfig config;
    TWizardPages pages;
    pages.WarningSkipAsked = true;
    EXPECT_EQ(PreparePages(pages, config, false).Shown, (TShown{wpLicence, wpDestination}));
    EXPECT_FALSE(pages.WarningSkipAsked);
    PreviousPage(pages);
    EXPECT_FALSE(PreparePages(pages, config, false).Moved()) << "shown again: stays where it is";
    EXPECT_EQ(pages.Page, wpWelcome);

    pages.Page = wpDestination;
    pages.WarningSkipAsked = true;
    EXPECT_FALSE(PreparePages(pages, config, false).Moved()) << "the step is one from the warning page only";
    EXPECT_EQ(pages.Page, wpDestination);

    TPageMove opening;
    pages = Shown({.SkipWarning = false}, &opening);
    EXPECT_FALSE(opening.Moved());
    EXPECT_EQ(pages.Page, wpWelcome);
}

TEST(WizardNavigation, PreparePagesTakesTheConfiguration) {
    SetupConfig config;
    config.Folder = "";
    config.WorkStationPrompt = true;
    TWizardPages pages;
    PreparePages(pages, config, true);
    EXPECT_TRUE(pages.LicencePresent);
    EXPECT_FALSE(pages.FolderOffered);
    EXPECT_TRUE(pages.WorkStationPrompt);
    EXPECT_TRUE(Shown({.Folder = true}).FolderOffered) << "the default folder is offered";
}

TEST(WizardNavigation, InstallOnlyFromTheReadyPage) {
    TWizardPages pages = Shown({.Licence = true, .Folder = true, .WorkStation = true});
    for (int page = wpWelcome; page < wpReady; ++page) {
        pages.Page = static_cast<TWizardPage>(page);
        EXPECT_FALSE(StartInstall(pages).Moved()) << WizardPageName(pages.Page);
    }
    pages.Page = wpInstallType;
    NextPage(pages);
    EXPECT_EQ(pages.Page, wpReady);
    EXPECT_FALSE(StartInstall(pages).Moved()) << "a present licence that was never accepted";
    pages = Shown({.Licence = true, .Folder = true, .WorkStation = true});
    WalkForward(pages);
    EXPECT_EQ(pages.Page, wpReady);
    EXPECT_FALSE(NextPage(pages).Moved()) << "Next is disabled on the ready page";
    EXPECT_EQ(StartInstall(pages).Shown, TShown{wpProgress});
    EXPECT_FALSE(NextPage(pages).Moved());
    EXPECT_FALSE(PreviousPage(pages).Moved());
    EXPECT_FALSE(StartInstall(pages).Moved());
    EXPECT_EQ(pages.Page, wpProgress);
}

TEST(WizardButtons, EveryPage) {
    struct TCase {
        TWizardPage Page;
        bool Licence;
        TWizardButtons Expected;
    };
    // panel, cancel, back, next, install
    const TCase cases[] = {
        {wpWelcome, false, {true, true, false, true, false}},
        {wpWelcome, true, {true, true, false, true, false}},
        {wpLicence, true, {true, true, true, false, false}},
        {wpLicence, false, {true, true, true, true, false}},
        {wpDestination, true, {true, true, true, true, false}},
        {wpFolders, false, {true, true, true, true, false}},
        {wpInstallType, false, {true, true, true, true, false}},
        {wpReady, false, {true, true, true, false, true}},
        {wpReady, true, {true, true, true, false, true}},
        {wpProgress, false, {false, false, false, false, false}},
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
