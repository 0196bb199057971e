#include "tools/yar/Placement.h"

#include "system/FileServices.h"
#include "tools/yar/SafePath.h"
#include "tools/yar/ToolErrors.h"
#include "util/Text.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace yar::tool {
namespace fs = std::filesystem;

namespace {

int LastSystemError() {
#ifdef _WIN32
    return static_cast<int>(GetLastError());
#else
    return errno;
#endif
}

bool IsDiskFull(int code) {
#ifdef _WIN32
    return code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL;
#else
    return code == ENOSPC;
#endif
}

// A short name nobody can predict: the entry's own name may use the whole length a name may have.
std::string TempNameIn(const std::string& dir) {
    static std::mt19937_64 random{std::random_device{}()};
    char name[24];
    std::snprintf(name, sizeof name, ".yar%08llx", static_cast<unsigned long long>(random() & 0xFFFFFFFFull));
    return (fs::path(dir) / name).string();
}

// Renames the complete temporary file to its final name. False when the name is taken and may not be
// replaced; ec tells any other failure.
bool MoveIntoPlace(const std::string& temp, const std::string& final, bool overwrite, std::error_code& ec) {
#ifndef _WIN32
    // One call that refuses an existing name, where the file system can.
    if (!overwrite) {
        if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, final.c_str(), RENAME_NOREPLACE) == 0) return true;
        if (errno == EEXIST) return false;
        if (errno != EINVAL && errno != ENOSYS) {
            ec.assign(errno, std::generic_category());
            return true;
        }
    }
#endif
    if (fs::symlink_status(final, ec).type() != fs::file_type::not_found) {
        if (!overwrite) return false;
        // Replacing needs a writable file where Windows is concerned; the old one (or the link) goes first.
        if (!fs::is_symlink(final, ec)) ApplyFileAttributes(final, 0x20);
        fs::remove(final, ec);
    }
    ec.clear();
    fs::rename(temp, final, ec);
    return true;
}

// Whether attributes change anything on a file this run has just created. Natively only the
// read-only bit counts, and a new file is writable unless the user's file mask says otherwise.
bool NeedsAttributes(uint16_t attributes) {
#ifdef _WIN32
    (void)attributes;
    return true;
#else
    static const bool createdWritable = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return (mask & S_IWUSR) == 0;
    }();
    return (attributes & 0x01) != 0 || !createdWritable;
#endif
}

std::string SizeText(double bytes) {
    return std::to_string(static_cast<long long>(bytes)) + " bytes";
}

} // namespace

std::string WriteFailure(const std::string& path, int errorCode, double freeBytes) {
    if (IsDiskFull(errorCode))
        return "no space left on device: " + path + " (" + SizeText(std::max(freeBytes, 0.0)) + " free)";
    return "cannot write " + path + ": " + SysErrorMessage(errorCode);
}

std::string MakePrivateTempDir(const std::string& prefix) {
    const fs::path base = fs::temp_directory_path();
#ifdef _WIN32
    // The user's own temporary directory is private to the user already.
    for (int attempt = 0;; ++attempt) {
        const fs::path dir =
            base / (prefix + fs::path(TempNameIn(base.string())).filename().string().substr(4));
        std::error_code ec;
        if (fs::create_directory(dir, ec)) return dir.string();
        if (attempt >= 8)
            throw EToolFileError("cannot create a directory in " + base.string() + ": " + ec.message());
    }
#else
    std::string pattern = (base / (prefix + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) // mode 0700
        throw EToolFileError("cannot create a directory in " + base.string() + ": " + SysErrorMessage(errno));
    return pattern;
#endif
}

TTargetStream::TTargetStream(const std::string& tempPath, std::string finalPath)
    : FFile(tempPath, TFileStream::TCreateNew{}), FFinal(std::move(finalPath)) {}

int32_t TTargetStream::Write(const void* buffer, int32_t count) {
    int32_t done = 0;
    while (done < count) {
        const int32_t n = FFile.Write(static_cast<const uint8_t*>(buffer) + done, count - done);
        if (n <= 0) {
            const int code = LastSystemError();
            throw EToolFileError(WriteFailure(FFinal, code, DiskFreeBytes(FFinal)));
        }
        done += n;
    }
    return done;
}

TPlacement::TPlacement(std::string dir, bool overwrite)
    // The platform's own separators: the container's directory walk knows only those on Windows.
    : FreeSpace([](const std::string& path) { return DiskFreeBytes(path); }),
      FDir(fs::path(std::move(dir)).make_preferred().string()), FOverwrite(overwrite) {
    fs::create_directories(FDir);
}

TPlacement::~TPlacement() {
    Discard();
}

std::optional<std::string> TPlacement::LinkOnTheWay(const std::string& final) const {
    if (FollowLinks) return std::nullopt;
    const fs::path parent = fs::path(final).parent_path();
    const fs::path relative = parent.lexically_relative(FDir);
    fs::path at = FDir;
    for (const fs::path& part : relative) {
        if (part == ".") continue;
        at /= part;
        std::error_code ec;
        const auto status = fs::symlink_status(at, ec);
        if (status.type() == fs::file_type::not_found) return std::nullopt; // made by this run
        if (status.type() == fs::file_type::symlink) return at.string();
    }
    return std::nullopt;
}

void TPlacement::CheckSpace(const std::string& final, const std::string& dir, int64_t size) {
    if (size <= 0 || !FreeSpace) return;
    // The free space last asked for this directory, less what this run placed there since, answers
    // for entries well within it; the writes still tell when others fill the disk meanwhile.
    if (dir == FSpaceDir && static_cast<double>(size) * 2 <= FSpaceLeft) {
        FSpaceLeft -= static_cast<double>(size);
        return;
    }
    double free = FreeSpace(final);
    FSpaceDir = free < 0 ? std::string() : dir;
    FSpaceLeft = free - static_cast<double>(size);
    if (free < 0) return; // unknown: the writes will tell
    if (FOverwrite) free += static_cast<double>(FileSizeAt(final).value_or(0));
    if (static_cast<double>(size) > free)
        throw EToolFileError("no space left on device: " + final + " needs " +
                             SizeText(static_cast<double>(size)) + ", " + SizeText(free) + " free");
}

std::string TPlacement::Place(const std::string& targetPath, int64_t size) {
    Commit();
    const std::string final = SafeTargetPath(FDir, targetPath);
    if (final.empty()) {
        FUnsafe.push_back(targetPath);
        return {};
    }
    // Two stored names may come to the same place ("a\x" and "a/x", or "A" and "a" where letter case
    // does not count); the first one wins.
    if (FClaimed.count(CaseBlind ? UpperCase(final) : final) != 0) {
        FDuplicates.push_back(final);
        return {};
    }
    // A directory this run has made or gone through is known to be no link: its files skip the walk.
    const std::string dir = fs::path(final).parent_path().string();
    const bool dirReady = FReadyDirs.count(dir) != 0;
    if (const auto link = dirReady ? std::nullopt : LinkOnTheWay(final)) {
        FThroughLinks.emplace_back(final, *link);
        return {};
    }
    std::error_code ec;
    const auto type = fs::symlink_status(final, ec).type();
    if (ec && type != fs::file_type::not_found) { // a name too long for the file system, say
        FFailed.emplace_back(final, "cannot create it: " + ec.message());
        return {};
    }
    if (!FOverwrite && type != fs::file_type::not_found) {
        FRefused.push_back(final);
        return {};
    }
    CheckSpace(final, dir, size);
    if (!dirReady) {
        fs::create_directories(dir, ec);
        if (ec) {
            FFailed.emplace_back(final, "cannot create the directory " + dir + ": " + ec.message());
            return {};
        }
        FReadyDirs.insert(dir);
    }
    for (int attempt = 0;; ++attempt) {
        const std::string temp = TempNameIn(dir);
        try {
            FTarget = std::make_unique<TTargetStream>(NativePath(temp), final);
            FPendingTemp = temp;
            break;
        } catch (const EFCreateError& e) {
            // Only a name taken by chance is worth another try.
            if (attempt < 8 && fs::symlink_status(temp, ec).type() != fs::file_type::not_found) continue;
            FFailed.emplace_back(final, e.what());
            return {};
        }
    }
    FClaimed.insert(CaseBlind ? UpperCase(final) : final);
    FPendingFinal = final;
    return FPendingTemp;
}

void TPlacement::Commit(std::optional<uint16_t> attributes) {
    if (FPendingTemp.empty()) return;
    FTarget.reset();
    const std::string temp = std::exchange(FPendingTemp, {});
    const std::string final = std::exchange(FPendingFinal, {});
    std::error_code ec;
    if (!MoveIntoPlace(temp, final, FOverwrite, ec)) {
        // A file that came under that name meanwhile stays, as one that was there before would.
        RemoveFileAt(temp);
        FRefused.push_back(final);
        return;
    }
    if (ec) { // a name the file system cannot hold, say: this entry fails, the next may not
        RemoveFileAt(temp);
        FFailed.emplace_back(final, "cannot place it: " + ec.message());
        return;
    }
    if (attributes && NeedsAttributes(*attributes)) ApplyFileAttributes(final, *attributes);
    ++FPlaced;
    if (OnPlaced) OnPlaced(final);
}

void TPlacement::Discard() {
    FTarget.reset();
    if (FPendingTemp.empty()) return;
    RemoveFileAt(FPendingTemp);
    FPendingTemp.clear();
    FPendingFinal.clear();
}

} // namespace yar::tool
