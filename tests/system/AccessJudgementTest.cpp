// Who may change a file or directory, judged from its owner and access list: the rule the uninstaller
// applies to its record, natively and under Wine on descriptors written as SDDL text, then on what each
// platform reads of real files (natively a Unix mode read as Wine reads it, under Wine the descriptor).
#include "system/AccessLists.h"

#include "system/FileServices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <windows.h>

#include <sddl.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace yar {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMe = "S-1-5-21-1004336348-1177238915-682003330-1001";
constexpr const char* kTrustedInstaller = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

// The judgement of a descriptor's text for the account kMe; "<unreadable>" when the text is not read.
std::string Judge(const std::string& sddl, const std::string& me = kMe) {
    const std::optional<TObjectSecurity> security = ParseSecurityText(sddl);
    return security ? UntrustedChangeReason(*security, me) : "<unreadable>";
}

TEST(AccessJudgement, AccountsAndRightsAreReadFromTheDescriptorsText) {
    EXPECT_EQ(SidOfSddlAccount("BA"), "S-1-5-32-544");
    EXPECT_EQ(SidOfSddlAccount("SY"), "S-1-5-18");
    EXPECT_EQ(SidOfSddlAccount("WD"), "S-1-1-0");
    EXPECT_EQ(SidOfSddlAccount(kMe), kMe);
    EXPECT_EQ(SidOfSddlAccount("LA"), "") << "the domain's own aliases are not known here";
    EXPECT_EQ(SidOfSddlAccount("S-1-5-x"), "");
    EXPECT_EQ(
        ParseSecurityText("O:BAG:SYD:PAI(A;OICIIO;0x1301bf;;;AU)(D;;FA;;;BG)(A;;FRFX;;;BU)S:(ML;;NW;;;HI)"),
        (TObjectSecurity{"S-1-5-32-544", std::vector<TAccessRule>{{true, true, 0x1301bf, "S-1-5-11"},
                                                                  {false, false, 0x1F01FF, "S-1-5-32-546"},
                                                                  {true, false, 0x1200A9, "S-1-5-32-545"}}}));
    EXPECT_EQ(ParseSecurityText("O:SYD:NO_ACCESS_CONTROL"), (TObjectSecurity{"S-1-5-18", std::nullopt}));
    EXPECT_EQ(ParseSecurityText("O:SYD:"), (TObjectSecurity{"S-1-5-18", std::vector<TAccessRule>{}}));
    for (const char* unreadable : {"", "garbage", "O:BA", "O:LAD:(A;;FA;;;BA)", "O:BAD:(AU;SA;FA;;;WD)",
                                   "O:BAD:(A;;XY;;;BA)", "O:BAD:(A;;FA;;;BA", "O:BAD:(A;ZZ;FA;;;BA)"})
        EXPECT_EQ(ParseSecurityText(unreadable), std::nullopt) << unreadable;
}

TEST(AccessJudgement, TheSystemsProgramFoldersAndTheSetupsOwnListsAreTrusted) {
    EXPECT_EQ(Judge("O:BA" + ProgramFolderAccess()), "");
    EXPECT_EQ(Judge("O:BA" + AdministratorsOnlyAccess()), "");
    // A folder below Program Files on Windows 10, as icacls lists it.
    EXPECT_EQ(Judge(std::string("O:BAD:AI(A;ID;FA;;;") + kTrustedInstaller + ")(A;CIIOID;GA;;;" +
                    kTrustedInstaller +
                    ")(A;ID;0x1301bf;;;SY)(A;OICIIOID;GA;;;SY)(A;ID;0x1301bf;;;BA)(A;OICIIOID;GA;;;BA)"
                    "(A;ID;0x1200a9;;;BU)(A;OICIIOID;GXGR;;;BU)(A;OICIIOID;GA;;;CO)(A;ID;0x1200a9;;;AC)"
                    "(A;OICIIOID;GXGR;;;AC)(A;ID;0x1200a9;;;S-1-15-2-2)(A;OICIIOID;GXGR;;;S-1-15-2-2)"),
              "");
    EXPECT_EQ(
        Judge(std::string("O:") + kTrustedInstaller + "D:P(A;;FA;;;" + kTrustedInstaller + ")(A;;FR;;;WD)"),
        "");
    EXPECT_EQ(Judge(std::string("O:") + kMe + "D:(A;;FA;;;" + kMe + ")(A;;FA;;;SY)"), "")
        << "the running account's own";
    EXPECT_EQ(Judge("O:BAD:"), "") << "an empty list lets nobody in";
    EXPECT_EQ(Judge("O:BAD:(A;OICIIO;FA;;;AU)"), "") << "an entry only for what is created below";
    EXPECT_EQ(Judge("O:BAD:(A;;FA;;;CO)(A;;FA;;;CG)(A;;FA;;;OW)"), "")
        << "the creator's entries match no account, the owner's rights are the owner's";
}

TEST(AccessJudgement, AnyOtherAccountThatMayChangeTheObjectOrOwnsItIsNamed) {
    // A folder an elevated setup makes below C:\ inherits "Authenticated Users: Modify".
    EXPECT_EQ(Judge("O:BAD:AI(A;ID;FA;;;BA)(A;OICIIOID;GA;;;BA)(A;ID;FA;;;SY)(A;OICIIOID;GA;;;SY)"
                    "(A;OICIID;0x1200a9;;;BU)(A;ID;0x1301bf;;;AU)(A;OICIIOID;SDGXGWGR;;;AU)"),
              "Authenticated Users may change it");
    EXPECT_EQ(Judge("O:BUD:P(A;;FA;;;BA)"), "its owner is Users");
    EXPECT_EQ(Judge(std::string("O:") + kMe + "D:(A;;FA;;;SY)", "S-1-5-21-1-2-3-1002"),
              std::string("its owner is ") + kMe);
    EXPECT_EQ(Judge("O:BAD:NO_ACCESS_CONTROL"), "it has no access list, which lets everybody change it");
    EXPECT_EQ(Judge("O:BAD:(D;;FA;;;AU)(A;;FA;;;AU)"), "Authenticated Users may change it")
        << "a denying entry is not counted";
    const struct {
        const char* rights;
        const char* what;
    } changes[] = {{"0x2", "write data, add a file"},
                   {"0x4", "append, add a directory"},
                   {"0x10", "write extended attributes"},
                   {"DT", "delete a child"},
                   {"CR", "write attributes"},
                   {"SD", "delete"},
                   {"WD", "change the list"},
                   {"WO", "take ownership"},
                   {"GW", "generic write"},
                   {"GA", "generic all"},
                   {"FW", "file write"},
                   {"0x1301bf", "modify"}};
    for (const auto& change : changes)
        EXPECT_EQ(Judge(std::string("O:SYD:(A;;FA;;;SY)(A;;") + change.rights + ";;;WD)"),
                  "Everyone may change it")
            << change.what;
    EXPECT_EQ(Judge("O:SYD:(A;;GW;;;IU)"), "INTERACTIVE may change it");
    EXPECT_EQ(Judge("O:SYD:(A;;FA;;;S-1-5-21-1-2-3-1002)"), "S-1-5-21-1-2-3-1002 may change it");
    EXPECT_EQ(Judge("O:SYD:(A;;FRFX;;;WD)(A;;GRGX;;;BU)(A;;RC;;;AU)"), "") << "reading is no change";
}

TEST(AccessJudgement, AnEntryThatCannotBeReadIsNeverTrusted) {
    EXPECT_EQ(
        UntrustedChangeReason({"S-1-5-18", std::vector<TAccessRule>{{true, false, 0xFFFFFFFF, ""}}}, kMe),
        "an account that cannot be read may change it");
    EXPECT_EQ(UntrustedChangeReason({"", std::vector<TAccessRule>{}}, kMe),
              "its owner is an account that cannot be read");
    EXPECT_EQ(UntrustedChangeReason({"S-1-5-18", std::vector<TAccessRule>{}}, ""), "") << "SYSTEM is trusted";
    EXPECT_EQ(UntrustedChangeReason({"", std::vector<TAccessRule>{}}, ""),
              "its owner is an account that cannot be read")
        << "an unknown running account trusts no unknown owner";
}

class ObjectSecurity : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Root = fs::temp_directory_path() / (std::string("yar-security-") + info->name());
        fs::remove_all(Root);
        fs::create_directories(Root);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(Root, error);
    }
    std::string Made(const std::string& name, bool directory) const {
        const fs::path path = Root / name;
        if (directory)
            fs::create_directory(path);
        else
            std::ofstream(path) << "x";
        return path.string();
    }

    fs::path Root;
};

#ifndef _WIN32
// Natively a Unix mode, read as Wine reads it: SYSTEM, the owning user, and Everyone for the others' bits.
TEST_F(ObjectSecurity, AModeIsReadAsWineReadsItAndOthersWriteIsUntrusted) {
    const std::string file = Made("record.cfg", false);
    const std::string dir = Made("dir", true);
    const std::string me = CurrentAccountSid();
    EXPECT_EQ(me, "S-1-22-1-" + std::to_string(geteuid()));
    ASSERT_EQ(chmod(file.c_str(), 0644), 0);
    ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
    EXPECT_EQ(ObjectSecurityAt(file),
              (TObjectSecurity{
                  me, std::vector<TAccessRule>{{true, false, 0x1F01FF, "S-1-5-18"},
                                               {true, false, 0xC0000 | 0x120089 | 0x120116 | 0x10000, me},
                                               {true, false, 0x120089, "S-1-1-0"}}}));
    EXPECT_EQ(UntrustedChangeReason(*ObjectSecurityAt(file), me), "");
    EXPECT_EQ(UntrustedChangeReason(*ObjectSecurityAt(dir), me), "");
    EXPECT_EQ(chmod(file.c_str(), 0664), 0);
    EXPECT_EQ(UntrustedChangeReason(*ObjectSecurityAt(file), me), "")
        << "the group's bits are not read, as in Wine";
    ASSERT_EQ(chmod(file.c_str(), 0646), 0);
    EXPECT_EQ(UntrustedChangeReason(*ObjectSecurityAt(file), me), "Everyone may change it");
    ASSERT_EQ(chmod(dir.c_str(), 0757), 0);
    EXPECT_EQ(ObjectSecurityAt(dir)->Dacl->back().Mask & 0x40, 0x40u) << "others may delete its entries";
    EXPECT_EQ(UntrustedChangeReason(*ObjectSecurityAt(dir), me), "Everyone may change it");
    EXPECT_EQ(ObjectSecurityAt((Root / "missing").string()), std::nullopt);
    if (geteuid() == 0) {
        ASSERT_EQ(chmod(file.c_str(), 0644), 0);
        ASSERT_EQ(chown(file.c_str(), 12345, 12345), 0);
        EXPECT_EQ(UntrustedChangeReason(*ObjectSecurityAt(file), me), "its owner is S-1-22-1-12345");
    }
}
#else
// Under Wine the descriptor itself: what Wine reports for the files it makes, and for a directory made
// with the program folders' list and a file given Everyone's full control. Wine keeps only part of such a
// list (it becomes the Unix mode: the directory reads back as SYSTEM and the Unix user, the file as
// Everyone's right to change it); what it keeps is judged.
TEST_F(ObjectSecurity, TheDescriptorIsReadAndJudged) {
    const std::string me = CurrentAccountSid();
    ASSERT_TRUE(me.starts_with("S-1-5-")) << me;
    const std::string file = Made("record.cfg", false);
    const std::optional<TObjectSecurity> plain = ObjectSecurityAt(file);
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(plain->Owner, me) << "a file this account made";
    EXPECT_EQ(UntrustedChangeReason(*plain, me), "");
    EXPECT_EQ(UntrustedChangeReason(*ObjectSecurityAt(Root.string()), me), "");

    const auto descriptor = [](const std::string& sddl) {
        PSECURITY_DESCRIPTOR made = nullptr;
        EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &made,
                                                                         nullptr));
        return made;
    };
    const std::string program = (Root / "program").string();
    PSECURITY_DESCRIPTOR list = descriptor(ProgramFolderAccess());
    SECURITY_ATTRIBUTES attributes{sizeof attributes, list, FALSE};
    ASSERT_TRUE(CreateDirectoryA(program.c_str(), &attributes));
    LocalFree(list);
    EXPECT_EQ(UntrustedChangeReason(*ObjectSecurityAt(program), me), "");

    list = descriptor("D:(A;;FA;;;WD)(A;;FA;;;SY)");
    ASSERT_TRUE(SetFileSecurityA(file.c_str(), DACL_SECURITY_INFORMATION, list));
    LocalFree(list);
    const std::optional<TObjectSecurity> everyone = ObjectSecurityAt(file);
    ASSERT_TRUE(everyone.has_value());
    EXPECT_EQ(UntrustedChangeReason(*everyone, me), "Everyone may change it");
    EXPECT_EQ(ObjectSecurityAt((Root / "missing").string()), std::nullopt);
}
#endif

} // namespace
} // namespace yar
