// File services on POSIX systems. "\" in a path is read as "/"; drives do not exist, so free space
// is that of the file system holding the nearest existing directory of the path.
#include "system/FileServices.h"

#include "system/AccessLists.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace yar {

std::string NativePath(const std::string& path) {
    std::string result = path;
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

bool FileExistsAt(const std::string& path) {
    struct stat st {};
    return stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExistsAt(const std::string& path) {
    struct stat st {};
    return stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void MakeDirectory(const std::string& path) {
    if (mkdir(NativePath(path).c_str(), 0777) != 0) {
        const int code = errno;
        throw EInOutError(code, "I/O error " + std::to_string(code));
    }
}

bool MakePrivateDirectory(const std::string& path) {
    if (mkdir(NativePath(path).c_str(), 0700) == 0) return true;
    const int code = errno;
    if (code == EEXIST) return false;
    throw EInOutError(code, "I/O error " + std::to_string(code));
}

bool RunsElevated() {
    return geteuid() == 0;
}

void MakeDirectoryWithAccess(const std::string& path, const std::string& accessList) {
    const mode_t mode = accessList.find(";;;BU)") != std::string::npos ? 0755 : 0700;
    if (mkdir(NativePath(path).c_str(), mode) != 0 || chmod(NativePath(path).c_str(), mode) != 0) {
        const int code = errno;
        throw EInOutError(code, "I/O error " + std::to_string(code));
    }
}

std::optional<int64_t> FileSizeAt(const std::string& path) {
    struct stat st {};
    if (stat(NativePath(path).c_str(), &st) != 0) return std::nullopt;
    return static_cast<int64_t>(st.st_size);
}

double DiskFreeBytes(const std::string& path) {
    // The directory part of the path, shortened until it names something that exists.
    std::string dir = ExtractFileDir(NativePath(path));
    struct statvfs vfs {};
    while (statvfs(dir.empty() ? "." : dir.c_str(), &vfs) != 0) {
        if (dir.empty() || IsDriveRoot(dir)) return -1;
        dir = ExtractFileDir(dir);
    }
    return static_cast<double>(vfs.f_bavail) * static_cast<double>(vfs.f_frsize);
}

bool RemoveFileAt(const std::string& path) {
    return unlink(NativePath(path).c_str()) == 0;
}

bool RemoveDirectoryAt(const std::string& path) {
    return rmdir(NativePath(path).c_str()) == 0;
}

std::vector<std::string> FileNamesIn(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(NativePath(dir), error))
        if (!entry.is_directory(error)) names.push_back(entry.path().filename().string());
    return names;
}

std::vector<std::string> EntryNamesIn(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code error;
    std::transform(std::filesystem::directory_iterator(NativePath(dir), error),
                   std::filesystem::directory_iterator(), std::back_inserter(names),
                   [](const auto& entry) { return entry.path().filename().string(); });
    return names;
}

std::optional<uint16_t> FileAttributesAt(const std::string& path) {
    struct stat st {};
    if (stat(NativePath(path).c_str(), &st) != 0) return std::nullopt;
    if (S_ISDIR(st.st_mode)) return uint16_t{0x10};
    return static_cast<uint16_t>((st.st_mode & S_IWUSR) == 0 ? 0x21 : 0x20);
}

namespace {

TFileIdentity IdentityOf(const struct stat& st) {
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

} // namespace

std::optional<TFileIdentity> FileIdentityAt(const std::string& path) {
    struct stat st {};
    if (lstat(NativePath(path).c_str(), &st) != 0) return std::nullopt;
    return IdentityOf(st);
}

std::optional<TFileIdentity> CreateNewFileAt(const std::string& path) {
    // O_EXCL refuses any name in use, a link that leads nowhere too.
    const int fd = open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    const bool read = fstat(fd, &st) == 0;
    close(fd);
    if (!read) return std::nullopt;
    return IdentityOf(st);
}

bool IsLinkAt(const std::string& path) {
    struct stat st {};
    return lstat(NativePath(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::optional<TObjectSecurity> ObjectSecurityAt(const std::string& path) {
    struct stat st {};
    if (stat(NativePath(path).c_str(), &st) != 0) return std::nullopt;
    constexpr uint32_t kFileAllAccess = 0x1F01FF, kGenericRead = 0x120089, kGenericWrite = 0x120116,
                       kGenericExecute = 0x1200A0, kDelete = 0x10000, kDeleteChild = 0x40,
                       kWriteDac = 0x40000, kWriteOwner = 0x80000;
    const bool dir = S_ISDIR(st.st_mode);
    const auto rights = [&](mode_t read, mode_t write, mode_t execute) {
        uint32_t mask = 0;
        if (st.st_mode & read) mask |= kGenericRead;
        if (st.st_mode & write) mask |= kGenericWrite | kDelete | (dir ? kDeleteChild : 0);
        if (st.st_mode & execute) mask |= kGenericExecute;
        return mask;
    };
    const std::string owner = "S-1-22-1-" + std::to_string(st.st_uid);
    std::vector<TAccessRule> rules{{true, false, kFileAllAccess, "S-1-5-18"}};
    if (st.st_mode & S_IRWXU)
        rules.push_back({true, false, kWriteDac | kWriteOwner | rights(S_IRUSR, S_IWUSR, S_IXUSR), owner});
    if (st.st_mode & S_IRWXO) rules.push_back({true, false, rights(S_IROTH, S_IWOTH, S_IXOTH), "S-1-1-0"});
    return TObjectSecurity{owner, std::move(rules)};
}

std::string CurrentAccountSid() {
    return "S-1-22-1-" + std::to_string(geteuid());
}

std::string WindowsDirectory() {
    return {};
}

std::string CurrentDirectory() {
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

std::string TempDirectory() {
    std::error_code error;
    const std::string dir = std::filesystem::temp_directory_path(error).string();
    return dir.empty() || dir.ends_with('/') ? dir : dir + "/";
}

void EnterDirectory(const std::string& dir) {
    if (chdir(NativePath(dir).c_str()) == 0) return;
    const int code = errno;
    throw EInOutError(code, SysErrorMessage(code));
}

bool SetFileDosDate(TFileStream& file, uint32_t dosDateTime) {
    const auto t = DecodeDosDateTime(dosDateTime);
    if (!t) return false;
    std::tm local{};
    local.tm_year = t->Year - 1900;
    local.tm_mon = t->Month - 1;
    local.tm_mday = t->Day;
    local.tm_hour = t->Hour;
    local.tm_min = t->Minute;
    local.tm_sec = t->Second;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    if (when == static_cast<std::time_t>(-1)) return false;
    const timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
    return futimens(file.Handle(), times) == 0;
}

bool ApplyFileAttributes(const std::string& path, uint16_t attributes) {
    const std::string native = NativePath(path);
    struct stat st {};
    if (stat(native.c_str(), &st) != 0) return false;
    const mode_t mode = (attributes & 0x01) != 0
                            ? st.st_mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH)
                            : st.st_mode | S_IWUSR;
    return mode == st.st_mode || chmod(native.c_str(), mode) == 0;
}

} // namespace yar

namespace yar {

TDriveKind DriveKindOf(const std::string& /*path*/) {
    return drFixed;
}

bool MoveFileAsCopy(const std::string& from, const std::string& to) {
    const std::string target = NativePath(to);
    // RENAME_NOREPLACE: an existing target is never replaced; EXDEV names another volume.
    if (renameat2(AT_FDCWD, NativePath(from).c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0)
        return false;
    // A new file: writable by its owner, written now.
    if (ApplyFileAttributes(to, 0) && utimensat(AT_FDCWD, target.c_str(), nullptr, AT_SYMLINK_NOFOLLOW) == 0)
        return true;
    renameat2(AT_FDCWD, target.c_str(), AT_FDCWD, NativePath(from).c_str(), RENAME_NOREPLACE);
    return false;
}

bool MoveFileAsCopy(const std::string& from, const std::string& to, TInheritedAccess& /*known*/) {
    return MoveFileAsCopy(from, to);
}

} // namespace yar
