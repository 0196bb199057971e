// The system's side of the shell folders, the launcher and the restarter under Wine. The session is
// never ended here: ExitWindowsEx would end every process of the prefix, this test's included.
#include "system/FileServices.h"
#include "system/Files.h"
#include "system/ShellFolders.h"
#include "system/Win32Launcher.h"
#include "system/Win32Registry.h"
#include "system/Win32Restarter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <shlobj.h>

namespace yar {
namespace {

namespace fs = std::filesystem;

TEST(Win32ShellFolders, AreTheFoldersTheShellReports) {
    const TWin32Registry registry;
    const std::string windows = WindowsDirectory();
    ASSERT_FALSE(windows.empty());
    const struct {
        const char* Name;
        int Folder;
    } folders[] = {
        {"Desktop", CSIDL_DESKTOPDIRECTORY}, {"Programs", CSIDL_PROGRAMS}, {"Start Menu", CSIDL_STARTMENU}};
    for (const auto& folder : folders) {
        char path[MAX_PATH] = {};
        ASSERT_EQ(SHGetFolderPathA(nullptr, folder.Folder, nullptr, SHGFP_TYPE_CURRENT, path), S_OK)
            << folder.Name;
        EXPECT_EQ(ShellFolderPath(registry, folder.Name, windows), std::string(path) + "\\") << folder.Name;
    }
    EXPECT_EQ(ShellFolderPath(registry, "No Such Folder", windows), windows + "\\No Such Folder\\");
}

class Win32Launch : public ::testing::Test {
protected:
    void SetUp() override {
        // One directory per test: CTest runs the cases as parallel processes.
        Dir = fs::temp_directory_path() /
              (std::string("yar-launch-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(Dir, error);
    }

    // The first line of a file the launched program writes, once it is complete; empty when none
    // comes within ten seconds.
    static std::string AwaitLine(const fs::path& file) {
        for (int attempt = 0; attempt < 200; ++attempt) {
            std::ifstream in(file, std::ios::binary);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const std::size_t end = text.find("\r\n");
            if (end != std::string::npos) return text.substr(0, end);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return {};
    }

    fs::path Dir;
};

TEST_F(Win32Launch, StartsTheProgramWithItsParametersInItsDirectory) {
    TWin32Launcher launcher;
    ASSERT_TRUE(launcher.Launch("cmd.exe", "/c echo started in %CD%> marker.txt", Dir.string()));
    EXPECT_EQ(AwaitLine(Dir / "marker.txt"), "started in " + ExcludeTrailingDelimiter(Dir.string()));
}

// The lines a launched program writes to a file, once the file is there; empty when none comes
// within ten seconds.
std::vector<std::string> AwaitLines(const fs::path& file) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        std::ifstream in(file, std::ios::binary);
        if (in) {
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            return SplitLines(text);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
}

TEST_F(Win32Launch, TheInstalledProgramStartsShownFromItsLongDirectory) {
    // The probe is built beside this test; the installed program lies deeper than 79 characters.
    char self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0U);
    const fs::path program = Dir / (std::string(40, 'a') + " " + std::string(40, 'b')) / "launch_probe.exe";
    fs::create_directories(program.parent_path());
    fs::copy_file(fs::path(self).parent_path() / "launch_probe.exe", program);
    const std::string directory = IncludeTrailingDelimiter(program.parent_path().string());
    ASSERT_GT(directory.size(), 79U);

    // As the install starts it: by its full path, with the desktop user's rights where the desktop's
    // shell takes the request (Wine's does not: there the launcher starts it itself).
    TWin32Launcher launcher(nullptr, SW_SHOW, lrDesktopUser);
    ASSERT_TRUE(launcher.Launch(program.string(), "/s", directory));
    EXPECT_NE(launcher.LastRoute(), lrtNone);
    ::testing::Test::RecordProperty("route",
                                    launcher.LastRoute() == lrtDesktopShell ? "desktop shell" : "own");
    const std::vector<std::string> lines = AwaitLines(program.parent_path() / "probe.txt");
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0], "show=" + std::to_string(SW_SHOW));
    EXPECT_EQ(lines[1], "dir=" + ExcludeTrailingDelimiter(directory));
    EXPECT_TRUE(lines[2].ends_with(" /s")) << lines[2];
    EXPECT_NE(lines[2].find(std::string(40, 'b')), std::string::npos) << lines[2];
}

TEST_F(Win32Launch, AMissingProgramIsReported) {
    TWin32Launcher launcher;
    EXPECT_FALSE(launcher.Launch((Dir / "missing.exe").string(), "", ""));
    EXPECT_FALSE(launcher.Launch("yar-no-such-program.exe", "/s", Dir.string()));
    EXPECT_EQ(launcher.LastRoute(), lrtNone);
}

// Whether the named privilege is switched on in the token of this process.
bool PrivilegeEnabled(const char* name) {
    LUID wanted{};
    if (!LookupPrivilegeValueA(nullptr, name, &wanted)) return false;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<char> buffer(size);
    bool enabled = false;
    if (size && GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
        const auto* list = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
        for (DWORD i = 0; i < list->PrivilegeCount; ++i) {
            const LUID_AND_ATTRIBUTES& entry = list->Privileges[i];
            if (entry.Luid.LowPart == wanted.LowPart && entry.Luid.HighPart == wanted.HighPart)
                enabled = (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
        }
    }
    CloseHandle(token);
    return enabled;
}

TEST(Win32Restarter, SwitchesAPrivilegeOfTheProcessOnAndOff) {
    TWin32Restarter restarter;
    ASSERT_TRUE(restarter.AdjustPrivilege("SeShutdownPrivilege", true));
    EXPECT_TRUE(PrivilegeEnabled("SeShutdownPrivilege"));
    ASSERT_TRUE(restarter.AdjustPrivilege("SeShutdownPrivilege", false));
    EXPECT_FALSE(PrivilegeEnabled("SeShutdownPrivilege"));
    EXPECT_FALSE(restarter.AdjustPrivilege("SeNoSuchPrivilege", true));
}

} // namespace
} // namespace yar
