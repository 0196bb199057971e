// TFiles on a directory of the host that stands for the machine being installed on: the drive path
// "C:\x\y" is <root>/C/x/y (drive letter upper-cased), a path without a drive is on drive C, "." and
// ".." are resolved and never leave the drive. Names match without regard to case, as on Windows: a
// name that is not there as written is looked up among the directory's entries (the first in name
// order wins). Windows' own refusals are kept where the host would not refuse (the owner of the
// host files may be root): a read-only file is neither overwritten nor deleted.
#pragma once

#include "system/Files.h"

namespace yar {

class THostFiles final : public TFiles {
public:
    // Creates root, its drive C and the Windows directory when they are missing; raises EInOutError
    // when that fails.
    explicit THostFiles(std::string root, std::string windowsDirectory = "C:\\WINDOWS");

    // Where the Windows path lives on the host, as the host's file calls take it.
    std::string HostPath(const std::string& path) const;
    const std::string& Root() const { return Root_; }

    bool FileExists(const std::string& path) const override;
    bool DirectoryExists(const std::string& path) const override;
    void ForceDirectories(const std::string& dir) override;
    // The host's counterparts: permissions for the owner alone, or read and execute for everyone.
    void ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) override;
    TCopyResult CopyFileChecked(const std::string& from, const std::string& to, bool failIfExists) override;
    void MakeNewDirectory(const std::string& path, const std::string& accessList) override;
    std::optional<TFileIdentity> CreateNewFile(const std::string& path) override;
    std::optional<TFileIdentity> Identity(const std::string& path) const override;
    bool MoveNewFile(const std::string& from, const std::string& to) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveEmptyDirectory(const std::string& path) override;
    // Kept in a list until Restart, for an existing file or directory only.
    bool RemoveAtRestart(const std::string& path) override;
    // Kept in a list until Restart, for two existing files only.
    bool ReplaceAtRestart(const std::string& from, const std::string& to) override;
    // What Windows does when it starts: the files and empty directories kept for it are deleted, and the
    // files kept for it replaced, in order.
    void Restart();
    const std::vector<std::string>& PendingRemovals() const { return PendingRemovals_; }
    const std::vector<std::pair<std::string, std::string>>& PendingReplacements() const {
        return FPendingReplacements;
    }
    // Directories show faDirectory, files faArchive and, when read-only, faReadOnly, and a symbolic link
    // faReparsePoint besides what it leads to (faArchive alone when it leads nowhere): of the other bits
    // the host keeps nothing.
    std::optional<uint16_t> Attributes(const std::string& path) const override;
    bool SetAttributes(const std::string& path, uint16_t attributes) override;
    std::optional<int64_t> FileSize(const std::string& path) const override;
    // In name order.
    std::vector<std::string> FileNames(const std::string& dir) const override;
    std::vector<std::string> EntryNames(const std::string& dir) const override;
    std::optional<std::vector<std::string>> ReadLines(const std::string& path) const override;
    bool WriteLines(const std::string& path, const std::vector<std::string>& lines) override;
    bool AppendLine(const std::string& path, const std::string& line) override;
    // The path unchanged: the host keeps no 8.3 aliases, and for a volume without them
    // GetShortPathNameA reports the long path as it is.
    std::string ShortPath(const std::string& path) const override;
    std::string WindowsDirectory() const override { return WindowsDirectory_; }
    std::optional<std::string> ReadBytes(const std::string& path) const override;
    // The path unchanged, as ShortPath: the host keeps no 8.3 aliases.
    std::string LongPath(const std::string& path) const override { return path; }
    // ObjectSecurityAt on the host's file: natively its mode, under Wine its descriptor.
    std::optional<TObjectSecurity> Security(const std::string& path) const override;
    std::string CurrentAccount() const override;

private:
    bool IsReadOnlyFile(const std::string& hostPath) const;

    std::string Root_;
    std::string WindowsDirectory_;
    std::vector<std::string> PendingRemovals_;
    std::vector<std::pair<std::string, std::string>> FPendingReplacements;
};

} // namespace yar
