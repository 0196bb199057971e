// The install's rules that need no run: where each [Directories] tag points, the Launch tag, the
// registry target of an entry, the tags of INI values, the AUTOEXEC.BAT lines and the uninstaller's
// command.
#include "engine/InstallDirectories.h"
#include "engine/InstallEngine.h"
#include "engine/SystemUpdates.h"

#include "SystemTestSupport.h"
#include "system/HostFiles.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

const TDirectoryBases kBases{"C:\\WINDOWS", "C:\\", "C:\\Acme"};

std::string Resolved(const std::string& value) {
    return ResolvePath(ParseDirectoryRow(value), kBases);
}

TEST(InstallDirectories, EveryTagKindInTheOrderTheRowsAreTested) {
    // The fixed tags ignore their path text.
    EXPECT_EQ(Resolved("<WINDOWS>~ignored"), "C:\\WINDOWS");
    EXPECT_EQ(Resolved("<windows_system>~ignored"), "C:\\WINDOWS\\System");
    EXPECT_EQ(Resolved("<PROGRAMFILES>"), "C:\\Program Files");
    EXPECT_EQ(Resolved("<INSTALLDIR>~x"), "C:\\Acme");
    // Compound tags: the first base they contain, in the table's order.
    EXPECT_EQ(Resolved("<SUB1><WINDOWS>~Fonts"), "C:\\WINDOWS\\Fonts");
    EXPECT_EQ(Resolved("<SUB1><PROGRAMFILES>~Acme"), "C:\\Program Files\\Acme");
    EXPECT_EQ(Resolved("<SUB1><WINDOWS_SYSTEM>~Drivers"), "C:\\WINDOWS\\System\\Drivers")
        << "<WINDOWS_SYSTEM> is never taken for <WINDOWS>";
    EXPECT_EQ(Resolved("<SUB1><INSTALLDIR>~Bin"), "C:\\Acme\\Bin");
    EXPECT_EQ(Resolved("<SUB1><INSTALLDIR><WINDOWS>~Fonts"), "C:\\WINDOWS\\Fonts") << "the first row wins";
    EXPECT_EQ(Resolved("<SUB1><PROGRAMFILES><WINDOWS_SYSTEM>~A"), "C:\\Program Files\\A");
    EXPECT_EQ(Resolved("<SUB1><OTHER>~D:\\Shared"), "D:\\Shared");
    EXPECT_EQ(Resolved("<sub2>~Data"), "C:\\Acme\\Data");
    EXPECT_EQ(Resolved("<SUB2><WINDOWS>Data"), "C:\\WINDOWS\\<SUB2><WINDOWS>Data")
        << "no \"~\": the tag again";
    EXPECT_EQ(Resolved("<ALT1>~Games\\Cards"), "C:\\Games\\Cards");
    EXPECT_EQ(Resolved("<ALT1><WINDOWS>~Games"), "C:\\Games");
    EXPECT_EQ(Resolved("<FONTS>~Fonts"), "C:\\Fonts");
}

TEST(InstallDirectories, LaunchLosesOnlyALeadingTag) {
    std::string launch = "<installdir>bin\\app.exe,/s";
    EXPECT_FALSE(RewriteLaunch(launch, "<WINDOWS>", "C:\\WINDOWS"));
    EXPECT_TRUE(RewriteLaunch(launch, "<INSTALLDIR>", "C:\\Acme"));
    EXPECT_EQ(launch, "C:\\Acme\\bin\\app.exe,/s");
    EXPECT_FALSE(RewriteLaunch(launch, "<INSTALLDIR>", "D:\\Other"));

    // The tag of an earlier row inside a compound tag, or a tag among the parameters, cuts nothing.
    launch = "<SUB1><INSTALLDIR>tool.exe";
    EXPECT_FALSE(RewriteLaunch(launch, "<INSTALLDIR>", "C:\\Acme"));
    EXPECT_TRUE(RewriteLaunch(launch, "<SUB1><INSTALLDIR>", "C:\\Acme\\Tools"));
    EXPECT_EQ(launch, "C:\\Acme\\Tools\\tool.exe");
    launch = "notepad.exe,<INSTALLDIR>readme.txt";
    EXPECT_FALSE(RewriteLaunch(launch, "<INSTALLDIR>", "C:\\Acme"));
    EXPECT_EQ(launch, "notepad.exe,<INSTALLDIR>readme.txt");
    launch = "<WINDOWS>notepad.exe";
    EXPECT_TRUE(RewriteLaunch(launch, "<WINDOWS>", "C:\\"));
    EXPECT_EQ(launch, "C:\\notepad.exe");

    EXPECT_TRUE(HasInstallDirRow({"<WINDOWS>~", "<installdir>"}));
    EXPECT_FALSE(HasInstallDirRow({"<SUB1><INSTALLDIR>~Bin", "<INSTALLDIR2>~x"}));
}

TEST(InstallDirectories, OnlyPathsPlainlyInsideTheProgramOrWindowsFolderAreProtected) {
    const TDirectoryBases bases{"C:\\WINDOWS", "C:\\", "C:\\Acme"};
    for (const char* inside :
         {"C:\\Program Files\\Acme", "c:\\program files\\Acme\\Bin\\", "C:\\WINDOWS\\System\\Acme"})
        EXPECT_TRUE(InProtectedFolder(inside, bases)) << inside;
    for (const char* outside :
         {"C:\\Acme", "C:\\Program Files", "C:\\Program Files\\", "C:\\Program Files Extra\\Acme",
          "C:\\Program Files\\..\\Acme", "C:\\Program Files/../Acme", "C:\\WINDOWS\\Acme.",
          "C:\\WINDOWS\\Acme:stream", "D:\\Program Files\\Acme", "\\\\server\\C$\\Program Files\\Acme"})
        EXPECT_FALSE(InProtectedFolder(outside, bases)) << outside;
}

TEST(InstallLaunch, TheProgramItsParametersAndItsDirectory) {
    EXPECT_EQ(LaunchCallOf("C:\\Acme\\bin\\setup.exe,/q"),
              (TLaunchCall{"setup.exe", "/q", "C:\\Acme\\bin\\"}));
    EXPECT_EQ(LaunchCallOf("C:\\Acme\\app.exe,/a,/b"), (TLaunchCall{"app.exe", "/a", "C:\\Acme\\"}));
    // Without ",", the field rule hands the whole value on as the parameters.
    EXPECT_EQ(LaunchCallOf("C:\\Acme\\app.exe"), (TLaunchCall{"app.exe", "C:\\Acme\\app.exe", "C:\\Acme\\"}));

    EXPECT_TRUE(LaunchWanted("C:\\Acme\\app.exe", true));
    EXPECT_FALSE(LaunchWanted("C:\\Acme\\app.exe", false));
    EXPECT_TRUE(LaunchWanted("D:\\Next\\Setup.exe", false));
    EXPECT_TRUE(LaunchWanted("D:\\Next\\install.exe,/s", false));
    EXPECT_FALSE(LaunchWanted("D:\\Next\\setup_exe", false));
}

TEST(InstallFiles, AWorkingCopyIsNeededWhereverAnotherEntryNamesIt) {
    const std::vector<std::string> files{"src\\data.dll~<INSTALLDIR>~", "a.dll~<WINDOWS>~X",
                                         "other\\APP.EXE~<SUB1>~", "app.exe~<INSTALLDIR>~"};
    EXPECT_TRUE(FileNeededElsewhere("a.dll", 1, files)) << "inside data.dll";
    EXPECT_FALSE(FileNeededElsewhere("data.dll", 0, files));
    EXPECT_TRUE(FileNeededElsewhere("app.exe", 3, files));
    EXPECT_TRUE(FileNeededElsewhere("App.Exe", 2, files));
    EXPECT_FALSE(FileNeededElsewhere("a.dll", 0, {"a.dll~<WINDOWS>~X"}));
}

TEST(InstallRegistry, RootAndKeyOfAnEntry) {
    const auto target = [](const std::string& f1, const std::string& f2) {
        return RegistryTargetOf({f1, f2, "Name", "Value"});
    };
    EXPECT_EQ(target("HKEY_LOCAL_MACHINE\\Software\\Acme", "Settings\\"),
              (TRegistryTarget{rrLocalMachine, "\\Software\\Acme\\Settings",
                               "HKEY_LOCAL_MACHINE\\Software\\Acme"}));
    EXPECT_EQ(target("Software\\Acme\\", "Settings"),
              (TRegistryTarget{rrCurrentUser, "\\Software\\Acme\\Settings", "Software\\Acme\\"}));
    EXPECT_EQ(
        target("hkey_current_user\\Software\\Acme", "\\Prefs"),
        (TRegistryTarget{rrCurrentUser, "\\Software\\Acme\\Prefs", "hkey_current_user\\Software\\Acme"}));
    // Every other root name is below the current user; the local machine's name anywhere in the path
    // takes the value there.
    EXPECT_EQ(target("HKEY_CLASSES_ROOT\\.acme", "shell"),
              (TRegistryTarget{rrCurrentUser, "\\.acme\\shell", "HKEY_CLASSES_ROOT\\.acme"}));
    EXPECT_EQ(target("HKEY_USERS\\.DEFAULT\\Acme", "").Root, rrCurrentUser);
    EXPECT_EQ(target("HKEY_USERS\\.DEFAULT\\Acme", "").Key, "\\.DEFAULT\\Acme\\");
    EXPECT_EQ(target("HKEY_CURRENT_CONFIG\\Acme", "x").Root, rrCurrentUser);
    EXPECT_EQ(target("HKEY_CURRENT_USER\\HKEY_LOCAL_MACHINE", "x").Root, rrLocalMachine);
    EXPECT_EQ(target("HKEY_LOCAL_MACHINE", "Acme"),
              (TRegistryTarget{rrLocalMachine, "\\HKEY_LOCAL_MACHINE\\Acme", "HKEY_LOCAL_MACHINE"}))
        << "a root name alone stays in the key path";
}

TEST(InstallIniValues, TagsOfTargetAndValueGiveWayToTheirRowsPaths) {
    const TResolvedDirectories rows{{"<INSTALLDIR>", "C:\\PROGRA~1\\ACME"},
                                    {"<WINDOWS>", "C:\\WINDOWS"},
                                    {"<SUB1><INSTALLDIR>", "C:\\PROGRA~1\\ACME\\BIN"}};
    std::vector<TIniEntry> entries{
        ParseIniEntry("<INSTALLDIR>acme.ini~Paths~Home~<installdir>"),
        ParseIniEntry("<WINDOWS>win.ini~Acme~Run~<INSTALLDIR>app.exe /s~x"),
        ParseIniEntry("Software\\Acme~Paths~Tools~<SUB1><INSTALLDIR>tool.exe"),
        ParseIniEntry("system.ini~boot~<INSTALLDIR>~plain value"),
        ParseIniEntry("<NOROW>x.ini~s~k~<NOROW>v"),
    };
    ReplaceIniTags(entries, rows);
    EXPECT_EQ(entries[0],
              (TIniEntry{"C:\\PROGRA~1\\ACME\\acme.ini", "Paths", "Home", "C:\\PROGRA~1\\ACME\\"}));
    EXPECT_EQ(entries[1],
              (TIniEntry{"C:\\WINDOWS\\win.ini", "Acme", "Run", "C:\\PROGRA~1\\ACME\\app.exe /s~x"}));
    EXPECT_EQ(entries[2].Value, "<SUB1><INSTALLDIR>tool.exe")
        << "only the text up to the first \">\" is a tag";
    EXPECT_EQ(entries[3].Name, "<INSTALLDIR>") << "Section and Name keep their tags";
    EXPECT_EQ(entries[4], (TIniEntry{"<NOROW>x.ini", "s", "k", "<NOROW>v"}));
    EXPECT_EQ(IniFilePath("SYSTEM.INI", "C:\\WINDOWS"), "C:\\WINDOWS\\SYSTEM.INI");
    EXPECT_EQ(IniFilePath("D:\\Acme\\acme.ini", "C:\\WINDOWS"), "D:\\Acme\\acme.ini");
}

class AutoexecLines : public ::testing::Test {
protected:
    std::string Line(const std::string& line) const { return AutoexecLine(line, Places); }

    test::TTestDir Dir{"yar-autoexec"};
    THostFiles Files{Dir / "machine"};
    std::string Root = "C:\\";
    TResolvedDirectories Rows{{"<INSTALLDIR>", "C:\\Program Files\\Acme"},
                              {"<SUB1><INSTALLDIR>", "C:\\Program Files\\Acme\\Bin"}};
    TAutoexecPlaces Places{Root, Rows, Files};
};

TEST_F(AutoexecLines, UpperCaseCopyWithYesAndEveryPlaceholder) {
    // The host keeps no short names: the path comes back as it is.
    // Replaced after upper-casing: the path keeps its case.
    EXPECT_EQ(Line("copy <ROOT>config.sys <INSTALLDIR>"), "COPY/Y C:\\CONFIG.SYS C:\\Program Files\\Acme");
    EXPECT_EQ(Line("path <INSTALLDIR>;<INSTALLDIR>\\x"),
              "PATH C:\\Program Files\\Acme;C:\\Program Files\\Acme\\X");
    EXPECT_EQ(Line("<SUB1><INSTALLDIR>\\BIN\\go"), "<SUB1>C:\\Program Files\\Acme\\BIN\\GO")
        << "the earlier row's tag inside the compound one is replaced first";
    EXPECT_EQ(Line("call <NOROW>x.bat"), "CALL <NOROW>X.BAT");
    EXPECT_EQ(Line("set acme=<ROOT>acme"), "SET ACME=C:\\ACME");
    EXPECT_EQ(Line("xcopy a b"), "XCOPY/Y A B");
    EXPECT_EQ(Line("copying done"), "COPYING DONE");
    EXPECT_EQ(Line("rem copyright: copy a b"), "REM COPYRIGHT: COPY/Y A B")
        << "a word that merely starts with COPY is not the command";
}

TEST_F(AutoexecLines, APathThatBringsItsTagBackEnds) {
    Rows = {{"<LOOP>", "X<LOOP>"}};
    const std::string line = Line("<LOOP>");
    EXPECT_TRUE(line.ends_with("X<LOOP>"));
    EXPECT_LT(line.size(), 1000u);
}

TEST_F(AutoexecLines, TheBlockFollowsTheOldLines) {
    std::vector<std::string> lines{"@ECHO OFF", "PROMPT $P$G"};
    AppendAutoexecBlock(lines, {"set path=%path%;<INSTALLDIR>"}, Places);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"@ECHO OFF", "PROMPT $P$G", "REM - Starting Tarnwick Update",
                                        "SET PATH=%PATH%;C:\\Program Files\\Acme", "REM - End of Tarnwick"}));
}

} // namespace
} // namespace yar
