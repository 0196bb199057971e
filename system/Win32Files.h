// TFiles on the Win32 calls: paths go to the system as they are. TWin32InstallFiles adds what only an
// install does: making directories and files new (with their access lists) and moving its working copies
// into place. TWin32Files refuses those (an error, or nothing made): the programs that only read, remove
// and undo never make anything, and do not carry the code.
#pragma once

#include "system/FileServices.h"
#include "system/Files.h"

namespace yar {

class TWin32Files : public TFiles {
public:
    bool FileExists(const std::string& path) const override;
    bool DirectoryExists(const std::string& path) const override;
    void ForceDirectories(const std::string& dir) override;
    // Refused here: EInOutError.
    void ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) override;
    TCopyResult CopyFileChecked(const std::string& from, const std::string& to, bool failIfExists) override;
    // Refused here: EInOutError, and nothing made.
    void MakeNewDirectory(const std::string& path, const std::string& accessList) override;
    std::optional<TFileIdentity> CreateNewFile(const std::string& path) override;
    std::optional<TFileIdentity> Identity(const std::string& path) const override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveEmptyDirectory(const std::string& path) override;
    bool RemoveAtRestart(const std::string& path) override;
    bool ReplaceAtRestart(const std::string& from, const std::string& to) override;
    std::optional<uint16_t> Attributes(const std::string& path) const override;
    bool SetAttributes(const std::string& path, uint16_t attributes) override;
    std::optional<int64_t> FileSize(const std::string& path) const override;
    std::vector<std::string> FileNames(const std::string& dir) const override;
    std::vector<std::string> EntryNames(const std::string& dir) const override;
    std::optional<std::vector<std::string>> ReadLines(const std::string& path) const override;
    bool WriteLines(const std::string& path, const std::vector<std::string>& lines) override;
    bool AppendLine(const std::string& path, const std::string& line) override;
    // The file held open between lines: no open and close for each.
    std::unique_ptr<TLineAppender> OpenLineAppender(const std::string& path) override;
    std::string ShortPath(const std::string& path) const override;
    std::string WindowsDirectory() const override;
    std::optional<std::string> ReadBytes(const std::string& path) const override;
    std::string LongPath(const std::string& path) const override;
    // The owner and access list GetNamedSecurityInfoA reads, each account's SID as ConvertSidToStringSidA
    // writes it; the judgement is UntrustedChangeReason's.
    std::optional<TObjectSecurity> Security(const std::string& path) const override;
    std::string CurrentAccount() const override;
};

class TWin32InstallFiles final : public TWin32Files {
public:
    void ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) override;
    void MakeNewDirectory(const std::string& path, const std::string& accessList) override;
    std::optional<TFileIdentity> CreateNewFile(const std::string& path) override;
    bool MoveNewFile(const std::string& from, const std::string& to) override;

private:
    TInheritedAccess FInheritedAccess; // of the directories files were moved into
};

} // namespace yar
