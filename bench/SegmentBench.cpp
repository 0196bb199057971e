// Segment set benchmark: a set of tens of MB on 1.44 MB volumes is expanded by the segment reader,
// and its volume files are merely copied; the table gives both times and their ratio, which is the
// cost of reading a set beyond moving its bytes (putting archives together, decoding, writing files).
//   yar_segment_bench [expanded size in MiB, default 48] [repetitions, default 3]
// The second case times the setup program's expansion of one archive of many small entries whose name
// list names every one: the cost of matching entries against the list.
//   yar_segment_bench names [entries, default 100000]
#include "archive/Segment.h"
#include "system/FileServices.h"
#include "tests/archive/CodecCorpus.h"
#include "tools/builder/ArchiveWriter.h"
#include "tools/builder/SegmentSetWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace yar;
using TClock = std::chrono::steady_clock;

constexpr int kDirs = 6;

// The content of file number n: text, program-like records and random bytes in turn.
std::vector<uint8_t> FileContent(std::size_t size, uint64_t n) {
    switch (n % 3) {
    case 0:
        return testing::TextLike(size, n + 1);
    case 1:
        return testing::BinaryLike(size, n + 1);
    default:
        return testing::RandomBytes(size, n + 1);
    }
}

// One lh5 archive per directory, about size bytes in all; returns the expanded byte count.
std::vector<builder::TSegSetArchive> BuildArchives(std::size_t size, const std::string& outDir,
                                                   std::size_t& files) {
    std::vector<builder::TSegSetArchive> archives;
    testing::TRandom random(7);
    const std::size_t perDir = size / kDirs;
    for (int d = 0; d < kDirs; ++d) {
        builder::TArchiveWriter writer(coLZH5);
        std::vector<std::string> names;
        for (std::size_t done = 0; done < perDir; ++files) {
            const std::size_t fileSize =
                std::min<std::size_t>(64 * 1024 + random.Below(960 * 1024), perDir - done);
            const std::string name = "file" + std::to_string(files) + ".dat";
            writer.Add(name, FileContent(fileSize, files));
            names.push_back(name);
            done += fileSize;
        }
        archives.push_back(builder::MakeSetArchive(outDir + "\\dir" + std::to_string(d) + "\\*.*", names,
                                                   writer.Bytes(), coLZH5));
    }
    return archives;
}

double Seconds(const std::function<void()>& work) {
    const auto start = TClock::now();
    work();
    return std::chrono::duration<double>(TClock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One archive of Entries one-byte files with a name list that names them all, expanded once.
int NamesCase(std::size_t entries, const std::string& root) {
    const std::string volDir = root + "/vol", outDir = root + "/out", tmpDir = root + "/tmp";
    for (const auto& d : {volDir, outDir, tmpDir}) fs::create_directories(d);
    builder::TArchiveWriter writer(coNone);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < entries; ++i) {
        names.push_back(std::to_string(i) + ".f");
        writer.Add(names.back(), std::vector<uint8_t>{static_cast<uint8_t>(i)});
    }
    builder::TSegVolumeWriter volumes(volDir, "disk", "", builder::SegFloppySize);
    const std::vector<builder::TSegSetArchive> set = {
        builder::MakeSetArchive(outDir + "\\*.*", names, writer.Bytes(), coLZH5)};
    builder::WriteSegmentSet(volumes, set);
    volumes.Finish();
    TSegCompEZ seg;
    seg.SetSegBaseName("disk");
    seg.SetSegDir(volDir);
    seg.SetSegTmpDir(tmpDir);
    seg.SetSegPopUp(false);
    const double seconds = Seconds([&] { seg.SegExpand(); });
    std::printf("%zu entries named in a list of %zu names: expanded in %.3f s (%zu files written)\n", entries,
                names.size(), seconds, seg.SegArcList[0].Files.size());
    fs::remove_all(root);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "names")
        return NamesCase(
            argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 100000,
            (fs::temp_directory_path() / ("yar-names-bench." + std::to_string(getpid()))).string());
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 48;
    const int repetitions = std::max(1, argc > 2 ? std::atoi(argv[2]) : 3);
    const std::string root =
        (fs::temp_directory_path() / ("yar-segment-bench." + std::to_string(getpid()))).string();
    const std::string volDir = root + "/vol", copyDir = root + "/copy", outDir = root + "/out",
                      tmpDir = root + "/tmp";
    for (const auto& d : {volDir, copyDir, outDir, tmpDir}) fs::create_directories(d);

    std::size_t files = 0;
    const std::size_t expanded = mib * 1024 * 1024;
    std::printf("building a set of %zu MiB of files (text, records, random) with lh5 ...\n", mib);
    const auto archives = BuildArchives(expanded, outDir, files);
    builder::TSegVolumeWriter writer(volDir, "disk", "", builder::SegFloppySize);
    builder::WriteSegmentSet(writer, archives);
    writer.Finish();
    std::uintmax_t setBytes = 0;
    for (const auto& v : writer.Paths()) setBytes += fs::file_size(NativePath(v));

    const auto copyVolumes = [&] {
        for (const auto& v : writer.Paths()) {
            const fs::path from(NativePath(v));
            fs::copy_file(from, copyDir / from.filename(), fs::copy_options::overwrite_existing);
        }
    };
    const auto expandSet = [&] {
        TSegCompEZ seg;
        seg.SetSegBaseName("disk");
        seg.SetSegDir(volDir);
        seg.SetSegTmpDir(tmpDir);
        seg.SetSegPopUp(false);
        seg.SegExpand();
    };
    copyVolumes(); // the volumes in the page cache for both, as after a first read
    std::vector<double> copies, expansions;
    for (int r = 0; r < repetitions; ++r) {
        copies.push_back(Seconds(copyVolumes));
        fs::remove_all(outDir);
        expansions.push_back(Seconds(expandSet));
    }
    const double copy = Median(copies), expand = Median(expansions);
    const double setMB = static_cast<double>(setBytes) / 1e6, outMB = static_cast<double>(expanded) / 1e6;
    std::printf("set: %zu volumes of 1.44 MB, %.1f MB; expands to %zu files, %.1f MB (median of %d runs)\n",
                writer.Paths().size(), setMB, files, outMB, repetitions);
    std::printf("  copy the volume files  %8.3f s  %8.1f MB/s of volumes\n", copy, setMB / copy);
    std::printf("  expand the set         %8.3f s  %8.1f MB/s of volumes, %.1f MB/s written\n", expand,
                setMB / expand, outMB / expand);
    std::printf("  ratio expand / copy    %8.1f\n", expand / copy);
    fs::remove_all(root);
    return 0;
}
