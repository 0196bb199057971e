// Decode benchmark of the expansion engine: a fixed, generated corpus (text, binary-like, runs,
// random) is encoded once per method and expanded several times; the table shows the best speed of
// each method, and beside coLZH5 and coLZH the speed of independent LHA tools expanding the same
// streams wrapped as .lzh (their process start included).
//   yar_decode_bench [size in MiB, default 16] [repetitions, default 5]
#include "archive/CompThreadSafety.h"
#include "archive/ExpandStream.h"
#include "tests/archive/CodecCorpus.h"
#include "tests/archive/LhaArchive.h"
#include "tools/builder/Encoders.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numeric>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace yar;
using yar::testing::OnPath;
using TBytes = std::vector<uint8_t>;
using TClock = std::chrono::steady_clock;

constexpr uint64_t kCorpusSeed = 1;
constexpr double kMegabyte = 1e6;

struct TMethod {
    const char* Name;
    TCompressionMethod Method;
    std::function<TBytes(std::span<const uint8_t>)> Encode;
    const char* LhaId; // the stream as an LHA method, or nullptr
};

// A foreign tool that expands an .lzh archive to its standard output.
struct TPeer {
    const char* Tool;
    std::string (*Command)(const std::string& archive);
};

const TPeer kPeers[] = {
    {"lhasa", [](const std::string& a) { return "lhasa pq '" + a + "'"; }},
    {"7z", [](const std::string& a) { return "7z x -so '" + a + "'"; }},
    {"bsdtar", [](const std::string& a) { return "bsdtar -xOf '" + a + "'"; }},
};

// Best of the repetitions, in seconds.
double BestTime(int repetitions, const std::function<void()>& run) {
    double best = 1e30;
    for (int i = 0; i < repetitions; ++i) {
        const auto start = TClock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(TClock::now() - start).count());
    }
    return best;
}

// One expansion into a sink that keeps nothing; false when the checksum does not match.
bool ExpandOnce(const TMethod& m, const TBytes& stored, size_t originalSize, uint32_t expectedSum) {
    TCompThreadSafety state;
    TMemoryStream source(stored);
    TNullStream dest;
    int32_t checksum = 0;
    ExpandStream(state, dest, source, static_cast<int32_t>(stored.size()), static_cast<int32_t>(originalSize),
                 m.Method, checksum, false, 0, nullptr);
    return static_cast<uint32_t>(checksum) == expectedSum &&
           dest.BytesWritten() >= static_cast<int64_t>(originalSize);
}

// The peer's best time for the archive, or nothing when it cannot expand it to the original.
std::optional<double> PeerTime(const TPeer& peer, const std::string& archive, const std::string& scratch,
                               const TBytes& original, int repetitions) {
    const std::string check = peer.Command(archive) + " >'" + scratch + "' 2>/dev/null";
    if (std::system(check.c_str()) != 0 || yar::testing::ReadFileBytes(scratch) != original)
        return std::nullopt;
    const std::string timed = peer.Command(archive) + " >/dev/null 2>&1";
    return BestTime(repetitions, [&] {
        if (std::system(timed.c_str()) != 0) std::fprintf(stderr, "%s failed\n", peer.Tool);
    });
}

} // namespace

int main(int argc, char** argv) {
    const size_t mebibytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 16;
    const int repetitions = argc > 2 ? std::atoi(argv[2]) : 5;
    if (mebibytes == 0 || mebibytes > 1024 || repetitions <= 0) {
        std::fprintf(stderr, "usage: %s [size in MiB, 1..1024] [repetitions]\n", argv[0]);
        return 2;
    }
    const TBytes corpus = yar::testing::MixedCorpus(mebibytes << 20, kCorpusSeed);
    const uint32_t sum = std::accumulate(corpus.begin(), corpus.end(), uint32_t{0});
    const double megabytes = static_cast<double>(corpus.size()) / kMegabyte;

    const fs::path dir = fs::temp_directory_path() / ("yar-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string scratch = (dir / "out.bin").string();

    const TMethod methods[] = {
        {"coNone", coNone, [](std::span<const uint8_t> d) { return TBytes(d.begin(), d.end()); }, nullptr},
        {"coRLE", coRLE, [](std::span<const uint8_t> d) { return builder::EncodeRLE(d); }, nullptr},
        {"coLZH", coLZH, [](std::span<const uint8_t> d) { return builder::EncodeLZH(d); }, "-lh1-"},
        {"coLZH5", coLZH5, [](std::span<const uint8_t> d) { return builder::EncodeLZH5(d); }, "-lh5-"},
    };

    std::printf("Corpus: %zu MiB mixed (text, binary-like, runs, random), seed %llu; best of %d runs; "
                "MB = 10^6 bytes of expanded data\n",
                mebibytes, static_cast<unsigned long long>(kCorpusSeed), repetitions);
    std::printf("%-8s %12s %7s %10s   %s\n", "method", "stored", "ratio", "MB/s",
                "peers on the same stream (MB/s, ours/peer)");
    int failures = 0;
    for (const TMethod& m : methods) {
        const TBytes stored = m.Encode(corpus);
        if (!ExpandOnce(m, stored, corpus.size(), sum)) {
            std::printf("%-8s expansion does not reproduce the corpus\n", m.Name);
            ++failures;
            continue;
        }
        const double ours =
            megabytes / BestTime(repetitions, [&] { ExpandOnce(m, stored, corpus.size(), sum); });
        std::printf("%-8s %12zu %6.1f%% %10.1f  ", m.Name, stored.size(),
                    100.0 * static_cast<double>(stored.size()) / static_cast<double>(corpus.size()), ours);
        if (m.LhaId != nullptr) {
            const std::string archive = (dir / (std::string(m.Name) + ".lzh")).string();
            yar::testing::WriteFileBytes(
                archive, yar::testing::WriteLhaArchive(m.LhaId, "corpus.bin", stored, corpus));
            for (const TPeer& peer : kPeers) {
                if (!OnPath(peer.Tool)) continue;
                const auto seconds = PeerTime(peer, archive, scratch, corpus, repetitions);
                if (!seconds) {
                    std::printf(" %s n/a", peer.Tool); // no decoder of this method
                    continue;
                }
                const double theirs = megabytes / *seconds;
                std::printf(" %s %.1f (%.2fx)", peer.Tool, theirs, ours / theirs);
            }
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return failures == 0 ? 0 : 1;
}
