// The uninstall record both ways: what the install writes, read back as the uninstaller reads it.
#include "engine/UninstallRecord.h"

#include "SystemTestSupport.h"
#include "config/SetupConfig.h"
#include "system/HostFiles.h"
#include "system/HostIniFiles.h"
#include "system/MemoryRegistry.h"
#include "util/Paths.h"

#include <gtest/gtest.h>

#include <map>

namespace yar {
namespace {

using TLines = std::vector<std::string>;

constexpr const char* kTarget = "C:\\Program Files\\Acme";

class UninstallRecord : public ::testing::Test {
protected:
    void SetUp() override { Files.ForceDirectories(kTarget); }

    TUninstallData ReadBack(const std::string& dir) const {
        const auto lines = Files.ReadLines(JoinPath(dir, kUninstallRecordName));
        EXPECT_TRUE(lines.has_value());
        const auto data = ParseUninstallRecord(lines.value_or(TLines{}), dir);
        EXPECT_TRUE(data.has_value());
        return data.value_or(TUninstallData{});
    }

    test::TTestDir Dir{"yar-record"};
    THostFiles Files{Dir / "machine"};
    THostIniFiles Ini{Files};
    TMemoryRegistry Registry;
};

// Records of each kind as the install writes them: blanks, patterns, keys with and without a root.
const std::map<TRecordKind, TLines> kSamples = {
    {rkFile,
     {"C:\\Program Files\\Acme\\app.exe", "C:\\WINDOWS\\Desktop\\Acme Tools.*", "C:\\WINDOWS\\acme.ini"}},
    {rkFolder, {"C:\\WINDOWS\\Start Menu\\Programs\\Acme", "C:\\WINDOWS\\Desktop\\Acme"}},
    {rkRegistryKey,
     {"HKEY_LOCAL_MACHINE\\Software\\Acme", "Software\\Acme Tools", "HKEY_CLASSES_ROOT\\.acme"}},
    {rkMadeKey,
     {"HKEY_CURRENT_USER\\.acme", "HKEY_LOCAL_MACHINE\\Acme", "HKEY_LOCAL_MACHINE\\Software\\Vendor"}},
    {rkMadeDirectory,
     {"C:\\Program Files\\Acme", "C:\\Program Files\\Acme\\Bin", "C:\\WINDOWS\\Start Menu\\Programs\\Acme"}},
};

TEST_F(UninstallRecord, EveryKindOfRecordReadsBackAsWritten) {
    TUninstallRecord record(Ini, kTarget);
    record.Open("Acme Tools");
    for (const TRecordSection& section : kRecordSections) {
        ASSERT_TRUE(kSamples.contains(section.Kind)) << section.Name << " has no sample records";
        for (const std::string& key : kSamples.at(section.Kind)) record.Add(section.Kind, key);
        record.Add(section.Kind, kSamples.at(section.Kind).front()); // kept once
    }
    record.Flush();

    const TUninstallData data = ReadBack(IncludeTrailingDelimiter(kTarget));
    EXPECT_EQ(data.Title, "Acme Tools");
    EXPECT_EQ(data.TargetDir, kTarget);
    for (const TRecordSection& section : kRecordSections) {
        TLines expected = kSamples.at(section.Kind);
        if (section.Kind == rkFile)
            expected.insert(expected.begin(),
                            {"C:\\Program Files\\Acme\\*.*", "C:\\Program Files\\Acme\\Setup\\*.*"});
        EXPECT_EQ(data.*section.Records, expected) << section.Name;
    }
}

TEST_F(UninstallRecord, OpeningAgainDropsTheEarlierInstallsRecordsButTheKeysItMade) {
    TUninstallRecord first(Ini, kTarget);
    first.Open("Acme");
    for (const auto& [kind, keys] : kSamples)
        for (const std::string& key : keys) first.Add(kind, key);
    first.Flush();

    TUninstallRecord(Ini, kTarget).Open("Acme Tools");
    const TUninstallData data = ReadBack(kTarget);
    EXPECT_EQ(data.Title, "Acme Tools");
    EXPECT_EQ(data.Files, (TLines{"C:\\Program Files\\Acme\\*.*", "C:\\Program Files\\Acme\\Setup\\*.*"}));
    EXPECT_EQ(data.Folders, TLines{});
    EXPECT_EQ(data.RegistryKeys, TLines{});
    EXPECT_EQ(data.MadeKeys, kSamples.at(rkMadeKey)) << "the install over it finds them already there";
    EXPECT_EQ(data.MadeDirectories, kSamples.at(rkMadeDirectory)) << "and the directories";
}

TEST_F(UninstallRecord, TheInstallsLanguageReadsBackAndAnInstallOverItInEnglishDropsIt) {
    TUninstallRecord(Ini, kTarget).Open("Acme", "ja");
    EXPECT_EQ(ReadBack(kTarget).Language, "ja");
    TUninstallRecord(Ini, kTarget).Open("Acme Tools", "en");
    const TUninstallData data = ReadBack(kTarget);
    EXPECT_EQ(data.Language, "en");
    EXPECT_EQ(data.Title, "Acme Tools");
    // An English install writes the record as it always has: no key for the language.
    const auto lines = Files.ReadLines(JoinPath(kTarget, kUninstallRecordName));
    ASSERT_TRUE(lines.has_value());
    for (const std::string& line : *lines) EXPECT_EQ(line.find("Language"), std::string::npos) << line;
}

// Records wait for the flush; a flush writes each section once, the sections new to the file in the order
// of their first record, and a key met again (in the file or the same batch) is kept once. A flush that
// cannot write says so and keeps its records for the next.
TEST_F(UninstallRecord, RecordsAreWrittenWhenFlushedSectionsInTheOrderOfTheirFirstRecord) {
    const std::string path = JoinPath(kTarget, kUninstallRecordName);
    TUninstallRecord record(Ini, kTarget);
    record.Open("Acme");
    const auto before = Files.ReadLines(path);
    record.AddMadeDirectory("C:\\Program Files\\Acme\\Bin");
    record.AddFile("C:\\Program Files\\Acme\\app.exe");
    record.AddFolder("C:\\WINDOWS\\Start Menu\\Programs\\Acme");
    record.AddFile("C:\\PROGRAM FILES\\ACME\\APP.EXE");
    record.AddFile("C:\\Program Files\\Acme\\*.*");
    EXPECT_EQ(Files.ReadLines(path), before) << "nothing written before the flush";

    ASSERT_TRUE(Files.SetAttributes(path, faReadOnly));
    try {
        record.Flush();
        ADD_FAILURE() << "a read-only record was written";
    } catch (const EInstallError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
    ASSERT_TRUE(Files.SetAttributes(path, 0));
    record.Flush();
    EXPECT_EQ(Files.ReadLines(path),
              (TLines{"[Program]", "Title=Acme", "[UNINS]", "C:\\Program Files\\Acme\\*.*=",
                      "C:\\Program Files\\Acme\\Setup\\*.*=", "C:\\Program Files\\Acme\\app.exe=",
                      "[Directories - Made]", "C:\\Program Files\\Acme\\Bin=", "[Folders]",
                      "C:\\WINDOWS\\Start Menu\\Programs\\Acme="}));
    const auto flushed = Files.ReadLines(path);
    record.Flush();
    EXPECT_EQ(Files.ReadLines(path), flushed) << "nothing left to write";
}

TEST_F(UninstallRecord, AnOlderRecordWithoutALanguageReadsAsEnglish) {
    const auto data = ParseUninstallRecord({"[Program]", "Title=Acme", "[UNINS]", "C:\\Acme\\*.*="}, kTarget);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->Language, "en");
}

TEST_F(UninstallRecord, AnOlderRecordWithoutTheMadeDirectoriesReadsWithNone) {
    const auto data =
        ParseUninstallRecord({"[Program]", "Title=Acme", "[UNINS]", "C:\\Acme\\*.*=", "[Folders]",
                              "C:\\WINDOWS\\Start Menu\\Programs\\Acme="},
                             kTarget);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->MadeDirectories, TLines{});
    EXPECT_EQ(data->Folders, TLines{"C:\\WINDOWS\\Start Menu\\Programs\\Acme"});
}

TEST_F(UninstallRecord, MissingDirectoriesAreTheLevelsNotThereTheDeepestFirst) {
    EXPECT_EQ(MissingDirectoryLevels(Files, "C:\\Program Files\\Acme\\Bin\\Deep\\"),
              (TLines{"C:\\Program Files\\Acme\\Bin\\Deep", "C:\\Program Files\\Acme\\Bin"}));
    EXPECT_EQ(MissingDirectoryLevels(Files, kTarget), TLines{});
    EXPECT_EQ(MissingDirectoryLevels(Files, "D:\\New"), TLines{"D:\\New"}) << "a drive is never made";
}

TEST_F(UninstallRecord, TextTheInstallDidNotWriteIsNoRecord) {
    EXPECT_FALSE(ParseUninstallRecord({"[UNINS]", "C:\\Acme\\*.*="}, kTarget)) << "no title";
    EXPECT_FALSE(ParseUninstallRecord({"[Program]", "Title=Acme", "[Folders]", "C:\\Acme="}, kTarget))
        << "no files";
    EXPECT_FALSE(ParseUninstallRecord(
        {"[Program]", "Title=Acme", std::string("[UNINS]\0", 8), "C:\\Acme\\*.*="}, kTarget))
        << "a NUL";
    EXPECT_TRUE(ParseUninstallRecord({"[Program]", "Title=Acme", "[UNINS]", "C:\\Acme\\*.*="}, kTarget));
}

TEST_F(UninstallRecord, TheRegistrationNamesTheUninstallerAndTheTitleItWasGiven) {
    // With blanks the command quotes the program; without, it does not.
    for (const auto& [target, title] :
         {std::pair<std::string, std::string>{"C:\\Program Files\\Acme", "Acme Tools"},
          {"C:\\Acme", "Acme"}}) {
        TUninstallEntry entry;
        entry.TargetDir = target;
        entry.Title = title;
        const std::string key = UninstallKey(title);
        EXPECT_FALSE(RegisterUninstaller(Files, Registry, entry));
        EXPECT_EQ(RegisteredUninstaller(Registry, key), "") << "no uninstaller, no entry";
        EXPECT_EQ(RegisteredTitle(Registry, key), std::nullopt);

        const std::string uninstaller = JoinPath(target, kUninstallerName);
        Files.ForceDirectories(target);
        test::PutBytes(Files.HostPath(uninstaller), "MZ");
        test::PutBytes(Files.HostPath(JoinPath(target, kUninstallRecordName)),
                       "[Program]\r\nTitle=" + title + "\r\n");
        ASSERT_TRUE(RegisterUninstaller(Files, Registry, entry));
        EXPECT_EQ(RegisteredUninstaller(Registry, key), uninstaller);
        EXPECT_EQ(RegisteredTitle(Registry, key), title);
        EXPECT_EQ(
            UninstallProgramOf(Registry.ReadString(rrLocalMachine, key, "QuietUninstallString").value_or("")),
            uninstaller)
            << "the quiet command starts the same program";
    }
}

TEST_F(UninstallRecord, TheRegistrationHoldsTheDigestOfTheRecordAsTheInstallLeftIt) {
    TUninstallEntry entry;
    entry.TargetDir = kTarget;
    entry.Title = "Acme Tools";
    test::PutBytes(Files.HostPath(JoinPath(kTarget, kUninstallerName)), "MZ");
    EXPECT_THROW(RegisterUninstaller(Files, Registry, entry), EInstallError) << "no record to digest";
    EXPECT_EQ(RegisteredRecordDigest(Registry, UninstallKey("Acme Tools")), std::nullopt);

    test::PutBytes(Files.HostPath(JoinPath(kTarget, kUninstallRecordName)), "abc");
    ASSERT_TRUE(RegisterUninstaller(Files, Registry, entry));
    // SHA-256 of "abc", in the value the uninstaller reads.
    EXPECT_EQ(Registry.ReadString(rrLocalMachine, UninstallKey("Acme Tools"), "UninstallRecordSHA256"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(RegisteredRecordDigest(Registry, UninstallKey("Acme Tools")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

// The made keys' records and the uninstaller's report spell a key with its root's name; the install
// reads them back by the same rule.
TEST(UninstallRecordKeys, TheRootNamesReadBackAsTheirRoots) {
    for (const TRegRoot root : {rrLocalMachine, rrCurrentUser})
        EXPECT_EQ(RootedKeyOf(RootedKeyName(root, "Software\\\\Acme\\")),
                  (TRootedKey{root, "Software\\Acme"}))
            << RootName(root);
}

TEST(UninstallRegistration, TheCommandQuotesAPathWithBlanks) {
    EXPECT_EQ(UninstallString("C:\\Program Files\\Acme", "Acme Tools"),
              "\"C:\\Program Files\\Acme\\uninstaller.exe\" Acme Tools");
    EXPECT_EQ(UninstallString("C:\\Acme", "Acme"), "C:\\Acme\\uninstaller.exe Acme");
    EXPECT_EQ(UninstallKey("Acme"), "\\Software\\Microsoft\\Windows\\currentversion\\uninstall\\Acme");
}

TEST(UninstallRegistration, TheQuietCommandKeepsTheProgramAndItsQuotes) {
    EXPECT_EQ(QuietUninstallString(UninstallString("C:\\Program Files\\Acme", "Acme Tools")),
              "\"C:\\Program Files\\Acme\\uninstaller.exe\" /S");
    EXPECT_EQ(QuietUninstallString(UninstallString("C:\\Acme", "Acme Tools")),
              "C:\\Acme\\uninstaller.exe /S");
    // An entry written by an earlier install, its path with blanks unquoted.
    EXPECT_EQ(QuietUninstallString("C:\\Program Files\\Acme\\uninstaller.exe Acme Tools"),
              "\"C:\\Program Files\\Acme\\uninstaller.exe\" /S");
}

} // namespace
} // namespace yar
