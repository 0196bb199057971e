#include "tools/yar/MediaBinding.h"

#include "tools/yar/ToolErrors.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>

namespace yar::tool {
namespace fs = std::filesystem;

namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in) throw EToolFileError("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string_view kMarker(kManifestMarker.data(), kManifestMarker.size());

} // namespace

std::optional<std::size_t> FindManifestBlock(const std::string& program) {
    const std::size_t at = program.find(kMarker);
    if (at == std::string::npos || at + kManifestBlockSize > program.size()) return std::nullopt;
    if (program.find(kMarker, at + 1) != std::string::npos)
        throw EManifestError("the program holds the manifest marker more than once");
    return at;
}

TMediaManifest DigestMedia(const std::vector<std::pair<std::string, std::string>>& files,
                           const TDigestFunction& digest) {
    TMediaManifest manifest;
    for (const auto& [name, path] : files) {
        const std::optional<std::string> hex = digest ? digest(ReadWhole(path)) : std::nullopt;
        if (!hex) throw EToolFileError("no SHA-256 digest of " + path + " can be had on this system");
        manifest.Entries.push_back({name, *hex});
    }
    return manifest;
}

bool BindMedia(const std::string& path, const TMediaManifest& manifest) {
    std::string program = ReadWhole(path);
    const std::optional<std::size_t> at = FindManifestBlock(program);
    if (!at) return false;
    const std::vector<uint8_t> block = EncodeManifestBlock(manifest);
    std::ranges::copy(block, program.begin() + static_cast<std::ptrdiff_t>(*at));
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out.write(program.data(), static_cast<std::streamsize>(program.size()));
    out.close();
    if (!out) throw EToolFileError("cannot write " + path);
    return true;
}

std::optional<TMediaManifest> ManifestOf(const std::string& path) {
    const std::string program = ReadWhole(path);
    const std::optional<std::size_t> at = FindManifestBlock(program);
    if (!at) return std::nullopt;
    const auto* bytes = reinterpret_cast<const uint8_t*>(program.data()) + *at;
    return DecodeManifestBlock(std::span<const uint8_t>(bytes, kManifestBlockSize));
}

std::vector<std::string> MediaMismatches(const TMediaManifest& manifest,
                                         const std::vector<std::pair<std::string, std::string>>& files,
                                         const TDigestFunction& digest) {
    std::vector<std::string> lines;
    for (const TManifestEntry& entry : manifest.Entries) {
        const auto file = std::ranges::find_if(files, [&](const auto& f) { return f.first == entry.Name; });
        std::error_code ec;
        if (file == files.end() || !fs::is_regular_file(fs::path(file->second), ec)) {
            lines.push_back(entry.Name + " is missing");
            continue;
        }
        if (!MatchesManifest(manifest, entry.Name, ReadWhole(file->second), digest))
            lines.push_back(file->second + " does not match the manifest (changed since the build)");
    }
    return lines;
}

} // namespace yar::tool
