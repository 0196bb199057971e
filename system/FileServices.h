// The platform's file and directory services the archive container needs, behind one portable
// interface. Paths are the system's own strings with "\" separators; on Windows they go to the Win32
// calls unchanged, elsewhere "\" is read as "/" so that the same archive expands on both.
#pragma once

#include "system/AccessLists.h"
#include "system/FileIdentity.h"
#include "system/Streams.h"
#include "util/Paths.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace yar {

// A directory that cannot be made, with the runtime's text for the error code.
class EInOutError : public std::runtime_error {
public:
    EInOutError(int errorCode, const std::string& message);
    int ErrorCode() const { return FErrorCode; }

private:
    int FErrorCode;
};

// The path as the platform's file calls take it.
std::string NativePath(const std::string& path);

bool FileExistsAt(const std::string& path); // an existing file, not a directory
bool DirectoryExistsAt(const std::string& path);
// Creates one directory whose parent exists; raises EInOutError when it cannot.
void MakeDirectory(const std::string& path);
std::optional<int64_t> FileSizeAt(const std::string& path);
// Free bytes of the drive that holds path (its drive letter, else the current drive); -1 on failure.
double DiskFreeBytes(const std::string& path);
bool RemoveFileAt(const std::string& path);
bool RemoveDirectoryAt(const std::string& path);
// The names of the plain files of dir (no directories), in the order the system lists them.
std::vector<std::string> FileNamesIn(const std::string& dir);
// Every entry of dir, files and directories, without "." and "..", in the order the system lists them.
std::vector<std::string> EntryNamesIn(const std::string& dir);
// The attribute bits of a file or directory (directory 0x10; outside Windows a file shows archive 0x20,
// and read-only 0x01 once it has lost its owner's write permission); nothing when it does not exist.
std::optional<uint16_t> FileAttributesAt(const std::string& path);
// The identity of the object at path itself: a link is not followed, it is the object. Nothing when the
// name holds nothing.
std::optional<TFileIdentity> FileIdentityAt(const std::string& path);
// Creates path as a new empty file, shared with nobody while it is made: refused (nothing) when anything
// has that name, a file, a directory or a link, even one that leads nowhere. The identity is read
// through the handle that made it.
std::optional<TFileIdentity> CreateNewFileAt(const std::string& path);
// Whether path itself is a link: a reparse point on Windows (symbolic link, junction, mount point), a
// symbolic link elsewhere, whatever it leads to.
bool IsLinkAt(const std::string& path);
// Who may change the file or directory at path: on Windows its owner and access list as
// GetNamedSecurityInfoA reads them; elsewhere its mode read as Wine reads it (SYSTEM full control, the
// owning user with the owner's bits, Everyone with the others' bits; the group's bits are not read),
// a user named S-1-22-1-<uid> as Samba names Unix users. Nothing when it cannot be looked at.
std::optional<TObjectSecurity> ObjectSecurityAt(const std::string& path);
// The account of the running program by the same names; empty when it cannot be read.
std::string CurrentAccountSid();

// Creates dir and every missing parent, top down, stopping at the first directory that exists or at
// a drive root; raises EInOutError for the first directory that cannot be made.
void ForceDirectories(const std::string& dir);
// dir without the separators at its end, but a root keeps the one that makes it a root.
std::string WithoutTrailingDelimiters(std::string dir);
// The same walk over another file system: exists tells whether a directory is there, make creates one
// (and raises when it cannot). A loop, since a stored name may nest deeply.
template <class TExists, class TMake>
void ForceDirectories(const std::string& dir, const TExists& exists, const TMake& make) {
    std::vector<std::string> missing;
    for (std::string d = WithoutTrailingDelimiters(dir); !d.empty() && !IsDriveRoot(d) && !exists(d);
         d = WithoutTrailingDelimiters(ExtractFilePath(d)))
        missing.push_back(d);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) make(*it);
}
// Deletes every file of dir, then dir itself. Files that cannot be deleted, subdirectories and a
// directory that cannot be removed stay without a message. An empty path and a drive root are left
// alone: neither can be a directory of a run, and cleaning one would empty a drive's root.
void CleanWorkDir(const std::string& dir);

// A directory of the run's own below parent (the temporary directory), where another account may have
// put anything: created new, never one that existed, named prefix + kPrivateNameLetters random letters
// and digits. On Windows a run with administrator rights gives it AdministratorsOnlyAccess(); elsewhere
// only the owner may enter it. Raises EInOutError when no such directory can be made.
std::string CreatePrivateDirectory(const std::string& parent, const std::string& prefix);
inline constexpr std::size_t kPrivateNameLetters = 16;
// The name CreatePrivateDirectory tries: prefix and, for each random byte, one of 32 letters and digits.
std::string PrivateDirectoryName(const std::string& prefix, const std::string& randomBytes);
// Creates path, which must not exist yet, as a directory only this run's account (and, with
// administrator rights, the administrators) may reach; false when the name exists already, EInOutError
// for any other failure.
bool MakePrivateDirectory(const std::string& path);
// Whether the program runs with administrator rights: an elevated token on Windows, root elsewhere.
bool RunsElevated();
// Creates one directory whose parent exists with the access list accessList (SDDL) instead of its
// parent's: outside Windows, a list that grants Users anything gives everyone read and execute, any
// other only the owner. Raises EInOutError when it cannot be made.
void MakeDirectoryWithAccess(const std::string& path, const std::string& accessList);
// Why an account other than the administrators, the system and the account the program runs as may change
// path with one of rights (kChangeRights, or kReplaceChildRights for a directory above): "Everyone may
// change it", "its owner is ..."; nothing when none may. A path whose access list cannot be read counts as
// changeable.
std::optional<std::string> OthersMayChange(const std::string& path, uint32_t rights);

// The Windows directory as GetWindowsDirectoryA returns it into a 144-byte buffer; empty on a system
// without one.
std::string WindowsDirectory();
// The current directory of the current drive.
std::string CurrentDirectory();
// The system's directory for temporary files, with its trailing delimiter; empty when there is none.
std::string TempDirectory();
// Makes dir the current directory; raises EInOutError with the system's text for the error.
void EnterDirectory(const std::string& dir);

// What holds a path: a drive whose media stay in place (a fixed disk, a RAM disk), one whose media are
// taken out (floppy, CD), a network share, or one the system cannot tell. Outside Windows a path is on a
// fixed drive.
enum TDriveKind : uint8_t { drFixed, drRemovable, drRemote, drUnknown };
TDriveKind DriveKindOf(const std::string& path);

// Moves the file from to to, which must not exist yet, by renaming it, where both lie on one volume, so
// that its bytes are not written again; then gives it what a new copy there would have had: a new file's
// attributes, the present time and, on Windows, the access list its new directory hands down in place of
// its own. False, the file left at from, when that cannot be done (another volume, to exists): the
// caller copies instead.
bool MoveFileAsCopy(const std::string& from, const std::string& to);

// The access lists moved files were given, by directory (in upper case): the system works out what a
// directory hands down for the first file moved into it, and the later ones there are given that list in
// one call rather than the system reading the directory's list again for each. Empty outside Windows. A
// list in the order of the directories: an install moves into a few dozen at most.
struct TInheritedAccess {
    using TList = std::pair<std::string, std::vector<uint8_t>>; // directory, self-relative descriptor
    std::vector<TList> Lists;
};
// MoveFileAsCopy, with the lists already worked out for the directories moved into before.
bool MoveFileAsCopy(const std::string& from, const std::string& to, TInheritedAccess& known);

// Sets the last-write time of the open file from a DOS packed date and time (date in the high word,
// time in the low word, local time). Returns false when the value is no valid date or the call fails.
bool SetFileDosDate(TFileStream& file, uint32_t dosDateTime);
// Applies the attribute bits (read-only 0x01, hidden 0x02, system 0x04, archive 0x20) to a closed file.
// Outside Windows only read-only has a counterpart: the file loses its write permissions, and gets its
// owner's back when the bit is clear.
bool ApplyFileAttributes(const std::string& path, uint16_t attributes);

// The fields of a DOS packed date and time; nothing when a field is out of range.
struct TDosDateTime {
    int Year, Month, Day, Hour, Minute, Second;
};
std::optional<TDosDateTime> DecodeDosDateTime(uint32_t dosDateTime);

} // namespace yar
