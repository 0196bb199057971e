// The portable INI writer: the file bytes of typical write sequences, the profile functions' ways
// with blanks, quotes, names and foreign files, and its failures. (IniCompareTest holds the same
// kinds of sequence against the system's functions.)
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

TEST_F(HostIniFiles, AnUninstallRecordAsItGrows) {
    ASSERT_TRUE(Write("Program", "Title", "Acme Tools"));
    EXPECT_EQ(Bytes(), "[Program]\\r\\nTitle=Acme Tools\\r\\n");
    ASSERT_TRUE(Write("UNINS", "C:\\Acme\\*.*", ""));
    ASSERT_TRUE(Write("UNINS", "C:\\Acme\\Setup\\*.*", ""));
    ASSERT_TRUE(Write("Folders", "C:\\WINDOWS\\Start Menu\\Programs\\Acme", ""));
    ASSERT_TRUE(Write("UNINS", "C:\\Acme\\app.exe", ""));
    EXPECT_EQ(Bytes(), "[Program]\\r\\nTitle=Acme Tools\\r\\n"
                       "[UNINS]\\r\\nC:\\Acme\\*.*=\\r\\nC:\\Acme\\Setup\\*.*=\\r\\nC:\\Acme\\app.exe=\\r\\n"
                       "[Folders]\\r\\nC:\\WINDOWS\\Start Menu\\Programs\\Acme=\\r\\n");
}

TEST_F(HostIniFiles, KeysAreReplacedInPlaceWithoutRegardToCase) {
    ASSERT_TRUE(Write("Sec", "key", "value"));
    ASSERT_TRUE(Write("Sec", "two", "2"));
    ASSERT_TRUE(Write("Other", "x", "y"));
    ASSERT_TRUE(Write("sec", "KEY", "new value"));
    ASSERT_TRUE(Write("SEC", "three", ""));
    EXPECT_EQ(Bytes(), "[Sec]\\r\\nkey=new value\\r\\ntwo=2\\r\\nthree=\\r\\n[Other]\\r\\nx=y\\r\\n");
    EXPECT_EQ(Read("OTHER", "X"), "y");
    EXPECT_EQ(Read("Sec", "three"), "");
}

TEST_F(HostIniFiles, TheFirstOfDuplicateNamesWins) {
    Put("[A]\r\nk=1\r\nK=2\r\n[a]\r\nk=3\r\n");
    ASSERT_TRUE(Write("a", "K", "9"));
    EXPECT_EQ(Bytes(), "[A]\\r\\nk=9\\r\\nK=2\\r\\n[a]\\r\\nk=3\\r\\n");
    ASSERT_TRUE(Ini.DeleteSection(kFile, "a"));
    EXPECT_EQ(Bytes(), "[a]\\r\\nk=3\\r\\n");
    EXPECT_EQ(Read("A", "k"), "3");
}

TEST_F(HostIniFiles, BlanksOfNewNamesStayUntilTheNextWrite) {
    ASSERT_TRUE(Write("  Sp  ", "  k  ", "  v  "));
    EXPECT_EQ(Bytes(), "[Sp  ]\\r\\nk  =v  \\r\\n");
    EXPECT_EQ(Read(" sp ", "K"), "v");
    ASSERT_TRUE(Write("sp", "k2", "a value with blanks"));
    EXPECT_EQ(Bytes(), "[Sp]\\r\\nk=v\\r\\nk2=a value with blanks\\r\\n");
    ASSERT_TRUE(Write("Sp", "k3", "\x1A\t\v\f lead"));
    EXPECT_EQ(Read("Sp", "k3"), "lead");
}

TEST_F(HostIniFiles, SectionsAreDeletedByTheirNameAsGiven) {
    ASSERT_TRUE(Write("A", "k", "1"));
    ASSERT_TRUE(Write("B", "k", "2"));
    ASSERT_TRUE(Write("C", "k", "3"));
    ASSERT_TRUE(Ini.DeleteSection(kFile, "b"));
    EXPECT_EQ(Bytes(), "[A]\\r\\nk=1\\r\\n[C]\\r\\nk=3\\r\\n");
    ASSERT_TRUE(Ini.DeleteSection(kFile, " A "));
    ASSERT_TRUE(Ini.DeleteSection(kFile, "Missing"));
    EXPECT_EQ(Bytes(), "[A]\\r\\nk=1\\r\\n[C]\\r\\nk=3\\r\\n");
    ASSERT_TRUE(Write("b", "k", "again"));
    EXPECT_EQ(Bytes(), "[A]\\r\\nk=1\\r\\n[C]\\r\\nk=3\\r\\n[b]\\r\\nk=again\\r\\n");
    ASSERT_TRUE(Ini.DeleteSection(kFile, "A"));
    ASSERT_TRUE(Ini.DeleteSection(kFile, "C"));
    ASSERT_TRUE(Ini.DeleteSection(kFile, "B"));
    EXPECT_EQ(Bytes(), "");
}

TEST_F(HostIniFiles, NothingIsCreatedWithoutAValue) {
    ASSERT_TRUE(Ini.DeleteSection(kFile, "UNINS"));
    EXPECT_EQ(Bytes(), "<none>");
    EXPECT_EQ(Read("UNINS", "k", "fallback"), "fallback");
    EXPECT_EQ(Bytes(), "<none>");
}

TEST_F(HostIniFiles, AForeignFileIsRewrittenInTheFunctionsForm) {
    Put("top=1\r\n\r\n[A]  trailing\r\n  k = v  "
        "\r\n\r\n\r\n;comment\r\n\r\n[B]\nx\ny=1\n=empty\n=dropped\n\n[open\n");
    ASSERT_TRUE(Write("A", "new", "n"));
    EXPECT_EQ(Bytes(), "top=1\\r\\n[A]\\r\\nk=v\\r\\n;comment\\r\\nnew=n\\r\\n[B]\\r\\nx\\r\\ny=1\\r\\n="
                       "empty\\r\\n[open\\r\\n");
    EXPECT_EQ(Read("B", "x"), "<fb>");
    EXPECT_EQ(Read("B", ""), "empty");
    EXPECT_EQ(Read("b", "[open"), "<fb>");
}

TEST_F(HostIniFiles, AWriteThatChangesNothingLeavesTheFileAlone) {
    Put("[S]\n k = v \n");
    ASSERT_TRUE(Write("s", "K", "  v"));
    EXPECT_EQ(Bytes(), "[S]\\n k = v \\n");
    ASSERT_TRUE(Write("S", "k", "w"));
    EXPECT_EQ(Bytes(), "[S]\\r\\nk=w\\r\\n");
}

TEST_F(HostIniFiles, EmptyNamesMeanTheUnnamedSectionAndAnEmptyKey) {
    ASSERT_TRUE(Write("S", "", "v"));
    ASSERT_TRUE(Write("", "k", "v"));
    EXPECT_EQ(Bytes(), "k=v\\r\\n[S]\\r\\n=v\\r\\n");
    EXPECT_EQ(Read("", "k"), "v");
    EXPECT_EQ(Read("S", ""), "v");
}

TEST_F(HostIniFiles, ALineBreakInAValueStartsALine) {
    ASSERT_TRUE(Write("S", "k", "a\r\nb=c"));
    EXPECT_EQ(Bytes(), "[S]\\r\\nk=a\\r\\nb=c\\r\\n");
    EXPECT_EQ(Read("S", "b"), "c");
}

TEST_F(HostIniFiles, BareNamesAreInTheWindowsDirectory) {
    ASSERT_TRUE(Ini.WriteString("ACME.INI", "Paths", "Home", "C:\\Acme"));
    EXPECT_EQ(Bytes("C:\\WINDOWS\\acme.ini"), "[Paths]\\r\\nHome=C:\\Acme\\r\\n");
    EXPECT_EQ(Ini.ReadString("acme.ini", "paths", "home", ""), "C:\\Acme");
}

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

TEST_F(HostIniFiles, ValuesLoseOnePairOfQuotesWhenRead) {
    Put("[Q]\r\nd=\"double\"\r\ns='single'\r\nm=\"mixed'\r\none=\"\r\nempty=\"\"\r\nin=a \"b\"\r\n");
    EXPECT_EQ(Read("Q", "d"), "double");
    EXPECT_EQ(Read("Q", "s"), "single");
    EXPECT_EQ(Read("Q", "m"), "\"mixed'");
    EXPECT_EQ(Read("Q", "one"), "\"");
    EXPECT_EQ(Read("Q", "empty"), "");
    EXPECT_EQ(Read("Q", "in"), "a \"b\"");
}

TEST_F(HostIniFiles, FallbacksLoseTrailingSpacesAndQuotes) {
    EXPECT_EQ(Read("S", "k", "abc   "), "abc");
    EXPECT_EQ(Read("S", "k", "   "), " ");
    EXPECT_EQ(Read("S", "k", "'q'"), "q");
    EXPECT_EQ(Read("S", "k", ""), "");
    // A file that cannot be opened: the fallback keeps its quotes.
    EXPECT_EQ(Ini.ReadString("C:\\No Dir\\x.ini", "S", "k", "'q'  "), "'q'");
}

TEST_F(HostIniFiles, ValuesAreCutToTheirBuffer) {
    const std::string x1023(1023, 'x');
    ASSERT_TRUE(Write("L", "plain", x1023 + "yz"));
    EXPECT_EQ(Read("L", "plain"), x1023);
    ASSERT_TRUE(Write("L", "fits", "\"" + std::string(1022, 'q') + "\""));
    EXPECT_EQ(Read("L", "fits"), std::string(1022, 'q'));
    // One more and the cut takes the closing quote, then the last character goes as well.
    ASSERT_TRUE(Write("L", "misses", "\"" + std::string(1023, 'q') + "\""));
    EXPECT_EQ(Read("L", "misses"), std::string(1022, 'q'));
    ASSERT_TRUE(Write("L", "long", "\"" + std::string(2000, 'q') + "\""));
    EXPECT_EQ(Read("L", "long"), std::string(1023, 'q'));
    EXPECT_EQ(Read("L", "missing", std::string(1500, 'd')), std::string(1023, 'd'));
}

} // namespace
} // namespace yar
