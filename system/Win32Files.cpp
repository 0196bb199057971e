#include "system/Win32Files.h"

#include "system/FileServices.h"

#include <array>
#include <vector>

#include <windows.h>

namespace yar {

bool TWin32Files::FileExists(const std::string& path) const {
    return FileExistsAt(path);
}

bool TWin32Files::DirectoryExists(const std::string& path) const {
    return DirectoryExistsAt(path);
}

void TWin32Files::ForceDirectories(const std::string& dir) {
    yar::ForceDirectories(dir);
}

namespace {
// ERROR_NOT_SUPPORTED: only an install's file service makes things new.
[[noreturn]] void RefuseMaking() {
    throw EInOutError(50, "Only the install makes directories and files new");
}
} // namespace

void TWin32Files::ForceDirectoriesWithAccess(const std::string&, const std::string&) {
    RefuseMaking();
}

void TWin32Files::MakeNewDirectory(const std::string&, const std::string&) {
    RefuseMaking();
}

std::optional<TFileIdentity> TWin32Files::CreateNewFile(const std::string&) {
    return std::nullopt;
}

void TWin32InstallFiles::ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) {
    yar::ForceDirectories(dir, DirectoryExistsAt,
                          [&](const std::string& d) { MakeDirectoryWithAccess(d, accessList); });
}

void TWin32InstallFiles::MakeNewDirectory(const std::string& path, const std::string& accessList) {
    if (accessList.empty())
        MakeDirectory(path);
    else
        MakeDirectoryWithAccess(path, accessList);
}

std::optional<TFileIdentity> TWin32InstallFiles::CreateNewFile(const std::string& path) {
    return CreateNewFileAt(path);
}

std::optional<TFileIdentity> TWin32Files::Identity(const std::string& path) const {
    return FileIdentityAt(path);
}

TCopyResult TWin32Files::CopyFileChecked(const std::string& from, const std::string& to, bool failIfExists) {
    return CopyFileAt(from, to, failIfExists);
}

bool TWin32InstallFiles::MoveNewFile(const std::string& from, const std::string& to) {
    return MoveFileAsCopy(from, to, FInheritedAccess);
}

bool TWin32Files::RemoveFile(const std::string& path) {
    return RemoveFileAt(path);
}

bool TWin32Files::RemoveEmptyDirectory(const std::string& path) {
    return RemoveDirectoryAt(path);
}

bool TWin32Files::RemoveAtRestart(const std::string& path) {
    // The system checks nothing before the restart: a missing file is refused here as on the host.
    return (FileExistsAt(path) || DirectoryExistsAt(path)) &&
           MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

bool TWin32Files::ReplaceAtRestart(const std::string& from, const std::string& to) {
    return FileExistsAt(from) && FileExistsAt(to) &&
           MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) !=
               0;
}

std::optional<uint16_t> TWin32Files::Attributes(const std::string& path) const {
    return FileAttributesAt(path);
}

std::optional<int64_t> TWin32Files::FileSize(const std::string& path) const {
    return FileSizeAt(path);
}

bool TWin32Files::SetAttributes(const std::string& path, uint16_t attributes) {
    return ApplyFileAttributes(path, attributes);
}

std::vector<std::string> TWin32Files::FileNames(const std::string& dir) const {
    return FileNamesIn(dir);
}

std::vector<std::string> TWin32Files::EntryNames(const std::string& dir) const {
    return EntryNamesIn(dir);
}

std::optional<std::vector<std::string>> TWin32Files::ReadLines(const std::string& path) const {
    return ReadLinesAt(path);
}

bool TWin32Files::WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    return WriteLinesAt(path, lines);
}

bool TWin32Files::AppendLine(const std::string& path, const std::string& line) {
    return AppendLineAt(path, line);
}

std::unique_ptr<TLineAppender> TWin32Files::OpenLineAppender(const std::string& path) {
    return FileLineAppender(path);
}

std::string TWin32Files::ShortPath(const std::string& path) const {
    std::array<char, 255> buffer{};
    const DWORD length = GetShortPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    // A result as long as the buffer or longer is the size it would have needed.
    if (length == 0 || length >= buffer.size()) return path;
    return std::string(buffer.data(), length);
}

std::string TWin32Files::WindowsDirectory() const {
    return yar::WindowsDirectory();
}

std::optional<std::string> TWin32Files::ReadBytes(const std::string& path) const {
    return ReadBytesAt(path);
}

std::string TWin32Files::LongPath(const std::string& path) const {
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length = GetLongPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return path;
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

std::optional<TObjectSecurity> TWin32Files::Security(const std::string& path) const {
    return ObjectSecurityAt(path);
}

std::string TWin32Files::CurrentAccount() const {
    return CurrentAccountSid();
}

} // namespace yar
