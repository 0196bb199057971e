#include "tests/archive/ContainerTestSupport.h"

#include "archive/CompressionMethods.h"
#include "system/WriteBehind.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <optional>

using namespace yar;
using namespace yar::test;
using ::testing::ElementsAre;

namespace {

builder::TArchiveImage MakeImage(const std::vector<builder::TArchiveEntrySource>& entries, int32_t key = 0,
                                 uint8_t method = coNone) {
    builder::TArchiveWriter writer(method, key);
    for (const auto& e : entries) writer.Add(e);
    return writer.Image();
}

TMemoryStream StreamOf(const std::vector<uint8_t>& bytes) {
    return TMemoryStream(bytes);
}

// A container whose drive reports the free space a test chooses.
class TFreeSpaceCompress : public TCompress {
public:
    std::optional<double> Free;
    double PlatformFreeSpace(const std::string& path) { return TCompress::DriveFreeSpace(path); }

protected:
    double DriveFreeSpace(const std::string& path) override {
        return Free ? *Free : TCompress::DriveFreeSpace(path);
    }
};

template <class E> std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const E& e) {
        return e.what();
    }
    return "(nothing raised)";
}

} // namespace

// ---- Archive header checks: raised before anything is written ----

TEST(ContainerHeader, StreamsTooShortForAHeaderAreEmpty) {
    TCompress c;
    for (size_t size : {0, 1, 20}) {
        auto s = StreamOf(std::vector<uint8_t>(size, 'z'));
        TNameList names{"a.txt"};
        c.ExpandArchive(s, &names);
        EXPECT_TRUE(names.empty()) << size;
    }
    // Listing also needs room for one entry header before it checks anything; expansion does not.
    TArchiveListing list;
    auto s45 = StreamOf(std::vector<uint8_t>(45, 'z'));
    c.ListArchive(s45, list);
    EXPECT_TRUE(list.empty());
    auto s46 = StreamOf(std::vector<uint8_t>(46, 'z'));
    EXPECT_THROW(c.ListArchive(s46, list), EInvalidHeader);
    auto s30 = StreamOf(std::vector<uint8_t>(30, 'z'));
    EXPECT_THROW(c.ExpandArchive(s30, nullptr), EInvalidHeader);
}

TEST(ContainerHeader, EveryMagicByteAndTheArchiveTypeAreChecked) {
    const auto good = MakeImage({Entry("a", Bytes("x"))}).Bytes();
    TCompress c;
    for (size_t i = 0; i < 5; ++i) {
        auto bad = good;
        bad[i] ^= 0x20;
        auto s = StreamOf(bad);
        EXPECT_EQ(MessageOf<EInvalidHeader>([&] { c.ExpandArchive(s, nullptr); }),
                  "Can't recognize compressed file header")
            << i;
    }
    for (int type : {0, 2}) {
        auto image = MakeImage({Entry("a", Bytes("x"))});
        image.Header.ArchiveType = static_cast<uint8_t>(type);
        auto s = StreamOf(image.Bytes());
        TArchiveListing list;
        EXPECT_EQ(MessageOf<EInvalidHeaderArchiveType>([&] { c.ListArchive(s, list); }),
                  "Archive type must be caMulti");
    }
}

TEST(ContainerHeader, UnknownIdsNeedTheRecognizer) {
    auto image = MakeImage({Entry("a", Bytes("x"))});
    image.Header.CompressID = "lh5";
    TCompress c;
    TArchiveListing list;
    auto s = StreamOf(image.Bytes());
    EXPECT_EQ(MessageOf<EUnrecognizedCompressionMethod>([&] { c.ListArchive(s, list); }),
              "Unrecognized compression method: \"lh5\" in header");

    std::string seen;
    bool accept = false;
    c.OnRecognize = [&](const std::string& id, bool& recognized) {
        seen = id;
        recognized = accept;
    };
    s.SetPosition(0);
    EXPECT_THROW(c.ListArchive(s, list), EUnrecognizedCompressionMethod);
    EXPECT_EQ(seen, "lh5");
    accept = true;
    s.SetPosition(0);
    c.ListArchive(s, list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Name, "a");
}

// ---- Listing ----

TEST(ContainerListing, ListsFromTheCurrentPositionAndKeepsExistingLines) {
    auto first = Entry("dir\\first.txt", Bytes("hello"));
    first.FileDate = 0x2A4B1234;
    first.Attributes = 0x21;
    auto image = MakeImage({first, Entry("second", Pattern(300), coNone, 1)}, 77);
    image.Header.TotalSize = 0; // not consulted when listing
    std::vector<uint8_t> bytes(7, 0xEE);
    const auto archive = image.Bytes();
    bytes.insert(bytes.end(), archive.begin(), archive.end());
    auto s = StreamOf(bytes);
    s.SetPosition(7);

    TArchiveListing list{{"kept", {}}};
    TCompress c;
    c.ListArchive(s, list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].Name, "kept");
    EXPECT_EQ(list[1].Name, "dir\\first.txt");
    const auto& a = list[1].Info;
    EXPECT_EQ(a.FileDate, 0x2A4B1234u);
    EXPECT_EQ(a.Attributes, 0x21);
    EXPECT_EQ(a.ExpandedSize, 5);
    EXPECT_EQ(a.CompressedSize, 5);
    EXPECT_EQ(a.Checksum, 'h' + 'e' + 'l' + 'l' + 'o');
    EXPECT_EQ(a.HeaderOffset, 7 + 21);
    EXPECT_FALSE(a.Locked);
    EXPECT_EQ(list[2].Info.HeaderOffset, 7 + 21 + 25 + 13 + 5);
    EXPECT_TRUE(list[2].Info.Locked);
    EXPECT_EQ(list[2].Info.Checksum, static_cast<int32_t>(ByteSum(Pattern(300).data(), 300) + 77));
}

TEST(ContainerListing, HostileSizesEndTheArchiveQuietly) {
    const auto list = [](const builder::TArchiveImage& image) {
        TCompress c;
        TArchiveListing out;
        auto s = StreamOf(image.Bytes());
        c.ListArchive(s, out);
        return out.size();
    };
    const auto base = MakeImage({Entry("one", Bytes("1111")), Entry("two", Bytes("22"))});
    EXPECT_EQ(list(base), 2u);
    auto negativeName = base;
    negativeName.Entries[1].Header.NameLength = -1;
    EXPECT_EQ(list(negativeName), 1u);
    auto hugeName = base;
    hugeName.Entries[1].Header.NameLength = 32767;
    EXPECT_EQ(list(hugeName), 1u);
    auto negativeData = base;
    negativeData.Entries[0].Header.CompressedSize = -30; // would seek back onto its own header
    EXPECT_EQ(list(negativeData), 0u);
    auto hugeData = base;
    hugeData.Entries[0].Header.CompressedSize = 0x7FFFFFFF;
    EXPECT_EQ(list(hugeData), 1u);
}

// ---- Expansion to files ----

class ContainerExpand : public ScratchDir {
protected:
    void Expand(const builder::TArchiveImage& image, TNameList* names = nullptr) {
        auto s = StreamOf(image.Bytes());
        C.ExpandArchive(s, names);
    }
    TFreeSpaceCompress C;
};

TEST_F(ContainerExpand, WritesBytesDateAndAttributesAndListsWrittenPaths) {
    auto a = Entry("a.txt", Bytes("alpha"));
    a.FileDate = (21u << 25 | 2u << 21 | 3u << 16) | (4u << 11 | 5u << 5 | 3u); // 2001-02-03 04:05:06
    a.Attributes = 0x21;
    auto b = Entry("b.bin", Pattern(20000));
    b.FileDate = (30u << 25 | 12u << 21 | 31u << 16) | (23u << 11 | 59u << 5 | 29u);
    b.Attributes = 0x22;
    const auto archive = PathOf("archive.yar");
    MakeImage({a, b}).WriteFile(NativePath(archive));

    C.SetTargetPath(Dir());
    TNameList names{"A.TXT", "b.bin"};
    C.ExpandArchive(archive, &names);
    EXPECT_THAT(names, ElementsAre(PathOf("a.txt"), PathOf("b.bin")));
    EXPECT_EQ(ReadFile(PathOf("a.txt")), Bytes("alpha"));
    EXPECT_EQ(ReadFile(PathOf("b.bin")), Pattern(20000));
    EXPECT_EQ(DosDateOfFile(PathOf("a.txt")), a.FileDate);
    EXPECT_EQ(DosDateOfFile(PathOf("b.bin")), b.FileDate);
    EXPECT_EQ(AttributesOfFile(PathOf("a.txt")), VisibleAttributes(0x21));
    EXPECT_EQ(AttributesOfFile(PathOf("b.bin")), VisibleAttributes(0x22));

    // Without the entries' properties the same bytes keep the time and attributes of a new file.
    std::filesystem::create_directories(NativePath(PathOf("plain")));
    C.SetTargetPath(PathOf("plain"));
    C.SetKeepEntryProperties(false);
    C.ExpandArchive(archive, nullptr);
    EXPECT_EQ(ReadFile(PathOf("plain\\a.txt")), Bytes("alpha"));
    EXPECT_NE(DosDateOfFile(PathOf("plain\\a.txt")), a.FileDate);
    EXPECT_NE(AttributesOfFile(PathOf("plain\\a.txt")), VisibleAttributes(0x21));
}

TEST_F(ContainerExpand, TotalSizeEndsTheArchive) {
    C.SetTargetPath(Dir());
    TNameList names;
    // The running total reaches TotalSize before the empty file is considered.
    TNameList all{"full", "empty"};
    Expand(MakeImage({Entry("full", Pattern(100)), Entry("empty", {})}), &all);
    EXPECT_THAT(all, ElementsAre(PathOf("full")));
    EXPECT_FALSE(Exists(PathOf("empty")));

    // Entries left out by the name list count towards the total; those the handler skips do not.
    auto image = MakeImage({Entry("x", Pattern(10)), Entry("y", Pattern(10))});
    image.Header.TotalSize = 10;
    names = {"y"};
    Expand(image, &names);
    EXPECT_TRUE(names.empty());
    C.OnCheckFile = [](std::string& path, TCProcessMode) {
        if (path.back() == 'x') path.clear();
    };
    Expand(image);
    EXPECT_TRUE(Exists(PathOf("y")));
    EXPECT_FALSE(Exists(PathOf("x")));
}

TEST_F(ContainerExpand, EmptyNameListExpandsNothing) {
    C.SetTargetPath(Dir());
    TNameList names;
    Expand(MakeImage({Entry("a", Bytes("1"))}), &names);
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(Exists(PathOf("a")));
}

TEST_F(ContainerExpand, TargetPathsAndTheCheckHandler) {
    C.SetTargetPath("c:\\tmp");
    EXPECT_EQ(C.TargetPath(), "c:\\tmp\\");
    C.SetTargetPath("c:\\tmp\\");
    EXPECT_EQ(C.TargetPath(), "c:\\tmp\\");
    std::vector<std::string> seen;
    C.OnCheckFile = [&](std::string& path, TCProcessMode mode) {
        EXPECT_EQ(mode, cpExpand);
        seen.push_back(path);
        path.clear();
    };
    TNameList names{"\\data\\a.txt", "data\\a.txt"};
    Expand(MakeImage({Entry("\\data\\a.txt", Bytes("1")), Entry("data\\a.txt", Bytes("2"))}), &names);
    EXPECT_THAT(seen, ElementsAre("\\data\\a.txt", "c:\\tmp\\data\\a.txt"));
    EXPECT_TRUE(names.empty());

    // Renamed, skipped, then "*": the archive ends normally with what was written so far.
    C.SetTargetPath(Dir());
    C.OnCheckFile = [&](std::string& path, TCProcessMode) {
        const char last = path.back();
        if (last == '1') path = PathOf("renamed");
        if (last == '2') path.clear();
        if (last == '3') path = "*";
    };
    names = {"f1", "f2", "f3", "f4"};
    Expand(MakeImage({Entry("f1", Bytes("1")), Entry("f2", Bytes("2")), Entry("f3", Bytes("3")),
                      Entry("f4", Bytes("4"))}),
           &names);
    EXPECT_THAT(names, ElementsAre(PathOf("renamed")));
    for (const char* name : {"f1", "f2", "f3", "f4"}) EXPECT_FALSE(Exists(PathOf(name))) << name;
}

TEST_F(ContainerExpand, MissingDirectoriesAndFileErrors) {
    C.SetTargetPath(Dir());
    const auto image = MakeImage({Entry("sub\\deeper\\a.txt", Bytes("a")), Entry("b.txt", Bytes("b"))});
    TNameList names{"sub\\deeper\\a.txt", "b.txt"};
    Expand(image, &names); // the file cannot be created: skipped, and the next entry still found
    EXPECT_THAT(names, ElementsAre(PathOf("b.txt")));

    C.SetExceptionOnFileError(true);
    EXPECT_THROW(Expand(image), EStreamError);

    C.SetMakeDirectories(true);
    Expand(image);
    EXPECT_EQ(ReadFile(PathOf("sub\\deeper\\a.txt")), Bytes("a"));

    WriteFile(PathOf("blocker"), Bytes("file, not directory"));
    EXPECT_THROW(Expand(MakeImage({Entry("blocker\\x\\a.txt", Bytes("a"))})), EInOutError);
}

TEST_F(ContainerExpand, WrittenBehindTheFilesAndFailuresAreThoseOfTheDirectWrite) {
    C.SetTargetPath(Dir());
    C.SetMakeDirectories(true);
    C.SetExceptionOnFileError(true);
    C.SetKeepEntryProperties(false);
    C.SetWriteBehind(true);
    // More files than one batch names and a file larger than one batch holds, amid small ones.
    std::vector<builder::TArchiveEntrySource> entries;
    for (int i = 0; i < 150; ++i)
        entries.push_back(Entry("d" + std::to_string(i % 3) + "\\f" + std::to_string(i),
                                Pattern(static_cast<size_t>(i * 37), static_cast<uint8_t>(i)), coLZH5));
    entries.insert(entries.begin() + 70, Entry("big", Pattern(3 * TWriteBehind::kBatchBytes + 5, 9)));
    entries.insert(entries.begin() + 3, Entry("empty", {}));
    TNameList names;
    for (const auto& e : entries) names.push_back(e.Name);
    Expand(MakeImage(entries, 0, coLZH5), &names);
    ASSERT_EQ(names.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(names[i], PathOf(entries[i].Name));
        EXPECT_EQ(ReadFile(PathOf(entries[i].Name)), entries[i].Data) << entries[i].Name;
    }

    // A file that cannot be created fails the expansion with the direct write's error, the names as
    // they were; the files before it are whole, and none after it is made.
    std::filesystem::create_directories(NativePath(PathOf("blocked\\b")));
    const auto blocked = MakeImage({Entry("blocked\\a", Pattern(5000), coLZH5),
                                    Entry("blocked\\b", Bytes("b")), Entry("blocked\\c", Bytes("c"))},
                                   0, coLZH5);
    const TNameList asked{"blocked\\a", "blocked\\b", "blocked\\c"};
    TNameList kept = asked;
    C.SetWriteBehind(false);
    const std::string direct = MessageOf<EFCreateError>([&] { Expand(blocked, &kept); });
    EXPECT_NE(direct, "(nothing raised)");
    std::filesystem::remove(NativePath(PathOf("blocked\\a")));
    std::filesystem::remove(NativePath(PathOf("blocked\\c")));
    C.SetWriteBehind(true);
    EXPECT_EQ(MessageOf<EFCreateError>([&] { Expand(blocked, &kept); }), direct);
    EXPECT_EQ(kept, asked);
    EXPECT_EQ(ReadFile(PathOf("blocked\\a")), Pattern(5000));
    EXPECT_FALSE(Exists(PathOf("blocked\\c")));

    // A bad checksum fails the expansion as it fails the direct write, which leaves the bytes decoded;
    // the files before it are whole.
    std::vector<builder::TArchiveEntrySource> plain;
    for (int i = 0; i < 10; ++i)
        plain.push_back(Entry("plain" + std::to_string(i), Pattern(40000, static_cast<uint8_t>(i))));
    auto damaged = MakeImage(plain);
    damaged.Entries[3].Header.Checksum += 1;
    EXPECT_EQ(MessageOf<EBadChecksum>([&] { Expand(damaged); }),
              "Bad checksum during expansion -- data may be invalid");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ReadFile(PathOf(plain[i].Name)), plain[i].Data) << i;
    EXPECT_FALSE(Exists(PathOf("plain4")));

    // A locked entry without its key still takes its file away.
    EXPECT_THROW(Expand(MakeImage({Entry("locked", Pattern(3000), coNone, 1)}, 5)), EInvalidKey);
    EXPECT_FALSE(Exists(PathOf("locked")));
}

// ---- Key locks and checksums ----

TEST_F(ContainerExpand, EveryMethodRoundTripsOpenAndKeyed) {
    C.SetTargetPath(Dir());
    C.SetKey(0x5A17C0DE);
    const auto text = Bytes(std::string(3000, ' ') + "setup setup archive archive " + std::string(9000, 'x'));
    std::vector<builder::TArchiveEntrySource> entries;
    for (uint8_t method : {coNone, coRLE, coLZH, coLZH5})
        for (int32_t lock : {0, 2}) {
            const std::string stem = std::string(MethodRow(method)->Id) + std::to_string(lock);
            entries.push_back(Entry(stem + ".txt", text, method, lock));
            entries.push_back(Entry(stem + ".bin", Pattern(40000, method), method, lock));
        }
    Expand(MakeImage(entries, 0x5A17C0DE, coLZH5));
    for (const auto& e : entries) EXPECT_EQ(ReadFile(PathOf(e.Name)), e.Data) << e.Name;
}

TEST_F(ContainerExpand, LockedEntryWithoutKeyDeletesItsFile) {
    C.SetTargetPath(Dir());
    WriteFile(PathOf("locked"), Bytes("old content"));
    TNameList names{"locked"};
    EXPECT_EQ(MessageOf<EInvalidKey>(
                  [&] { Expand(MakeImage({Entry("locked", Bytes("new"), coNone, 1)}, 5), &names); }),
              "File locked -- valid key required");
    EXPECT_FALSE(Exists(PathOf("locked")));
    EXPECT_THAT(names, ElementsAre("locked")); // left as it was
}

TEST_F(ContainerExpand, LockedEntriesNeedTheirKey) {
    C.SetTargetPath(Dir());
    for (int32_t lock : {1, 2}) {
        // The stored checksum wraps: byte sum + key passes 2^31.
        const int32_t key = 0x7FFFFFF0;
        const auto image = MakeImage({Entry("f", Pattern(5000), coNone, lock)}, key);
        C.SetKey(key);
        Expand(image);
        EXPECT_EQ(ReadFile(PathOf("f")), Pattern(5000)) << lock;
        C.SetKey(999);
        EXPECT_THROW(Expand(image), EInvalidKey) << lock;
        EXPECT_FALSE(Exists(PathOf("f")));
    }
}

TEST_F(ContainerExpand, BadDecodeTableOfALockedEntryIsAKeyError) {
    C.SetTargetPath(Dir());
    C.SetKey(7);
    // An lh5 block whose pre-code has the single length 1: not a complete code.
    builder::TArchiveImage image = MakeImage({Entry("t", Pattern(10), coNone)});
    image.Entries[0].Header.Method = coLZH5;
    image.Entries[0].Stored = {0x00, 0x01, 0x09, 0x00, 0x00, 0x00};
    image.Entries[0].Header.CompressedSize = 6;
    EXPECT_THROW(Expand(image), ELZHBadDecodeTable);
    EXPECT_TRUE(Exists(PathOf("t")));
    // The decoders' error is one of the archive's own: a single handler of the base takes it.
    EXPECT_EQ(MessageOf<ECompressError>([&] { Expand(image); }), "Bad decode table in archive!");
    image.Entries[0].Header.Lock = 1;
    EXPECT_THROW(Expand(image), EInvalidKey);
    EXPECT_FALSE(Exists(PathOf("t")));
}

TEST_F(ContainerExpand, ChecksumRules) {
    C.SetTargetPath(Dir());
    auto image = MakeImage({Entry("good", Bytes("good")), Entry("bad", Bytes("bad!"))});
    image.Entries[1].Header.Checksum += 1;
    TNameList names{"good", "bad"};
    EXPECT_EQ(MessageOf<EBadChecksum>([&] { Expand(image, &names); }),
              "Bad checksum during expansion -- data may be invalid");
    EXPECT_EQ(ReadFile(PathOf("good")), Bytes("good"));
    EXPECT_EQ(ReadFile(PathOf("bad")), Bytes("bad!")); // the written file stays
    EXPECT_THAT(names, ElementsAre("good", "bad"));

    image.Entries[1].Header.Checksum = 0; // coNone with checksum 0 passes whatever it holds
    Expand(image);
    image.Entries[1].Header.Method = coRLE;
    EXPECT_THROW(Expand(image), EBadChecksum);
}

TEST_F(ContainerExpand, CustomEntriesGoToTheExpandHandler) {
    C.SetTargetPath(Dir());
    builder::TArchiveWriter writer(coCustom);
    // The custom method of this test: every byte XORed with 0x55, its own inverse.
    const auto flip = [](std::span<const uint8_t> data) {
        std::vector<uint8_t> out(data.begin(), data.end());
        std::transform(out.begin(), out.end(), out.begin(),
                       [](uint8_t b) { return static_cast<uint8_t>(b ^ 0x55); });
        return out;
    };
    writer.CustomEncoder = flip;
    writer.Add(Entry("custom", Pattern(3000), coCustom)).Add(Entry("plain", Bytes("after"), coNone));
    auto image = writer.Image();

    // Without a handler nothing is written and the checksum test fails.
    EXPECT_THROW(Expand(image), EBadChecksum);
    EXPECT_TRUE(ReadFile(PathOf("custom")).empty());
    // With a stored checksum of 0 the empty file passes, and the next entry is read from the end of
    // the custom entry's data even though nobody consumed it.
    image.Entries[0].Header.Checksum = 0;
    Expand(image);
    EXPECT_EQ(ReadFile(PathOf("plain")), Bytes("after"));

    image = writer.Image();
    bool compressCalled = false;
    C.OnCompress = [&](TStream&, TStream&, std::string&, int32_t&, int32_t&) { compressCalled = true; };
    C.OnExpand = [&](TStream& dest, TStream& source, int32_t sourceSize, int32_t destSize,
                     const std::string& id, int32_t& checksum) {
        EXPECT_EQ(id, "CUS");
        EXPECT_EQ(destSize, 3000);
        std::vector<uint8_t> stored(static_cast<size_t>(sourceSize));
        source.ReadBuffer(stored.data(), sourceSize);
        const auto data = flip(stored);
        dest.WriteBuffer(data.data(), sourceSize);
        checksum = static_cast<int32_t>(ByteSum(data.data(), data.size()));
    };
    Expand(image);
    EXPECT_EQ(ReadFile(PathOf("custom")), Pattern(3000));
    EXPECT_FALSE(compressCalled);
}

TEST_F(ContainerExpand, ProgressHandlerCanCancel) {
    C.SetTargetPath(Dir());
    std::vector<int32_t> reports;
    C.OnShowProgress = [&](int32_t& percent) { reports.push_back(percent); };
    const auto image = MakeImage({Entry("p", Pattern(20000))});
    Expand(image);
    EXPECT_EQ(reports.front(), 0);
    EXPECT_EQ(reports.back(), 100);
    C.OnShowProgress = [](int32_t& percent) { percent = -1; };
    EXPECT_THROW(Expand(image), EBadChecksum);
}

// ---- Free space ----

TEST_F(ContainerExpand, FreeSpaceCountsTheFileBeingReplaced) {
    C.SetTargetPath(Dir());
    C.SetCheckSpaceBeforeExpand(true);
    C.Free = 0;
    const auto image = MakeImage({Entry("big", Pattern(10000))});
    EXPECT_EQ(MessageOf<EInsufficientDiskSpace>([&] { Expand(image); }),
              "Not enough disk space to expand " + PathOf("big"));
    EXPECT_FALSE(Exists(PathOf("big")));
    WriteFile(PathOf("big"), Pattern(10000, 9));
    Expand(image);
    EXPECT_EQ(ReadFile(PathOf("big")), Pattern(10000));

    // Free space is capped at the largest 32-bit value, which passes every check.
    auto huge = MakeImage({Entry("huge", Bytes("x"))});
    huge.Entries[0].Header.ExpandedSize = 0x7FFFFFFF;
    C.Free = 5e9;
    Expand(huge);
    RemoveFileAt(PathOf("huge"));
    C.Free = 2147483646.0;
    EXPECT_THROW(Expand(huge), EInsufficientDiskSpace);
    C.SetCheckSpaceBeforeExpand(false);
    Expand(huge);
}

TEST_F(ContainerExpand, PlatformReportsFreeSpace) {
    EXPECT_GT(C.PlatformFreeSpace(PathOf("file")), 0);
    EXPECT_GT(C.PlatformFreeSpace("relative.txt"), 0); // the current drive
}
