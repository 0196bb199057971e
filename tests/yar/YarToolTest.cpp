// The yar tool's own parts: stored names made safe, files placed only when complete, volumes found
// or asked for on a terminal, every damaged entry reported, and packing that loses no file.
#include "tests/archive/ContainerTestSupport.h"
#include "tests/archive/SegmentTestSupport.h"
#include "tools/yar/ArchiveCheck.h"
#include "tools/yar/Charset.h"
#include "tools/yar/ExitCodes.h"
#include "tools/yar/Interrupt.h"
#include "tools/yar/Pack.h"
#include "tools/yar/Placement.h"
#include "tools/yar/SafePath.h"
#include "tools/yar/TerminalPrompts.h"
#include "tools/yar/YarReader.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <map>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <stdexcept>

namespace yar::test {
namespace {
namespace fs = std::filesystem;
using namespace yar::tool;
using Parts = std::vector<std::string>;

// What RunGuarded makes of a command: its exit code and what it printed on standard error.
std::pair<int, std::string> GuardedCode(const std::function<int()>& command) {
    std::ostringstream err;
    struct TRestore {
        std::streambuf* Saved;
        ~TRestore() { std::cerr.rdbuf(Saved); }
    } restore{std::cerr.rdbuf(err.rdbuf())};
    const int code = RunGuarded(command);
    return {code, err.str()};
}
std::pair<int, std::string> Guarded(const std::function<void()>& command) {
    return GuardedCode([&] {
        command();
        return int{YarExitOk};
    });
}

// An exit code with the start of the message printed after "yar: ".
void ExpectOutcome(const std::pair<int, std::string>& got, int code, const std::string& message) {
    EXPECT_EQ(got.first, code) << got.second;
    EXPECT_EQ(got.second.rfind("yar: " + message, 0), 0u) << got.second;
}

TEST(YarSafePath, HostileNamesStayInside) {
    EXPECT_EQ(SafeComponents("docs\\readme.txt"), (Parts{"docs", "readme.txt"}));
    EXPECT_EQ(SafeComponents("..\\..\\windows\\win.ini"), (Parts{"windows", "win.ini"}));
    EXPECT_EQ(SafeComponents("../../etc/passwd"), (Parts{"etc", "passwd"}));
    EXPECT_EQ(SafeComponents("\\windows\\system\\x.dll"), (Parts{"windows", "system", "x.dll"}));
    EXPECT_EQ(SafeComponents("/etc/cron.d/job"), (Parts{"etc", "cron.d", "job"}));
    EXPECT_EQ(SafeComponents("c:\\autoexec.bat"), (Parts{"autoexec.bat"}));
    EXPECT_EQ(SafeComponents("C:autoexec.bat"), (Parts{"autoexec.bat"}));
    EXPECT_EQ(SafeComponents("\\\\server\\share\\f"), (Parts{"server", "share", "f"}));
    EXPECT_EQ(SafeComponents("a\\.\\b\\..\\c"), (Parts{"a", "b", "c"}));
    EXPECT_EQ(SafeComponents("file.txt:stream"), (Parts{"file.txt_stream"}));
    EXPECT_EQ(SafeComponents("con.txt"), (Parts{"_con.txt"}));
    EXPECT_EQ(SafeComponents("dir\\LPT1"), (Parts{"dir", "_LPT1"}));
    EXPECT_EQ(SafeComponents("CONIN$"), (Parts{"_CONIN$"}));
    EXPECT_EQ(SafeComponents("conout$.txt"), (Parts{"_conout$.txt"}));
    EXPECT_EQ(SafeComponents("trailing. \\name..."), (Parts{"trailing", "name"}));
    EXPECT_EQ(SafeComponents("tab\there"), (Parts{"tab_here"}));
    EXPECT_TRUE(SafeComponents("..\\..").empty());
    EXPECT_TRUE(SafeComponents("c:\\").empty());
    EXPECT_EQ(SafeTargetPath("out", ".."), "");
    const std::string joined = SafeTargetPath("out", "..\\a\\b");
    EXPECT_TRUE(joined == "out/a/b" || joined == "out\\a\\b") << joined;
}

using YarPlacement = ScratchDir;

TEST_F(YarPlacement, FilesAppearOnlyWhenComplete) {
    const std::string out = Dir() + "/out";
    {
        TPlacement place(out, false);
        const std::string first = place.Place("..\\one.txt");
        place.Target().WriteBuffer("1", 1);
        EXPECT_FALSE(Exists(out + "/one.txt")); // still being written
        const std::string second = place.Place("sub\\two.txt");
        EXPECT_EQ(ReadFile(out + "/one.txt"), Bytes("1")); // complete once the next one starts
        place.Target().WriteBuffer("partial", 7);
        place.Discard(); // the expansion failed while writing two.txt
        EXPECT_FALSE(Exists(second));
        EXPECT_FALSE(Exists(out + "/sub/two.txt"));
        EXPECT_EQ(place.Placed(), 1u);
    }
    TPlacement again(out, false);
    EXPECT_EQ(again.Place("one.txt"), ""); // exists: left alone without overwriting
    EXPECT_EQ(again.Place("\\..\\"), "");  // nothing safe left
    EXPECT_EQ(again.Refused().size(), 1u);
    EXPECT_EQ(again.Unsafe(), std::vector<std::string>{"\\..\\"});

    TPlacement force(out, true);
    EXPECT_NE(force.Place("one.txt"), "");
    force.Target().WriteBuffer("new", 3);
    EXPECT_EQ(force.Place(".\\one.txt"), ""); // the same place twice in one run
    EXPECT_EQ(force.Duplicates().size(), 1u);
    force.Commit();
    EXPECT_EQ(ReadFile(out + "/one.txt"), Bytes("new"));
}

// Placing needs no question the file system answers at once: what changes meanwhile still counts.
TEST_F(YarPlacement, WhatComesMeanwhileIsKeptAndAttributesStillApply) {
    const std::string out = Dir() + "/out";
    TPlacement place(out, false);
    place.Place("sub\\late.txt");
    place.Target().WriteBuffer("ours", 4);
    WriteFile(out + "/sub/late.txt", Bytes("theirs")); // made by someone else while we wrote
    place.Place("sub\\ro.txt");
    EXPECT_EQ(ReadFile(out + "/sub/late.txt"), Bytes("theirs"));
    ASSERT_EQ(place.Refused().size(), 1u);
    EXPECT_EQ(std::filesystem::path(place.Refused()[0]).filename(), "late.txt");
    place.Target().WriteBuffer("r", 1);
    place.Commit(0x21);
    EXPECT_EQ(place.Placed(), 1u);
    // Nothing but the two files: the refused one's temporary file went.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(out + "/sub")) ++files;
    EXPECT_EQ(files, 2u);
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(::stat((out + "/sub/ro.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH), 0u); // read-only as stored
#endif
}

// The free space is asked again before an entry that the space last seen, less what was placed
// since, might not hold.
TEST_F(YarPlacement, TheFreeSpaceIsAskedAgainWhenAnEntryComesNearIt) {
    TPlacement place(Dir() + "/out", false);
    int asked = 0;
    place.FreeSpace = [&](const std::string&) {
        ++asked;
        return 10000.0;
    };
    place.Place("a", 1000); // asked: 9000 left by the run's count
    place.Place("b", 4000); // within half of it: not asked, 5000 left
    EXPECT_EQ(asked, 1);
    place.Place("c", 3000); // more than half of what is left: asked again
    EXPECT_EQ(asked, 2);
    EXPECT_THROW(place.Place("d", 20000), EToolFileError);
    EXPECT_EQ(asked, 3);
}

// A numbered set of two volumes of one archive, for the tool's reader.
class YarSet : public SegmentTest {
protected:
    void SetUp() override {
        SegmentTest::SetUp();
        Paths = WriteSet({SetArchiveOf("app", Files)}, {40});
    }
    const TFileList Files = {{"a.txt", Bytes("alpha")}, {"b.txt", Pattern(3000, 9)}};
    std::vector<std::string> Paths;
};

TEST_F(YarSet, VolumesAreFoundBeforeAnyoneIsAsked) {
    const std::string elsewhere = Dir() + "\\elsewhere";
    fs::create_directories(NativePath(elsewhere));
    fs::rename(NativePath(Paths[1]), NativePath(elsewhere + "\\segdata.002"));
    std::istringstream in;
    std::ostringstream out;
    TTerminalPrompts prompts(elsewhere, false, in, out);
    TYarReader reader(NativePath(Paths[0]), &prompts, NativePath(TmpDir()));
    prompts.Attach(reader);
    std::vector<TEntryVerdict> verdicts;
    reader.Test([&](const TEntryVerdict& v) { verdicts.push_back(v); });
    ASSERT_EQ(verdicts.size(), 2u);
    EXPECT_EQ(verdicts[1].Archive, "app\\*.*");
    EXPECT_TRUE(verdicts[0].Error.empty() && verdicts[1].Error.empty());
    EXPECT_EQ(out.str(), ""); // nobody was asked
}

TEST_F(YarSet, WithoutATerminalAMissingVolumeSaysHowToPointAtIt) {
    fs::remove(NativePath(Paths[1]));
    std::istringstream in;
    std::ostringstream out;
    TTerminalPrompts prompts(std::nullopt, false, in, out);
    TYarReader reader(NativePath(Paths[0]), &prompts, NativePath(TmpDir()));
    prompts.Attach(reader);
    try {
        reader.List([](const TArchiveContents&) {});
        FAIL() << "no error";
    } catch (const EVolumeUnavailable& e) {
        EXPECT_NE(std::string(e.what()).find("volume 2 of the set (segdata.002)"), std::string::npos)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("--volumes DIR"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(TmpLeftovers().empty());
}

TEST_F(YarSet, OnATerminalTheUserNamesTheDirectoryOrCancels) {
    const std::string moved = Dir() + "\\moved";
    fs::create_directories(NativePath(moved));
    const std::vector<uint8_t> volume2 = ReadFile(Paths[1]);
    // Volume 2 where the set is, but it is the wrong volume: the tool does not take it and asks; the
    // user points at it all the same, is told, and then names the right directory.
    std::vector<uint8_t> wrong = volume2;
    wrong[6] = 5;
    WriteFile(Paths[1], wrong);
    WriteFile(moved + "\\segdata.002", volume2);
    std::istringstream in(NativePath(VolDir()) + "\nx\no\n" + NativePath(moved) + "\n");
    std::ostringstream out;
    TTerminalPrompts prompts(std::nullopt, true, in, out);
    TYarReader reader(NativePath(Paths[0]), &prompts, NativePath(TmpDir()));
    prompts.Attach(reader);
    std::vector<std::string> names;
    reader.List([&](const TArchiveContents& c) {
        for (const auto& e : c.Entries) names.push_back(e.Name);
    });
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.txt"})) << out.str();
    EXPECT_NE(
        out.str().find("Incorrect segmented mounted!\nCorrect and then type o to go on, or c to stop [o/c] "),
        std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("Mount Segment #2 (segdata.002)\nDirectory Path:"), std::string::npos)
        << out.str();

    std::istringstream cancel("c\n");
    TTerminalPrompts prompts2(std::nullopt, true, cancel, out);
    TYarReader reader2(NativePath(Paths[0]), &prompts2, NativePath(TmpDir()));
    prompts2.Attach(reader2);
    EXPECT_THROW(reader2.List([](const TArchiveContents&) {}), ESegError);
}

TEST_F(YarSet, TestReportsEveryDamagedEntry) {
    builder::TArchiveWriter writer(coLZH5);
    writer.Add(Entry("good1.txt", Pattern(5000, 1), coLZH5));
    writer.Add(Entry("bad1.txt", Pattern(5000, 2), coLZH5));
    writer.Add(Entry("good2.txt", Pattern(100, 3), coNone));
    writer.Add(Entry("locked.txt", Bytes("secret"), coNone, 2));
    writer.Add(Entry("bad2.txt", Bytes("sum"), coNone));
    builder::TArchiveImage image = writer.Image();
    image.Entries[1].Header.Checksum ^= 1;
    image.Entries[4].Header.Checksum += 5;
    image.Entries.push_back(builder::PackEntry(Entry("late.txt", Bytes("never reached")), 0));
    const std::string path = PathOf("damaged.yar");
    WriteFile(path, image.Bytes());

    std::istringstream in;
    std::ostringstream out;
    TTerminalPrompts prompts(std::nullopt, false, in, out);
    TYarReader reader(NativePath(path), &prompts, NativePath(TmpDir()));
    EXPECT_EQ(reader.Kind(), TInputKind::Archive);
    std::vector<std::pair<std::string, std::string>> verdicts;
    reader.Test([&](const TEntryVerdict& v) { verdicts.emplace_back(v.Name, v.Error); });
    const std::string checksum = "Bad checksum during expansion -- data may be invalid";
    ASSERT_EQ(verdicts.size(), 7u);
    // The structure first: after the archive's total an expansion never gets there, and the total is
    // not the sum of the entries.
    EXPECT_EQ(verdicts[0].first, "late.txt");
    EXPECT_EQ(verdicts[0].second, "after the archive's total size: an expansion never reaches it");
    EXPECT_EQ(verdicts[1].first, "");
    EXPECT_NE(verdicts[1].second.find("the header's total size is"), std::string::npos);
    EXPECT_EQ(verdicts[2], std::make_pair(std::string("good1.txt"), std::string()));
    EXPECT_EQ(verdicts[3], std::make_pair(std::string("bad1.txt"), checksum));
    EXPECT_EQ(verdicts[4], std::make_pair(std::string("good2.txt"), std::string()));
    EXPECT_EQ(verdicts[5],
              std::make_pair(std::string("locked.txt"), std::string("File locked -- valid key required")));
    EXPECT_EQ(verdicts[6], std::make_pair(std::string("bad2.txt"), checksum));
}

// An lh5 entry whose pre-code is not a complete code; locked or not.
builder::TArchiveImage BadTableArchive(int32_t lock) {
    builder::TArchiveWriter writer(coNone);
    writer.Add(Entry("t.txt", Pattern(10), coNone, lock));
    builder::TArchiveImage image = writer.Image();
    image.Entries[0].Header.Method = coLZH5;
    image.Entries[0].Stored = {0x00, 0x01, 0x09, 0x00, 0x00, 0x00};
    image.Entries[0].Header.CompressedSize = 6;
    return image;
}

TEST_F(YarSet, EveryReadingErrorReachesTheExitCodeOfItsType) {
    struct Case {
        const char* name;
        std::function<std::string()> input; // makes the input and returns the path given to yar
        int code;
        std::string message;
        int32_t key = 0;
        std::optional<std::string> typed = std::nullopt; // answers on a terminal; none: no terminal
    };
    const auto archive = [this](const builder::TArchiveImage& image) {
        WriteFile(PathOf("in.yar"), image.Bytes());
        return PathOf("in.yar");
    };
    const auto target = [this](const std::string& name) {
        return SafeTargetPath(fs::path(Dir() + "/x").make_preferred().string(), name);
    };
    builder::TArchiveImage badSum = builder::TArchiveWriter(coNone).Add(Entry("a.txt", Bytes("sum"))).Image();
    badSum.Entries[0].Header.Checksum += 1;
    const std::string notVolume2 = "XSeg" + std::string(2, '\0') + "\2" + std::string(1, '\0');
    const std::vector<Case> cases = {
        {"missing volume, no terminal",
         [&] {
             fs::remove(NativePath(Paths[1]));
             return Paths[0];
         },
         YarExitAborted, "volume 2 of the set (segdata.002) is not in "},
        {"prompt cancelled",
         [&] {
             fs::remove(NativePath(Paths[1]));
             return Paths[0];
         },
         YarExitAborted, "Operation aborted by user", 0, ""},
        {"volume named on the terminal holds no volume record",
         [&] {
             WriteFile(Paths[1], Bytes(notVolume2));
             return Paths[0];
         },
         YarExitFile, "Stream open failed", 0, NativePath(VolDir()) + "\n"},
        {"damaged set header",
         [&] {
             std::vector<uint8_t> volume1 = ReadFile(Paths[0]);
             volume1[TSegVolumeRecord::Size] = 'X';
             WriteFile(Paths[0], volume1);
             return Paths[0];
         },
         YarExitDamaged, "Invalid Segment Header ID"},
        {"name list without a file",
         [&] {
             builder::TSegSetArchive arc = SetArchiveOf("app", Files);
             arc.NameList = ArchiveOf({});
             return WriteSet({arc}).at(0);
         },
         YarExitDamaged, "List index out of bounds (0)"},
        {"bad checksum", [&] { return archive(badSum); }, YarExitDamaged,
         target("a.txt") + ": Bad checksum during expansion -- data may be invalid"},
        {"bad decode table", [&] { return archive(BadTableArchive(0)); }, YarExitDamaged,
         target("t.txt") + ": Bad decode table in archive!"},
        {"bad decode table of a locked entry", [&] { return archive(BadTableArchive(1)); }, YarExitDamaged,
         target("t.txt") + ": File locked -- valid key required", 7},
        {"neither set nor archive",
         [&] {
             WriteFile(PathOf("plain.txt"), Bytes("plain text"));
             return PathOf("plain.txt");
         },
         YarExitFile, NativePath(PathOf("plain.txt")) + " is neither a segment set nor an archive"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Paths = WriteSet({SetArchiveOf("app", Files)}, {40});
        const std::string input = NativePath(c.input());
        std::istringstream in(c.typed.value_or(""));
        std::ostringstream out;
        TTerminalPrompts prompts(std::nullopt, c.typed.has_value(), in, out);
        ExpectOutcome(GuardedCode([&] {
                          TYarReader reader(input, &prompts, NativePath(TmpDir()));
                          prompts.Attach(reader);
                          reader.SetKey(c.key);
                          TPlacement place(Dir() + "/x", true);
                          const auto damage = reader.Extract(place);
                          return ExtractionOutcome(reader, damage, place, std::cerr);
                      }),
                      c.code, c.message);
    }
}

TEST(YarExitCodes, FaultsOfTheToolAreNotTakenForFailures) {
    // A broad handler would give a bug the exit code of a file problem.
    EXPECT_THROW(Guarded([] { throw std::runtime_error("fault"); }), std::runtime_error);
    EXPECT_THROW(Guarded([] { throw std::invalid_argument("fault"); }), std::invalid_argument);
}

TEST_F(YarPlacement, HostileStoredNamesExtractInsideTheDirectory) {
    builder::TArchiveWriter writer(coNone);
    for (const char* name :
         {"..\\..\\evil.txt", "\\abs\\rooted.txt", "c:\\win.ini", "a/../../up.txt", "..\\"})
        writer.Add(Entry(name, Bytes(name)));
    WriteFile(PathOf("hostile.yar"), writer.Bytes());
    std::istringstream in;
    std::ostringstream out;
    TTerminalPrompts prompts(std::nullopt, false, in, out);
    fs::create_directories(Dir() + "/tmp");
    TYarReader reader(NativePath(PathOf("hostile.yar")), &prompts, Dir() + "/tmp");
    const std::string x = Dir() + "/deep/x";
    TPlacement place(x, false);
    reader.Extract(place);
    EXPECT_EQ(ReadFile(x + "/evil.txt"), Bytes("..\\..\\evil.txt"));
    EXPECT_EQ(ReadFile(x + "/abs/rooted.txt"), Bytes("\\abs\\rooted.txt"));
    EXPECT_EQ(ReadFile(x + "/win.ini"), Bytes("c:\\win.ini"));
    EXPECT_EQ(ReadFile(x + "/a/up.txt"), Bytes("a/../../up.txt"));
    EXPECT_EQ(place.Unsafe(), std::vector<std::string>{"..\\"});
    EXPECT_FALSE(fs::exists(Dir() + "/evil.txt"));
    EXPECT_FALSE(fs::exists(Dir() + "/deep/evil.txt"));
    EXPECT_FALSE(fs::exists(Dir() + "/up.txt"));
    // Nothing half-written is left under a temporary name.
    for (const auto& item : fs::recursive_directory_iterator(x))
        EXPECT_EQ(item.path().string().find(".yar-partial"), std::string::npos) << item.path();
}

// Extracts an archive image as `yar extract` does, into out; returns the code and the messages.
struct TExtraction {
    int Code = 0;
    std::string Messages;
};

class YarExtract : public ScratchDir {
protected:
    TExtraction Run(const std::vector<uint8_t>& archive, const std::string& out, bool force = false,
                    const std::function<void(TPlacement&)>& adjust = {}) {
        WriteFile(PathOf("in.yar"), archive);
        std::istringstream in;
        std::ostringstream prompts;
        TTerminalPrompts terminal(std::nullopt, false, in, prompts);
        fs::create_directories(Dir() + "/tmp");
        TYarReader reader(NativePath(PathOf("in.yar")), &terminal, Dir() + "/tmp");
        TPlacement place(out, force);
        if (adjust) adjust(place);
        std::ostringstream err;
        TExtraction result;
        result.Code = ExtractionOutcome(reader, reader.Extract(place), place, err);
        result.Messages = err.str();
        return result;
    }
    std::vector<std::string> FilesBelow(const std::string& dir) const {
        std::vector<std::string> names;
        for (const auto& item : fs::recursive_directory_iterator(dir))
            names.push_back(fs::relative(item.path(), dir).generic_string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// A path in the platform's own form, as the tool reports it.
std::string Native(const std::string& path) {
    return fs::path(path).make_preferred().string();
}

std::vector<uint8_t> StoredArchive(const std::vector<std::pair<std::string, std::string>>& files) {
    builder::TArchiveWriter writer(coNone);
    for (const auto& [name, data] : files) writer.Add(Entry(name, Bytes(data)));
    return writer.Bytes();
}

#ifndef _WIN32
TEST_F(YarExtract, NothingIsWrittenThroughALinkThatWasThere) {
    const std::string out = Dir() + "/out", elsewhere = Dir() + "/elsewhere";
    fs::create_directories(out);
    fs::create_directories(elsewhere);
    fs::create_directory_symlink(elsewhere, out + "/sub");
    WriteFile(elsewhere + "/victim", Bytes("precious"));
    fs::create_symlink(elsewhere + "/victim", out + "/x.yar-partial"); // the old temporary name
    fs::create_symlink(elsewhere + "/victim", out + "/link.txt");
    const TExtraction got = Run(
        StoredArchive({{"sub\\evil.txt", "evil"}, {"x", "x"}, {"x.yar-partial", "kept"}, {"link.txt", "l"}}),
        out, true);
    EXPECT_EQ(got.Code, YarExitLeftAlone) << got.Messages;
    EXPECT_NE(got.Messages.find("yar: skipped " + out + "/sub/evil.txt: " + out +
                                "/sub is a symbolic link (use --follow-links to write through it)"),
              std::string::npos)
        << got.Messages;
    EXPECT_FALSE(fs::exists(elsewhere + "/evil.txt"));
    EXPECT_EQ(ReadFile(elsewhere + "/victim"), Bytes("precious"));
    EXPECT_EQ(ReadFile(out + "/x"), Bytes("x"));
    // --force replaces the links themselves, never what they point at.
    EXPECT_EQ(ReadFile(out + "/x.yar-partial"), Bytes("kept"));
    EXPECT_FALSE(fs::is_symlink(out + "/link.txt"));
    EXPECT_EQ(ReadFile(out + "/link.txt"), Bytes("l"));

    const TExtraction followed =
        Run(StoredArchive({{"sub\\ok.txt", "ok"}}), out, false, [](TPlacement& p) { p.FollowLinks = true; });
    EXPECT_EQ(followed.Code, YarExitOk) << followed.Messages;
    EXPECT_EQ(ReadFile(elsewhere + "/ok.txt"), Bytes("ok"));
}
#endif

TEST_F(YarExtract, TemporaryFilesTakeNoNameOfTheUsersNorTheLengthOfTheName) {
    const std::string out = Dir() + "/out";
    fs::create_directories(out);
    WriteFile(out + "/x.yar-partial", Bytes("the user's"));
    const std::string longName(250, 'n');
    const TExtraction got = Run(StoredArchive({{"x", "x"}, {longName, "long"}}), out);
    EXPECT_EQ(got.Code, YarExitOk) << got.Messages;
    EXPECT_EQ(ReadFile(out + "/x.yar-partial"), Bytes("the user's"));
    EXPECT_EQ(ReadFile(out + "/" + longName), Bytes("long"));
    EXPECT_EQ(FilesBelow(out), (std::vector<std::string>{longName, "x", "x.yar-partial"}));
}

TEST_F(YarExtract, AFileThatCannotBeCreatedIsNamedWithItsReason) {
    const std::string out = Dir() + "/out";
    fs::create_directories(out);
    WriteFile(out + "/plain", Bytes("a file where a directory is wanted"));
    const std::string tooLong(300, 'n');
    const TExtraction got =
        Run(StoredArchive({{tooLong, "1"}, {"plain\\inside.txt", "2"}, {"ok.txt", "3"}}), out);
    EXPECT_EQ(got.Code, YarExitFile) << got.Messages;
    EXPECT_EQ(got.Messages.find("kept existing"), std::string::npos) << got.Messages;
    EXPECT_EQ(got.Messages.find("I/O error"), std::string::npos) << got.Messages;
    EXPECT_NE(got.Messages.find(Native(out + "/" + tooLong) + ": "), std::string::npos) << got.Messages;
    EXPECT_NE(got.Messages.find(Native(out + "/plain/inside.txt") + ": cannot create the directory " +
                                Native(out + "/plain") + ": "),
              std::string::npos)
        << got.Messages;
    EXPECT_EQ(ReadFile(out + "/ok.txt"), Bytes("3"));
}

TEST_F(YarExtract, NamesThatDifferInLetterCaseAreOneFileWhereCaseDoesNotCount) {
    const std::string out = Dir() + "/out";
    const TExtraction got = Run(StoredArchive({{"Read.me", "1"}, {"READ.ME", "2"}, {"read.ME", "3"}}), out,
                                false, [](TPlacement& p) { p.CaseBlind = true; });
    EXPECT_EQ(got.Code, YarExitLeftAlone);
    EXPECT_EQ(FilesBelow(out), std::vector<std::string>{"Read.me"});
    EXPECT_NE(got.Messages.find("READ.ME: an earlier entry of the same name was extracted there"),
              std::string::npos)
        << got.Messages;
    EXPECT_NE(got.Messages.find("read.ME: an earlier entry"), std::string::npos) << got.Messages;
}

TEST_F(YarExtract, DamagedEntriesAreReportedAndTheRestIsExtracted) {
    builder::TArchiveWriter writer(coNone);
    writer.Add(Entry("first.txt", Bytes("one")));
    writer.Add(Entry("bad.txt", Bytes("two")));
    writer.Add(Entry("third.txt", Bytes("three")));
    builder::TArchiveImage image = writer.Image();
    image.Entries[1].Header.Checksum += 1;
    const std::string out = Dir() + "/out";
    const TExtraction got = Run(image.Bytes(), out);
    EXPECT_EQ(got.Code, YarExitDamaged);
    EXPECT_EQ(got.Messages, "yar: " + Native(out + "/bad.txt") +
                                ": Bad checksum during expansion -- data may be invalid\n");
    EXPECT_EQ(FilesBelow(out), (std::vector<std::string>{"first.txt", "third.txt"}));
}

// The archive's bytes with a little-endian 32-bit value put at offset.
std::vector<uint8_t> With32(std::vector<uint8_t> bytes, std::size_t offset, int32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
    return bytes;
}

TEST_F(YarExtract, BrokenStructureIsDamageWithTheEntryItConcerns) {
    // Two stored entries "a.txt" (3 bytes) and "b.txt" (5 bytes): the header's total is at 8, the
    // first entry's sizes at 21 + 8 and 21 + 12, its method at 21 + 16, the second entry at 54.
    const std::vector<uint8_t> sound = StoredArchive({{"a.txt", "abc"}, {"b.txt", "bbbbb"}});
    ASSERT_EQ(sound.size(), 21u + 2 * 30 + 8);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::string problem;
    };
    std::vector<uint8_t> unknownMethod = With32(sound, 21 + 17, 0); // checksum 0 ...
    unknownMethod[21 + 16] = 9;                                     // ... and a method nobody knows
    std::vector<uint8_t> cut = sound;
    cut.resize(cut.size() - 2);
    const std::vector<Case> cases = {
        {"an entry swallows the next one's header", With32(sound, 21 + 12, 3 + 35),
         "a.txt: stored entry of 3 bytes holds 38"},
        {"negative packed size", With32(sound, 21 + 12, -5),
         "a.txt: impossible packed size -5: the rest of the archive cannot be read"},
        {"negative size", With32(sound, 21 + 8, -3), "a.txt: impossible size -3"},
        {"unknown method with checksum 0", unknownMethod, "a.txt: unknown compression method #9"},
        {"total below the sum", With32(sound, 8, 3),
         "in.yar: the header's total size is 3 bytes, the entries hold 8"},
        {"data past the end", cut,
         "b.txt: its data runs past the end of the archive (5 bytes packed, 3 left)"},
        {"bytes after the last entry",
         [&] {
             std::vector<uint8_t> b = sound;
             b.insert(b.end(), {1, 2, 3});
             return b;
         }(),
         "in.yar: 3 bytes after the last entry are no entry"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(Dir() + "/out");
        const TExtraction got = Run(c.bytes, Dir() + "/out");
        EXPECT_EQ(got.Code, YarExitDamaged);
        EXPECT_NE(got.Messages.find("yar: " + c.problem + "\n"), std::string::npos) << got.Messages;
    }
    // The same problems in `yar test`, beside the container's own verdicts.
    WriteFile(PathOf("t.yar"), With32(sound, 8, 3));
    std::istringstream in;
    std::ostringstream out;
    TTerminalPrompts prompts(std::nullopt, false, in, out);
    TYarReader reader(NativePath(PathOf("t.yar")), &prompts, Dir() + "/tmp");
    std::vector<std::string> errors;
    reader.Test([&](const TEntryVerdict& v) {
        if (!v.Error.empty()) errors.push_back(v.Name + ": " + v.Error);
    });
    EXPECT_EQ(errors, (std::vector<std::string>{
                          "b.txt: after the archive's total size: an expansion never reaches it",
                          ": the header's total size is 3 bytes, the entries hold 8"}));
}

TEST_F(YarExtract, AnEmptyEntryAfterTheTotalIsNoDamage) {
    builder::TArchiveWriter writer(coNone);
    writer.Add(Entry("data.txt", Bytes("data")));
    builder::TArchiveImage image = writer.Image();
    image.Entries.push_back(builder::PackEntry(Entry("empty.txt", {}), 0));
    const TExtraction got = Run(image.Bytes(), Dir() + "/out");
    EXPECT_EQ(got.Code, YarExitOk) << got.Messages;
    EXPECT_EQ(FilesBelow(Dir() + "/out"), (std::vector<std::string>{"data.txt", "empty.txt"}));

    std::istringstream in;
    std::ostringstream out;
    TTerminalPrompts prompts(std::nullopt, false, in, out);
    TYarReader reader(NativePath(PathOf("in.yar")), &prompts, Dir() + "/tmp");
    std::vector<TEntryVerdict> verdicts;
    reader.Test([&](const TEntryVerdict& v) { verdicts.push_back(v); });
    ASSERT_EQ(verdicts.size(), 2u);
    EXPECT_EQ(verdicts[1].Name, "empty.txt");
    EXPECT_EQ(verdicts[1].Error, "");
    EXPECT_EQ(verdicts[1].Note, "the setup program skips it: it lies after the archive's total size");
}

TEST_F(YarExtract, AnEntryThatCannotFitStopsBeforeAnythingIsMadeForIt) {
    builder::TArchiveWriter writer(coNone);
    writer.Add(Entry("small.txt", Bytes("small")));
    builder::TArchiveImage image = writer.Image();
    builder::TPackedEntry big = builder::PackEntry(Entry("deep\\dir\\big.bin", Pattern(64)), 0);
    big.Header.ExpandedSize = 1 << 30; // a few bytes that claim a gigabyte
    image.Entries.push_back(big);
    image.Header.TotalSize += big.Header.ExpandedSize - 64;
    const std::string out = Dir() + "/out";
    const auto outcome = Guarded([&] {
        Run(image.Bytes(), out, false,
            [](TPlacement& p) { p.FreeSpace = [](const std::string&) { return 4096.0; }; });
    });
    EXPECT_EQ(outcome.first, YarExitFile);
    EXPECT_EQ(outcome.second, "yar: no space left on device: " + Native(out + "/deep/dir/big.bin") +
                                  " needs 1073741824 bytes, 4096 bytes free\n");
    EXPECT_EQ(FilesBelow(out), std::vector<std::string>{"small.txt"}); // no directory, no partial file
}

TEST(YarWriteFailure, AFullDiskIsNamedWithThePathAndTheFreeSpace) {
#ifdef _WIN32
    const int full = 112; // ERROR_DISK_FULL
#else
    const int full = ENOSPC;
#endif
    EXPECT_EQ(WriteFailure("out/a.bin", full, 512), "no space left on device: out/a.bin (512 bytes free)");
    EXPECT_EQ(WriteFailure("out/a.bin", 5, 512).rfind("cannot write out/a.bin: ", 0), 0u);
}

TEST_F(YarSet, AnInterruptedRunLeavesNoPartialFileNorTemporaryCopy) {
    const std::string out = Dir() + "/out";
    for (const bool extract : {true, false}) {
        SCOPED_TRACE(extract ? "extract" : "test");
        std::istringstream in;
        std::ostringstream prompts;
        TTerminalPrompts terminal(std::nullopt, false, in, prompts);
        TYarReader reader(NativePath(Paths[0]), &terminal, NativePath(TmpDir()));
        terminal.Attach(reader);
        // The signal arrives while b.txt is being expanded.
        reader.OnProgress = [](double, const std::string& label) {
            if (label.rfind("b.txt ", 0) == 0) RequestStop(2);
        };
        {
            TPlacement place(out, true);
            if (extract)
                EXPECT_THROW(reader.Extract(place), EInterrupted);
            else
                EXPECT_THROW(reader.Test([](const TEntryVerdict&) {}), EInterrupted);
        }
        ClearStopRequest();
        EXPECT_TRUE(TmpLeftovers().empty());
        for (const auto& item : fs::recursive_directory_iterator(out))
            EXPECT_EQ(item.path().filename().string().rfind(".yar", 0), std::string::npos) << item.path();
    }
#ifndef _WIN32
    const std::string scratch = MakePrivateTempDir("yar-test-");
    EXPECT_EQ(fs::status(scratch).permissions(), fs::perms::owner_all);
    fs::remove(scratch);
#endif
}

TEST_F(YarSet, AVolumeThatIsThereButWrongIsNamedAsSuch) {
    struct Case {
        const char* name;
        std::vector<uint8_t> volume2;
        std::string problem;
    };
    std::vector<uint8_t> other = ReadFile(Paths[1]);
    other[6] = 5;
    const std::vector<Case> cases = {
        {"another number", other, "is volume 5, not 2"},
        {"too short", Bytes("SSe"), "is too short to be a volume (3 bytes)"},
        {"empty", {}, "is empty"},
        {"no volume", Bytes("plain text here"), "is no volume of a segment set"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(Paths[1], c.volume2);
        std::istringstream in;
        std::ostringstream out;
        TTerminalPrompts prompts(std::nullopt, false, in, out);
        TYarReader reader(NativePath(Paths[0]), &prompts, NativePath(TmpDir()));
        prompts.Attach(reader);
        try {
            reader.List([](const TArchiveContents&) {});
            ADD_FAILURE() << "no error";
        } catch (const EVolumeUnavailable& e) {
            EXPECT_NE(std::string(e.what()).find("segdata.002 " + c.problem), std::string::npos) << e.what();
        }
    }
}

TEST_F(YarSet, ANameListEntryWithoutItsFileIsDamage) {
    const std::vector<std::string> paths =
        WriteSet({builder::MakeSetArchive("app\\*.*", {"a.txt", "ghost.txt"}, ArchiveOf(Files), coNone)});
    std::istringstream in;
    std::ostringstream out;
    TTerminalPrompts prompts(std::nullopt, false, in, out);
    TYarReader reader(NativePath(paths[0]), &prompts, NativePath(TmpDir()));
    prompts.Attach(reader);
    std::vector<std::string> errors;
    reader.Test([&](const TEntryVerdict& v) {
        if (!v.Error.empty()) errors.push_back(v.Name + ": " + v.Error);
    });
    EXPECT_EQ(errors, std::vector<std::string>{"ghost.txt: named in the set's list but not in the archive"});
}

TEST_F(YarSet, ASetIsReadInPlaceWithoutATemporaryCopy) {
    // One archive over five volumes, one of them holding only its volume record.
    const TFileList files = {
        {"a.txt", Bytes("alpha")}, {"b.bin", Pattern(30000, 4)}, {"c.bin", Pattern(10000, 5)}};
    const auto archives = {SetArchiveOf("app", files)};
    const std::size_t data = PieceOffsets(archives).at(5);
    Paths = WriteSet(archives, {data + 100, data + 9000, data + 9000, data + 20000});
    ASSERT_EQ(Paths.size(), 5u);
    std::istringstream in;
    std::ostringstream out;
    TTerminalPrompts prompts(std::nullopt, false, in, out);
    TYarReader reader(NativePath(Paths[0]), &prompts, NativePath(TmpDir()));
    prompts.Attach(reader);
    std::vector<std::string> tested;
    reader.Test([&](const TEntryVerdict& v) {
        EXPECT_TRUE(TmpLeftovers().empty());
        EXPECT_EQ(v.Error, "") << v.Name;
        tested.push_back(v.Name);
    });
    EXPECT_EQ(tested, (std::vector<std::string>{"a.txt", "b.bin", "c.bin"}));
    TPlacement place(Dir() + "/x", true);
    EXPECT_TRUE(reader.Extract(place).empty());
    EXPECT_EQ(ReadFile(Dir() + "/x/app/b.bin"), files[1].second);
    EXPECT_TRUE(TmpLeftovers().empty());

    // A volume cut short inside b.bin: what follows comes too early, so b.bin and what stands where
    // c.bin's header was are damage; the archive's last bytes would be on a sixth volume, which is named.
    std::vector<uint8_t> volume4 = ReadFile(Paths[3]);
    volume4.resize(volume4.size() - 50);
    WriteFile(Paths[3], volume4);
    std::vector<std::string> errors;
    ExpectOutcome(Guarded([&] {
                      TYarReader cut(NativePath(Paths[0]), &prompts, NativePath(TmpDir()));
                      prompts.Attach(cut);
                      cut.Test([&](const TEntryVerdict& v) {
                          if (!v.Error.empty()) errors.push_back(v.Name);
                      });
                  }),
                  YarExitAborted, "volume 6 of the set (segdata.006) is not in ");
    EXPECT_NE(std::find(errors.begin(), errors.end(), "b.bin"), errors.end());
    EXPECT_TRUE(TmpLeftovers().empty());
}

TEST(YarCharset, StoredNamesAreWindows1252BothWays) {
    const std::string stored = "Caf\xE9 \x80 \x9C\xFF\x81.txt";
    const std::string utf8 = "Caf\u00E9 \u20AC \u0153\u00FF\u0081.txt";
    EXPECT_EQ(StoredToUtf8(stored, TCharset::Windows1252), utf8);
    EXPECT_EQ(Utf8ToStored(utf8, TCharset::Windows1252), stored);
    EXPECT_EQ(StoredToUtf8(stored, TCharset::Bytes), stored);
    EXPECT_EQ(Utf8ToStored("\u65E5\u672C.txt", TCharset::Windows1252), std::nullopt); // no ANSI form
    EXPECT_EQ(Utf8ToStored("bad\xC3", TCharset::Windows1252), std::nullopt);          // no UTF-8
    EXPECT_THROW(ParseCharset("klingon"), EUsageError);
}

// Archives built on machines of other code pages, converted by the system.
TEST(YarCharset, OtherCodePagesAreTheSystemsOwn) {
    const TCharset dos = ParseCharset("cp437");
    EXPECT_EQ(StoredToUtf8("\x81nd \x9B.txt", dos), "\u00FCnd \u00A2.txt");
    EXPECT_EQ(Utf8ToStored("\u00FCnd \u00A2.txt", dos), "\x81nd \x9B.txt");
    EXPECT_EQ(Utf8ToStored("\u20AC.txt", dos), std::nullopt); // no euro sign in DOS
    // Shift-JIS: the second byte of a character may be a backslash, and is no separator.
    const TCharset japanese = ParseCharset("cp932");
    EXPECT_EQ(StoredToUtf8("\x95\x5C\\\x93\xFA.txt", japanese), "\u8868\\\u65E5.txt");
    EXPECT_EQ(Utf8ToStored("\u8868\\\u65E5.txt", japanese), "\x95\x5C\\\x93\xFA.txt");
    // A lead byte with nothing after it is shown as the system's replacement character, not dropped.
#ifdef _WIN32
    EXPECT_GT(StoredToUtf8("a\x81", japanese).size(), 1u);
#else
    EXPECT_EQ(StoredToUtf8("a\x81", japanese), "a\uFFFD");
#endif
}

TEST_F(YarExtract, NamesAreExtractedAndPackedInTheirUtf8Form) {
    const std::string out = Dir() + "/out";
    const TExtraction got = Run(StoredArchive({{"r\xE9sum\xE9.txt", "cv"}}), out, false);
    EXPECT_EQ(got.Code, YarExitOk) << got.Messages;
#ifndef _WIN32
    EXPECT_EQ(FilesBelow(out), std::vector<std::string>{"r\u00E9sum\u00E9.txt"});
    fs::create_directories(Dir() + "/src");
    WriteFile(Dir() + "/src/\u65E5.txt", Bytes("x"));
    EXPECT_THROW(CollectSources({Dir() + "/src"}), EUsageError);
    const auto packed = CollectSources({out});
    ASSERT_EQ(packed.size(), 1u);
    EXPECT_EQ(packed[0].Name, "r\xE9sum\xE9.txt");
#endif
}

TEST(YarInput, FirstBytesTellSetsFromArchives) {
    const std::string dir = (fs::temp_directory_path() / "yar-input-test").string();
    fs::create_directories(dir);
    const auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
        return dir + "/" + name;
    };
    EXPECT_EQ(DetectInput(write("a.001", std::string("SSeg\0\0\1\0", 8))), TInputKind::SegmentSet);
    EXPECT_EQ(DetectInput(write("b.yar", "XELT\x1A")), TInputKind::Archive);
    EXPECT_THROW(DetectInput(write("c.002", std::string("SSeg\0\0\2\0", 8))), EInputError);
    EXPECT_THROW(DetectInput(write("d.txt", "XELT")), EInputError);
    EXPECT_THROW(DetectInput(dir + "/missing"), EInputError);
#ifndef _WIN32
    // A FIFO would block the open, and a device be read forever.
    ASSERT_EQ(::mkfifo((dir + "/fifo.001").c_str(), 0600), 0);
    EXPECT_THROW(DetectInput(dir + "/fifo.001"), EInputError);
    EXPECT_THROW(DetectInput("/dev/zero"), EInputError);
#endif
    fs::remove_all(dir);
}

using YarPack = ScratchDir;

TEST_F(YarPack, SetsKeepEveryFileEmptyOnesIncluded) {
    const std::string src = Dir() + "/src";
    fs::create_directories(src + "/only-empty");
    fs::create_directories(src + "/mixed");
    WriteFile(src + "/only-empty/e1", {});
    WriteFile(src + "/only-empty/e2", {});
    WriteFile(src + "/mixed/z-last-but-empty", {});
    WriteFile(src + "/mixed/a.txt", Bytes("text text text text text text"));
    WriteFile(src + "/mixed/noise.bin", Pattern(4000, 5));
    TPackOptions options;
    options.TemplateRoot = "c:\\app\\";
    const auto volumes = PackSet(CollectSources({src}), Dir() + "/set/disk.001", options);
    ASSERT_EQ(volumes.size(), 1u);

    std::istringstream in;
    std::ostringstream out;
    TTerminalPrompts prompts(std::nullopt, false, in, out);
    fs::create_directories(Dir() + "/tmp");
    TYarReader reader(NativePath(volumes[0]), &prompts, Dir() + "/tmp");
    prompts.Attach(reader);
    std::vector<std::string> labels;
    uint8_t noiseMethod = 0xFF;
    reader.List([&](const TArchiveContents& c) {
        labels.push_back(c.Label);
        for (const auto& e : c.Entries)
            if (e.Name == "noise.bin") noiseMethod = e.Info.Method;
    });
    EXPECT_EQ(labels, (std::vector<std::string>{"c:\\app\\mixed\\*.*", "c:\\app\\only-empty\\*.*"}));
    EXPECT_EQ(noiseMethod, coNone); // random bytes do not shrink, so they are stored

    TPlacement place(Dir() + "/x", false);
    EXPECT_TRUE(reader.Extract(place).empty()); // an archive of empty files only is no damage
    for (const char* name :
         {"only-empty/e1", "only-empty/e2", "mixed/z-last-but-empty", "mixed/a.txt", "mixed/noise.bin"})
        EXPECT_EQ(ReadFile(Dir() + "/x/app/" + name), ReadFile(src + "/" + name)) << name;
}

// Files larger than the packer's blocks come back byte for byte from an archive and from a set, in
// both dictionary methods and with a key; the noise among them is stored.
TEST_F(YarPack, FilesLargerThanItsBlocksComeBackByteForByte) {
    const std::string src = Dir() + "/src";
    fs::create_directories(src + "/d");
    std::vector<uint8_t> text;
    while (text.size() < 300000) {
        const auto line = Bytes("line " + std::to_string(text.size() % 977) + " of a longer text\n");
        text.insert(text.end(), line.begin(), line.end());
    }
    WriteFile(src + "/d/text.txt", text);
    WriteFile(src + "/noise.bin", Pattern(600000, 2));
    WriteFile(src + "/empty", {});
    const auto files = CollectSources({src});
    for (const uint8_t method : {coLZH5, coLZH})
        for (const bool set : {false, true}) {
            SCOPED_TRACE("method " + std::to_string(method) + (set ? " set" : " archive"));
            TPackOptions options;
            options.Method = method;
            options.Key = 4711;
            options.VolumeSize = 200000;
            options.Overwrite = true;
            options.TemplateRoot = "c:\\app\\";
            const std::string output = Dir() + (set ? "/set/disk.001" : "/out.yar");
            if (set)
                PackSet(files, output, options);
            else
                PackArchive(files, output, options);
            std::istringstream in;
            std::ostringstream out;
            TTerminalPrompts prompts(std::nullopt, false, in, out);
            fs::create_directories(Dir() + "/tmp");
            TYarReader reader(NativePath(output), &prompts, Dir() + "/tmp");
            prompts.Attach(reader);
            reader.SetKey(options.Key);
            std::map<std::string, uint8_t> methods;
            reader.List([&](const TArchiveContents& c) {
                for (const auto& e : c.Entries) methods[e.Name] = e.Info.Method;
            });
            EXPECT_EQ(methods["noise.bin"], coNone);
            EXPECT_EQ(methods[set ? "text.txt" : "d\\text.txt"], method);
            fs::remove_all(Dir() + "/x");
            TPlacement place(Dir() + "/x", false);
            EXPECT_TRUE(reader.Extract(place).empty());
            const std::string root = Dir() + "/x" + (set ? "/app" : "");
            EXPECT_TRUE(ReadFile(root + "/d/text.txt") == text);
            EXPECT_TRUE(ReadFile(root + "/noise.bin") == Pattern(600000, 2));
            EXPECT_TRUE(ReadFile(root + "/empty").empty());
        }
}

TEST_F(YarPack, StoredNamesMustNotCollide) {
    fs::create_directories(Dir() + "/a");
    fs::create_directories(Dir() + "/b");
    WriteFile(Dir() + "/a/same.txt", Bytes("1"));
    WriteFile(Dir() + "/b/same.txt", Bytes("2"));
    EXPECT_THROW(CollectSources({Dir() + "/a", Dir() + "/b"}), std::runtime_error);
    EXPECT_THROW(CollectSources({Dir() + "/nothing-here"}), std::runtime_error);
}

// Packs as `yar pack` does: every input is collected before the first byte is written.
void PackAsTheToolDoes(const std::vector<std::string>& inputs, const std::string& output, bool set,
                       const TPackOptions& options = {}) {
    const auto files = CollectSources(inputs);
    if (set)
        PackSet(files, output, options);
    else
        PackArchive(files, output, options);
}

TEST_F(YarPack, InputsThatWouldCollideAreACommandLineMistakeAndWriteNothing) {
    const auto file = [&](const std::string& path) {
        fs::create_directories(fs::path(Dir() + path).parent_path());
        WriteFile(Dir() + path, Bytes(path));
        return Dir() + path;
    };
    const std::string x = file("/a/x.txt"), otherX = file("/b/x.txt");
    file("/c/Same.txt");
    file("/d/same.txt");
    file("/e/Docs/read.me");
    file("/f/docs/READ.ME");
    // Paths below a directory input as the directory walk spells them on this platform.
    const auto walked = [&](const char* dir, std::initializer_list<const char*> below) {
        fs::path path(Dir() + dir);
        for (const char* part : below) path /= part;
        return path.string();
    };
    struct Case {
        const char* name;
        std::vector<std::string> inputs;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"the same file twice", {x, x}, "the same input is named twice: " + x},
        {"the same file spelled otherwise",
         {x, Dir() + "/a/./x.txt"},
         "the same input is named twice: " + x + " and " + Dir() + "/a/./x.txt"},
        {"the same directory twice",
         {Dir() + "/c", Dir() + "/d", Dir() + "/c"},
         "the same input is named twice: " + Dir() + "/c"},
        {"stored alike", {x, otherX}, "two files would be stored as x.txt: " + x + " and " + otherX},
        {"names differing only in letter case",
         {Dir() + "/d", Dir() + "/c"},
         "two files would be stored as names that differ only in letter case: Same.txt (" +
             walked("/c", {"Same.txt"}) + ") and same.txt (" + walked("/d", {"same.txt"}) + ")"},
        {"directories differing only in letter case",
         {Dir() + "/e", Dir() + "/f"},
         "two files would be stored as names that differ only in letter case: Docs\\read.me (" +
             walked("/e", {"Docs", "read.me"}) + ") and docs\\READ.ME (" + walked("/f", {"docs", "READ.ME"}) +
             ")"},
    };
    for (const Case& c : cases)
        for (const bool set : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (set ? " into a set" : " into an archive"));
            const std::string output = Dir() + (set ? "/set/disk.001" : "/out.yar");
            const auto [code, printed] = Guarded([&] { PackAsTheToolDoes(c.inputs, output, set); });
            EXPECT_EQ(code, YarExitUsage);
            EXPECT_EQ(printed, "yar: " + c.message + "\n");
            EXPECT_FALSE(fs::exists(output));
            EXPECT_FALSE(fs::exists(Dir() + "/set"));
        }
}

TEST_F(YarPack, PackingErrorsReachTheExitCodeOfTheirType) {
    WriteFile(Dir() + "/f.txt", Bytes("f"));
    const std::vector<std::string> input = {Dir() + "/f.txt"};
    ExpectOutcome(Guarded([&] { PackAsTheToolDoes({Dir() + "/nothing-here"}, Dir() + "/o.yar", false); }),
                  YarExitFile, "no such file or directory: " + Dir() + "/nothing-here");

    TPackOptions longRoot;
    longRoot.TemplateRoot = "c:\\" + std::string(SegMaxPathLength, 'r');
    ExpectOutcome(Guarded([&] { PackAsTheToolDoes(input, Dir() + "/long/disk.001", true, longRoot); }),
                  YarExitUsage, "template too long: c:\\rrr");
    EXPECT_FALSE(fs::exists(Dir() + "/long/disk.001"));

    fs::create_directories(Dir() + "/blocked/disk.001"); // a directory where volume 1 goes
    ExpectOutcome(Guarded([&] { PackAsTheToolDoes(input, Dir() + "/blocked/disk.001", true); }), YarExitFile,
                  "cannot create volume ");
}

TEST_F(YarPack, AFailedPackRemovesWhatItBeganAndNothingIsOverwrittenUnasked) {
    const std::string src = Dir() + "/src";
    fs::create_directories(src);
    WriteFile(src + "/noise.bin", Pattern(100000, 3));
    TPackOptions options;
    options.Method = coNone;
    options.VolumeSize = 40000;
    options.FixedExt = "seg";
    fs::create_directories(Dir() + "/out");
    WriteFile(Dir() + "/out/disk2", Bytes("a file where the second disk's directory goes"));
    const auto failed = Guarded([&] { PackAsTheToolDoes({src}, Dir() + "/out/disk", true, options); });
    EXPECT_EQ(failed.first, YarExitFile) << failed.second;
    EXPECT_NE(failed.second.find("disk2"), std::string::npos) << failed.second;
    EXPECT_FALSE(fs::exists(Dir() + "/out/disk1/disk.seg"));                  // the volume begun is gone
    for (const auto& item : fs::recursive_directory_iterator(Dir() + "/out")) // and the spill file too
        EXPECT_TRUE(item.is_directory() || item.path().filename() == "disk2") << item.path();

    WriteFile(Dir() + "/old.yar", Bytes("the user's"));
    ExpectOutcome(Guarded([&] { PackAsTheToolDoes({src}, Dir() + "/old.yar", false); }), YarExitLeftAlone,
                  NativePath(Dir() + "/old.yar") + " exists (use --force to replace it)");
    EXPECT_EQ(ReadFile(Dir() + "/old.yar"), Bytes("the user's"));
}

} // namespace
} // namespace yar::test
