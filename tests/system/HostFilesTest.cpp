// The host stand-in for the machine's files: where Windows paths land, the rules Windows keeps that
// the host would not, and the line format of the files the install rewrites.
#include "system/HostFiles.h"

#include "SystemTestSupport.h"
#include "system/FileServices.h"
#include "util/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace yar {
namespace {

using test::GetBytes;
using test::PutBytes;
using test::TTestDir;
using namespace std::string_view_literals;

class HostFiles : public ::testing::Test {
protected:
    // The host path of a path below the root, written with "\".
    std::string Below(const std::string& relative) const { return NativePath(Dir / relative); }
    void Put(const std::string& path, std::string_view bytes) const { PutBytes(Files.HostPath(path), bytes); }
    std::optional<std::string> Get(const std::string& path) const { return GetBytes(Files.HostPath(path)); }

    TTestDir Dir{"yar-hostfiles"};
    THostFiles Files{Dir / "machine"};
};

TEST_F(HostFiles, DrivePathsLiveBelowTheRootUnderTheirLetter) {
    EXPECT_EQ(Files.HostPath("C:\\Program Files\\Acme\\app.exe"),
              Below("machine\\C\\Program Files\\Acme\\app.exe"));
    EXPECT_EQ(Files.HostPath("d:\\data"), Below("machine\\D\\data"));
    EXPECT_EQ(Files.HostPath("C:/mixed\\slashes//twice"), Below("machine\\C\\mixed\\slashes\\twice"));
    // Without a drive: drive C, whether the path begins at the root or not.
    EXPECT_EQ(Files.HostPath("\\Temp\\y"), Below("machine\\C\\Temp\\y"));
    EXPECT_EQ(Files.HostPath("Acme"), Below("machine\\C\\Acme"));
    EXPECT_EQ(Files.HostPath("C:"), Below("machine\\C"));
    // Dots resolve and never leave the drive.
    EXPECT_EQ(Files.HostPath("C:\\a\\.\\b\\..\\c"), Below("machine\\C\\a\\c"));
    EXPECT_EQ(Files.HostPath("C:\\..\\..\\etc\\passwd"), Below("machine\\C\\etc\\passwd"));
}

TEST_F(HostFiles, NamesMatchWithoutRegardToCase) {
    Files.ForceDirectories("C:\\Program Files\\Acme");
    ASSERT_TRUE(Files.WriteLines("C:\\program files\\ACME\\readme.TXT", {"x"}));
    EXPECT_TRUE(Files.FileExists("C:\\Program Files\\Acme\\README.txt"));
    EXPECT_EQ(Files.EntryNames("C:\\"), (std::vector<std::string>{"Program Files", "WINDOWS"}));
    EXPECT_EQ(Files.FileNames("c:\\program files\\acme"), std::vector<std::string>{"readme.TXT"});
}

#ifndef _WIN32
// (A host that ignores case itself finds every spelling as it is asked.)
TEST_F(HostFiles, TheHostsOwnSpellingIsUsed) {
    Files.ForceDirectories("C:\\Program Files\\Acme");
    EXPECT_EQ(Files.HostPath("c:\\PROGRAM FILES\\acme\\New.txt"),
              Below("machine\\C\\Program Files\\Acme\\New.txt"));
    // Two host names for one Windows name: the first in name order wins.
    Put("C:\\Program Files\\Acme\\readme.txt", "first");
    PutBytes(Below("machine\\C\\Program Files\\Acme\\README.TXT"), "second");
    EXPECT_EQ(Files.HostPath("C:\\Program Files\\Acme\\Readme.txt"),
              Below("machine\\C\\Program Files\\Acme\\README.TXT"));
    EXPECT_EQ(Files.ReadLines("C:\\PROGRAM FILES\\ACME\\README.txt"), std::vector<std::string>{"second"});
}
#endif

#ifndef _WIN32
// A file the program writes by the name it was given: its own name, every directory on its way, and each
// link on it are judged (the host's permissions stand for the access lists).
TEST_F(HostFiles, AFileWrittenByNameIsJudgedWithEveryLevelOnItsWay) {
    Files.ForceDirectories("C:\\Logs\\Acme");
    EXPECT_EQ(UnsafeFileReason(Files, "C:\\Logs\\Acme\\setup.log"), std::nullopt);
    Put("C:\\Logs\\Acme\\setup.log", "earlier");
    EXPECT_EQ(UnsafeFileReason(Files, "C:\\Logs\\Acme\\setup.log"), std::nullopt);

    chmod(Files.HostPath("C:\\Logs\\Acme\\setup.log").c_str(), 0666);
    EXPECT_EQ(UnsafeFileReason(Files, "C:\\Logs\\Acme\\setup.log"), "Everyone may change it");
    chmod(Files.HostPath("C:\\Logs\\Acme\\setup.log").c_str(), 0644);
    chmod(Files.HostPath("C:\\Logs\\Acme").c_str(), 0777);
    EXPECT_EQ(UnsafeFileReason(Files, "C:\\Logs\\Acme\\setup.log"),
              "C:\\Logs\\Acme is not safe: Everyone may change it");
    chmod(Files.HostPath("C:\\Logs\\Acme").c_str(), 0755);
    // A directory above: only the rights to move a level away or replace it count.
    chmod(Files.HostPath("C:\\Logs").c_str(), 0777);
    EXPECT_EQ(UnsafeFileReason(Files, "C:\\Logs\\Acme\\setup.log"),
              "C:\\Logs is not safe: Everyone may change it");
    chmod(Files.HostPath("C:\\Logs").c_str(), 0755);

    // A link on the way, and at the name, whatever they lead to.
    std::filesystem::create_directory_symlink(Files.HostPath("C:\\Logs\\Acme"), Files.HostPath("C:\\Linked"));
    EXPECT_EQ(UnsafeFileReason(Files, "C:\\Linked\\setup.log"), "C:\\Linked is not safe: it is a link");
    std::filesystem::create_symlink(Files.HostPath("C:\\Logs\\Acme\\setup.log"),
                                    Files.HostPath("C:\\Logs\\Acme\\named.log"));
    EXPECT_EQ(UnsafeFileReason(Files, "C:\\Logs\\Acme\\named.log"), "it is a link");
    EXPECT_EQ(UnsafeDirectoryLevel(Files, "C:\\Linked", false), std::nullopt)
        << "the destination's judgement leaves links to the install's own rules";
}

#endif

TEST_F(HostFiles, AMachineWithDriveCAndAWindowsDirectoryButNoShortNames) {
    EXPECT_EQ(Files.WindowsDirectory(), "C:\\WINDOWS");
    EXPECT_TRUE(Files.DirectoryExists("C:\\"));
    EXPECT_TRUE(Files.DirectoryExists("c:\\windows"));
    EXPECT_FALSE(Files.DirectoryExists("D:\\"));
    const THostFiles nt(Dir / "nt", "D:\\WINNT");
    EXPECT_EQ(nt.WindowsDirectory(), "D:\\WINNT");
    EXPECT_TRUE(nt.DirectoryExists("D:\\WINNT"));
    EXPECT_TRUE(nt.DirectoryExists("C:\\"));
    EXPECT_EQ(Files.ShortPath("C:\\Program Files\\Long Name"), "C:\\Program Files\\Long Name");
}

TEST_F(HostFiles, ForceDirectoriesMakesMissingLevelsButNoDrive) {
    Files.ForceDirectories("C:\\Program Files\\Acme\\Bin\\");
    EXPECT_TRUE(Files.DirectoryExists("C:\\Program Files\\Acme\\Bin"));
    Files.ForceDirectories("C:\\Program Files\\Acme"); // there already
    EXPECT_THROW(Files.ForceDirectories("E:\\Games"), EInOutError);
    EXPECT_FALSE(Files.DirectoryExists("E:\\"));
    Put("C:\\Program Files\\blocker", "x");
    EXPECT_THROW(Files.ForceDirectories("C:\\Program Files\\blocker\\sub"), EInOutError);
}

TEST_F(HostFiles, CopiesTakeTheBytesButNotTheAttributes) {
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes += static_cast<char>(i * 7 % 256); // more than two blocks
    Put("C:\\src.bin", bytes);
    ASSERT_TRUE(Files.SetAttributes("C:\\src.bin", faReadOnly));
    ASSERT_TRUE(Files.CopyFileTo("C:\\src.bin", "C:\\WINDOWS\\copy.bin", false));
    EXPECT_EQ(Get("C:\\WINDOWS\\copy.bin"), bytes);
    EXPECT_EQ(Files.Attributes("C:\\WINDOWS\\copy.bin"), uint16_t{faArchive});
    // Overwriting truncates; failIfExists refuses and leaves the file.
    Put("C:\\short.txt", "abc");
    EXPECT_TRUE(Files.CopyFileTo("C:\\short.txt", "C:\\WINDOWS\\copy.bin", false));
    EXPECT_EQ(Get("C:\\WINDOWS\\copy.bin"), "abc");
    EXPECT_FALSE(Files.CopyFileTo("C:\\src.bin", "C:\\WINDOWS\\copy.bin", true));
    EXPECT_EQ(Get("C:\\WINDOWS\\copy.bin"), "abc");
    EXPECT_FALSE(Files.CopyFileTo("C:\\missing.txt", "C:\\b.txt", false));
    EXPECT_FALSE(Files.FileExists("C:\\b.txt"));
    EXPECT_FALSE(Files.CopyFileTo("C:\\short.txt", "C:\\no\\such\\dir\\a.txt", false));
    // Onto itself, under another case: the source must survive.
    EXPECT_FALSE(Files.CopyFileTo("C:\\short.txt", "C:\\SHORT.TXT", false));
    EXPECT_EQ(Get("C:\\short.txt"), "abc");
}

TEST_F(HostFiles, CopiesSayWhichSideKeptThemFromStarting) {
    Put("C:\\a.txt", "a");
    Put("C:\\b.txt", "b");
    EXPECT_EQ(Files.CopyFileChecked("C:\\missing.txt", "C:\\c.txt", false), crCannotOpen);
    EXPECT_EQ(Files.CopyFileChecked("C:\\a.txt", "C:\\b.txt", true), crTargetExists);
    EXPECT_EQ(Files.CopyFileChecked("C:\\a.txt", "C:\\no\\dir\\c.txt", false), crCannotCreate);
    ASSERT_TRUE(Files.SetAttributes("C:\\b.txt", faReadOnly));
    EXPECT_EQ(Files.CopyFileChecked("C:\\a.txt", "C:\\b.txt", false), crCannotCreate);
    EXPECT_EQ(Files.CopyFileChecked("C:\\a.txt", "C:\\c.txt", false), crCopied);
}

TEST_F(HostFiles, CopyIntoADirectoryKeepsTheNameAndOntoAFileReplacesIt) {
    Files.ForceDirectories("C:\\WINDOWS\\Temp\\y");
    Files.ForceDirectories("C:\\dist");
    Put("C:\\dist\\install.cfg", "cfg");
    Files.CopyFileInto("C:\\dist\\install.cfg", "C:\\WINDOWS\\Temp\\y");
    EXPECT_EQ(Get("C:\\WINDOWS\\Temp\\y\\install.cfg"), "cfg");
    Put("C:\\dist\\install.cfg", "again");
    Files.CopyFileInto("C:\\dist\\install.cfg", "C:\\WINDOWS\\Temp\\y\\"); // one separator only
    EXPECT_EQ(Get("C:\\WINDOWS\\Temp\\y\\install.cfg"), "again");
    Put("C:\\other.txt", "old");
    Files.CopyFileInto("C:\\dist\\install.cfg", "C:\\other.txt");
    EXPECT_EQ(Get("C:\\other.txt"), "again");
}

TEST_F(HostFiles, CopyIntoReportsTheSideThatFailedByName) {
    Files.ForceDirectories("C:\\dist");
    Put("C:\\dist\\install.exe", "MZ");
    const auto message = [this](const std::string& source, const std::string& dest) {
        try {
            Files.CopyFileInto(source, dest);
        } catch (const ECopyFileError& e) {
            return std::string(e.what());
        }
        return std::string("copied");
    };
    EXPECT_EQ(message("C:\\dist\\missing.exe", "C:\\WINDOWS"), "Cannot open file C:\\dist\\missing.exe");
    // A path that is not there counts as a directory, so the copy aims below it.
    EXPECT_EQ(message("C:\\dist\\install.exe", "C:\\no\\such"),
              "Cannot create file C:\\no\\such\\install.exe");
    EXPECT_FALSE(Files.FileExists("C:\\no\\such"));
}

TEST_F(HostFiles, ReadOnlyFilesAreNeitherOverwrittenNorDeleted) {
    Put("C:\\new.txt", "new");
    Put("C:\\locked.txt", "old");
    ASSERT_TRUE(Files.SetAttributes("C:\\locked.txt", faReadOnly | faArchive));
    EXPECT_EQ(Files.Attributes("C:\\locked.txt"), uint16_t{faReadOnly | faArchive});
    EXPECT_FALSE(Files.CopyFileTo("C:\\new.txt", "C:\\locked.txt", false));
    EXPECT_FALSE(Files.WriteLines("C:\\locked.txt", {"x"}));
    EXPECT_FALSE(Files.RemoveFile("C:\\locked.txt"));
    EXPECT_EQ(Get("C:\\locked.txt"), "old");
    // Clearing the bit gives the file back.
    ASSERT_TRUE(Files.SetAttributes("C:\\locked.txt", faArchive));
    EXPECT_EQ(Files.Attributes("C:\\locked.txt"), uint16_t{faArchive});
    EXPECT_TRUE(Files.CopyFileTo("C:\\new.txt", "C:\\locked.txt", false));
    EXPECT_TRUE(Files.RemoveFile("C:\\LOCKED.txt"));
    EXPECT_FALSE(Files.FileExists("C:\\locked.txt"));
    EXPECT_FALSE(Files.RemoveFile("C:\\locked.txt"));
    EXPECT_FALSE(Files.RemoveFile("C:\\WINDOWS"));
    EXPECT_EQ(Files.Attributes("C:\\WINDOWS"), uint16_t{faDirectory});
    EXPECT_EQ(Files.Attributes("C:\\locked.txt"), std::nullopt);
}

TEST_F(HostFiles, ListingsSeparatePlainFilesFromAllEntries) {
    Files.ForceDirectories("C:\\Programs\\Acme");
    Files.ForceDirectories("C:\\Programs\\Tools");
    Put("C:\\Programs\\Acme.lnk", "l");
    Put("C:\\Programs\\zeta.txt", "z");
    EXPECT_EQ(Files.FileNames("C:\\Programs"), (std::vector<std::string>{"Acme.lnk", "zeta.txt"}));
    EXPECT_EQ(Files.EntryNames("C:\\Programs\\"),
              (std::vector<std::string>{"Acme", "Acme.lnk", "Tools", "zeta.txt"}));
    EXPECT_TRUE(Files.EntryNames("C:\\Programs\\Acme").empty());
    EXPECT_TRUE(Files.EntryNames("C:\\Missing").empty());
    EXPECT_TRUE(Files.FileNames("C:\\Missing").empty());
}

TEST_F(HostFiles, EveryWrittenLineEndsInCrLf) {
    ASSERT_TRUE(Files.WriteLines("C:\\AUTOEXEC.BAT", {"@ECHO OFF", "", "SET PATH=C:\\DOS"}));
    EXPECT_EQ(Get("C:\\AUTOEXEC.BAT"), "@ECHO OFF\r\n\r\nSET PATH=C:\\DOS\r\n");
    EXPECT_EQ(Files.ReadLines("c:\\autoexec.bat"),
              (std::vector<std::string>{"@ECHO OFF", "", "SET PATH=C:\\DOS"}));
    ASSERT_TRUE(Files.WriteLines("C:\\AUTOEXEC.BAT", {}));
    EXPECT_EQ(Get("C:\\AUTOEXEC.BAT"), "");
    EXPECT_FALSE(Files.WriteLines("C:\\No Dir\\AUTOEXEC.BAT", {"x"}));
    EXPECT_FALSE(Files.WriteLines("C:\\WINDOWS", {"x"}));
}

TEST_F(HostFiles, LinesAreReadAtEveryKindOfLineEnd) {
    Put("C:\\mixed.txt", "crlf\r\nlf\ncr\rdouble\r\r\nnul\0byte\x1A\r\n\nlast"sv);
    const auto lines = Files.ReadLines("C:\\MIXED.TXT");
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (std::vector<std::string>{"crlf", "lf", "cr", "double", "",
                                                std::string("nul\0byte\x1A"sv), "", "last"}));
    Put("C:\\empty.txt", "");
    EXPECT_EQ(Files.ReadLines("C:\\empty.txt"), std::vector<std::string>{});
    Put("C:\\one.txt", "\r\n");
    EXPECT_EQ(Files.ReadLines("C:\\one.txt"), std::vector<std::string>{""});
    EXPECT_EQ(Files.ReadLines("C:\\missing.txt"), std::nullopt);
    EXPECT_EQ(Files.ReadLines("C:\\WINDOWS"), std::nullopt);
}

} // namespace
} // namespace yar
