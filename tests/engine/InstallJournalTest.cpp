// The install's journal: its records as text, and whole installs stopped, or killed, at every change they
// make, after which the machine (files, INI files, registry) must be exactly as it was before.
#include "engine/InstallJournal.h"

#include "FaultySystem.h"
#include "InstallTestSupport.h"
#include "SystemTestSupport.h"
#include "engine/InstallEngine.h"
#include "engine/UninstallRecord.h"
#include "system/HostFiles.h"
#include "system/HostIniFiles.h"
#include "system/MemoryRegistry.h"
#include "system/ShellFolders.h"
#include "system/Streams.h"
#include "util/Paths.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace yar {
namespace {

using test::TLines;

TEST(InstallJournal, EveryRecordReadsBackAndACutOneNever) {
    const auto entry = [](TJournalKind kind, std::string path, TRegRoot root = rrCurrentUser,
                          std::string name = {}, std::optional<TPriorValue> before = std::nullopt) {
        TJournalEntry e;
        e.Kind = kind;
        e.Path = std::move(path);
        e.Root = root;
        e.Name = std::move(name);
        e.Before = std::move(before);
        return e;
    };
    TJournalEntry replaced = entry(jkReplacedFile, "C:\\WINDOWS\\acme.ini");
    replaced.Backup = "C:\\J\\backup-1";
    replaced.Attributes = 0x21;
    TJournalEntry made = entry(jkMade, "C:\\Acme\\app.exe");
    made.Made = {0xFFFFFFFFFFFFFFFFull, 42};
    TJournalEntry undone = entry(jkUndone, "");
    undone.Undone = {0, 7, 12};
    const std::vector<TJournalEntry> entries{
        entry(jkNewFile, "C:\\Acme\\app.exe"),
        replaced,
        entry(jkNewDirectory, "C:\\Acme\\Tab\there"),
        entry(jkRunDirectory, "C:\\WINDOWS\\Temp\\yar-run"),
        entry(jkNewKey, "Software\\Acme", rrLocalMachine),
        entry(jkValue, "Software\\Old", rrCurrentUser, "Path"),
        entry(jkValue, "Software\\Old", rrCurrentUser, "",
              TPriorValue{false, "line\r\nand \\ back\\slash\t", 0, std::nullopt}),
        entry(jkValue, "Software\\Old", rrClassesRoot, "Count",
              TPriorValue{true, {}, 4294967295U, std::nullopt}),
        entry(jkValue, "Software\\Old", rrUsers, "Raw",
              TPriorValue{false, {}, 0, TRegValue{3, std::string("\0\t\r\n\xff\\", 6)}}),
        entry(jkValue, "Software\\Old", rrCurrentUser, "Empty",
              TPriorValue{false, {}, 0, TRegValue{4294967295U, {}}}),
        made,
        entry(jkMadeKey, "Software\\Acme", rrLocalMachine),
        undone,
    };
    for (const TJournalEntry& record : entries) {
        const std::string line = JournalLine(record);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        EXPECT_EQ(ParseJournalLine(line), record) << line;
        // The machine may stop at any byte of a record: a cut record is no record.
        for (std::size_t cut = 0; cut < line.size(); ++cut)
            EXPECT_EQ(ParseJournalLine(line.substr(0, cut)), std::nullopt) << line.substr(0, cut);
    }
    for (const char* bad :
         {"", "\t", "unknown\tx\t", "new-file\tC:\\a\tC:\\b\t", "value\tHKEY_NOWHERE\tk\tn\tabsent\t",
          "value\tHKEY_CURRENT_USER\tk\tn\tnumber\t12x\t", "value\tHKEY_CURRENT_USER\tk\tn\ttyped\t3\t0\t",
          "value\tHKEY_CURRENT_USER\tk\tn\ttyped\t3\tAB\t", "value\tHKEY_CURRENT_USER\tk\tn\ttyped\tx\t00\t",
          "new-file\tC:\\a\\q\t", "made\tC:\\a\t1\t", "made\tC:\\a\t0000000000000001\t00000000000000g0\t",
          "undone\t1\tx\t", "undone\t2\t3\t"})
        EXPECT_EQ(ParseJournalLine(bad), std::nullopt) << bad;
}

// A machine with an earlier version of the product and the values it will change, and an install of the
// product that touches every kind of thing: directories, new and replaced files, shortcut folders, an INI
// file that exists and one that does not, registry values that exist and keys that do not, AUTOEXEC.BAT,
// the uninstall record and its registration.
class Rollback : public ::testing::Test {
protected:
    static constexpr const char* kWorkDir = "C:\\WINDOWS\\Temp\\yar-run";
    static constexpr const char* kTarget = "C:\\Program Files\\Acme";
    static constexpr const char* kJournal = "C:\\Journals\\install-1";

    struct TMachine {
        explicit TMachine(const std::string& root) : Files(root) {}
        THostFiles Files;
        test::TFaultyFiles Faulty{Files};
        THostIniFiles Ini{Faulty};
        TMemoryRegistry Registry;
        test::TFaultyRegistry FaultyRegistry{Registry};
        TRecordedShellLinks Links;
        TRecordedLauncher Launcher;
        test::TProgressLog Progress;
    };

    void SetUp() override {
        Config.Header = "Acme Tools";
        Config.DirectoryEntries = {"<INSTALLDIR>", "<SUB1><INSTALLDIR>~Bin", "<ALT1>~Shared"};
        Config.FileEntries = {"app.exe~<INSTALLDIR>~", "tool.exe~<SUB1><INSTALLDIR>~", "data.dat~<ALT1>~",
                              "uninstaller.exe~<INSTALLDIR>~"};
        Config.DesktopEntries = {"Acme App~<INSTALLDIR>app.exe~X~X~<INSTALLDIR>app.exe~Acme"};
        Config.IniSetupEntries = {"acme.ini~Paths~Home~<INSTALLDIR>", "new.ini~Main~Dir~<INSTALLDIR>",
                                  "HKEY_LOCAL_MACHINE\\Software\\Acme~Settings\\~Path~<INSTALLDIR>app.exe",
                                  "HKEY_CURRENT_USER\\Software\\Acme New~Options\\~Level~3"};
        Config.AutoexecLines = {"set acme=<INSTALLDIR>"};
        Config.Launch = "<INSTALLDIR>app.exe";
        State.WorkDir = kWorkDir;
        State.RootDir = "C:\\";
        Choices.MainDir = kTarget;
        Choices.Folders = {"Acme", true, false};
        Choices.DesktopShortcuts = {{"Acme App", true}};
    }

    // What another account left at the name of something the install makes new: nothing, or a directory,
    // a read-only file or a link at the AUTOEXEC.BAT backup's name (a file), a file where a directory is
    // made, a directory at a new INI file's name and at a shortcut's.
    enum TPlant {
        plNone,
        plDirectory,
        plReadOnlyFile,
        plLink,
        plFileForDirectory,
        plIniDirectory,
        plShortcutDirectory
    };
#ifdef _WIN32
    // Wine makes no host link for a Windows program: the link is planted in the native build, and by the
    // end-to-end case from outside.
    static constexpr std::array kPlants{
        plNone, plDirectory, plReadOnlyFile, plFileForDirectory, plIniDirectory, plShortcutDirectory};
#else
    static constexpr std::array kPlants{
        plNone, plDirectory, plReadOnlyFile, plLink, plFileForDirectory, plIniDirectory, plShortcutDirectory};
#endif
    static constexpr const char* kVictim = "C:\\victim.txt";
    static std::string PlantPath(TPlant plant) {
        switch (plant) {
        case plNone:
            break;
        case plDirectory:
        case plReadOnlyFile:
        case plLink:
            return "C:\\autoexec.yar";
        case plFileForDirectory:
            return "C:\\Shared";
        case plIniDirectory:
            return "C:\\WINDOWS\\new.ini";
        case plShortcutDirectory:
            return "C:\\WINDOWS\\Start Menu\\Programs\\Acme\\Acme App.lnk";
        }
        return {};
    }
    void PlantIn(TMachine& m, TPlant plant) {
        Planted = PlantPath(plant);
        THostFiles& f = m.Files;
        switch (plant) {
        case plNone:
            return;
        case plDirectory:
        case plIniDirectory:
        case plShortcutDirectory:
            f.ForceDirectories(Planted);
            test::PutBytes(f.HostPath(JoinPath(Planted, "mine.txt")), "another account's");
            return;
        case plReadOnlyFile:
            test::PutBytes(f.HostPath(Planted), "another account's");
            ASSERT_TRUE(f.SetAttributes(Planted, faReadOnly));
            return;
        case plLink:
            test::PutBytes(f.HostPath(kVictim), "the victim's");
            std::filesystem::create_symlink(f.HostPath(kVictim), f.HostPath(Planted));
            return;
        case plFileForDirectory:
            test::PutBytes(f.HostPath(Planted), "another account's");
            return;
        }
    }

    // A fresh machine below the test's directory, one per run.
    std::unique_ptr<TMachine> NewMachine(int run, TPlant plant = plNone) {
        auto m = std::make_unique<TMachine>(Dir /
                                            ("machine-" + std::to_string(plant) + "-" + std::to_string(run)));
        THostFiles& f = m->Files;
        const auto put = [&](const std::string& path, const std::string& bytes) {
            f.ForceDirectories(ExtractFileDir(path));
            test::PutBytes(f.HostPath(path), bytes);
        };
        for (const char* name :
             {"install.exe", "install.cfg", "app.exe", "tool.exe", "data.dat", "uninstaller.exe"})
            put(JoinPath(kWorkDir, name), std::string("new ") + name);
        put(JoinPath(kTarget, "app.exe"), "old app.exe");
        put(JoinPath(kTarget, "readme.txt"), "the user's notes");
        put("C:\\WINDOWS\\acme.ini", "[Paths]\r\nHome=C:\\Old\\\r\n[Other]\r\nKeep=1\r\n");
        put("C:\\autoexec.bat", "@ECHO OFF\r\nPATH C:\\DOS\r\n");
        f.ForceDirectories(kJournal);
        TMemoryRegistry& r = m->Registry;
        EXPECT_TRUE(r.CreateKey(rrCurrentUser, kShellFoldersKey));
        EXPECT_TRUE(
            r.WriteString(rrCurrentUser, kShellFoldersKey, "Programs", "C:\\WINDOWS\\Start Menu\\Programs"));
        EXPECT_TRUE(r.CreateKey(rrLocalMachine, "Software\\Acme\\Settings"));
        EXPECT_TRUE(r.WriteString(rrLocalMachine, "Software\\Acme\\Settings", "Path", "C:\\Old\\app.exe"));
        EXPECT_TRUE(r.WriteInteger(rrLocalMachine, "Software\\Acme\\Settings", "Runs", 7));
        PlantIn(*m, plant);
        return m;
    }

    // Every file with its bytes (the working directory and the journal's own directory aside: both are the
    // run's), every key, the values the install touches, and the planted object's attributes.
    std::string Snapshot(TMachine& m) const {
        std::ostringstream out;
        if (!Planted.empty()) out << "planted " << m.Files.Attributes(Planted).value_or(0) << "\n";
        std::istringstream tree(test::TreeOf(m.Files.Root()));
        for (std::string line; std::getline(tree, line);)
            if (line.find("/yar-run") == std::string::npos && line.find("/install-1") == std::string::npos)
                out << line.substr(m.Files.Root().size()) << "\n";
        const auto keys = [&](const auto& self, TRegRoot root, const std::string& key) -> void {
            for (const std::string& name : m.Registry.SubKeyNames(root, key)) {
                const std::string path = key.empty() ? name : key + "\\" + name;
                out << RootedKeyName(root, path) << "\n";
                self(self, root, path);
            }
        };
        for (const TRegRoot root : {rrLocalMachine, rrCurrentUser, rrClassesRoot}) keys(keys, root, "");
        out << m.Registry.ReadString(rrLocalMachine, "Software\\Acme\\Settings", "Path").value_or("-") << " "
            << m.Registry.ReadInteger(rrLocalMachine, "Software\\Acme\\Settings", "Runs").value_or(0) << "\n";
        return out.str();
    }

    void RefuseEachChange(TPlant plant);
    void KillAtEachChange(TPlant plant);

    // The empty file or directory, or the key, that the last record of a killed install's journal was
    // about to make and that is there; empty when there is none.
    static std::string UnrecordedLeftover(TMachine& m, const TJournalEntry& last) {
        switch (last.Kind) {
        case jkNewFile:
            return m.Files.FileSize(last.Path) == 0 ? last.Path : "";
        case jkNewDirectory:
            return m.Files.DirectoryExists(last.Path) && m.Files.EntryNames(last.Path).empty() ? last.Path
                                                                                               : "";
        case jkNewKey:
            return m.Registry.KeyExists(last.Root, last.Path) &&
                           m.Registry.SubKeyNames(last.Root, last.Path).empty()
                       ? RootedKeyName(last.Root, last.Path)
                       : "";
        default:
            return "";
        }
    }
    static void RemoveUnrecorded(TMachine& m, const TJournalEntry& last) {
        if (last.Kind == jkNewKey)
            EXPECT_TRUE(m.Registry.DeleteKey(last.Root, last.Path));
        else
            EXPECT_TRUE(m.Files.RemoveFile(last.Path) || m.Files.RemoveEmptyDirectory(last.Path));
    }

    TInstallOutcome Run(TMachine& m) {
        TInstallEngine engine(Config, State,
                              {m.Faulty, m.Ini, m.FaultyRegistry, m.Links, m.Launcher, std::string(kJournal)},
                              m.Progress);
        return engine.RunInstall(Choices);
    }

    test::TTestDir Dir{"yar-journal"};
    std::string Planted;
    SetupConfig Config;
    SetupState State;
    TInstallChoices Choices;
};

TEST_F(Rollback, ACompleteInstallLeavesNoJournal) {
    const auto m = NewMachine(0);
    ASSERT_EQ(Run(*m), ioInstalled);
    EXPECT_EQ(test::GetBytes(m->Files.HostPath("C:\\Program Files\\Acme\\app.exe")), "new app.exe");
    EXPECT_FALSE(m->Files.DirectoryExists(kJournal)) << "the journal and its backups are gone";
    EXPECT_TRUE(m->Files.DirectoryExists("C:\\Journals"));
}

// The change at position n refused as the system would refuse it; a change the install cannot do
// without stops it, and the stop undoes every change before it.
TEST_F(Rollback, AStopAtAnyChangeLeavesTheMachineAsItWas) {
    for (const TPlant plant : kPlants) RefuseEachChange(plant);
}

void Rollback::RefuseEachChange(TPlant plant) {
    SCOPED_TRACE("plant " + std::to_string(plant));
    int stopped = 0;
    for (int n = 0;; ++n) {
        const auto m = NewMachine(n, plant);
        const std::string before = Snapshot(*m);
        int calls = 0;
        // Changes of the install only: once it has stopped, its undoing is not refused.
        const test::TChangeHook refuseNth = [&, progress = &m->Progress](const std::string&,
                                                                         const std::string&) {
            return progress->Only("stopped ").empty() && calls++ == n;
        };
        m->Faulty.BeforeChange = refuseNth;
        m->FaultyRegistry.BeforeChange = refuseNth;
        const TInstallOutcome outcome = Run(*m);
        if (calls <= n) break; // no change left to refuse
        m->Faulty.BeforeChange = nullptr;
        m->FaultyRegistry.BeforeChange = nullptr;
        if (outcome == ioInstalled) continue; // a change the install does without (a file left out ...)
        ++stopped;
        EXPECT_EQ(Snapshot(*m), before) << "refused change " << n;
        // Told once, with nothing left; not at all when the refused change was the first.
        EXPECT_LE(m->Progress.Only("rolled back").size(), 1U) << "refused change " << n;
        for (const std::string& left : m->Progress.Only("rolled back"))
            EXPECT_EQ(left, "") << "refused change " << n;
        EXPECT_FALSE(m->Files.DirectoryExists(kJournal)) << "refused change " << n;
    }
    EXPECT_GT(stopped, 10)
        << "the registry's, the INI files', AUTOEXEC.BAT's and the journal's failures stop";
    // The plant, where it stops the install, stops it with no change refused: untouched, nothing told.
    const auto m = NewMachine(-1, plant);
    const std::string before = Snapshot(*m);
    if (Run(*m) == ioStopped) {
        EXPECT_EQ(Snapshot(*m), before);
        EXPECT_EQ(m->Progress.Only("rolled back"), TLines{""});
        EXPECT_FALSE(m->Files.DirectoryExists(kJournal));
    }
    if (plant == plLink) {
        EXPECT_EQ(test::GetBytes(m->Files.HostPath(kVictim)), "the victim's");
    }
}

// Killed at any change: the journal on the disk is all that is left, and the next run undoes it.
TEST_F(Rollback, AKilledInstallIsUndoneFromItsJournal) {
    for (const TPlant plant : kPlants) KillAtEachChange(plant);
}

void Rollback::KillAtEachChange(TPlant plant) {
    SCOPED_TRACE("plant " + std::to_string(plant));
    int unrecorded = 0;
    for (int n = 0;; ++n) {
        const auto m = NewMachine(n, plant);
        const std::string before = Snapshot(*m);
        int calls = 0;
        const test::TChangeHook killAtNth = [&](const std::string&, const std::string&) {
            if (calls++ == n) throw std::runtime_error("killed");
            return false;
        };
        m->Faulty.BeforeChange = killAtNth;
        m->FaultyRegistry.BeforeChange = killAtNth;
        try {
            Run(*m);
            break; // ran to its end before the n-th change
        } catch (const std::runtime_error& e) {
            ASSERT_STREQ(e.what(), "killed");
        }
        m->Faulty.BeforeChange = nullptr;
        m->FaultyRegistry.BeforeChange = nullptr;
        if (!HasJournal(m->Files, kJournal)) continue; // killed after the install was complete
        const std::vector<TJournalEntry> entries = ReadJournal(m->Files, kJournal);
        EXPECT_EQ(ReplayJournal(m->Files, m->Registry, kJournal), TLines{}) << "killed at change " << n;
        EXPECT_FALSE(m->Files.DirectoryExists(kJournal)) << "killed at change " << n;
        // Killed after making a new thing but before recording it made: that one thing, empty, is not
        // known for the install's and stays.
        if (std::string left = UnrecordedLeftover(*m, entries.back()); !left.empty()) {
            ++unrecorded;
            EXPECT_NE(Snapshot(*m), before) << left;
            RemoveUnrecorded(*m, entries.back());
        }
        EXPECT_EQ(Snapshot(*m), before) << "killed at change " << n;
    }
    EXPECT_LT(unrecorded, 12) << "only a kill between making and recording leaves something";
}

TEST_F(Rollback, WhatCannotBeUndoneIsNamedAndALaterRunUndoesOnlyThat) {
    const auto m = NewMachine(0);
    const std::string before = Snapshot(*m);
    // The registration fails at its end, and the new app.exe cannot be removed any more.
    m->FaultyRegistry.BeforeChange = [&](const std::string& op, const std::string&) {
        return op == "WriteInteger";
    };
    m->Faulty.BeforeChange = [&](const std::string& op, const std::string& path) {
        return op == "RemoveFile" && path == "C:\\Program Files\\Acme\\tool.exe";
    };
    Config.FileEntries.push_back("tool.exe~<INSTALLDIR>~");
    EXPECT_EQ(Run(*m), ioStopped);
    EXPECT_EQ(m->Progress.Only("rolled back; "),
              TLines{"the new file C:\\Program Files\\Acme\\tool.exe is still there"});
    EXPECT_EQ(RolledBackMessage({"x", "y"}), "The installation was undone, except:\r- x\r- y");
    EXPECT_TRUE(m->Files.DirectoryExists(kJournal)) << "kept for what it could not undo";
    // What was undone is not undone again: the earlier app.exe, put back, is changed by hand meanwhile.
    test::PutBytes(m->Files.HostPath("C:\\Program Files\\Acme\\app.exe"), "changed since");
    m->Faulty.BeforeChange = nullptr;
    m->FaultyRegistry.BeforeChange = nullptr;
    EXPECT_EQ(ReplayJournal(m->Files, m->Registry, kJournal), TLines{});
    EXPECT_FALSE(m->Files.DirectoryExists(kJournal));
    EXPECT_EQ(test::GetBytes(m->Files.HostPath("C:\\Program Files\\Acme\\app.exe")), "changed since");
    test::PutBytes(m->Files.HostPath("C:\\Program Files\\Acme\\app.exe"), "old app.exe");
    EXPECT_EQ(Snapshot(*m), before);
}

#ifndef _WIN32 // the host's permissions and links stand for access lists and reparse points
// A killed install's journal is undone hours or days later: meanwhile a directory on its way may have
// become a link, or one another account may change. Nothing is touched there, each path left is named
// with the directory and why, and once the directory is sound again a later run undoes the rest.
TEST_F(Rollback, NothingIsUndoneThroughALinkOrWhereAnotherAccountMayChangeADirectory) {
    const auto m = NewMachine(0);
    const std::string before = Snapshot(*m);
    m->FaultyRegistry.BeforeChange = [](const std::string&, const std::string&) -> bool {
        throw std::runtime_error("killed");
    };
    EXPECT_THROW(Run(*m), std::runtime_error);
    m->FaultyRegistry.BeforeChange = nullptr;
    ASSERT_TRUE(HasJournal(m->Files, kJournal));
    const std::string target = m->Files.HostPath(kTarget);
    namespace fs = std::filesystem;
    fs::permissions(target, fs::perms::others_write, fs::perm_options::add);
    const std::string shared = "C:\\Shared";
    const std::string elsewhere = m->Files.HostPath("C:\\Elsewhere");
    fs::rename(m->Files.HostPath(shared), elsewhere);
    fs::create_directory_symlink(elsewhere, m->Files.HostPath(shared));
    // Each path left, with the directory that is not safe.
    std::map<std::string, std::string> left;
    for (const std::string& line : ReplayJournal(m->Files, m->Registry, kJournal)) {
        const std::size_t why = line.find(" (");
        const std::size_t dirEnd = line.find(" is not safe: ", why);
        ASSERT_NE(dirEnd, std::string::npos) << line;
        left[line.substr(0, why)] = line.substr(why + 2, dirEnd - why - 2);
    }
    std::map<std::string, std::string> expected;
    for (const char* name :
         {"Bin\\tool.exe", "uninstaller.exe", "install.exe", "install.cfg", "uninstall.cfg"})
        expected[std::string("the new file ") + kTarget + "\\" + name + " is still there"] = kTarget;
    expected[std::string("the new directory ") + kTarget + "\\Bin is still there"] = kTarget;
    expected[std::string("the earlier ") + kTarget + "\\app.exe could not be put back; its copy is " +
             kJournal + "\\backup-1"] = kTarget;
    expected["the new file C:\\Shared\\data.dat is still there"] = shared;
    EXPECT_EQ(test::GetBytes(elsewhere + "/data.dat"), "new data.dat") << "not removed through the link";
    EXPECT_EQ(left, expected);
    EXPECT_TRUE(m->Files.DirectoryExists(kJournal)) << "kept for what it could not undo";
    EXPECT_EQ(test::GetBytes(m->Files.HostPath(JoinPath(kTarget, "app.exe"))), "new app.exe");

    // Sound again: the rest is undone, and the journal goes. The directory moved away behind the link is
    // the other account's doing, and stays where it put it.
    fs::permissions(target, fs::perms::others_write, fs::perm_options::remove);
    fs::remove(m->Files.HostPath(shared));
    EXPECT_EQ(ReplayJournal(m->Files, m->Registry, kJournal), TLines{});
    EXPECT_FALSE(m->Files.DirectoryExists(kJournal));
    EXPECT_EQ(test::GetBytes(elsewhere + "/data.dat"), "new data.dat");
    fs::remove_all(elsewhere);
    EXPECT_EQ(Snapshot(*m), before);
}
#endif

// A key that another program makes between the install's look and its creation is not the install's: the
// undo leaves it, and says nothing of it.
TEST_F(Rollback, AKeyAnotherProgramMadeMeanwhileStays) {
    const auto m = NewMachine(0, plDirectory); // the backup of AUTOEXEC.BAT cannot be made: the install stops
    m->FaultyRegistry.BeforeChange = [&](const std::string& op, const std::string& key) {
        if (op == "CreateKey" && key == "Software\\Acme New") {
            EXPECT_TRUE(m->Registry.CreateKey(rrCurrentUser, key));
        }
        return false;
    };
    ASSERT_EQ(Run(*m), ioStopped);
    EXPECT_TRUE(m->Registry.KeyExists(rrCurrentUser, "Software\\Acme New"));
    EXPECT_FALSE(m->Registry.KeyExists(rrCurrentUser, "Software\\Acme New\\Options"))
        << "the install's own key below it goes";
    EXPECT_EQ(m->Progress.Only("rolled back"), TLines{""});
    EXPECT_FALSE(m->Files.DirectoryExists(kJournal));
}

// A file that cannot be written: Retry tries again, Ignore leaves it out (the install is incomplete, the
// earlier file stays and is not the install's), Abort stops and undoes.
TEST_F(Rollback, AFileThatCannotBeWrittenIsRetriedLeftOutOrTheInstallUndone) {
    const std::string app = "C:\\Program Files\\Acme\\app.exe";
    const auto refuseApp = [&](int times) {
        return [&, left = times](const std::string& op, const std::string& path) mutable {
            return op == "CopyFile" && path == app && left-- > 0;
        };
    };
    {
        const auto m = NewMachine(1);
        m->Faulty.BeforeChange = refuseApp(2);
        m->Progress.FileErrorAnswers = {feRetry, feRetry};
        ASSERT_EQ(Run(*m), ioInstalled);
        EXPECT_EQ(m->Progress.Only("file error ").size(), 2U);
        EXPECT_EQ(test::GetBytes(m->Files.HostPath(app)), "new app.exe");
        EXPECT_EQ(State.FilesLeftOut, 0);
    }
    {
        const auto m = NewMachine(2);
        m->Faulty.BeforeChange = refuseApp(1);
        m->Progress.FileErrorAnswers = {feIgnore};
        ASSERT_EQ(Run(*m), ioInstalled);
        EXPECT_EQ(test::GetBytes(m->Files.HostPath(app)), "old app.exe");
        EXPECT_EQ(State.FilesLeftOut, 1);
        const std::string record =
            test::GetBytes(m->Files.HostPath(JoinPath(kTarget, "uninstall.cfg"))).value_or("");
        EXPECT_EQ(record.find("app.exe="), std::string::npos) << record;
        State.FilesLeftOut = 0;
    }
    {
        // A new file left out leaves nothing at its name, not even the empty file made for it.
        const auto m = NewMachine(6);
        const std::string tool = "C:\\Program Files\\Acme\\Bin\\tool.exe";
        m->Faulty.BeforeChange = [&](const std::string& op, const std::string& path) {
            return (op == "CopyFile" || op == "MoveFile") && path == tool;
        };
        m->Progress.FileErrorAnswers = {feIgnore};
        ASSERT_EQ(Run(*m), ioInstalled);
        EXPECT_FALSE(m->Files.Attributes(tool));
        State.FilesLeftOut = 0;
    }
    {
        const auto m = NewMachine(3);
        const std::string before = Snapshot(*m);
        m->Faulty.BeforeChange = refuseApp(2);
        m->Progress.FileErrorAnswers = {feRetry, feAbort};
        ASSERT_EQ(Run(*m), ioStopped);
        EXPECT_EQ(m->Progress.Only("stopped "),
                  TLines{"The file " + app + " cannot be installed: Cannot create file " + app});
        m->Faulty.BeforeChange = nullptr;
        EXPECT_EQ(Snapshot(*m), before);
    }
}

// A file another program holds open is put beside it and replaces it when Windows restarts; the run then
// needs the restart. Undone, the new file is gone and the restart replaces nothing.
TEST_F(Rollback, AFileInUseIsReplacedWhenWindowsRestarts) {
    const std::string app = "C:\\Program Files\\Acme\\app.exe";
    for (const bool stopLater : {false, true}) {
        const auto m = NewMachine(stopLater ? 5 : 4);
        const std::string before = Snapshot(*m);
        State.RestartNeeded = false;
        if (stopLater)
            m->FaultyRegistry.BeforeChange = [](const std::string& op, const std::string&) {
                return op == "WriteInteger";
            };
        {
            const TFileStream held(m->Files.HostPath(app), fmOpenRead | fmShareExclusive);
            EXPECT_EQ(Run(*m), stopLater ? ioStopped : ioInstalled);
        }
        m->FaultyRegistry.BeforeChange = nullptr;
        EXPECT_EQ(test::GetBytes(m->Files.HostPath(app)), "old app.exe") << "the held file is not touched";
        ASSERT_EQ(m->Files.PendingReplacements().size(), 1U);
        EXPECT_EQ(m->Files.PendingReplacements()[0].second, app);
        EXPECT_TRUE(State.RestartNeeded);
        m->Files.Restart();
        if (stopLater) {
            EXPECT_EQ(Snapshot(*m), before) << "undone, the restart replaces nothing";
        } else {
            EXPECT_EQ(test::GetBytes(m->Files.HostPath(app)), "new app.exe");
            EXPECT_FALSE(m->Files.FileExists(app + ".yar-new-1"));
        }
    }
}

} // namespace
} // namespace yar
