// The log file: a named log is never opened through a link, the default one is always a new file, and
// its lines are on disk as they are written. Natively against the host's links, under Wine against
// CreateFile's CREATE_NEW and the file's link count.
#include "system/LogFile.h"

#include "SystemTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace yar {
namespace {

namespace fs = std::filesystem;
using test::GetBytes;
using test::PutBytes;
using test::TTestDir;

// A name in the test's directory in the host's own form: the log takes paths as the system does.
std::string In(const TTestDir& dir, const std::string& name) {
    return (dir.Path() / name).string();
}

// The message of the ELogError that make raises; empty when it raises none.
template <typename TMake> std::string LogError(TMake make) {
    try {
        make();
    } catch (const ELogError& e) {
        return e.what();
    }
    return {};
}

TEST(LogFile, LinesAreInTheFileAsSoonAsTheyAreWritten) {
    const TTestDir dir("logfile-lines");
    const std::string path = In(dir, "setup.log");
    PutBytes(path, "an older log, longer than the new one");
    TRunLog log(TLogFile::OpenNamed(path), [] { return 1.5; });
    log.Write("first");
    EXPECT_EQ(GetBytes(path), "   1.500 first\r\n");
}

// What may stand at a named log's place, and why each is refused; what it leads to stays as it was.
TEST(LogFile, ANamedLogIsNeverOpenedThroughALink) {
    const TTestDir dir("logfile-named");
    const std::string victim = In(dir, "victim.ini");
    struct Case {
        const char* name;
        void (*plant)(const fs::path& at, const fs::path& victim);
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"hard link", [](const fs::path& at, const fs::path& v) { fs::create_hard_link(v, at); },
         "it is a file of more than one name"},
        {"directory", [](const fs::path& at, const fs::path&) { fs::create_directory(at); }, nullptr},
#ifndef _WIN32
        {"symbolic link", [](const fs::path& at, const fs::path& v) { fs::create_symlink(v, at); }, nullptr},
        {"dangling link",
         [](const fs::path& at, const fs::path& v) { fs::create_symlink(v.string() + ".new", at); }, nullptr},
        {"fifo", [](const fs::path& at, const fs::path&) { ::mkfifo(at.c_str(), 0600); }, nullptr},
#endif
    };
    for (const Case& c : cases) {
        PutBytes(victim, "[system]\r\nkeep=1\r\n");
        const std::string at = In(dir, std::string(c.name) + ".log");
        c.plant(fs::path(at), fs::path(victim));
        const std::string error = LogError([&] { TLogFile::OpenNamed(at); });
        EXPECT_EQ(error.rfind("Cannot create the log file " + at + ": ", 0), 0u) << c.name << ": " << error;
        if (c.reason) {
            EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
        }
        EXPECT_EQ(GetBytes(victim), "[system]\r\nkeep=1\r\n") << c.name;
        EXPECT_FALSE(fs::exists(victim + ".new")) << c.name;
    }
}

// Whatever another user left at a drawn name is passed by, untouched, for the next name.
TEST(LogFile, TheDefaultLogIsANewFileAtTheFirstFreeName) {
    const TTestDir dir("logfile-new");
    const std::string victim = In(dir, "victim.ini");
    PutBytes(victim, "keep");
    PutBytes(In(dir, "taken-0.log"), "planted");
    fs::permissions(fs::path(In(dir, "taken-0.log")), fs::perms::owner_read);
    fs::create_hard_link(fs::path(victim), fs::path(In(dir, "taken-1.log")));
    fs::create_directory(fs::path(In(dir, "taken-2.log")));
#ifndef _WIN32
    fs::create_symlink(fs::path(victim), fs::path(In(dir, "taken-3.log")));
    fs::create_symlink(fs::path(victim + ".new"), fs::path(In(dir, "taken-4.log")));
#endif
    int drawn = 0;
    const auto names = [&] {
        const std::string taken = In(dir, "taken-" + std::to_string(drawn) + ".log");
        ++drawn;
        return fs::exists(fs::symlink_status(fs::path(taken))) ? taken : In(dir, "free.log");
    };
    {
        TRunLog log(TLogFile::CreateNew(names), [] { return 0.0; });
        log.Write("Start");
    }
    EXPECT_EQ(GetBytes(In(dir, "free.log")), "   0.000 Start\r\n");
    EXPECT_EQ(GetBytes(In(dir, "taken-0.log")), "planted");
    EXPECT_EQ(GetBytes(victim), "keep");
    EXPECT_FALSE(fs::exists(victim + ".new"));
}

TEST(LogFile, WhenEveryDrawnNameIsTakenTheRunGetsNoLog) {
    const TTestDir dir("logfile-taken");
    const std::string taken = In(dir, "taken.log");
    PutBytes(taken, "planted");
    int drawn = 0;
    const std::string error = LogError([&] {
        TLogFile::CreateNew([&] {
            ++drawn;
            return taken;
        });
    });
    EXPECT_EQ(error.rfind("Cannot create a new log file " + taken + ": ", 0), 0u) << error;
    EXPECT_EQ(drawn, TLogFile::kNameTries);
    EXPECT_EQ(GetBytes(taken), "planted");
}

TEST(LogFile, NamePartsAreEightHexDigitsDrawnAnew) {
    std::set<std::string> parts;
    for (int i = 0; i < 8; ++i) {
        const std::string part = RandomNamePart();
        EXPECT_EQ(part.size(), 8u);
        EXPECT_EQ(part.find_first_not_of("0123456789abcdef"), std::string::npos) << part;
        parts.insert(part);
    }
    EXPECT_GT(parts.size(), 1u); // eight equal draws of 32 bits: no random source
}

} // namespace
} // namespace yar
