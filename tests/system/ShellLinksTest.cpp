// The recording stand-in for the shell-link object: what the install's shortcut rules are checked
// against natively.
#include "system/ShellLinks.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

const TShellLink kApp{"C:\\Acme\\app.exe", "C:\\Acme\\", "C:\\Acme\\app.ico", 0};
const TShellLink kTool{"C:\\Acme\\tool.exe", "C:\\Acme\\", "C:\\Acme\\tool.exe", 2};

TEST(RecordedShellLinks, KeepEverySaveInOrder) {
    TRecordedShellLinks links;
    links.Save(kApp, "C:\\Desktop\\Acme\\App.lnk");
    links.Save(kTool, "C:\\Programs\\Acme\\Tool.lnk");
    links.Save(kApp, "C:\\Programs\\Acme\\App.lnk");
    ASSERT_EQ(links.Saves().size(), 3u);
    EXPECT_EQ(links.Saves()[0].first, "C:\\Desktop\\Acme\\App.lnk");
    EXPECT_EQ(links.Saves()[1].second, kTool);
    EXPECT_EQ(links.Saves()[2].first, "C:\\Programs\\Acme\\App.lnk");
}

TEST(RecordedShellLinks, FindTheLastSaveOfAFileWhateverItsCase) {
    TRecordedShellLinks links;
    links.Save(kApp, "C:\\Programs\\Acme\\App.lnk");
    links.Save(kTool, "c:\\PROGRAMS\\acme\\app.LNK");
    EXPECT_EQ(links.Find("C:\\Programs\\Acme\\App.lnk"), kTool);
    EXPECT_EQ(links.Find("C:\\Programs\\Acme\\Other.lnk"), std::nullopt);
    EXPECT_NE(kApp, kTool);
}

TEST(RecordedShellLinks, AFailingObjectRaisesAndRecordsNothing) {
    TRecordedShellLinks links;
    links.SetFailing(true);
    EXPECT_THROW(links.Save(kApp, "C:\\Desktop\\App.lnk"), EShellLinkError);
    EXPECT_TRUE(links.Saves().empty());
    links.SetFailing(false);
    links.Save(kApp, "C:\\Desktop\\App.lnk");
    EXPECT_EQ(links.Find("C:\\Desktop\\App.lnk"), kApp);
}

} // namespace
} // namespace yar
