#include <gtest/gtest.h>

#include "config/ProfileReader.h"
#include "config/SetupConfig.h"
#include "tools/yar/Build.h"

namespace yar::tool {
namespace {

int32_t DisksRead(const std::string& text) {
    SetupConfig config;
    LoadSetupConfig(*TProfileReader::FromText(text), config);
    return config.InstallDisks;
}

// The count the setup reads afterwards is the one written, and no other byte moves.
TEST(WithInstallDisks, ReplacesTheValueTheSetupReadsAndKeepsEveryOtherByte) {
    const std::string text = "; top\r\n[Setup - Main]\r\nHeader=A\r\n  install disks = 2 \r\n"
                             "Install Disks=7\r\n[Files]\r\nFile1=a~<INSTALLDIR>\r\n";
    const std::string out = WithInstallDisks(text, 12);
    EXPECT_EQ(out, "; top\r\n[Setup - Main]\r\nHeader=A\r\n  install disks =12\r\n"
                   "Install Disks=7\r\n[Files]\r\nFile1=a~<INSTALLDIR>\r\n");
    EXPECT_EQ(DisksRead(out), 12);
}

TEST(WithInstallDisks, AddsTheKeyToItsSectionOrTheSectionToTheFile) {
    const std::string noKey = "[Directories]\nDir1=<INSTALLDIR>~\n[setup - main]\nHeader=A";
    const std::string withKey = WithInstallDisks(noKey, 3);
    EXPECT_EQ(withKey, "[Directories]\nDir1=<INSTALLDIR>~\n[setup - main]\nInstall Disks=3\nHeader=A");
    EXPECT_EQ(DisksRead(withKey), 3);
    const std::string last = WithInstallDisks("[Setup - Main]", 4);
    EXPECT_EQ(DisksRead(last), 4) << last;
    const std::string noSection = WithInstallDisks("[Files]\r\nFile1=a~<INSTALLDIR>\r\n", 5);
    EXPECT_EQ(noSection, "[Setup - Main]\r\nInstall Disks=5\r\n[Files]\r\nFile1=a~<INSTALLDIR>\r\n");
    EXPECT_EQ(DisksRead(noSection), 5);
}

} // namespace
} // namespace yar::tool
