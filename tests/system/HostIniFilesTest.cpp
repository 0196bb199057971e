// The portable INI writer natively: the bytes of the uninstall record's life, files named bare, values
// read back, and the failures Wine cannot show. (IniCompareTest holds the profile functions' ways with
// blanks, names and foreign files, sequence by sequence against the system's functions.)
#include "system/HostIniFiles.h"

#include "SystemTestSupport.h"
#include "system/HostFiles.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

using test::GetBytes;
using test::PutBytes;
using test::TTestDir;
using test::Visible;

class HostIniFiles : public ::testing::Test {
protected:
    static constexpr const char* kFile = "C:\\Acme\\uninstall.cfg";

    void SetUp() override { Files.ForceDirectories("C:\\Acme"); }
    std::string Bytes(const std::string& path = kFile) const {
        return Visible(GetBytes(Files.HostPath(path)).value_or("<none>"));
    }
    void Put(std::string_view bytes) const { PutBytes(Files.HostPath(kFile), bytes); }
    bool Write(const std::string& section, const std::string& key, const std::string& value) {
        return Ini.WriteString(kFile, section, key, value);
    }
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& fallback = "<fb>") const {
        return Ini.ReadString(kFile, section, key, fallback);
    }

    TTestDir Dir{"yar-hostini"};
    THostFiles Files{Dir / "machine"};
    THostIniFiles Ini{Files};
};

TEST_F(HostIniFiles, AnUninstallRecordGrowsAndStartsAfresh) {
    ASSERT_TRUE(Write("Program", "Title", "Acme Tools"));
    EXPECT_EQ(Bytes(), "[Program]\\r\\nTitle=Acme Tools\\r\\n");
    ASSERT_TRUE(Write("UNINS", "C:\\Acme\\*.*", ""));
    ASSERT_TRUE(Write("Folders", "C:\\WINDOWS\\Start Menu\\Programs\\Acme", ""));
    ASSERT_TRUE(Write("UNINS", "C:\\Acme\\app.exe", ""));
    ASSERT_TRUE(Write("unins", "c:\\acme\\APP.EXE", "")); // the same key
    EXPECT_EQ(Bytes(),
              "[Program]\\r\\nTitle=Acme Tools\\r\\n[UNINS]\\r\\nC:\\Acme\\*.*=\\r\\nC:\\Acme\\app.exe=\\r\\n"
              "[Folders]\\r\\nC:\\WINDOWS\\Start Menu\\Programs\\Acme=\\r\\n");
    // A later install into the same directory: its sections go, the title is replaced in place. (A
    // name to delete is taken with its blanks: " Program " names no section.)
    for (const char* section : {"UNINS", "Folders", "Registry", " Program "})
        ASSERT_TRUE(Ini.DeleteSection(kFile, section));
    ASSERT_TRUE(Write("program", "TITLE", "Acme"));
    ASSERT_TRUE(Write("UNINS", "C:\\Acme\\*.*", ""));
    EXPECT_EQ(Bytes(), "[Program]\\r\\nTitle=Acme\\r\\n[UNINS]\\r\\nC:\\Acme\\*.*=\\r\\n");
    EXPECT_EQ(Read("PROGRAM", "title"), "Acme");
    for (const char* section : {"Program", "UNINS"}) ASSERT_TRUE(Ini.DeleteSection(kFile, section));
    EXPECT_EQ(Bytes(), "");
}

TEST_F(HostIniFiles, BareNamesAreInTheWindowsDirectory) {
    ASSERT_TRUE(Ini.WriteString("ACME.INI", "Paths", "Home", "C:\\Acme"));
    EXPECT_EQ(Bytes("C:\\WINDOWS\\acme.ini"), "[Paths]\\r\\nHome=C:\\Acme\\r\\n");
    EXPECT_EQ(Ini.ReadString("acme.ini", "paths", "home", ""), "C:\\Acme");
}

// (Not compared under Wine: run by root, Wine writes read-only files.)
TEST_F(HostIniFiles, FilesThatCannotBeWritten) {
    EXPECT_FALSE(Ini.WriteString("C:\\No Dir\\x.ini", "S", "k", "v"));
    EXPECT_FALSE(Ini.DeleteSection("C:\\No Dir\\x.ini", "S"));
    EXPECT_FALSE(Ini.WriteString("C:\\Acme", "S", "k", "v"));
    ASSERT_TRUE(Write("S", "k", "v"));
    ASSERT_TRUE(Files.SetAttributes(kFile, faReadOnly));
    EXPECT_FALSE(Write("S", "k", "v"));
    EXPECT_FALSE(Write("S", "k", "w"));
    EXPECT_FALSE(Ini.DeleteSection(kFile, "S"));
    EXPECT_EQ(Read("S", "k"), "v");
    EXPECT_EQ(Bytes(), "[S]\\r\\nk=v\\r\\n");
}

TEST_F(HostIniFiles, ReadValuesLoseQuotesAndFitTheirBuffer) {
    Put("[Q]\r\nd=\"double\"\r\nm=\"mixed'\r\none=\"\r\n");
    EXPECT_EQ(Read("Q", "d"), "double");
    EXPECT_EQ(Read("Q", "m"), "\"mixed'");
    EXPECT_EQ(Read("Q", "one"), "\"");
    EXPECT_EQ(Read("Q", "none", "'q'   "), "q");
    EXPECT_EQ(Read("Q", "none", "   "), " ");
    EXPECT_EQ(Ini.ReadString("C:\\No Dir\\x.ini", "S", "k", "'q'  "), "'q'"); // not opened: quotes stay
    ASSERT_TRUE(Write("L", "plain", std::string(1023, 'x') + "yz"));
    EXPECT_EQ(Read("L", "plain"), std::string(1023, 'x'));
    ASSERT_TRUE(Write("L", "fits", "\"" + std::string(1022, 'q') + "\""));
    EXPECT_EQ(Read("L", "fits"), std::string(1022, 'q'));
    // One more and the cut takes the closing quote, then the last character goes as well.
    ASSERT_TRUE(Write("L", "misses", "\"" + std::string(1023, 'q') + "\""));
    EXPECT_EQ(Read("L", "misses"), std::string(1022, 'q'));
}

} // namespace
} // namespace yar
