#include "tools/yar/Placement.h"

#include "system/FileServices.h"
#include "tools/yar/SafePath.h"
#include "tools/yar/ToolErrors.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace yar::tool {
namespace fs = std::filesystem;

TPlacement::TPlacement(std::string dir, bool overwrite)
    // The platform's own separators: the container's directory walk knows only those on Windows.
    : FDir(fs::path(std::move(dir)).make_preferred().string()), FOverwrite(overwrite) {
    fs::create_directories(FDir);
}

TPlacement::~TPlacement() {
    Discard();
}

std::string TPlacement::Place(const std::string& targetPath) {
    Commit();
    const std::string final = SafeTargetPath(FDir, targetPath);
    if (final.empty()) {
        FUnsafe.push_back(targetPath);
        return {};
    }
    // Two stored names may come to the same place ("a\x" and "a/x"); the first one wins.
    const bool claimed = std::find(FClaimed.begin(), FClaimed.end(), final) != FClaimed.end();
    std::error_code ec;
    if (claimed || (!FOverwrite && fs::symlink_status(final, ec).type() != fs::file_type::not_found)) {
        FRefused.push_back(final);
        return {};
    }
    FClaimed.push_back(final);
    FPendingFinal = final;
    FPendingTemp = final + ".yar-partial";
    return FPendingTemp;
}

void TPlacement::Commit() {
    if (FPendingTemp.empty()) return;
    const std::string temp = std::exchange(FPendingTemp, {});
    const std::string final = std::exchange(FPendingFinal, {});
    std::error_code ec;
    if (fs::exists(final, ec)) {
        // Replacing needs a writable file where Windows is concerned; the old one goes first.
        ApplyFileAttributes(final, 0x20);
        fs::remove(final, ec);
    }
    fs::rename(temp, final, ec);
    if (ec) {
        RemoveFileAt(temp);
        throw EToolFileError("Cannot place " + final + ": " + ec.message());
    }
    ++FPlaced;
    if (OnPlaced) OnPlaced(final);
}

void TPlacement::Discard() {
    if (FPendingTemp.empty()) return;
    ApplyFileAttributes(FPendingTemp, 0x20);
    RemoveFileAt(FPendingTemp);
    FPendingTemp.clear();
    FPendingFinal.clear();
}

} // namespace yar::tool
