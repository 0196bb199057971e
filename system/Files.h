// The file operations of the install on Windows paths ("C:\Program Files\Acme\app.exe"): one
// interface, TWin32Files on the system's calls and THostFiles on a directory of the host, so that
// the install's rules run natively against a file system of their own.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "system/AccessLists.h"
#include "system/FileIdentity.h"

namespace yar {

// Attribute bits as GetFileAttributesA reports them.
enum : uint16_t {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSystem = 0x04,
    faDirectory = 0x10,
    faArchive = 0x20,
    // A symbolic link, junction or mount point: the system would go elsewhere through it.
    faReparsePoint = 0x400,
};

// How a copy ended: copied, kept from starting by one of its two sides, or broken off while writing.
enum TCopyResult { crCopied, crCannotOpen, crCannotCreate, crTargetExists, crWriteFailed, crTargetInUse };

// A copy that could not start: "Cannot open file <source>" or "Cannot create file <target>".
class ECopyFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The target of a copy is held open by another program: "The file <target> is in use".
class EFileInUse : public ECopyFileError {
public:
    explicit EFileInUse(const std::string& target) : ECopyFileError("The file " + target + " is in use") {}
};

// Lines appended to one file through a handle held open between them: each Append writes the line and
// CR LF and has the system put them on the disk before it returns, as AppendLine does, without opening
// and closing the file for each. False when the file cannot be opened or written.
class TLineAppender {
public:
    TLineAppender() = default;
    virtual ~TLineAppender() = default;
    TLineAppender(const TLineAppender&) = delete;
    TLineAppender& operator=(const TLineAppender&) = delete;

    virtual bool Append(const std::string& line) = 0;
};

class TFiles {
public:
    TFiles() = default;
    virtual ~TFiles() = default;
    TFiles(const TFiles&) = delete;
    TFiles& operator=(const TFiles&) = delete;

    // An existing file, not a directory.
    virtual bool FileExists(const std::string& path) const = 0;
    virtual bool DirectoryExists(const std::string& path) const = 0;
    // Creates dir and every missing parent; raises EInOutError for the first one that cannot be made.
    virtual void ForceDirectories(const std::string& dir) = 0;
    // The same, each directory it makes with the access list accessList (SDDL) rather than its parent's.
    virtual void ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) = 0;

    // Makes the one directory path, whose parent exists, never taking one that is there: raises
    // EInOutError when anything has that name or it cannot be made. With accessList (SDDL) instead of its
    // parent's list when that is not empty.
    virtual void MakeNewDirectory(const std::string& path, const std::string& accessList) = 0;
    // Makes path a new empty file; nothing when anything has that name (see CreateNewFileAt), else the
    // identity of the file made.
    virtual std::optional<TFileIdentity> CreateNewFile(const std::string& path) = 0;
    // The identity of the file or directory at path itself, a link not followed; nothing when none.
    virtual std::optional<TFileIdentity> Identity(const std::string& path) const = 0;

    // Copies the bytes of from to to in blocks of 8192 bytes, creating or truncating to; neither date
    // nor attributes go along. Says which side kept the copy from starting: from cannot be opened,
    // to cannot be created (a read-only file cannot), or failIfExists finds to already there. (Not
    // CopyFile/DeleteFile: <windows.h> makes macros of those names.)
    virtual TCopyResult CopyFileChecked(const std::string& from, const std::string& to,
                                        bool failIfExists) = 0;
    bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) {
        return CopyFileChecked(from, to, failIfExists) == crCopied;
    }
    // The copy of the preparation and the install: into dest under source's name when dest is a
    // directory or cannot be looked at (a missing path counts as a directory), else onto dest. Raises
    // ECopyFileError when the copy cannot start (EFileInUse when another program holds the target),
    // EWriteError when it breaks off.
    void CopyFileInto(const std::string& source, const std::string& dest);
    // Moves from to to, a name not in use, where a rename can (see MoveFileAsCopy): the file is then
    // what a copy would have made. False, from left as it was, when it cannot: the caller copies.
    virtual bool MoveNewFile(const std::string& /*from*/, const std::string& /*to*/) { return false; }
    // False when the file is missing, read-only or cannot be deleted.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Removes an empty directory; false when it is missing, not empty, a file or cannot be removed.
    // (Not RemoveDirectory: <windows.h> makes a macro of that name.)
    virtual bool RemoveEmptyDirectory(const std::string& path) = 0;
    // Has the file, or a directory that is empty by then, deleted when Windows next starts, in the order
    // asked, as a running program's own file can only be; false when that cannot be arranged. It stays
    // until then.
    virtual bool RemoveAtRestart(const std::string& path) = 0;
    // Has from replace to (an existing file another program holds) when Windows next starts; false when
    // that cannot be arranged. Both stay as they are until then.
    virtual bool ReplaceAtRestart(const std::string& from, const std::string& to) = 0;

    // The attribute bits (fa...), nothing when path does not exist.
    virtual std::optional<uint16_t> Attributes(const std::string& path) const = 0;
    // The size of a file in bytes; nothing when it cannot be looked at.
    virtual std::optional<int64_t> FileSize(const std::string& path) const = 0;
    // Sets the attribute bits of a file; 0 or faArchive clears read-only.
    virtual bool SetAttributes(const std::string& path, uint16_t attributes) = 0;

    // The names of the plain files of dir; the entries of dir ("*.*": files and directories, without
    // "." and ".."). Empty when dir cannot be listed.
    virtual std::vector<std::string> FileNames(const std::string& dir) const = 0;
    virtual std::vector<std::string> EntryNames(const std::string& dir) const = 0;

    // The file's lines: CR LF, LF and CR each end a line, text after the last line end is a last line,
    // every other byte stays. Nothing when the file cannot be read.
    virtual std::optional<std::vector<std::string>> ReadLines(const std::string& path) const = 0;
    // Creates or truncates the file and writes every line followed by CR LF, the last one too (DOS
    // skips an unterminated last line of AUTOEXEC.BAT); no lines make an empty file.
    virtual bool WriteLines(const std::string& path, const std::vector<std::string>& lines) = 0;
    // Appends line and CR LF to the file (created when missing) and has the system write it to the disk
    // before it returns, so that it survives a crash of the program or the machine; false on failure.
    virtual bool AppendLine(const std::string& path, const std::string& line) = 0;
    // An appender of lines to path, opened at its first line and held, no other program sharing it, until
    // the appender goes. By default each line goes through AppendLine (a layer that watches or changes
    // AppendLine sees every line).
    virtual std::unique_ptr<TLineAppender> OpenLineAppender(const std::string& path);

    // The path's short (8.3) form as GetShortPathNameA gives it into 255 characters; the path
    // unchanged when that fails, as for a path that does not exist.
    virtual std::string ShortPath(const std::string& path) const = 0;
    // The Windows directory, no trailing backslash unless it is a drive root.
    virtual std::string WindowsDirectory() const = 0;

    // The file's bytes as they are; nothing when it cannot be read (or is a directory).
    virtual std::optional<std::string> ReadBytes(const std::string& path) const = 0;
    // The path with every short (8.3) name along it in its long form, as GetLongPathNameA gives it;
    // the path unchanged when that fails, as for a path that does not exist.
    virtual std::string LongPath(const std::string& path) const = 0;
    // Who may change the file or directory: its owner and its access list; nothing when they cannot be
    // read. On the host: the owner's and everyone's permissions, as Wine reads a Unix file's mode.
    virtual std::optional<TObjectSecurity> Security(const std::string& path) const = 0;
    // The account the program runs as (its SID), as Security names accounts.
    virtual std::string CurrentAccount() const = 0;
};

// Every call passed on to another TFiles: the base of a layer that changes only some of them.
class TForwardingFiles : public TFiles {
public:
    explicit TForwardingFiles(TFiles& files) : FFiles(files) {}

    bool FileExists(const std::string& path) const override { return FFiles.FileExists(path); }
    bool DirectoryExists(const std::string& path) const override { return FFiles.DirectoryExists(path); }
    void ForceDirectories(const std::string& dir) override { FFiles.ForceDirectories(dir); }
    void ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) override {
        FFiles.ForceDirectoriesWithAccess(dir, accessList);
    }
    TCopyResult CopyFileChecked(const std::string& from, const std::string& to, bool failIfExists) override {
        return FFiles.CopyFileChecked(from, to, failIfExists);
    }
    void MakeNewDirectory(const std::string& path, const std::string& accessList) override {
        FFiles.MakeNewDirectory(path, accessList);
    }
    std::optional<TFileIdentity> CreateNewFile(const std::string& path) override {
        return FFiles.CreateNewFile(path);
    }
    std::optional<TFileIdentity> Identity(const std::string& path) const override {
        return FFiles.Identity(path);
    }
    bool MoveNewFile(const std::string& from, const std::string& to) override {
        return FFiles.MoveNewFile(from, to);
    }
    bool RemoveFile(const std::string& path) override { return FFiles.RemoveFile(path); }
    bool RemoveEmptyDirectory(const std::string& path) override { return FFiles.RemoveEmptyDirectory(path); }
    bool RemoveAtRestart(const std::string& path) override { return FFiles.RemoveAtRestart(path); }
    bool ReplaceAtRestart(const std::string& from, const std::string& to) override {
        return FFiles.ReplaceAtRestart(from, to);
    }
    std::optional<uint16_t> Attributes(const std::string& path) const override {
        return FFiles.Attributes(path);
    }
    std::optional<int64_t> FileSize(const std::string& path) const override { return FFiles.FileSize(path); }
    bool SetAttributes(const std::string& path, uint16_t attributes) override {
        return FFiles.SetAttributes(path, attributes);
    }
    std::vector<std::string> FileNames(const std::string& dir) const override {
        return FFiles.FileNames(dir);
    }
    std::vector<std::string> EntryNames(const std::string& dir) const override {
        return FFiles.EntryNames(dir);
    }
    std::optional<std::vector<std::string>> ReadLines(const std::string& path) const override {
        return FFiles.ReadLines(path);
    }
    bool WriteLines(const std::string& path, const std::vector<std::string>& lines) override {
        return FFiles.WriteLines(path, lines);
    }
    bool AppendLine(const std::string& path, const std::string& line) override {
        return FFiles.AppendLine(path, line);
    }
    std::string ShortPath(const std::string& path) const override { return FFiles.ShortPath(path); }
    std::string WindowsDirectory() const override { return FFiles.WindowsDirectory(); }
    std::optional<std::string> ReadBytes(const std::string& path) const override {
        return FFiles.ReadBytes(path);
    }
    std::string LongPath(const std::string& path) const override { return FFiles.LongPath(path); }
    std::optional<TObjectSecurity> Security(const std::string& path) const override {
        return FFiles.Security(path);
    }
    std::string CurrentAccount() const override { return FFiles.CurrentAccount(); }

protected:
    TFiles& FFiles;
};

// The shared part of both implementations, on paths the platform's file calls take.
std::optional<std::string> ReadBytesAt(const std::string& path);
std::optional<std::vector<std::string>> ReadLinesAt(const std::string& path);
bool WriteLinesAt(const std::string& path, const std::vector<std::string>& lines);
bool AppendLineAt(const std::string& path, const std::string& line);
// The appender of a file on a path the platform's file calls take.
std::unique_ptr<TLineAppender> FileLineAppender(const std::string& path);
TCopyResult CopyFileAt(const std::string& from, const std::string& to, bool failIfExists);

// Why another account than the administrators, the system and files' own may change path with one of
// rights (see UntrustedChangeReason); nothing when none may. One whose security cannot be read counts as
// changeable.
std::optional<std::string> OthersMayChange(const TFiles& files, const std::string& path, uint32_t rights);

// The first directory from dir up to its drive's root (the root itself aside) that another account may
// change: dir itself with kChangeRights, each above it with kReplaceChildRights (only moving a level away
// or replacing it matters there). With links, a level that is a link (a junction, a symbolic link) is
// one too, whatever it leads to. Levels that do not exist are passed over. Nothing when none is.
struct TUnsafeLevel {
    std::string Dir;
    std::string Reason;

    bool operator==(const TUnsafeLevel&) const = default;
};
std::optional<TUnsafeLevel> UnsafeDirectoryLevel(const TFiles& files, const std::string& dir, bool links);
// What the user is told of it: "<dir> is not safe: <reason>".
std::string UnsafeLevelText(const TUnsafeLevel& level);
// Why a file the program writes by a name it was given (a log, an answer file) is not its own to write:
// a link or an unsafe level on its way, or a file another account may change at the name. Nothing when it
// is safe to write.
std::optional<std::string> UnsafeFileReason(const TFiles& files, const std::string& path);

// The levels of dir that do not exist yet, the deepest first; a drive root is never one.
std::vector<std::string> MissingDirectoryLevels(const TFiles& files, const std::string& dir);

// text cut into lines as ReadLines cuts a file's bytes.
std::vector<std::string> SplitLines(std::string_view text);

} // namespace yar
