// Decode benchmark of the expansion engine on a fixed, generated corpus (text, binary-like, runs,
// random), encoded once per method before anything is timed. Two tables:
//  - in process: the best speed of each method, expanding from memory into a sink that keeps nothing;
//  - whole processes: `yar test` and `yar extract` of an archive holding the coLZH5 (and coLZH) stream,
//    beside lhasa, 7-Zip and bsdtar testing and extracting an .lzh holding the very same stream. Every
//    program is started the same way (no shell), runs alternate in pairs, and the table shows the
//    medians and the median of the per-pair ratios.
//   yar_decode_bench [size in MiB, default 16] [repetitions, default 5]
#include "archive/CompThreadSafety.h"
#include "archive/ExpandStream.h"
#include "tests/archive/CodecCorpus.h"
#include "tests/archive/LhaArchive.h"
#include "tools/builder/ArchiveWriter.h"
#include "tools/builder/Encoders.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace yar;
using yar::testing::OnPath;
using TBytes = std::vector<uint8_t>;
using TClock = std::chrono::steady_clock;
using TArgs = std::vector<std::string>;

constexpr uint64_t kCorpusSeed = 1;
constexpr double kMegabyte = 1e6;

struct TMethod {
    const char* Name;
    TCompressionMethod Method;
    std::function<TBytes(std::span<const uint8_t>)> Encode;
    const char* LhaId; // the stream as an LHA method, or nullptr
};

// How one program tests or extracts one archive; {DIR} stands for the directory to extract into.
struct TCommand {
    const char* Tool;
    TArgs (*Test)(const std::string& archive);
    TArgs (*Extract)(const std::string& archive, const std::string& dir);
};

// bsdtar has no test of its own: expanding every entry to standard output is the nearest.
const TCommand kPeers[] = {
    {"lhasa",
     [](const std::string& a) {
         return TArgs{"lhasa", "t", a};
     },
     [](const std::string& a, const std::string& d) {
         return TArgs{"lhasa", "xw=" + d, a};
     }},
    {"7z",
     [](const std::string& a) {
         return TArgs{"7z", "t", a};
     },
     [](const std::string& a, const std::string& d) {
         return TArgs{"7z", "x", "-y", "-o" + d, a};
     }},
    {"bsdtar",
     [](const std::string& a) {
         return TArgs{"bsdtar", "-xOf", a};
     },
     [](const std::string& a, const std::string& d) {
         return TArgs{"bsdtar", "-xf", a, "-C", d};
     }},
};

// Runs a program with its output discarded; its exit status, or -1 when it could not run.
int Run(const TArgs& args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double Seconds(const std::function<void()>& run) {
    const auto start = TClock::now();
    run();
    return std::chrono::duration<double>(TClock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// ---- in process ----

// One expansion from the stored stream into a sink that keeps nothing; false when the checksum does
// not match. The source is rewound, not rebuilt, so nothing but the expansion is timed.
bool ExpandOnce(const TMethod& m, TMemoryStream& source, size_t originalSize, uint32_t expectedSum) {
    TCompThreadSafety state;
    TNullStream dest;
    source.Seek(0, TSeekOrigin::soBeginning);
    int32_t checksum = 0;
    ExpandStream(state, dest, source, static_cast<int32_t>(source.Size()), static_cast<int32_t>(originalSize),
                 m.Method, checksum, false, 0, nullptr);
    return static_cast<uint32_t>(checksum) == expectedSum &&
           dest.BytesWritten() >= static_cast<int64_t>(originalSize);
}

// ---- whole processes ----

// A scratch directory for the archives and the extractions: in memory where the system has one, so
// that the figures are the programs' and not the disk's.
fs::path ScratchDir() {
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    fs::path dir = base / ("yar-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir;
}

struct TPairedFigures {
    double Ours = 0, Theirs = 0, Ratio = 0; // medians; Ratio of the per-pair ours / theirs
};

// Runs ours and the peer's command alternately; the extraction directory is emptied before each run,
// outside the timing. Nothing when either command fails.
std::optional<TPairedFigures> Paired(const TArgs& ours, const TArgs& theirs, const fs::path& out, int runs) {
    std::vector<double> a, b, ratio;
    for (int i = 0; i < runs; ++i) {
        double times[2] = {};
        for (int k = 0; k < 2; ++k) {
            fs::remove_all(out);
            fs::create_directories(out);
            int status = 0;
            times[k] = Seconds([&] { status = Run(k == 0 ? ours : theirs); });
            if (status != 0) return std::nullopt;
        }
        a.push_back(times[0]);
        b.push_back(times[1]);
        ratio.push_back(times[0] / times[1]);
    }
    return TPairedFigures{Median(a), Median(b), Median(ratio)};
}

// The archive of ours and the .lzh of the peers, each holding the same stored stream of the corpus.
void WriteBothArchives(const TMethod& m, const TBytes& corpus, const TBytes& stored, const std::string& ours,
                       const std::string& lzh) {
    builder::TArchiveWriter writer(static_cast<uint8_t>(m.Method));
    writer.Add({"corpus.bin", corpus, static_cast<uint8_t>(m.Method)});
    if (writer.Image().Entries.front().Stored != stored) throw std::runtime_error("the two archives differ");
    writer.WriteFile(ours);
    yar::testing::WriteFileBytes(lzh, yar::testing::WriteLhaArchive(m.LhaId, "corpus.bin", stored, corpus));
}

void PrintPaired(const char* what, const char* peer, const std::optional<TPairedFigures>& f,
                 double megabytes) {
    if (!f) {
        std::printf("  %-8s %-7s  n/a\n", what, peer);
        return;
    }
    std::printf("  %-8s %-7s %9.3f %9.1f %9.3f %9.1f %8.2fx\n", what, peer, f->Ours, megabytes / f->Ours,
                f->Theirs, megabytes / f->Theirs, f->Ratio);
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
    const fs::path dir = ScratchDir();

    const TMethod methods[] = {
        {"coNone", coNone, [](std::span<const uint8_t> d) { return TBytes(d.begin(), d.end()); }, nullptr},
        {"coRLE", coRLE, [](std::span<const uint8_t> d) { return builder::EncodeRLE(d); }, nullptr},
        {"coLZH", coLZH, [](std::span<const uint8_t> d) { return builder::EncodeLZH(d); }, "-lh1-"},
        {"coLZH5", coLZH5, [](std::span<const uint8_t> d) { return builder::EncodeLZH5(d); }, "-lh5-"},
    };

    std::printf("Corpus: %zu MiB mixed (text, binary-like, runs, random), seed %llu; MB = 10^6 bytes of "
                "expanded data\n\n",
                mebibytes, static_cast<unsigned long long>(kCorpusSeed));
    std::printf("In process, best of %d runs:\n  %-8s %12s %7s %10s\n", repetitions, "method", "stored",
                "ratio", "MB/s");
    int failures = 0;
    std::vector<std::pair<const TMethod*, TBytes>> forPeers;
    for (const TMethod& m : methods) {
        TBytes stored = m.Encode(corpus);
        TMemoryStream source(stored);
        if (!ExpandOnce(m, source, corpus.size(), sum)) {
            std::printf("  %-8s expansion does not reproduce the corpus\n", m.Name);
            ++failures;
            continue;
        }
        double best = 1e30;
        for (int i = 0; i < repetitions; ++i)
            best = std::min(best, Seconds([&] { ExpandOnce(m, source, corpus.size(), sum); }));
        std::printf("  %-8s %12zu %6.1f%% %10.1f\n", m.Name, stored.size(),
                    100.0 * static_cast<double>(stored.size()) / static_cast<double>(corpus.size()),
                    megabytes / best);
        if (m.LhaId != nullptr) forPeers.emplace_back(&m, std::move(stored));
        std::fflush(stdout);
    }

    std::printf("\nWhole processes on %s, the same stored stream in both archives; median of %d paired runs "
                "(ratio: median of ours / peer per pair, below 1 is faster):\n",
                dir.c_str(), repetitions);
    std::printf("  %-8s %-7s %9s %9s %9s %9s %9s\n", "method", "peer", "yar s", "MB/s", "peer s", "MB/s",
                "ratio");
    for (const auto& [m, stored] : forPeers) {
        const std::string ours = (dir / (std::string(m->Name) + ".yar")).string();
        const std::string lzh = (dir / (std::string(m->Name) + ".lzh")).string();
        WriteBothArchives(*m, corpus, stored, ours, lzh);
        const fs::path out = dir / "out";
        for (const TCommand& peer : kPeers) {
            if (!OnPath(peer.Tool)) continue;
            const std::string test = std::string(m->Name) + " t";
            PrintPaired(test.c_str(), peer.Tool,
                        Paired({YAR_TOOL_PATH, "test", ours}, peer.Test(lzh), out, repetitions), megabytes);
            const std::string extract = std::string(m->Name) + " x";
            PrintPaired(extract.c_str(), peer.Tool,
                        Paired({YAR_TOOL_PATH, "extract", "-q", "--force", "-d", out.string(), ours},
                               peer.Extract(lzh, out.string()), out, repetitions),
                        megabytes);
            std::fflush(stdout);
        }
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return failures == 0 ? 0 : 1;
}
