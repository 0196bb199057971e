// The uninstall under Wine through the system's own calls, on installs the engine made the same way:
// in this process, and as uninstaller.exe started from the installation directory, which must leave
// nothing of itself behind.
#include "uninstall/Uninstaller.h"

#include "InstallTestSupport.h"
#include "SystemTestSupport.h"
#include "UninstallTestSupport.h"
#include "engine/SystemUpdates.h"
#include "engine/UninstallRecord.h"
#include "engine/Win32InstallSystem.h"
#include "system/ComScope.h"
#include "system/Digest.h"
#include "system/ShellFolders.h"
#include "uninstall/UninstallRules.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace yar {
namespace {

namespace fs = std::filesystem;
using test::TLines;

// uninstaller.exe as built, beside the tests' own directory.
std::string BuiltUninstaller() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return (fs::path(self).parent_path().parent_path().parent_path() / "uninstall" / kUninstallerName)
        .string();
}

// Runs program with arguments and waits for it; its exit code, or -1 when it could not start.
int RunProgram(const std::string& program, const std::string& arguments) {
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

class Win32Uninstall : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Com.Initialized());
        test::PutBytes(Dir / "autoexec.bat", "@ECHO OFF\r\n");
    }
    void TearDown() override {
        for (const std::string& name : Installed) {
            Registry.DeleteKey(rrCurrentUser, "Software\\" + name);
            Registry.DeleteKey(rrLocalMachine, "Software\\" + Vendor);
            Registry.DeleteKey(rrLocalMachine, UninstallKey(name));
            Files.RemoveFile(JoinPath(Files.WindowsDirectory(), name + ".ini"));
        }
        std::error_code error;
        fs::remove_all(ProgramFolder(), error);
        Files.RemoveFile(SharedFile());
    }

    // Names of this test's own, so that parallel runs and the prefix's other keys stay apart.
    std::string Name(const std::string& product) const {
        return "YAR " + product + " " + std::to_string(GetCurrentProcessId());
    }
    std::string Shared() const { return "yar" + std::to_string(GetCurrentProcessId()) + ".dll"; }
    std::string SharedFile() const {
        return JoinPath(JoinPath(Files.WindowsDirectory(), "System"), Shared());
    }
    std::string ProgramFolder() const {
        return ShellFolderPath(TWin32Registry(), "Programs", Files.WindowsDirectory()) + Vendor;
    }

    // Installs the product into the test's Program Files; uninstaller is the file it brings as its
    // uninstaller. The directory it went to.
    std::string Install(const std::string& product, const std::string& uninstaller = {}) {
        const std::string name = Name(product);
        const std::string work = Dir / ("work " + product);
        Files.ForceDirectories(work);
        for (const std::string& file : test::ProductFiles(Shared()))
            test::PutBytes(JoinPath(work, file), name + file);
        if (!uninstaller.empty()) {
            EXPECT_TRUE(CopyFileA(uninstaller.c_str(), JoinPath(work, kUninstallerName).c_str(), FALSE));
        }
        SetupState state;
        state.WorkDir = work;
        state.RootDir = IncludeTrailingDelimiter(Dir / "");
        const std::string target = Dir / ("Program Files\\" + product);
        const SetupConfig config = test::ProductConfig(name, Vendor, Shared());
        TWin32InstallSystem system;
        test::TProgressLog progress;
        TInstallEngine engine(config, state, system.System(), progress);
        EXPECT_EQ(engine.RunInstall(test::ProductChoices(target, Vendor)), ioInstalled);
        Installed.push_back(name);
        return target;
    }

    TUninstallReport Uninstall(const std::string& target) {
        test::TStepLog steps;
        return TUninstaller(ReadTrustedUninstallData(Files, Registry, target), {Files, Registry}, steps)
            .Run();
    }
    // Every path below dir, a directory with its "\\", a file with its size.
    static std::vector<std::string> Tree(const std::string& dir) {
        std::vector<std::string> paths;
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            std::string line = entry.path().string();
            if (entry.is_directory())
                line += '\\';
            else
                line.append(" ").append(std::to_string(entry.file_size()));
            paths.push_back(std::move(line));
        }
        std::ranges::sort(paths);
        return paths;
    }

    const TComScope Com;
    test::TTestDir Dir{"yar-uninstall"};
    TWin32Files Files;
    TWin32Registry Registry;
    const std::string Vendor = "YAR Vendor " + std::to_string(GetCurrentProcessId());
    std::vector<std::string> Installed;
};

TEST_F(Win32Uninstall, TheSystemLosesWhatTheInstallRecordedAndKeepsWhatItMustNot) {
    const std::string acme = Install("Acme");
    const std::string beta = Install("Beta");
    const std::string name = Name("Acme");
    const std::string shortcut = JoinPath(ProgramFolder(), name + " App.lnk");
    ASSERT_TRUE(Files.FileExists(shortcut)) << "saved by the shell-link object";
    ASSERT_TRUE(Files.SetAttributes(JoinPath(acme, "app.exe"), faReadOnly));
    test::PutBytes(JoinPath(acme, "notes.txt"), "mine");
    // A file held open without leave to delete it, as a running program holds its own.
    const std::string held = JoinPath(acme, "Bin\\tool.exe");
    HANDLE open =
        CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);

    const TUninstallReport first = Uninstall(acme);
    CloseHandle(open);
    EXPECT_EQ(first.ExitCode(), kExitIncomplete);
    EXPECT_EQ(test::LeftLines(first).front(), held + " - could not be deleted: it may be in use");
    EXPECT_TRUE(Files.FileExists(JoinPath(acme, kUninstallRecordName))) << "kept for another run";

    const TUninstallReport second = Uninstall(acme);
    EXPECT_EQ(second.ExitCode(), kExitRemoved);
    const std::string windowsIni = JoinPath(Files.WindowsDirectory(), name + ".ini");
    // The report names each path as the system spells it.
    EXPECT_EQ(test::LeftLines(second),
              (TLines{Files.LongPath(SharedFile()) + " - also installed by " + Name("Beta"),
                      windowsIni + " - an INI file of the system",
                      JoinPath(acme, "notes.txt") + " - not installed by the setup",
                      ProgramFolder() + " - not empty", Dir / "Program Files - not empty",
                      "HKEY_LOCAL_MACHINE\\Software\\" + Vendor + " - also used by " + Name("Beta"),
                      acme + " - not empty"}));
    EXPECT_EQ(Files.EntryNames(acme), TLines{"notes.txt"});
    EXPECT_FALSE(Files.FileExists(shortcut));
    EXPECT_FALSE(Registry.KeyExists(rrCurrentUser, "Software\\" + name));
    EXPECT_FALSE(Registry.KeyExists(rrLocalMachine, "Software\\" + Vendor + "\\" + name));
    EXPECT_FALSE(Registry.KeyExists(rrLocalMachine, UninstallKey(name)));
    // Beta is whole.
    EXPECT_TRUE(Files.FileExists(JoinPath(beta, "Bin\\tool.exe")));
    EXPECT_TRUE(Files.FileExists(JoinPath(ProgramFolder(), Name("Beta") + " App.lnk")));
    EXPECT_TRUE(Registry.KeyExists(rrLocalMachine, "Software\\" + Vendor + "\\" + Name("Beta")));
    EXPECT_TRUE(Registry.KeyExists(rrLocalMachine, UninstallKey(Name("Beta"))));
    EXPECT_TRUE(Files.FileExists(SharedFile()));
}

TEST_F(Win32Uninstall, TheProgramRemovesItsInstallationAndLeavesNothingOfItself) {
    const std::string acme = Install("Acme", BuiltUninstaller());
    const std::string program = JoinPath(acme, kUninstallerName);
    const std::string name = Name("Acme");

    EXPECT_EQ(RunProgram(program, name + " /S"), kExitRemoved);
    EXPECT_FALSE(Registry.KeyExists(rrLocalMachine, UninstallKey(name)));
    EXPECT_FALSE(Files.FileExists(JoinPath(acme, "app.exe")));
    // The helper deletes the program once it has ended, then the directory it emptied.
    for (int i = 0; i < 200 && Files.DirectoryExists(acme); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(Files.DirectoryExists(acme)) << ::testing::PrintToString(Files.EntryNames(acme));

    // Put back without its record, it finds nothing to do and changes nothing.
    Files.ForceDirectories(acme);
    ASSERT_TRUE(CopyFileA(BuiltUninstaller().c_str(), program.c_str(), FALSE));
    EXPECT_EQ(RunProgram(program, "/S"), kExitNoRecord);
    EXPECT_EQ(Files.EntryNames(acme), TLines{kUninstallerName});
}

TEST_F(Win32Uninstall, TheProgramRefusesAnEditedRecordWithExitCode2AndChangesNothing) {
    const std::string acme = Install("Acme", BuiltUninstaller());
    const std::string program = JoinPath(acme, kUninstallerName);
    const std::string record = JoinPath(acme, kUninstallRecordName);
    const std::string name = Name("Acme");
    const std::string other = Dir / "Other\\keep.txt";
    Files.ForceDirectories(Dir / "Other");
    test::PutBytes(other, "another program's");
    // One line more: a file of another program, spelled so that the old guards let it through.
    const std::string whole = test::GetBytes(record).value();
    test::PutBytes(record, whole + JoinPath(Dir / "Other", ".\\keep.txt") + "=\r\n");
    const std::vector<std::string> before = Tree(acme);

    EXPECT_EQ(RunProgram(program, name + " /S"), kExitNoRecord);
    EXPECT_EQ(Tree(acme), before);
    EXPECT_TRUE(Files.FileExists(other));
    EXPECT_TRUE(Registry.KeyExists(rrLocalMachine, UninstallKey(name)));
    EXPECT_TRUE(Registry.KeyExists(rrCurrentUser, "Software\\" + name));
    try {
        ReadTrustedUninstallData(Files, Registry, acme);
        ADD_FAILURE() << "the edited record was read";
    } catch (const EUntrustedRecordError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The uninstall information " + record +
                      " cannot be trusted: it is not the record the install left: its SHA-256 "
                      "differs from the registered one. Nothing was removed.");
    }

    // As the install left it, the digest the install registered through CryptoAPI is the one it finds.
    test::PutBytes(record, whole);
    EXPECT_EQ(RunProgram(program, name + " /S"), kExitRemoved);
    EXPECT_FALSE(Files.FileExists(JoinPath(acme, "app.exe")));
    EXPECT_TRUE(Files.FileExists(other));
}

TEST_F(Win32Uninstall, ARecordEveryoneMayChangeIsRefused) {
    const std::string acme = Install("Acme");
    const std::string record = JoinPath(acme, kUninstallRecordName);
    PSECURITY_DESCRIPTOR open = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;FA;;;WD)(A;;FA;;;SY)",
                                                                     SDDL_REVISION_1, &open, nullptr));
    // Under Wine the list becomes the file's Unix mode, which is what Wine reads back.
    ASSERT_TRUE(SetFileSecurityA(record.c_str(), DACL_SECURITY_INFORMATION, open));
    LocalFree(open);
    try {
        ReadTrustedUninstallData(Files, Registry, acme);
        ADD_FAILURE() << "the record was read";
    } catch (const EUntrustedRecordError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The uninstall information " + record +
                      " cannot be trusted: Everyone may change it. Nothing was removed.");
    }
    EXPECT_TRUE(Files.FileExists(JoinPath(acme, "app.exe")));
}

TEST_F(Win32Uninstall, ShortNamesAreReadInTheirLongFormBeforeAnyRule) {
    const std::string acme = Install("Acme");
    const std::string beta = Install("Beta");
    // Beta's program, named in Acme's record by its short (8.3) path, as the system gives it.
    const std::string betaApp = JoinPath(beta, "app.exe");
    char shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(betaApp.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_NE(std::string(shortPath), betaApp) << "the system has short names here";
    EXPECT_EQ(Files.LongPath(shortPath), betaApp);
    const std::string record = JoinPath(acme, kUninstallRecordName);
    std::string text = test::GetBytes(record).value();
    text.insert(text.find("[UNINS]\r\n") + 9, std::string(shortPath) + "=\r\n");
    test::PutBytes(record, text);
    const std::string key = UninstallKey(Name("Acme"));
    ASSERT_TRUE(Registry.WriteString(rrLocalMachine, key, kRecordDigestValue, Sha256Hex(text).value()));

    const TUninstallReport report = Uninstall(acme);
    const std::vector<std::string> left = test::LeftLines(report);
    EXPECT_NE(std::ranges::find(left, betaApp + " - also installed by " + Name("Beta")), left.end())
        << ::testing::PrintToString(left);
    EXPECT_TRUE(Files.FileExists(betaApp));
}

} // namespace
} // namespace yar
