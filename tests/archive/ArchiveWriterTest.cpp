#include "tools/builder/ArchiveWriter.h"
#include "archive/ArchiveFormat.h"
#include "tests/archive/CodecCorpus.h"
#include "tools/builder/Encoders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <utility>

using namespace yar;

namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

} // namespace

// The layout is checked byte by byte here, since the reader shares the record code with the writer.
TEST(ArchiveWriter, WritesTheContainerLayout) {
    builder::TArchiveWriter writer(coNone, 0x11223344);
    builder::TArchiveEntrySource a{"ab", {1, 2, 3}, coNone, 0xA1B2C3D4, 0x0021, 2};
    builder::TArchiveEntrySource b{"c", {9, 9}, coNone, 0, 0x20, 0};
    writer.Add(a).Add(b);
    const auto bytes = writer.Bytes();

    ASSERT_EQ(bytes.size(), 21u + 25 + 2 + 3 + 25 + 1 + 2);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), std::string("XELT\x1A"
                                                                         "NON"));
    EXPECT_EQ(U32At(bytes, 8), 5u); // TotalSize: the sum of the expanded sizes
    EXPECT_EQ(bytes[12], 1);        // caMulti
    EXPECT_EQ(U32At(bytes, 13), 0u);
    EXPECT_EQ(U32At(bytes, 17), 2u); // made with a key above 0

    const size_t e = 21;
    EXPECT_EQ(bytes[e] | bytes[e + 1] << 8, 2);
    EXPECT_EQ(U32At(bytes, e + 2), 0xA1B2C3D4u);
    EXPECT_EQ(bytes[e + 6] | bytes[e + 7] << 8, 0x21);
    EXPECT_EQ(U32At(bytes, e + 8), 3u);
    EXPECT_EQ(U32At(bytes, e + 12), 3u);
    EXPECT_EQ(bytes[e + 16], coNone);
    EXPECT_EQ(U32At(bytes, e + 17), 6u + 0x11223344u); // locked: byte sum + key
    EXPECT_EQ(U32At(bytes, e + 21), 2u);
    EXPECT_EQ(std::string(bytes.begin() + e + 25, bytes.begin() + e + 27), "ab");
    // Keyed: the key's bytes, low byte first.
    EXPECT_EQ(bytes[e + 27], 1 ^ 0x44);
    EXPECT_EQ(bytes[e + 28], 2 ^ 0x33);
    EXPECT_EQ(bytes[e + 29], 3 ^ 0x22);

    const size_t f = e + 30;
    EXPECT_EQ(U32At(bytes, f + 17), 18u); // unlocked: the plain byte sum
    EXPECT_EQ(bytes[f + 25], 'c');
    EXPECT_EQ(bytes[f + 26], 9);
}

TEST(ArchiveWriter, KeyScramblingStartsOverForEachEntry) {
    std::vector<uint8_t> bytes(6, 0);
    builder::ScrambleWithKey(bytes, 0x04030201);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3, 4, 1, 2}));
    builder::TArchiveWriter writer(coLZH5);
    EXPECT_EQ(writer.Image().Header.CompressID, "LH5");
    EXPECT_EQ(writer.Image().Header.KeyMarker, 0);
}

namespace {

using TBytes = std::vector<uint8_t>;

// A memory stream that counts what is read from it and the largest read asked for.
class TCountingSource : public TMemoryStream {
public:
    using TMemoryStream::TMemoryStream;
    int32_t Read(void* buffer, int32_t count) override {
        Largest = std::max(Largest, count);
        const int32_t n = TMemoryStream::Read(buffer, count);
        Total += n;
        return n;
    }
    int32_t Largest = 0;
    int64_t Total = 0;
};

TBytes Concat(std::initializer_list<TBytes> parts) {
    TBytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct TStreamed {
    TBytes Archive;
    std::vector<TEntryHeader> Headers;
    int64_t Read = 0;
};

// The archive the stream writer makes of the entries, and what it read of their data.
TStreamed Stream(uint8_t method, int32_t key, const std::vector<std::pair<std::string, TBytes>>& entries) {
    TMemoryStream dest;
    TStreamed got;
    builder::TArchiveStreamWriter writer(dest, method, key);
    for (const auto& [name, data] : entries) {
        TCountingSource source(data);
        got.Headers.push_back(writer.Add(name, 0x5A2B1C3D, 0x21, source));
        EXPECT_LE(source.Largest, builder::TArchiveStreamWriter::BlockSize);
        got.Read += source.Total;
    }
    const int64_t size = writer.Finish();
    got.Archive.assign(dest.Bytes().begin(), dest.Bytes().begin() + static_cast<std::ptrdiff_t>(size));
    return got;
}

} // namespace

// Data larger than the writer's blocks, an empty file and a small one, in every method, with and
// without a key: the same bytes as the in-memory writer gives for the methods the entries got.
TEST(ArchiveStreamWriter, WritesWhatTheInMemoryWriterWrites) {
    const std::vector<std::pair<std::string, TBytes>> entries = {
        {"docs\\big.bin", yar::testing::MixedCorpus(200000, 4)},
        {"empty", {}},
        {"short.txt", TBytes{'a', 'b', 'c'}},
    };
    for (const uint8_t method : {coNone, coRLE, coLZH, coLZH5})
        for (const int32_t key : {0, 0x11223344}) {
            SCOPED_TRACE("method " + std::to_string(method) + " key " + std::to_string(key));
            const TStreamed got = Stream(method, key, entries);
            EXPECT_EQ(got.Headers[0].Method, method); // the corpus shrinks in every method
            EXPECT_EQ(got.Headers[2].Method, coNone); // three bytes do not
            builder::TArchiveWriter expected(method, key);
            for (size_t i = 0; i < entries.size(); ++i)
                expected.Add({entries[i].first, entries[i].second, got.Headers[i].Method, 0x5A2B1C3D, 0x21,
                              key > 0 ? 2 : 0});
            EXPECT_TRUE(got.Archive == expected.Bytes());
            EXPECT_EQ(got.Read,
                      method == coNone ? 200003 : 200006); // the three bytes once more, to store them
        }
}

TEST(ArchiveStreamWriter, StoresWhatTheMethodCannotShrink) {
    using builder::TArchiveStreamWriter;
    // Found on the first blocks: the data is read once more than those blocks, not encoded in full.
    const TBytes noise = yar::testing::RandomBytes(1 << 20, 8);
    TStreamed got = Stream(coLZH5, 7, {{"noise", noise}});
    EXPECT_EQ(got.Headers[0].Method, coNone);
    EXPECT_EQ(got.Headers[0].CompressedSize, 1 << 20);
    EXPECT_LT(got.Read, (1 << 20) + 2 * static_cast<int64_t>(TArchiveStreamWriter::ProbeSize));
    builder::TArchiveWriter stored(coLZH5, 7);
    stored.Add({"noise", noise, coNone, 0x5A2B1C3D, 0x21, 2});
    EXPECT_TRUE(got.Archive == stored.Bytes());

    // Found at the end (the zeros outweigh the noise's growth at first): stored over the encoded
    // form, which leaves nothing of it inside the archive.
    const TBytes late = Concat({TBytes(512, 0), yar::testing::RandomBytes(3 << 19, 9)});
    ASSERT_LT(builder::EncodeLZH5(std::span(late).first(1 << 19)).size(), size_t{1} << 19);
    ASSERT_GE(builder::EncodeLZH5(late).size(), late.size());
    got = Stream(coLZH5, 0, {{"late", late}, {"after", TBytes(5000, 'x')}});
    EXPECT_EQ(got.Headers[0].Method, coNone);
    EXPECT_EQ(got.Headers[1].Method, coLZH5);
    builder::TArchiveWriter expected(coLZH5);
    expected.Add({"late", late, coNone, 0x5A2B1C3D, 0x21, 0})
        .Add({"after", TBytes(5000, 'x'), coLZH5, 0x5A2B1C3D, 0x21, 0});
    EXPECT_TRUE(got.Archive == expected.Bytes());

    // Noise first, then data that shrinks: a sampled block shows it, and the entry is packed.
    const TBytes early =
        Concat({yar::testing::RandomBytes(1 << 19, 10), yar::testing::TextLike(2 << 20, 11)});
    got = Stream(coLZH5, 0, {{"early", early}});
    EXPECT_EQ(got.Headers[0].Method, coLZH5);
    EXPECT_TRUE(got.Archive ==
                builder::TArchiveWriter(coLZH5).Add({"early", early, coLZH5, 0x5A2B1C3D, 0x21, 0}).Bytes());
}
