// The uninstaller's rules on their own: record patterns, what is never deleted, how the program's
// command line and the registration's command are read.
#include "uninstall/UninstallRules.h"

#include "engine/UninstallRecord.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

TEST(UninstallPatterns, AShortcutPatternTakesItsNameWithAnyExtensionOnly) {
    EXPECT_TRUE(MatchesPattern("Acme App.lnk", "Acme App.*"));
    EXPECT_TRUE(MatchesPattern("ACME APP.pif", "acme app.*"));
    EXPECT_TRUE(MatchesPattern("Acme App", "Acme App.*")) << "a missing extension is an empty one";
    EXPECT_TRUE(MatchesPattern("Acme App.old.lnk", "Acme App.*"));
    EXPECT_FALSE(MatchesPattern("Acme Apps.lnk", "Acme App.*"));
    EXPECT_FALSE(MatchesPattern("Acme App2.lnk", "Acme App.*"));
    EXPECT_FALSE(MatchesPattern("My Acme App.lnk", "Acme App.*"));
    EXPECT_TRUE(IsNamePattern("Acme App.*"));
    EXPECT_FALSE(IsNamePattern("*.*"));
    EXPECT_FALSE(IsNamePattern("*.dll"));
    EXPECT_FALSE(IsNamePattern("a?c.*"));
    EXPECT_FALSE(IsNamePattern(".*"));
}

TEST(UninstallPatterns, WildcardsMatchAsTheDirectoryListingDoes) {
    EXPECT_TRUE(MatchesPattern("readme", "*.*"));
    EXPECT_TRUE(MatchesPattern("a.b.c", "*.*"));
    EXPECT_TRUE(MatchesPattern("acme.dll", "*.DLL"));
    EXPECT_FALSE(MatchesPattern("acme.dll.bak", "*.dll"));
    EXPECT_TRUE(MatchesPattern("a1.txt", "a?.txt"));
    EXPECT_FALSE(MatchesPattern("a12.txt", "a?.txt"));
    EXPECT_TRUE(MatchesPattern("abcabd", "*ab?")) << "the star gives back what the rest needs";
    EXPECT_FALSE(MatchesPattern("abc", "*ab?d"));
    EXPECT_FALSE(HasWildcard("C:\\Acme\\app.exe"));
    EXPECT_TRUE(HasWildcard("a?.txt"));
}

TEST(UninstallPaths, WithinComparesWholeNamesIgnoringCase) {
    EXPECT_TRUE(IsWithin("C:\\Program Files\\Acme\\Bin\\x.exe", "c:\\program files\\acme\\"));
    EXPECT_TRUE(IsWithin("C:\\Program Files\\Acme\\", "C:\\Program Files\\Acme"));
    EXPECT_FALSE(IsWithin("C:\\Program Files\\Acme2\\x.exe", "C:\\Program Files\\Acme"));
    EXPECT_FALSE(IsWithin("C:\\Program Files", "C:\\Program Files\\Acme"));
    EXPECT_FALSE(IsWithin("C:\\x", "")) << "an empty directory holds nothing";
    EXPECT_TRUE(SamePath("C:\\ACME\\", "c:\\acme"));
    EXPECT_FALSE(SamePath("C:\\ACME\\a", "c:\\acme"));
}

TEST(UninstallSafety, TheSystemsFilesAndForeignIniFilesAreKept) {
    const std::string windows = "C:\\WINDOWS", target = "C:\\Program Files\\Acme";
    const auto reason = [&](const std::string& path) { return ProtectedFileReason(path, windows, target); };
    for (const char* path :
         {"C:\\WINDOWS\\WIN.INI", "C:\\WINDOWS\\system.ini", "C:\\autoexec.bat", "C:\\CONFIG.SYS",
          "C:\\autoexec.yar", "D:\\Other\\win.ini", "C:\\Program Files\\Acme\\win.ini"})
        EXPECT_EQ(reason(path), "a file of the system") << path;
    for (const char* path :
         {"C:\\WINDOWS\\acme.ini", "C:\\windows\\SYSTEM\\acme.ini", "C:\\WINDOWS\\System32\\a.ini"})
        EXPECT_EQ(reason(path), "an INI file of the system") << path;
    EXPECT_EQ(reason("C:\\Shared\\acme.ini"),
              "an INI file outside the installation directory: the values written into it stay");
    for (const char* path : {"C:\\Program Files\\Acme\\acme.ini", "C:\\Program Files\\Acme\\Bin\\app.exe",
                             "C:\\WINDOWS\\System\\acme.dll", "C:\\WINDOWS\\Desktop\\Acme App.lnk"})
        EXPECT_EQ(reason(path), "") << path;
}

TEST(UninstallSafety, RootsSharedKeysAndEverythingBelowTheSystemsOwnAreKept) {
    for (const char* key : {"", "\\", "Software", "\\Software\\", "Acme"})
        EXPECT_EQ(ProtectedKeyReason(key), "fewer than two levels below its root") << key;
    for (const char* key :
         {"Software\\Microsoft", "software\\MICROSOFT\\Windows\\CurrentVersion\\Run",
          "\\Software\\Classes\\.acme", "Software\\Policies\\Acme", "SYSTEM\\CurrentControlSet",
          "Control Panel\\Desktop", "Software\\Wow6432Node\\Microsoft\\Windows"})
        EXPECT_EQ(ProtectedKeyReason(key), "a key the system and other programs share") << key;
    for (const char* key : {"Software\\Clients", "Software\\ODBC", "Software\\Wow6432Node"})
        EXPECT_EQ(ProtectedKeyReason(key), "a key other programs share") << key;
    for (const char* key : {"Software\\Acme", "\\Software\\Acme\\Settings\\", "Software\\Clients\\Mail\\Acme",
                            "Software\\MicrosoftTools\\Acme", "Systems\\Acme"})
        EXPECT_EQ(ProtectedKeyReason(key), "") << key;
    // A key the install made directly below the root may go, unless the system keeps one of that name.
    EXPECT_EQ(ProtectedKeyReason(".acme", true), "");
    EXPECT_EQ(ProtectedKeyReason("\\Acme\\", true), "");
    EXPECT_EQ(ProtectedKeyReason("", true), "fewer than two levels below its root");
    for (const char* key : {"Software", "software", "Identities", "Volatile Environment"})
        EXPECT_EQ(ProtectedKeyReason(key, true), "a key of the system") << key;
    for (const char* key : {"System", "Control Panel", "Environment"})
        EXPECT_EQ(ProtectedKeyReason(key, true), "a key the system and other programs share") << key;
}

TEST(UninstallRecordKeys, RootsAreChosenAsTheInstallWroteThem) {
    EXPECT_EQ(RootedKeyOf("HKEY_LOCAL_MACHINE\\Software\\Acme"),
              (TRootedKey{rrLocalMachine, "Software\\Acme"}));
    EXPECT_EQ(RootedKeyOf("hkey_local_machine\\Software\\Acme"),
              (TRootedKey{rrLocalMachine, "Software\\Acme"}));
    EXPECT_EQ(RootedKeyOf("HKEY_CLASSES_ROOT\\.acme"), (TRootedKey{rrCurrentUser, ".acme"}));
    EXPECT_EQ(RootedKeyOf("HKEY_CURRENT_USER\\Software\\HKEY_LOCAL_MACHINE"),
              (TRootedKey{rrLocalMachine, "Software\\HKEY_LOCAL_MACHINE"}))
        << "the name anywhere in the path chooses the machine's root";
    EXPECT_EQ(RootedKeyOf("Software\\Acme\\"), (TRootedKey{rrCurrentUser, "Software\\Acme\\"}));
    EXPECT_EQ(RootedKeyOf("HKEY_LOCAL_MACHINE"), (TRootedKey{rrLocalMachine, "HKEY_LOCAL_MACHINE"}));
}

TEST(UninstallCommand, TheRegistrationsCommandNamesItsProgram) {
    EXPECT_EQ(UninstallProgramOf(UninstallString("C:\\Program Files\\Acme", "Acme Tools")),
              "C:\\Program Files\\Acme\\uninstaller.exe");
    EXPECT_EQ(UninstallProgramOf(UninstallString("C:\\Acme", "Acme Tools")), "C:\\Acme\\uninstaller.exe");
    EXPECT_EQ(UninstallProgramOf("C:\\Acme.exeroot\\UNINST.EXE"), "C:\\Acme.exeroot\\UNINST.EXE");
    EXPECT_EQ(UninstallProgramOf("\"C:\\Acme\\u.exe"), "") << "an unclosed quote names nothing";
    EXPECT_EQ(UninstallProgramOf("rundll32"), "");
}

TEST(UninstallCommand, SilenceAndTheHelperAreReadFromTheCommandLine) {
    EXPECT_EQ(ParseUninstallCommand("\"C:\\Program Files\\Acme\\uninstaller.exe\" Acme Tools"),
              TUninstallCommand{});
    EXPECT_TRUE(ParseUninstallCommand("uninstaller.exe Acme /s").Silent);
    EXPECT_FALSE(ParseUninstallCommand("\"C:\\x /S\\uninstaller.exe\" Acme").Silent)
        << "a quoted blank does not split the program's path";
    const std::string helper =
        "C:\\TEMP\\yun1.tmp " + RemoveAfterArguments(1234, "C:\\Program Files\\A\\u.exe", false);
    EXPECT_EQ(ParseUninstallCommand(helper),
              (TUninstallCommand{false, 1234, "C:\\Program Files\\A\\u.exe", false}));
    EXPECT_EQ(ParseUninstallCommand("C:\\TEMP\\yun1.tmp " +
                                    RemoveAfterArguments(1234, "C:\\Program Files\\A\\u.exe", true)),
              (TUninstallCommand{false, 1234, "C:\\Program Files\\A\\u.exe", true}))
        << "the directory goes too only when the install made it";
    EXPECT_EQ(ParseUninstallCommand("u.exe /REMOVE-AFTER 12x C:\\u.exe").WaitFor, 0u);
    EXPECT_EQ(ParseUninstallCommand("u.exe /REMOVE-AFTER 99999999999999999999 C:\\u.exe").WaitFor, 0u);
    EXPECT_EQ(ParseUninstallCommand("u.exe /REMOVE-AFTER 12").WaitFor, 0u) << "the file is missing";
}

TEST(UninstallMessages, TheQuestionNamesTheProduct) {
    EXPECT_EQ(RemoveQuestion("Acme Tools"), "Remove Acme Tools and all of its components?");
}

TEST(UninstallMessages, AnUntrustedRecordSaysWhyAndThatNothingWasRemoved) {
    EXPECT_EQ(UntrustedRecordMessage("C:\\Acme\\uninstall.cfg", "Everyone may change it"),
              "The uninstall information C:\\Acme\\uninstall.cfg cannot be trusted: Everyone may change it. "
              "Nothing was removed.");
}

TEST(UninstallLinks, EveryLevelIsCheckedBelowTheInstallationDirectoryOrElseBelowTheDrivesRoot) {
    const std::string acme = "C:\\Program Files\\Acme";
    EXPECT_EQ(PathsThatMustNotBeLinks("C:\\Program Files\\Acme\\Bin\\Deep\\tool.exe", acme),
              (std::vector<std::string>{"C:\\Program Files\\Acme\\Bin", "C:\\Program Files\\Acme\\Bin\\Deep",
                                        "C:\\Program Files\\Acme\\Bin\\Deep\\tool.exe"}));
    EXPECT_EQ(PathsThatMustNotBeLinks("C:\\Program Files\\Acme\\app.exe", acme),
              (std::vector<std::string>{"C:\\Program Files\\Acme\\app.exe"}));
    EXPECT_EQ(PathsThatMustNotBeLinks(acme, acme), std::vector<std::string>{}) << "checked with the record";
    EXPECT_EQ(
        PathsThatMustNotBeLinks("C:\\WINDOWS\\System\\shared.dll", acme),
        (std::vector<std::string>{"C:\\WINDOWS", "C:\\WINDOWS\\System", "C:\\WINDOWS\\System\\shared.dll"}));
    EXPECT_EQ(PathsThatMustNotBeLinks("C:\\Program Files\\Acme Tools\\x", acme),
              (std::vector<std::string>{"C:\\Program Files", "C:\\Program Files\\Acme Tools",
                                        "C:\\Program Files\\Acme Tools\\x"}));
    // A link one level higher than the file's directory would lead the uninstall elsewhere as well.
    EXPECT_EQ(PathsThatMustNotBeLinks("C:\\Users\\ann\\Start Menu\\Programs\\Acme\\Acme.lnk", acme).front(),
              "C:\\Users");
    EXPECT_EQ(PathsThatMustNotBeLinks("C:\\x.txt", acme), (std::vector<std::string>{"C:\\x.txt"}));
}

} // namespace
} // namespace yar
