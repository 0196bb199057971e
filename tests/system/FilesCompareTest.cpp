// TWin32Files against THostFiles: one scenario of the install's file operations runs on both, each
// observation goes into a transcript, and the transcripts must agree line for line.
#include "system/HostFiles.h"
#include "system/Win32Files.h"

#include "SystemTestSupport.h"
#include "system/FileServices.h"
#include "util/Paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace yar {
namespace {

using test::GetBytes;
using test::PutBytes;
using test::TTestDir;
using test::Visible;

// A file system under test: the interface, the directory the scenario works in (a Windows path),
// and the host path of a Windows path, for bytes put and taken behind the interface's back.
struct TSubject {
    TFiles& Files;
    std::string Base;
    std::function<std::string(const std::string&)> Host;
};

class TScenario {
public:
    explicit TScenario(const TSubject& subject) : S(subject) {}

    std::vector<std::string> Run() {
        Directories();
        Copies();
        CopiesInto();
        AttributesAndRemoval();
        Listings();
        Lines();
        return Log;
    }

private:
    std::string At(const std::string& relative) const { return JoinPath(S.Base, relative); }
    void Put(const std::string& relative, std::string_view bytes) const {
        PutBytes(S.Host(At(relative)), bytes);
    }
    std::string Bytes(const std::string& relative) const {
        return Visible(GetBytes(S.Host(At(relative))).value_or("<none>"));
    }
    void Note(const std::string& what, const std::string& result) { Log.push_back(what + " -> " + result); }
    void Note(const std::string& what, bool result) { Note(what, std::string(result ? "yes" : "no")); }
    void NoteExists(const std::string& relative) {
        Note("file " + relative, S.Files.FileExists(At(relative)));
        Note("dir " + relative, S.Files.DirectoryExists(At(relative)));
    }
    void NoteNames(const std::string& what, std::vector<std::string> names) {
        std::ranges::sort(names); // the system lists in its own order
        std::string joined;
        for (const std::string& name : names) joined.append("[").append(name).append("]");
        Note(what, joined);
    }

    void Directories() {
        S.Files.ForceDirectories(At("Program Files\\Acme\\Bin\\"));
        for (const char* level :
             {"Program Files", "program files\\ACME", "Program Files\\Acme\\Bin", "Missing"})
            NoteExists(level);
        S.Files.ForceDirectories(At("Program Files\\Acme"));
        Put("blocker", "x");
        try {
            S.Files.ForceDirectories(At("blocker\\sub"));
            Note("force through a file", std::string("no error"));
        } catch (const EInOutError&) {
            Note("force through a file", std::string("EInOutError"));
        }
        NoteExists("blocker");
        NoteExists("Program Files\\Acme\\Bin\\..\\..\\Acme");
    }

    void Copies() {
        std::string bytes;
        for (int i = 0; i < 20000; ++i) bytes += static_cast<char>(i * 31 % 251);
        Put("src.bin", bytes);
        Put("small.txt", "small");
        Note("copy", S.Files.CopyFileTo(At("src.bin"), At("Program Files\\Acme\\app.exe"), false));
        Note("copied bytes equal", GetBytes(S.Host(At("Program Files\\Acme\\app.exe"))) == bytes);
        Note("copy, fail if exists",
             S.Files.CopyFileTo(At("small.txt"), At("Program Files\\Acme\\APP.EXE"), true));
        Note("copy over", S.Files.CopyFileTo(At("small.txt"), At("program files\\acme\\App.exe"), false));
        Note("copied", Bytes("Program Files\\Acme\\app.exe"));
        Note("copy a missing file", S.Files.CopyFileTo(At("missing"), At("copy"), false));
        NoteExists("copy");
        Note("copy into a missing directory",
             S.Files.CopyFileTo(At("small.txt"), At("no dir\\small.txt"), false));
        Note("copy onto a directory", S.Files.CopyFileTo(At("small.txt"), At("Program Files"), false));
        Note("copy onto itself", S.Files.CopyFileTo(At("small.txt"), At("SMALL.txt"), false));
        Note("source after", Bytes("small.txt"));
        Note("checked: missing source",
             std::to_string(S.Files.CopyFileChecked(At("missing"), At("c"), false)));
        Note("checked: no directory",
             std::to_string(S.Files.CopyFileChecked(At("small.txt"), At("no dir\\c"), false)));
        Note("checked: exists",
             std::to_string(S.Files.CopyFileChecked(At("small.txt"), At("src.bin"), true)));
    }
    void CopiesInto() {
        // The outcome without the paths, which differ between the two machines.
        const auto into = [this](const std::string& source, const std::string& dest) {
            try {
                S.Files.CopyFileInto(At(source), At(dest));
                return std::string("copied");
            } catch (const ECopyFileError& e) {
                const std::string message = e.what();
                return message.substr(0, message.find(" file "));
            }
        };
        Put("into.txt", "into");
        Note("into a directory", into("into.txt", "Program Files\\Acme"));
        Note("landed", Bytes("Program Files\\Acme\\into.txt"));
        Note("onto a file", into("into.txt", "small.txt"));
        Note("replaced", Bytes("small.txt"));
        Note("from a missing file", into("missing", "Program Files"));
        Note("below a missing path", into("into.txt", "no such"));
        NoteExists("no such");
    }

    void AttributesAndRemoval() {
        const auto attributes = [&](const std::string& relative) {
            const auto bits = S.Files.Attributes(At(relative));
            Note("attributes " + relative, bits ? std::to_string(*bits) : std::string("none"));
        };
        attributes("small.txt");
        attributes("Program Files");
        attributes("missing");
        Note("set read-only", S.Files.SetAttributes(At("small.txt"), faReadOnly));
        attributes("small.txt");
        // (Writing onto a read-only file is left out: Wine run by root lets it through.)
        Note("remove read-only", S.Files.RemoveFile(At("small.txt")));
        NoteExists("small.txt");
        Note("clear read-only", S.Files.SetAttributes(At("small.txt"), faArchive));
        attributes("small.txt");
        Note("remove", S.Files.RemoveFile(At("Small.TXT")));
        NoteExists("small.txt");
        Note("remove a missing file", S.Files.RemoveFile(At("small.txt")));
        Note("remove a directory", S.Files.RemoveFile(At("Program Files\\Acme\\Bin")));
        Note("set on a missing file", S.Files.SetAttributes(At("missing"), faReadOnly));
        S.Files.ForceDirectories(At("Gone\\Inner"));
        Put("Gone\\file.txt", "f");
        Note("remove a directory holding entries", S.Files.RemoveEmptyDirectory(At("Gone")));
        Note("remove a file as a directory", S.Files.RemoveEmptyDirectory(At("Gone\\file.txt")));
        Note("remove an empty directory", S.Files.RemoveEmptyDirectory(At("gone\\INNER\\")));
        NoteExists("Gone\\Inner");
        Note("remove a missing directory", S.Files.RemoveEmptyDirectory(At("Gone\\Inner")));
        S.Files.RemoveFile(At("Gone\\file.txt"));
        Note("remove the emptied directory", S.Files.RemoveEmptyDirectory(At("Gone")));
        NoteExists("Gone");
        Put("later.txt", "l");
        Note("remove at restart", S.Files.RemoveAtRestart(At("later.txt")));
        NoteExists("later.txt");
        Note("remove a missing file at restart", S.Files.RemoveAtRestart(At("missing")));
    }

    void Listings() {
        S.Files.ForceDirectories(At("Programs\\Acme"));
        S.Files.ForceDirectories(At("Programs\\Tools"));
        Put("Programs\\Acme.lnk", "l");
        Put("Programs\\readme", "r");
        NoteNames("files", S.Files.FileNames(At("Programs")));
        NoteNames("entries", S.Files.EntryNames(At("Programs\\")));
        NoteNames("entries of an empty directory", S.Files.EntryNames(At("Programs\\Acme")));
        NoteNames("entries of a missing directory", S.Files.EntryNames(At("Missing")));
    }

    void Lines() {
        const auto read = [&](const std::string& relative) {
            const auto lines = S.Files.ReadLines(At(relative));
            std::string joined = lines ? std::to_string(lines->size()) + ":" : "none";
            if (lines)
                for (const std::string& line : *lines) joined.append("[").append(Visible(line)).append("]");
            Note("read " + relative, joined);
        };
        Note("write", S.Files.WriteLines(At("AUTOEXEC.BAT"), {"@ECHO OFF", "", "  SET X=1  "}));
        Note("written", Bytes("AUTOEXEC.BAT"));
        read("autoexec.bat");
        Note("write nothing", S.Files.WriteLines(At("empty.bat"), {}));
        Note("written", Bytes("empty.bat"));
        read("empty.bat");
        Put("mixed.txt", "crlf\r\nlf\ncr\rdouble\r\r\n\x1A\r\nlast");
        read("mixed.txt");
        read("missing.txt");
        read("Programs");
        Note("write into a missing directory", S.Files.WriteLines(At("no dir\\x.bat"), {"x"}));
        Note("write onto a directory", S.Files.WriteLines(At("Programs"), {"x"}));
    }

    const TSubject& S;
    std::vector<std::string> Log;
};

class FilesCompare : public ::testing::Test {
protected:
    TTestDir Dir{"yar-files-compare"};
};

TEST_F(FilesCompare, TheHostFilesBehaveAsTheSystems) {
    TWin32InstallFiles system;
    const std::string systemBase = Dir / "system";
    MakeDirectory(systemBase);
    const auto systemLog = TScenario({system, systemBase, [](const std::string& p) { return p; }}).Run();

    THostFiles host(Dir / "host");
    const std::string hostBase = "C:\\Scenario";
    host.ForceDirectories(hostBase);
    const auto hostLog =
        TScenario({host, hostBase, [&](const std::string& p) { return host.HostPath(p); }}).Run();

    ASSERT_EQ(hostLog.size(), systemLog.size());
    for (std::size_t i = 0; i < systemLog.size(); ++i) EXPECT_EQ(hostLog[i], systemLog[i]) << "step " << i;
    if (std::getenv("YAR_COMPARE_VERBOSE"))
        for (const std::string& line : systemLog) std::printf("%s\n", line.c_str());
}

// Only the install's file service makes things new; the one of the programs that read, remove and undo
// refuses, and makes nothing.
TEST_F(FilesCompare, OnlyTheInstallsFilesMakeThingsNew) {
    TWin32Files plain;
    const std::string dir = Dir / "new";
    EXPECT_THROW(plain.MakeNewDirectory(dir, ""), EInOutError);
    EXPECT_THROW(plain.ForceDirectoriesWithAccess(dir + "\\below", "D:P(A;OICI;FA;;;BA)"), EInOutError);
    EXPECT_EQ(plain.CreateNewFile(dir + ".txt"), std::nullopt);
    EXPECT_FALSE(plain.DirectoryExists(dir));
    EXPECT_FALSE(plain.FileExists(dir + ".txt"));
    TWin32InstallFiles install;
    install.MakeNewDirectory(dir, "");
    EXPECT_TRUE(install.DirectoryExists(dir));
    EXPECT_TRUE(install.CreateNewFile(dir + ".txt"));
    EXPECT_EQ(install.CreateNewFile(dir + ".txt"), std::nullopt) << "made new, never taken";
}

TEST_F(FilesCompare, SystemShortPathsNameTheSamePlace) {
    TWin32Files system;
    const std::string longDir = Dir / "Long Directory Name\\Another Long One";
    system.ForceDirectories(longDir);
    const std::string shortDir = system.ShortPath(longDir);
    EXPECT_NE(shortDir, longDir);
    EXPECT_LE(shortDir.size(), longDir.size());
    EXPECT_TRUE(system.DirectoryExists(shortDir));
    // Each name of the short form fits 8.3.
    for (std::string rest = shortDir; !IsDriveRoot(rest); rest = ExtractFileDir(rest))
        EXPECT_LE(ExtractFileName(rest).size(), 12u) << shortDir;
    EXPECT_EQ(system.ShortPath(longDir + "\\Missing Dir"), longDir + "\\Missing Dir");
}

TEST_F(FilesCompare, TheSystemsWindowsDirectory) {
    const std::string windows = TWin32Files().WindowsDirectory();
    EXPECT_EQ(windows, WindowsDirectory());
    EXPECT_TRUE(TWin32Files().DirectoryExists(windows));
}

} // namespace
} // namespace yar
