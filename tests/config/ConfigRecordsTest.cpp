#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "config/ConfigRecords.h"
#include "config/ProfileReader.h"
#include "config/SetupConfig.h"

namespace yar {
namespace {

TEST(SplitTag, TagRunsToTheFirstClosingBracket) {
    EXPECT_EQ(SplitTag("<INSTALLDIR>bin\\app.exe"), (TTaggedPath{"<INSTALLDIR>", "bin\\app.exe"}));
    EXPECT_EQ(SplitTag("<INSTALLDIR>"), (TTaggedPath{"<INSTALLDIR>", ""}));
    // Only the first ">" ends the tag: a compound tag leaves its second part in the path.
    EXPECT_EQ(SplitTag("<SUB1><INSTALLDIR>x.exe"), (TTaggedPath{"<SUB1>", "<INSTALLDIR>x.exe"}));
    EXPECT_EQ(SplitTag("a>b>c"), (TTaggedPath{"a>", "b>c"}));
    // Without ">" the tag is empty and the path is all of it, "<" or not.
    EXPECT_EQ(SplitTag("C:\\Acme\\app.exe"), (TTaggedPath{"", "C:\\Acme\\app.exe"}));
    EXPECT_EQ(SplitTag("<INSTALLDIR"), (TTaggedPath{"", "<INSTALLDIR"}));
    EXPECT_EQ(SplitTag(""), (TTaggedPath{"", ""}));
}

TEST(SplitTag, TagsCompareInUpperCase) {
    EXPECT_TRUE(SameTag("<installdir>", "<INSTALLDIR>"));
    EXPECT_TRUE(SameTag("<Sub1><Windows>", "<SUB1><WINDOWS>"));
    EXPECT_FALSE(SameTag("<SUB1>", "<SUB1><INSTALLDIR>"));
    EXPECT_FALSE(SameTag("<WINDOWS>", "<WINDOWS_SYSTEM>"));
    EXPECT_FALSE(SameTag("<INSTALLDIR> ", "<INSTALLDIR>"));
}

TEST(ParseDirectoryRow, TagThenTheRestAsPath) {
    EXPECT_EQ(ParseDirectoryRow("<SUB2>~Data\\Images"),
              (TDirectoryRow{"<SUB2>", "Data\\Images", dkSub, dbInstallDir}));
    // The path is the whole remainder, later separators included.
    EXPECT_EQ(ParseDirectoryRow("<ALT1>~Games~Cards").Path, "Games~Cards");
    EXPECT_EQ(ParseDirectoryRow("<ALT1>~").Path, "");
    // The tag is kept as configured.
    EXPECT_EQ(ParseDirectoryRow("<InstallDir>~x").Tag, "<InstallDir>");
    // Without a separator the path repeats the tag.
    EXPECT_EQ(ParseDirectoryRow("<INSTALLDIR>"),
              (TDirectoryRow{"<INSTALLDIR>", "<INSTALLDIR>", dkFixed, dbInstallDir}));
    EXPECT_EQ(ParseDirectoryRow("<SUB3>"), (TDirectoryRow{"<SUB3>", "<SUB3>", dkSub, dbInstallDir}));
    EXPECT_EQ(ParseDirectoryRow(""), (TDirectoryRow{"", "", dkOther, dbRoot}));
    EXPECT_EQ(ParseDirectoryRow("~Data"), (TDirectoryRow{"", "Data", dkOther, dbRoot}));
}

struct KindCase {
    const char* Tag;
    TDirectoryKind Kind;
    TDirectoryBase Base;
};

TEST(ParseDirectoryRow, TagDecidesWhereThePathLies) {
    const KindCase cases[] = {
        // The four fixed tags, in any case, and only when exact.
        {"<WINDOWS>", dkFixed, dbWindows},
        {"<windows>", dkFixed, dbWindows},
        {"<Windows_System>", dkFixed, dbWindowsSystem},
        {"<PROGRAMFILES>", dkFixed, dbProgramFiles},
        {"<installdir>", dkFixed, dbInstallDir},
        {"<WINDOWS> ", dkOther, dbRoot},
        {"<INSTALLDIR>x", dkOther, dbRoot},
        // "<SUB" followed by "><" takes the first base found, Windows before Program Files before
        // the System directory before the installation directory.
        {"<SUB1><WINDOWS>", dkSub, dbWindows},
        {"<SUB1><PROGRAMFILES>", dkSub, dbProgramFiles},
        {"<sub1><windows_system>", dkSub, dbWindowsSystem},
        {"<SUB1><INSTALLDIR>", dkSub, dbInstallDir},
        {"<SUB1><INSTALLDIR><WINDOWS>", dkSub, dbWindows},
        {"<SUB1><WINDOWS_SYSTEM><PROGRAMFILES>", dkSub, dbProgramFiles},
        {"<SUB1><ALT2>", dkSub, dbNone},
        {"<ALT1><SUB2>", dkSub, dbNone},
        // "<SUB" without "><" lies in the installation directory, whatever else the tag names.
        {"<SUB2>", dkSub, dbInstallDir},
        {"<SUB1> <WINDOWS>", dkSub, dbInstallDir},
        {"X<sub>", dkSub, dbInstallDir},
        // "<ALT" and everything else follow the root of the Windows drive.
        {"<ALT1>", dkAlt, dbRoot},
        {"<alt1><WINDOWS>", dkAlt, dbRoot},
        {"<DATA>", dkOther, dbRoot},
        {"<SU B>", dkOther, dbRoot},
    };
    for (const KindCase& c : cases) {
        const TDirectoryRow row = ParseDirectoryRow(std::string(c.Tag) + "~Path");
        EXPECT_EQ(row.Tag, c.Tag);
        EXPECT_EQ(row.Kind, c.Kind) << c.Tag;
        EXPECT_EQ(row.Base, c.Base) << c.Tag;
    }
}

struct FileCase {
    const char* Value;
    TFileEntry Entry;
    bool Ask;
};

void ExpectFileEntries(const std::vector<FileCase>& cases) {
    for (const FileCase& c : cases) {
        const TFileEntry entry = ParseFileEntry(c.Value);
        EXPECT_EQ(entry, c.Entry) << c.Value;
        EXPECT_EQ(entry.AskBeforeReplacing(), c.Ask) << c.Value;
    }
}

TEST(ParseFileEntry, FilesWithTheLoadersMark) {
    ExpectFileEntries({
        {"C:\\build\\bin\\app.exe~<INSTALLDIR>~X",
         {"C:\\build\\bin\\app.exe", "app.exe", "<INSTALLDIR>", "X"},
         true},
        {"app.exe~<installdir>~", {"app.exe", "app.exe", "<installdir>", ""}, false},
        // A compound tag is one field, matched whole against the rows' tags.
        {"fonts\\a.fon~<SUB1><WINDOWS>~X", {"fonts\\a.fon", "a.fon", "<SUB1><WINDOWS>", "X"}, true},
        // A third field written by the builder stays in front of the loader's mark.
        {"app.exe~<INSTALLDIR>~X~", {"app.exe", "app.exe", "<INSTALLDIR>", "X~"}, false},
        {"app.exe~<INSTALLDIR>~~X", {"app.exe", "app.exe", "<INSTALLDIR>", "~X"}, false},
        // A value of one field: the mark alone is left for the tag, and repeats as the mark.
        {"readme.txt~", {"readme.txt", "readme.txt", "", ""}, false},
        {"readme.txt~X", {"readme.txt", "readme.txt", "X", "X"}, true},
        {"C:app.exe~<INSTALLDIR>~", {"C:app.exe", "app.exe", "<INSTALLDIR>", ""}, false},
        {"~<INSTALLDIR>~", {"", "", "<INSTALLDIR>", ""}, false},
    });
}

TEST(ParseFileEntry, WorkStationValuesAsWritten) {
    ExpectFileEntries({
        // Two fields: the mark repeats the tag and nothing is asked.
        {"bin\\app.dll~<INSTALLDIR>", {"bin\\app.dll", "app.dll", "<INSTALLDIR>", "<INSTALLDIR>"}, false},
        {"app.dll~<INSTALLDIR>~X", {"app.dll", "app.dll", "<INSTALLDIR>", "X"}, true},
        {"app.dll~<INSTALLDIR>~x", {"app.dll", "app.dll", "<INSTALLDIR>", "x"}, false},
        {"app.dll~<INSTALLDIR>~ X", {"app.dll", "app.dll", "<INSTALLDIR>", " X"}, false},
        // One field fills all three, so a lone "X" asks.
        {"app.dll", {"app.dll", "app.dll", "app.dll", "app.dll"}, false},
        {"X", {"X", "X", "X", "X"}, true},
        {"", {"", "", "", ""}, false},
    });
}

TEST(ParseShortcutEntry, SixFieldsWithTaggedTargetAndIcon) {
    const TShortcutEntry entry =
        ParseShortcutEntry("Acme~<INSTALLDIR>bin\\acme.exe~X~~<WINDOWS>moricons.dll~Acme Tools");
    EXPECT_EQ(entry, (TShortcutEntry{"Acme",
                                     {"<INSTALLDIR>", "bin\\acme.exe"},
                                     "X",
                                     "",
                                     {"<WINDOWS>", "moricons.dll"},
                                     "Acme Tools"}));
    EXPECT_TRUE(entry.OnDesktop());
    EXPECT_FALSE(entry.InStartMenu());

    // The folder is the whole remainder.
    EXPECT_EQ(ParseShortcutEntry("A~<INSTALLDIR>a.exe~~X~<INSTALLDIR>a.ico~Group~Sub").Folder, "Group~Sub");
    // A target without ">" has no tag, so it names no row; a compound target keeps its second tag.
    EXPECT_EQ(ParseShortcutEntry("A~C:\\a.exe~X~X~a.ico~G").Target, (TTaggedPath{"", "C:\\a.exe"}));
    EXPECT_EQ(ParseShortcutEntry("A~<SUB1><INSTALLDIR>a.exe~X~X~a.ico~G").Target,
              (TTaggedPath{"<SUB1>", "<INSTALLDIR>a.exe"}));
}

TEST(ParseShortcutEntry, MarksAreExactAndShortValuesRepeat) {
    const TShortcutEntry lower = ParseShortcutEntry("A~<INSTALLDIR>a.exe~x~x~<INSTALLDIR>a.ico~G");
    EXPECT_FALSE(lower.OnDesktop());
    EXPECT_FALSE(lower.InStartMenu());
    EXPECT_FALSE(ParseShortcutEntry("A~<INSTALLDIR>a.exe~X ~XX~<INSTALLDIR>a.ico~G").OnDesktop());

    // Three fields: the desktop mark repeats into every later field, so both marks hold and the
    // folder is "X".
    const TShortcutEntry three = ParseShortcutEntry("A~<INSTALLDIR>a.exe~X");
    EXPECT_EQ(three, (TShortcutEntry{"A", {"<INSTALLDIR>", "a.exe"}, "X", "X", {"", "X"}, "X"}));
    EXPECT_TRUE(three.InStartMenu());

    // Two fields: the target repeats, as the icon too.
    EXPECT_EQ(ParseShortcutEntry("A~<INSTALLDIR>a.exe"), (TShortcutEntry{"A",
                                                                         {"<INSTALLDIR>", "a.exe"},
                                                                         "<INSTALLDIR>a.exe",
                                                                         "<INSTALLDIR>a.exe",
                                                                         {"<INSTALLDIR>", "a.exe"},
                                                                         "<INSTALLDIR>a.exe"}));
    EXPECT_EQ(ParseShortcutEntry(""), TShortcutEntry{});
}

TEST(ParseIniEntry, FourFieldsTheLastTakingTheRest) {
    EXPECT_EQ(ParseIniEntry("<INSTALLDIR>acme.ini~Settings~Path~<INSTALLDIR>data"),
              (TIniEntry{"<INSTALLDIR>acme.ini", "Settings", "Path", "<INSTALLDIR>data"}));
    EXPECT_EQ(ParseIniEntry("SYSTEM.INI~boot~shell~a~b~c").Value, "a~b~c");
    // An empty name names the registry key's default value.
    EXPECT_EQ(ParseIniEntry("HKEY_LOCAL_MACHINE\\Software\\Acme~Settings\\~~on"),
              (TIniEntry{"HKEY_LOCAL_MACHINE\\Software\\Acme", "Settings\\", "", "on"}));
    // Short values repeat their last field.
    EXPECT_EQ(ParseIniEntry("SYSTEM.INI~boot"), (TIniEntry{"SYSTEM.INI", "boot", "boot", "boot"}));
    EXPECT_EQ(ParseIniEntry("WIN.INI"), (TIniEntry{"WIN.INI", "WIN.INI", "WIN.INI", "WIN.INI"}));
}

TEST(ParseIniEntry, IniFileWhenTargetContainsDotIni) {
    EXPECT_TRUE(ParseIniEntry("SYSTEM.INI~boot~shell~x").IsIniFile());
    EXPECT_TRUE(ParseIniEntry("<INSTALLDIR>acme.ini~s~k~v").IsIniFile());
    EXPECT_TRUE(ParseIniEntry("C:\\Acme\\Acme.Ini~s~k~v").IsIniFile());
    // Anywhere in the target, not only at its end.
    EXPECT_TRUE(ParseIniEntry("HKEY_CURRENT_USER\\Software\\My.Initial~s~k~v").IsIniFile());
    EXPECT_FALSE(ParseIniEntry("HKEY_LOCAL_MACHINE\\Software\\Acme~s~k~v").IsIniFile());
    EXPECT_FALSE(ParseIniEntry("acme.in~s~k~v").IsIniFile());
    EXPECT_FALSE(ParseIniEntry("Software\\INI~s~k~v").IsIniFile());
    // Only Target counts, and its current text: replacing the tag may make it one.
    EXPECT_FALSE(ParseIniEntry("Software\\Acme~x.ini~x.ini~x.ini").IsIniFile());
    TIniEntry entry = ParseIniEntry("<INSTALLDIR>conf~s~k~v");
    EXPECT_FALSE(entry.IsIniFile());
    entry.Target = "C:\\Acme.ini\\conf";
    EXPECT_TRUE(entry.IsIniFile());
}

TEST(IniEntryValue, JoinsTheFourFieldsAgain) {
    for (const char* value : {"acme.ini~Settings~Path~C:\\Acme~x", "HKEY_LOCAL_MACHINE\\A~B\\~~", "~~~",
                              "SYSTEM.INI~boot", "WIN.INI", ""}) {
        const TIniEntry entry = ParseIniEntry(value);
        EXPECT_EQ(ParseIniEntry(IniEntryValue(entry)), entry) << value;
    }
    EXPECT_EQ(IniEntryValue(ParseIniEntry("acme.ini~s~k~v~w")), "acme.ini~s~k~v~w");
    // A short value comes back with its repeated fields written out.
    EXPECT_EQ(IniEntryValue(ParseIniEntry("SYSTEM.INI~boot")), "SYSTEM.INI~boot~boot~boot");
    EXPECT_EQ(IniEntryValue(ParseIniEntry("")), "~~~");
    EXPECT_EQ(IniEntryValue({"C:\\Acme\\acme.ini", "s", "k", "C:\\Acme\\data"}),
              "C:\\Acme\\acme.ini~s~k~C:\\Acme\\data");
}

TEST(ConfigRecords, ReadFromLoadedSections) {
    SetupConfig config;
    LoadSetupConfig(*TProfileReader::FromText("[Directories]\r\n"
                                              "d1=<INSTALLDIR>~Acme\r\n"
                                              "d2=<SUB1><WINDOWS>~Fonts\r\n"
                                              "[Files]\r\n"
                                              "f1=a.exe~<INSTALLDIR>\r\n"
                                              "f2=b.fon~<SUB1><WINDOWS>\r\n"
                                              "f3=c.dll~<INSTALLDIR>\r\n"
                                              "[Files - OverWrite]\r\n"
                                              "File #1=1\r\n"
                                              "[WorkStation]\r\n"
                                              "w1=a.exe~<INSTALLDIR>\r\n"
                                              "w2=c.dll~<INSTALLDIR>~X\r\n"),
                    config);
    ASSERT_EQ(config.DirectoryEntries.size(), 2u);
    EXPECT_EQ(ParseDirectoryRow(config.DirectoryEntries[1]),
              (TDirectoryRow{"<SUB1><WINDOWS>", "Fonts", dkSub, dbWindows}));

    std::vector<bool> asks;
    std::ranges::transform(config.FileEntries, std::back_inserter(asks), [](const std::string& value) {
        return ParseFileEntry(value).AskBeforeReplacing();
    });
    EXPECT_EQ(asks, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(ParseFileEntry(config.FileEntries[1]).Tag, "<SUB1><WINDOWS>");

    ASSERT_EQ(config.WorkStationEntries.size(), 2u);
    EXPECT_EQ(ParseFileEntry(config.WorkStationEntries[0]).Mark, "<INSTALLDIR>");
    EXPECT_FALSE(ParseFileEntry(config.WorkStationEntries[0]).AskBeforeReplacing());
    EXPECT_TRUE(ParseFileEntry(config.WorkStationEntries[1]).AskBeforeReplacing());
}

} // namespace
} // namespace yar
