// Independent LHA tools as oracles for the codec: what jlha writes as -lh5-, -lh7- and -lh1- must
// expand byte for byte through the coLZH5, coLZH7 and coLZH decoders, and what the builder's encoders
// write must expand byte for byte through lhasa (and 7-Zip and bsdtar for lh5 and lh7). A test skips only
// when its tool is not installed.
#include "archive/CompThreadSafety.h"
#include "archive/ExpandStream.h"
#include "tests/archive/CodecCorpus.h"
#include "tests/archive/LhaArchive.h"
#include "tools/builder/Encoders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace yar {
namespace {

namespace fs = std::filesystem;
using namespace yar::testing;
using TBytes = std::vector<uint8_t>;

constexpr const char* kJlhaJar = "/usr/share/java/jlha.jar";

// A fresh directory under the system's temporary directory, removed with everything in it.
class TTempDir {
public:
    TTempDir() {
        std::string pattern = (fs::temp_directory_path() / "yar-oracle-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        FPath = pattern;
    }
    ~TTempDir() {
        std::error_code ignored; // a leftover temporary directory must not fail the test
        fs::remove_all(FPath, ignored);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    std::string operator/(const std::string& name) const { return (FPath / name).string(); }
    const fs::path& Path() const { return FPath; }

private:
    fs::path FPath;
};

std::string Quoted(const std::string& s) {
    return "'" + s + "'";
}

// Runs a shell command; its output goes to log, which the failure message shows.
int RunLogged(const std::string& command, const std::string& log) {
    const int status = std::system((command + " >>" + Quoted(log) + " 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadLog(const std::string& log) {
    const TBytes bytes = fs::exists(log) ? ReadFileBytes(log) : TBytes{};
    return {bytes.begin(), bytes.end()};
}

void ExpectSameBytes(const TBytes& want, const TBytes& got) {
    ASSERT_EQ(got.size(), want.size());
    const auto diff = std::mismatch(want.begin(), want.end(), got.begin());
    EXPECT_TRUE(diff.first == want.end()) << "first difference at byte " << (diff.first - want.begin());
}

struct TSample {
    std::string Name;
    TBytes Data;
};

TBytes AllByteValues(size_t rounds) {
    TBytes out;
    for (size_t r = 0; r < rounds; ++r) {
        for (size_t b = 0; b < 256; ++b) out.push_back(static_cast<uint8_t>((b * 7 + r) & 0xFF));
    }
    return out;
}

TBytes SpacesThenText(size_t spaces) {
    TBytes out(spaces, ' ');
    const TBytes text = TextLike(20000, spaces);
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

// Data that the foreign encoders compress, so that they write their method rather than store it.
std::vector<TSample> CompressibleSamples() {
    return {{"text.txt", TextLike(60000, 31)},   {"binary.bin", BinaryLike(40000, 32)},
            {"runs.bin", Runs(40000, 33)},       {"bytes.bin", AllByteValues(64)},
            {"w8191.txt", TextLike(8191, 34)},   {"w8192.txt", TextLike(8192, 35)},
            {"w8193.txt", TextLike(8193, 36)},   {"mixed.bin", MixedCorpus(150000, 37)},
            {"spaces.txt", SpacesThenText(5000)}};
}

// Everything the builder may be given, down to nothing at all.
std::vector<TSample> AllSamples() {
    auto samples = CompressibleSamples();
    samples.push_back({"empty.bin", {}});
    samples.push_back({"one.bin", {0x94}});
    samples.push_back({"random.bin", RandomBytes(20000, 38)});
    samples.push_back({"w4096.txt", TextLike(4096, 39)});
    samples.push_back({"lead.txt", SpacesThenText(100)});
    return samples;
}

// Repeats at distances only a 32 or 64 KiB window reaches, up to its far end.
std::vector<TSample> FarSamples() {
    std::vector<TSample> samples;
    for (size_t period : {20000u, 40000u, 65535u}) {
        TBytes data = RandomBytes(period, 50 + period);
        const TBytes again(data);
        data.insert(data.end(), again.begin(), again.end());
        samples.push_back({"far" + std::to_string(period) + ".bin", data});
    }
    samples.push_back({"far-mixed.bin", MixedCorpus(300000, 53)});
    return samples;
}

std::vector<std::string> WriteSamples(const TTempDir& dir, const std::vector<TSample>& samples) {
    std::vector<std::string> names;
    for (const auto& s : samples) {
        WriteFileBytes(dir / s.Name, s.Data);
        names.push_back(s.Name);
    }
    return names;
}

std::string JoinQuoted(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& n : names) out += " " + Quoted(n);
    return out;
}

// Checks that each entry of a foreign archive expands through our decoder to its sample, reading
// exactly the stored bytes.
void ExpectForeignEntriesExpand(const std::vector<TLhaEntry>& entries, const std::vector<TSample>& samples,
                                const std::string& method, TCompressionMethod ours) {
    ASSERT_EQ(entries.size(), samples.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const TLhaEntry& e = entries[i];
        const TBytes& want = samples[i].Data;
        SCOPED_TRACE(samples[i].Name + " (header level " + std::to_string(e.Level) + ")");
        ASSERT_EQ(e.Method, method);
        ASSERT_EQ(e.OriginalSize, want.size());
        EXPECT_EQ(e.Crc, LhaCrc16(want));
        const TExpanded got = Expand(ours, e.Packed, e.OriginalSize);
        ExpectSameBytes(want, got.Bytes);
        EXPECT_EQ(got.Checksum, ByteSum(want));
        EXPECT_EQ(got.SourceRead, static_cast<int64_t>(e.Packed.size()));
    }
}

// ---- (a) jlha's lh5 through the coLZH5 decoder ----

TEST(LhaOracle, JlhaLh5ExpandsByteForByteAtEveryHeaderLevel) {
    if (!OnPath("jlha")) GTEST_SKIP() << "jlha (jlha-utils) is not installed";
    TTempDir dir;
    const auto samples = CompressibleSamples();
    const auto names = WriteSamples(dir, samples);
    for (int level = 0; level <= 2; ++level) {
        const std::string archive = "lh5-level" + std::to_string(level) + ".lzh";
        const std::string log = dir / "jlha.log";
        ASSERT_EQ(RunLogged("cd " + Quoted(dir.Path()) + " && jlha a" + std::to_string(level) + " " +
                                archive + JoinQuoted(names),
                            log),
                  0)
            << ReadLog(log);
        const auto entries = ReadLhaArchive(ReadFileBytes(dir / archive));
        ExpectForeignEntriesExpand(entries, samples, "-lh5-", coLZH5);
        if (level != 2 || entries.size() != samples.size()) continue;
        // The builder's encoder keeps up with jlha's on every sample.
        for (size_t i = 0; i < entries.size(); ++i) {
            EXPECT_LE(builder::EncodeLZH5(samples[i].Data).size(), entries[i].Packed.size() * 101 / 100)
                << samples[i].Name;
        }
    }
}

// ---- (c) jlha's lh1 through the coLZH decoder: the same adaptive scheme ----

// Writes the samples into an archive of the method through jlha's library and checks that each entry
// expands through our decoder.
void ExpectJlhaLibraryEntriesExpand(const std::string& method, TCompressionMethod ours,
                                    const std::vector<TSample>& samples) {
    // The helper runs from its source, which takes the JDK's compiler.
    if (!OnPath("java") || !OnPath("javac") || !fs::exists(kJlhaJar))
        GTEST_SKIP() << "a JDK (default-jdk-headless) or jlha's library (libjlha-java) is missing";
    TTempDir dir;
    const auto names = WriteSamples(dir, samples);
    const std::string log = dir / "java.log";
    ASSERT_EQ(RunLogged("cd " + Quoted(dir.Path()) + " && java -cp " + kJlhaJar + " " +
                            Quoted(std::string(YAR_ORACLE_DIR) + "/LhaWrite.java") + " " + method +
                            " out.lzh" + JoinQuoted(names),
                        log),
              0)
        << ReadLog(log);
    ExpectForeignEntriesExpand(ReadLhaArchive(ReadFileBytes(dir / "out.lzh")), samples, method, ours);
}

TEST(LhaOracle, JlhaLh1ExpandsByteForByte) {
    ExpectJlhaLibraryEntriesExpand("-lh1-", coLZH, CompressibleSamples());
}

TEST(LhaOracle, JlhaLh7ExpandsByteForByteWithDistancesAcrossTheWholeWindow) {
    auto samples = CompressibleSamples();
    const auto far = FarSamples();
    samples.insert(samples.end(), far.begin(), far.end());
    ExpectJlhaLibraryEntriesExpand("-lh7-", coLZH7, samples);
}

// ---- (b) the builder's encoders through foreign decoders ----

struct TForeignDecoder {
    std::string Tool;
    std::string Package;
    std::function<std::string(const std::string& archive)> Extract; // the command printing the entry
};

void PrintTo(const TForeignDecoder& d, std::ostream* os) {
    *os << d.Tool;
}

const TForeignDecoder kLhasa{"lhasa", "lhasa", [](const std::string& a) { return "lhasa pq " + Quoted(a); }};
const TForeignDecoder kSevenZip{"7z", "p7zip-full",
                                [](const std::string& a) { return "7z x -so " + Quoted(a); }};
const TForeignDecoder kBsdtar{"bsdtar", "libarchive-tools",
                              [](const std::string& a) { return "bsdtar -xOf " + Quoted(a); }};

// Wraps each sample's stream into an archive of its own and checks what the tool extracts from it.
void ExpectForeignDecoderExpandsOurs(const TForeignDecoder& decoder, const std::string& method,
                                     const std::function<TBytes(std::span<const uint8_t>)>& encode,
                                     const std::vector<TSample>& samples) {
    TTempDir dir;
    for (const auto& s : samples) {
        SCOPED_TRACE(decoder.Tool + " on " + method + " " + s.Name);
        const std::string archive = dir / (s.Name + ".lzh");
        const std::string out = dir / (s.Name + ".out");
        const std::string log = dir / "decoder.log";
        WriteFileBytes(archive, WriteLhaArchive(method, s.Name, encode(s.Data), s.Data));
        ASSERT_EQ(std::system((decoder.Extract(archive) + " >" + Quoted(out) + " 2>>" + Quoted(log)).c_str()),
                  0)
            << ReadLog(log);
        ExpectSameBytes(s.Data, ReadFileBytes(out));
    }
}

class ForeignLh5Decoder : public ::testing::TestWithParam<TForeignDecoder> {};

TEST_P(ForeignLh5Decoder, ExpandsTheBuildersLh5ByteForByte) {
    if (!OnPath(GetParam().Tool))
        GTEST_SKIP() << GetParam().Tool << " (" << GetParam().Package << ") is not installed";
    ExpectForeignDecoderExpandsOurs(
        GetParam(), "-lh5-", [](std::span<const uint8_t> d) { return builder::EncodeLZH5(d); }, AllSamples());
    // Blocks of one symbol: constant codes in every header.
    builder::TLH5Options tiny;
    tiny.BlockSymbols = 1;
    ExpectForeignDecoderExpandsOurs(
        GetParam(), "-lh5-", [&](std::span<const uint8_t> d) { return builder::EncodeLZH5(d, tiny); },
        {{"tiny-text.txt", TextLike(3000, 40)}, {"tiny-runs.bin", Runs(3000, 41)}, {"tiny-one.bin", {0x41}}});
}

TEST_P(ForeignLh5Decoder, ExpandsTheBuildersLazyParsedLh5ByteForByte) {
    if (!OnPath(GetParam().Tool))
        GTEST_SKIP() << GetParam().Tool << " (" << GetParam().Package << ") is not installed";
    builder::TLH5Options lazy;
    lazy.OptimalParsing = false;
    ExpectForeignDecoderExpandsOurs(
        GetParam(), "-lh5-", [&](std::span<const uint8_t> d) { return builder::EncodeLZH5(d, lazy); },
        CompressibleSamples());
}

// lh7: the 64 KiB window, its 17 position symbols and their 5-bit count in each block header.
TEST_P(ForeignLh5Decoder, ExpandsTheBuildersLh7ByteForByte) {
    if (!OnPath(GetParam().Tool))
        GTEST_SKIP() << GetParam().Tool << " (" << GetParam().Package << ") is not installed";
    builder::TLH5Options lh7;
    lh7.WindowBits = 16;
    auto samples = AllSamples();
    const auto far = FarSamples();
    samples.insert(samples.end(), far.begin(), far.end());
    ExpectForeignDecoderExpandsOurs(
        GetParam(), "-lh7-", [&](std::span<const uint8_t> d) { return builder::EncodeLZH5(d, lh7); },
        samples);
    lh7.BlockSymbols = 1;
    ExpectForeignDecoderExpandsOurs(GetParam(), "-lh7-",
                                    [&](std::span<const uint8_t> d) { return builder::EncodeLZH5(d, lh7); },
                                    {{"tiny-far.bin", far.front().Data}, {"tiny-one.bin", {0x41}}});
}

INSTANTIATE_TEST_SUITE_P(Tools, ForeignLh5Decoder, ::testing::Values(kLhasa, kSevenZip, kBsdtar),
                         [](const auto& testInfo) {
                             return testInfo.param.Package == "p7zip-full" ? std::string("SevenZip")
                                                                           : testInfo.param.Tool;
                         });

TEST(LhaOracle, LhasaExpandsTheBuildersLh1ByteForByte) {
    if (!OnPath("lhasa")) GTEST_SKIP() << "lhasa is not installed";
    ExpectForeignDecoderExpandsOurs(
        kLhasa, "-lh1-", [](std::span<const uint8_t> d) { return builder::EncodeLZH(d); }, AllSamples());
}

} // namespace
} // namespace yar
