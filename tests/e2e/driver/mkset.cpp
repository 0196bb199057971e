// yarmkset: writes into the current directory the one-volume disk set (disk.001) that the end-to-end tests
// give install.exe: every named file, under its file-name part, in one lh5 archive. Never shipped.
#include "tools/builder/ArchiveWriter.h"
#include "tools/builder/SegmentSetWriter.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

std::vector<uint8_t> ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteDiskSet(const std::vector<std::filesystem::path>& files) {
    yar::builder::TArchiveWriter archive(yar::coLZH5);
    std::vector<std::string> names;
    for (const auto& file : files) {
        names.push_back(file.filename().string());
        archive.Add(names.back(), ReadAll(file));
    }
    const auto set = yar::builder::MakeSetArchive("c:\\yar\\*.*", names, archive.Bytes());
    yar::builder::TSegVolumeWriter volumes(".", "disk", "");
    yar::builder::WriteSegmentSet(volumes, std::span(&set, 1));
    volumes.Finish();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: yarmkset FILE...\n");
        return 64;
    }
    try {
        WriteDiskSet({argv + 1, argv + argc});
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "yarmkset: %s\n", e.what());
        return 1;
    }
}
