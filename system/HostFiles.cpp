#include "system/HostFiles.h"

#include "system/FileServices.h"
#include "util/Paths.h"
#include "util/Text.h"

#include <algorithm>
#include <filesystem>

namespace yar {

namespace {

bool IsWindowsDelimiter(char c) {
    return c == '\\' || c == '/';
}

bool HasDriveLetter(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' && UpperAscii(path[0]) >= 'A' && UpperAscii(path[0]) <= 'Z';
}

// The components of a path below its drive, "." and ".." resolved; ".." at the root stays there.
std::vector<std::string> Components(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsWindowsDelimiter(path[end])) ++end;
        const std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.emplace_back(part);
        }
        start = end + 1;
    }
    return parts;
}

// The entry of dir whose name matches name without regard to case: the name itself when it is
// there, else the first such entry in name order, else name as it is.
std::string EntryNamed(const std::string& dir, const std::string& name) {
    if (FileAttributesAt(JoinPath(dir, name))) return name;
    std::vector<std::string> entries = EntryNamesIn(dir);
    std::ranges::sort(entries);
    const auto found = std::ranges::find_if(entries, [&](const std::string& e) { return SameText(e, name); });
    return found != entries.end() ? *found : name;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::ranges::sort(names);
    return names;
}

} // namespace

THostFiles::THostFiles(std::string root, std::string windowsDirectory)
    : Root_(std::move(root)), WindowsDirectory_(std::move(windowsDirectory)) {
    yar::ForceDirectories(HostPath("C:\\"));
    yar::ForceDirectories(HostPath(WindowsDirectory_));
}

std::string THostFiles::HostPath(const std::string& path) const {
    const bool hasDrive = HasDriveLetter(path);
    std::string host = JoinPath(Root_, std::string(1, hasDrive ? UpperAscii(path[0]) : 'C'));
    for (const std::string& part : Components(std::string_view(path).substr(hasDrive ? 2 : 0)))
        host = JoinPath(host, EntryNamed(host, part));
    return NativePath(host);
}

bool THostFiles::IsReadOnlyFile(const std::string& hostPath) const {
    const auto attributes = FileAttributesAt(hostPath);
    return attributes && (*attributes & faDirectory) == 0 && (*attributes & faReadOnly) != 0;
}

bool THostFiles::FileExists(const std::string& path) const {
    return FileExistsAt(HostPath(path));
}

bool THostFiles::DirectoryExists(const std::string& path) const {
    return DirectoryExistsAt(HostPath(path));
}

void THostFiles::ForceDirectories(const std::string& dir) {
    // The walk stays on Windows paths, so that it stops at the drive's root: a drive that is not
    // there is not made.
    yar::ForceDirectories(
        dir, [this](const std::string& d) { return DirectoryExists(d); },
        [this](const std::string& d) { MakeDirectory(HostPath(d)); });
}

void THostFiles::ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) {
    yar::ForceDirectories(
        dir, [this](const std::string& d) { return DirectoryExists(d); },
        [&](const std::string& d) { MakeDirectoryWithAccess(HostPath(d), accessList); });
}

void THostFiles::MakeNewDirectory(const std::string& path, const std::string& accessList) {
    if (accessList.empty())
        MakeDirectory(HostPath(path));
    else
        MakeDirectoryWithAccess(HostPath(path), accessList);
}

std::optional<TFileIdentity> THostFiles::CreateNewFile(const std::string& path) {
    return CreateNewFileAt(HostPath(path));
}

std::optional<TFileIdentity> THostFiles::Identity(const std::string& path) const {
    return FileIdentityAt(HostPath(path));
}

TCopyResult THostFiles::CopyFileChecked(const std::string& from, const std::string& to, bool failIfExists) {
    const std::string target = HostPath(to);
    // Root on the host may write a read-only file; Windows refuses it to anybody.
    if (IsReadOnlyFile(target)) return failIfExists ? crTargetExists : crCannotCreate;
    return CopyFileAt(HostPath(from), target, failIfExists);
}

bool THostFiles::MoveNewFile(const std::string& from, const std::string& to) {
    return MoveFileAsCopy(HostPath(from), HostPath(to));
}

bool THostFiles::RemoveFile(const std::string& path) {
    const std::string host = HostPath(path);
    return !IsReadOnlyFile(host) && RemoveFileAt(host);
}

bool THostFiles::RemoveEmptyDirectory(const std::string& path) {
    // Never the drive itself, which stands for the whole host root.
    return !IsDriveRoot(path) && RemoveDirectoryAt(HostPath(path));
}

bool THostFiles::RemoveAtRestart(const std::string& path) {
    if (!FileExists(path) && !DirectoryExists(path)) return false;
    PendingRemovals_.push_back(path);
    return true;
}

bool THostFiles::ReplaceAtRestart(const std::string& from, const std::string& to) {
    if (!FileExists(from) || !FileExists(to)) return false;
    FPendingReplacements.emplace_back(from, to);
    return true;
}

void THostFiles::Restart() {
    for (const std::string& path : PendingRemovals_)
        if (!RemoveFileAt(HostPath(path))) RemoveDirectoryAt(HostPath(path));
    PendingRemovals_.clear();
    // A source gone by then (an install undone) replaces nothing, as on Windows.
    for (const auto& [from, to] : FPendingReplacements)
        if (FileExists(from)) {
            std::error_code error; // a replacement that fails leaves both files, as on Windows
            std::filesystem::rename(HostPath(from), HostPath(to), error);
        }
    FPendingReplacements.clear();
}

std::optional<uint16_t> THostFiles::Attributes(const std::string& path) const {
    const std::string host = HostPath(path);
    const std::optional<uint16_t> attributes = FileAttributesAt(host);
    if (!IsLinkAt(host)) return attributes;
    return static_cast<uint16_t>(attributes.value_or(faArchive) | faReparsePoint);
}

std::optional<int64_t> THostFiles::FileSize(const std::string& path) const {
    return FileSizeAt(HostPath(path));
}

bool THostFiles::SetAttributes(const std::string& path, uint16_t attributes) {
    return ApplyFileAttributes(HostPath(path), attributes);
}

std::vector<std::string> THostFiles::FileNames(const std::string& dir) const {
    return Sorted(FileNamesIn(HostPath(dir)));
}

std::vector<std::string> THostFiles::EntryNames(const std::string& dir) const {
    return Sorted(EntryNamesIn(HostPath(dir)));
}

std::optional<std::vector<std::string>> THostFiles::ReadLines(const std::string& path) const {
    return ReadLinesAt(HostPath(path));
}

bool THostFiles::WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    const std::string host = HostPath(path);
    return !IsReadOnlyFile(host) && WriteLinesAt(host, lines);
}

bool THostFiles::AppendLine(const std::string& path, const std::string& line) {
    const std::string host = HostPath(path);
    return !IsReadOnlyFile(host) && AppendLineAt(host, line);
}

std::string THostFiles::ShortPath(const std::string& path) const {
    return path;
}

std::optional<std::string> THostFiles::ReadBytes(const std::string& path) const {
    return ReadBytesAt(HostPath(path));
}

std::optional<TObjectSecurity> THostFiles::Security(const std::string& path) const {
    return ObjectSecurityAt(HostPath(path));
}

std::string THostFiles::CurrentAccount() const {
    return CurrentAccountSid();
}

} // namespace yar
