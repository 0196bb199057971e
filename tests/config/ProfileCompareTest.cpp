// The portable profile reader against GetPrivateProfileStringA on the same files: every case
// writes a file, asks both the same questions and expects the same answers.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include <windows.h>

#include "config/ProfileReader.h"
#include "config/SetupConfig.h"
#include "config/Win32ProfileSource.h"

namespace yar {
namespace {

// A value question (section, key, fallback), a key listing or the lines of a section.
struct Query {
    enum { qValue, qKeyNames, qLines } Kind;
    std::string Section;
    std::string Key;
    std::string Fallback;
};

std::string Visible(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out.size() > 200 ? out.substr(0, 100) + "...(" + std::to_string(text.size()) + " chars)" : out;
}

std::string Visible(const std::vector<std::string>& names) {
    if (names.size() == 1) return Visible(names.front());
    std::string out = std::to_string(names.size()) + " strings:";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names.size() > 8 && i == 3) {
            out += " ...";
            i = names.size() - 3;
        }
        out += " [" + Visible(names[i]) + "]";
    }
    return out;
}

class ProfileCompare : public ::testing::Test {
protected:
    static std::filesystem::path Dir() {
        static const std::filesystem::path dir = [] {
            // One directory per test: CTest runs the cases as parallel processes.
            auto d = std::filesystem::temp_directory_path() /
                     ("yar_profile_compare_" +
                      std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
            std::filesystem::remove_all(d);
            std::filesystem::create_directories(d);
            return d;
        }();
        return dir;
    }

    // Writes text as the file name.ini and asks both readers every query.
    static void Compare(const std::string& name, const std::string& text, const std::vector<Query>& queries) {
        const auto path = Dir() / (name + ".ini");
        std::ofstream(path, std::ios::binary) << text;
        CompareFile(name, path.string(), queries);
    }

    static void CompareFile(const std::string& name, const std::string& path,
                            const std::vector<Query>& queries) {
        const TWin32ProfileSource system(path);
        const TProfileReader portable(path);
        for (const Query& q : queries) {
            std::string what = name + " [" + Visible(q.Section) + "] ";
            std::vector<std::string> expected;
            std::vector<std::string> actual;
            if (q.Kind == Query::qValue) {
                what += "key \"" + Visible(q.Key) + "\"";
                expected = {system.ReadString(q.Section, q.Key, q.Fallback)};
                actual = {portable.ReadString(q.Section, q.Key, q.Fallback)};
            } else if (q.Kind == Query::qKeyNames) {
                what += "listing";
                expected = system.ReadKeyNames(q.Section);
                actual = portable.ReadKeyNames(q.Section);
            } else {
                what += "lines";
                expected = system.ReadSectionLines(q.Section);
                actual = portable.ReadSectionLines(q.Section);
            }
            EXPECT_TRUE(actual == expected)
                << what << "\n system:   " << Visible(expected) << "\n portable: " << Visible(actual);
            if (Verbose()) std::printf("%s -> %s\n", what.c_str(), Visible(expected).c_str());
        }
    }

    static bool Verbose() { return std::getenv("YAR_COMPARE_VERBOSE") != nullptr; }
};

Query Key(std::string section, std::string key, std::string fallback = "<dflt>") {
    return Query{Query::qValue, std::move(section), std::move(key), std::move(fallback)};
}
Query Listing(std::string section) {
    return Query{Query::qKeyNames, std::move(section), {}, {}};
}
Query Lines(std::string section) {
    return Query{Query::qLines, std::move(section), {}, {}};
}

TEST_F(ProfileCompare, CaseOfSectionAndKeyNames) {
    Compare("case", "[Setup - Main]\r\nHeader=Hello\r\nheader=second\r\n[SETUP - MAIN]\r\nFolder=late\r\n",
            {Key("Setup - Main", "Header"), Key("setup - main", "HEADER"), Key("SETUP - MAIN", "hEaDeR"),
             Key("Setup - Main", "Folder"), Key("Setup-Main", "Header"), Key("  Setup - Main  ", "  Header "),
             Listing("setup - main"), Listing("SETUP - MAIN")});
}

TEST_F(ProfileCompare, DuplicateSectionsAndKeys) {
    Compare("duplicates", "[A]\nk=1\nK=2\nj=a\n[B]\nx=1\n[a]\nk=3\nonly=4\n[A]\nlast=5\n",
            {Key("A", "k"), Key("a", "K"), Key("A", "j"), Key("a", "only"), Key("A", "last"), Key("B", "x"),
             Listing("A"), Listing("a"), Listing("B"), Lines("a")});
}

TEST_F(ProfileCompare, BlanksAroundNamesAndValues) {
    Compare("blanks",
            "  [S]  \n  key  =  value  \n\tk2\t=\tv2\t\n k 3 = v 3 \nempty=\nspaces=    \n"
            "  = lone\nafter=1\n",
            {Key("S", "key"), Key("S", "k2"), Key("S", "k 3"), Key("S", "k  3"), Key("S", "empty"),
             Key("S", "spaces"), Key("S", ""), Key("S", " "), Key("S", "after"), Listing("S"), Lines("S")});
}

TEST_F(ProfileCompare, Quotes) {
    const std::string text = "[Q]\nd=\"quoted\"\ns='single'\nm=\"mixed'\none=\"\nempty=\"\"\nsq=''\n"
                             "inner=a \"b\"\nlead=\"a\" b\npad=\"  x  \"\nnested=\"\"x\"\"\n"
                             "\"qk\"=v\nback=`b`\n" +
                             std::string("q1021=\"") + std::string(1021, 'a') + "\"\n" +
                             std::string("q1022=\"") + std::string(1022, 'b') + "\"\n" +
                             std::string("q1023=\"") + std::string(1023, 'c') + "\"\n" +
                             std::string("q1024=\"") + std::string(1024, 'd') + "\"\n" +
                             std::string("q2000=\"") + std::string(2000, 'e') + "\"\n";
    std::vector<Query> queries{Key("Q", "d"),     Key("Q", "s"),      Key("Q", "m"),      Key("Q", "one"),
                               Key("Q", "empty"), Key("Q", "sq"),     Key("Q", "inner"),  Key("Q", "lead"),
                               Key("Q", "pad"),   Key("Q", "nested"), Key("Q", "\"qk\""), Key("Q", "qk"),
                               Key("Q", "back"),  Key("Q", "q1021"),  Key("Q", "q1022"),  Key("Q", "q1023"),
                               Key("Q", "q1024"), Key("Q", "q2000"),  Listing("Q"),       Lines("Q")};
    Compare("quotes", text, queries);
}

TEST_F(ProfileCompare, LinesWithoutEqualsAndComments) {
    Compare("noequals",
            "; first comment\n[S]\n;k=v\nk=v2\nbare\n  bare two  \n#x=1\n;\nend=e\n[Only]\nno value\n"
            "[Comments]\n;a=1\n; b\n[Empty]\n[Eq]\na=1\n=2\nb=3\n",
            {Key("S", ";k"),    Key("S", "k"),           Key("S", "bare"),    Key("S", "bare two"),
             Key("S", "#x"),    Key("S", ";"),           Key("S", "end"),     Listing("S"),
             Listing("Only"),   Key("Only", "no value"), Listing("Comments"), Listing("Empty"),
             Key("Empty", "x"), Listing("Eq"),           Key("Eq", "b"),      Listing("Missing"),
             Lines("S"),        Lines("Only"),           Lines("Comments"),   Lines("Empty"),
             Lines("Eq"),       Lines("Missing")});
}

TEST_F(ProfileCompare, LongValues) {
    std::string text = "[L]\n";
    std::vector<Query> queries;
    for (int length : {1022, 1023, 1024, 1025, 1500, 5000, 70000}) {
        const std::string key = 'v' + std::to_string(length);
        text += key + "=" + std::string(static_cast<std::size_t>(length) - 1, 'x') + "Z\n";
        queries.push_back(Key("L", key));
    }
    text += "after=ok\n" + std::string(3000, 'n') + "=long name\n";
    queries.push_back(Key("L", "after"));
    queries.push_back(Key("L", std::string(3000, 'n')));
    queries.push_back(Key("L", "missing", std::string(1500, 'd')));
    queries.push_back(Listing("L"));
    Compare("long", text, queries);
}

TEST_F(ProfileCompare, KeyListingBeyondItsBuffer) {
    // Names of each length in turn, so that the buffer runs out at every offset inside a name.
    for (int length = 1; length <= 12; ++length) {
        std::string text = "[Big]\n";
        for (int i = 0; i < 9000 / (length + 1) + 5; ++i) {
            std::string name = std::to_string(i);
            name = std::string(static_cast<std::size_t>(std::max(0, length - static_cast<int>(name.size()))),
                               'k') +
                   name;
            text += name + "=" + std::to_string(i) + "\n";
        }
        Compare("listing" + std::to_string(length), text, {Listing("Big")});
    }
    // One long name that crosses the end of the buffer, and names that end exactly on it.
    Compare("listing_cross",
            "[Big]\n" + std::string(8000, 'a') + "=1\n" + std::string(500, 'b') + "=2\nc=3\n",
            {Listing("Big"), Key("Big", std::string(191, 'b'))});
    Compare("listing_exact", "[Big]\n" + std::string(8189, 'a') + "=1\nb=2\n", {Listing("Big")});
    Compare("listing_exact2", "[Big]\n" + std::string(8190, 'a') + "=1\nb=2\n", {Listing("Big")});
    Compare("listing_exact3", "[Big]\n" + std::string(8188, 'a') + "=1\nb=2\n", {Listing("Big")});
    Compare("listing_huge", "[Big]\n" + std::string(9000, 'a') + "=1\n", {Listing("Big"), Lines("Big")});
}

TEST_F(ProfileCompare, SectionLinesBeyondTheirBuffer) {
    // Lines of each length in turn, with and without "=", so that the buffer runs out everywhere.
    for (int length = 1; length <= 12; ++length) {
        std::string text = "[Big]\n";
        for (int i = 0; i < 9000 / (length + 1) + 5; ++i) {
            std::string line = std::to_string(i);
            line = std::string(static_cast<std::size_t>(std::max(0, length - static_cast<int>(line.size()))),
                               'k') +
                   line;
            if (i % 2 == 1 && line.size() > 2) line[line.size() / 2] = '=';
            text += line + "\n";
        }
        Compare("lines" + std::to_string(length), text, {Lines("Big")});
    }
    for (int length : {8188, 8189, 8190, 8191, 8192}) {
        Compare("lines_exact" + std::to_string(length),
                "[Big]\n" + std::string(static_cast<std::size_t>(length), 'a') + "\nb=2\n", {Lines("Big")});
        Compare("lines_exact_two" + std::to_string(length),
                "[Big]\nfirst=1\n" + std::string(static_cast<std::size_t>(length) - 8, 'a') + "=x\nb=2\n",
                {Lines("Big")});
    }
}

TEST_F(ProfileCompare, SectionLines) {
    Compare("sections",
            "[ Spaced ]\na=1\n[Tail] junk\nb=2\n[Open\nc=3\n[x]y]\nd=4\n[]\ne=5\n[[Double]]\nf=6\n"
            "[\tTab]\ng=7\n[Multi  Space]\nh=8\n[;semi]\ni=9\n",
            {Key("Spaced", "a"),   Key(" Spaced ", "a"),    Key("Tail", "b"),
             Key("Tail", "[Open"), Key("Tail", "c"),        Key("Open", "c"),
             Key("x]y", "d"),      Key("x", "d"),           Key("", "e"),
             Key("[Double]", "f"), Key("Double", "f"),      Key("Tab", "g"),
             Key("\tTab", "g"),    Key("Multi Space", "h"), Key("Multi  Space", "h"),
             Key(";semi", "i"),    Listing("Tail"),         Listing(""),
             Listing("x]y"),       Lines("Tail"),           Lines("")});
}

TEST_F(ProfileCompare, LineEnds) {
    const std::vector<Query> q{Key("S", "a"), Key("S", "b"), Key("T", "c"),
                               Listing("S"),  Listing("T"),  Lines("S")};
    Compare("crlf", "[S]\r\na=1\r\nb=2\r\n[T]\r\nc=3\r\n", q);
    Compare("lf", "[S]\na=1\nb=2\n[T]\nc=3", q);
    Compare("cr", "[S]\ra=1\rb=2\r[T]\rc=3\r", q);
    Compare("mixed", "[S]\na=1\rb=2\r\n[T]\n\rc=3\n", q);
    Compare("lfcr", "[S]\n\ra=1\n\rb=2\n\r[T]\n\rc=3\n\r", q);
    Compare("crcr", "[S]\r\r\na=1\r\r\nb=2\n[T]\nc=3\r", q);
}

TEST_F(ProfileCompare, KeysBeforeAnySection) {
    Compare("before", "top=1\nbare\n[S]\nk=2\n",
            {Key("", "top"), Key(" ", "top"), Key("S", "top"), Key("S", "k"), Listing(""), Listing("S"),
             Lines("")});
    Compare("bom", "\xEF\xBB\xBF[S]\nk=2\n", {Key("S", "k"), Listing("S")});
}

TEST_F(ProfileCompare, BlankCharacters) {
    // Every byte but the line ends around a value and around a name.
    std::string text = "[V]\n";
    std::string names = "[N]\n";
    std::vector<Query> queries;
    for (int b = 1; b < 256; ++b) {
        if (b == '\n' || b == '\r') continue;
        const char c = static_cast<char>(b);
        char key[8];
        std::snprintf(key, sizeof key, "k%02X", b);
        text += std::string(key) + "=" + c + "v" + c + "\n";
        names += std::string(1, c) + key + c + "=1\n";
        queries.push_back(Key("V", key));
        queries.push_back(Key("N", key));
    }
    Compare("blankchars", text + names, queries);
}

TEST_F(ProfileCompare, NulBytes) {
    // ("nul" itself would name the null device.)
    Compare("nulbytes", std::string("[S]\nk=ab\0cd\nn\0m=2\n[T\0U]\nx=3\n", 27),
            {Key("S", "k"), Key("S", "n"), Key("T", "x"), Listing("S"), Listing("T"), Lines("S")});
}

TEST_F(ProfileCompare, Fallbacks) {
    Compare("fallbacks", "[S]\nbare\n",
            {Key("S", "k", "abc   "), Key("S", "k", "   "), Key("S", "k", " a "), Key("S", "k", "\"q\""),
             Key("S", "k", "'q'"), Key("S", "k", ""), Key("S", "k", std::string(2000, 'd')),
             Key("S", "bare", "fromdefault"), Key("None", "k", "\tx\t")});
}

TEST_F(ProfileCompare, MissingFile) {
    CompareFile("missing", (Dir() / "no such file.ini").string(), {Key("S", "k"), Listing("S"), Lines("S")});
}

// The one known difference. Windows NT compares names by the case of the ANSI code page, as the
// portable reader does with the Windows-1252 letters; Wine compares by ASCII case only. Both sides
// are checked so that a change on either shows.
TEST_F(ProfileCompare, HighLettersOfNames) {
    if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP() << ", not Windows-1252";
    const auto partner = [](int b) {
        if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return b + 0x20;
        if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return b - 0x20;
        switch (b) {
        case 0x8A:
        case 0x8C:
        case 0x8E:
            return b + 0x10;
        case 0x9A:
        case 0x9C:
        case 0x9E:
            return b - 0x10;
        case 0x9F:
            return 0xFF;
        case 0xFF:
            return 0x9F;
        default:
            return b;
        }
    };
    std::string text = "[F]\n";
    for (int b = 0x80; b < 0x100; ++b)
        text += std::string("k") + static_cast<char>(b) + "=" + std::to_string(b) + "\n";
    const auto path = Dir() / "fold.ini";
    std::ofstream(path, std::ios::binary) << text;
    const TWin32ProfileSource system(path.string());
    const TProfileReader portable(path.string());
    for (int b = 0x80; b < 0x100; ++b) {
        const std::string key = std::string("K") + static_cast<char>(b);
        EXPECT_EQ(system.ReadString("f", key, ""), std::to_string(b)) << b;
        EXPECT_EQ(portable.ReadString("f", key, ""), std::to_string(std::min(b, partner(b)))) << b;
    }
}

TEST_F(ProfileCompare, WholeConfiguration) {
    const std::string text =
        "top=before\r\n[setup - main]\r\nInstall Disks = 2\r\nInstall Dir=\"Yar "
        "Tools\"\r\nLaunch=<INSTALLDIR>yar.exe,/s\r\n"
        "Folder=\r\nShow Warning Screen=no\r\nShow Re-Boot=0\r\nDither From=0xFF00\r\nDither To=0x\r\n"
        "Header Font Size= 30\r\nHeader2=" +
        std::string(1100, 'h') +
        "\r\n"
        "[Directories]\r\nd1=<INSTALLDIR>~Yar\r\nD1=<WINDOWS>~dup\r\n=cut\r\nd3=<SUB><INSTALLDIR>~Data\r\n"
        "[Files]\r\nf0=a.exe~<INSTALLDIR>\r\nf1=b.dll~<WINDOWS_SYSTEM>\r\nbare "
        "file\r\nf3=c.txt~<INSTALLDIR>\r\n"
        "[Files - OverWrite]\r\nfile #1 = 1\r\nFile #3=x\r\n"
        "[Desktop]\r\n;skip=1\r\ns1=Yar~<INSTALLDIR>yar.exe~X~~<INSTALLDIR>yar.ico~Yar~Tools\r\n"
        "[WorkStation]\r\nw=yar.dll~<INSTALLDIR>\r\n"
        "[AUTOEXEC.BAT]\r\nSET YAR=C:\\YAR\r\nC:\\YAR\\INIT.COM\r\n  PATH %PATH%;C:\\YAR  \r\n";
    const auto path = Dir() / "whole" / "install.cfg";
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    SetupConfig system;
    SetupConfig portable;
    LoadSetupConfig(TWin32ProfileSource(path.string()), system);
    LoadSetupConfig(TProfileReader(path.string()), portable);
    EXPECT_EQ(portable.InstallDisks, system.InstallDisks);
    EXPECT_EQ(portable.InstallDir, system.InstallDir);
    EXPECT_EQ(portable.Launch, system.Launch);
    EXPECT_EQ(portable.Folder, system.Folder);
    EXPECT_EQ(portable.ShowWarningScreen, system.ShowWarningScreen);
    EXPECT_EQ(portable.ShowReBoot, system.ShowReBoot);
    EXPECT_EQ(portable.DitherFrom, system.DitherFrom);
    EXPECT_EQ(portable.DitherTo, system.DitherTo);
    EXPECT_EQ(portable.HeaderFontSize, system.HeaderFontSize);
    EXPECT_EQ(portable.Header2, system.Header2);
    EXPECT_EQ(portable.DirectoryEntries, system.DirectoryEntries);
    EXPECT_EQ(portable.FileEntries, system.FileEntries);
    EXPECT_EQ(portable.DesktopEntries, system.DesktopEntries);
    EXPECT_EQ(portable.WorkStationEntries, system.WorkStationEntries);
    EXPECT_EQ(portable.AutoexecLines, system.AutoexecLines);
    // The path the driver uses: the file's bytes read once from the start directory, read with the
    // profile functions' rules.
    SetupConfig viaStartDir;
    LoadSetupConfig(path.parent_path().string() + "\\", viaStartDir);
    EXPECT_EQ(viaStartDir.FileEntries, system.FileEntries);
    EXPECT_EQ(viaStartDir.DirectoryEntries, system.DirectoryEntries);
    EXPECT_EQ(viaStartDir.DesktopEntries, system.DesktopEntries);
    EXPECT_EQ(viaStartDir.AutoexecLines, system.AutoexecLines);
    EXPECT_EQ(viaStartDir.InstallDir, system.InstallDir);
    EXPECT_EQ(viaStartDir.DitherFrom, system.DitherFrom);
    EXPECT_EQ(viaStartDir.Header2, system.Header2);
    EXPECT_EQ(system.DitherFrom, 65280);
    EXPECT_EQ(system.InstallDir, "Yar Tools");
}

} // namespace
} // namespace yar
