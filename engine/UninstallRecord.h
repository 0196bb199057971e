// What an installation leaves for its uninstaller, in one format both ways: uninstall.cfg in the
// installation directory, and the product's entry in the system's list of installed programs. The
// install writes them here step by step, and on a stop, so a stopped install leaves a record of
// everything it did up to the stop; the uninstaller reads them back here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/InstallError.h"
#include "system/Files.h"
#include "system/IniFiles.h"
#include "system/Registry.h"

namespace yar {

inline constexpr const char* kUninstallRecordName = "uninstall.cfg";

// What uninstall.cfg records.
struct TUninstallData {
    std::string Title;
    std::string Language = "en"; // the code of the language the install showed
    std::string TargetDir;       // where the record is
    std::vector<std::string> Files;
    std::vector<std::string> Folders;
    std::vector<std::string> RegistryKeys; // as configured, with their root name when they had one
    std::vector<std::string> MadeKeys;     // the topmost key the install made along each key it wrote, rooted
    std::vector<std::string> MadeDirectories; // directories and folders the install made (none existed)
};

// The kinds of record, each a section of keys with empty values. A new kind is a row here and a way
// for the uninstaller to remove it.
enum TRecordKind { rkFile, rkFolder, rkRegistryKey, rkMadeKey, rkMadeDirectory };

struct TRecordSection {
    TRecordKind Kind;
    const char* Name;
    std::vector<std::string> TUninstallData::*Records;
    // Kept when an install over an earlier one opens the record afresh.
    bool KeptOverAnInstall;
};

inline constexpr std::array<TRecordSection, 5> kRecordSections{{
    {rkFile, "UNINS", &TUninstallData::Files, false},
    {rkFolder, "Folders", &TUninstallData::Folders, false},
    {rkRegistryKey, "Registry", &TUninstallData::RegistryKeys, false},
    // An install over an earlier one finds the keys and directories that one made already there.
    {rkMadeKey, "Registry - Made", &TUninstallData::MadeKeys, true},
    {rkMadeDirectory, "Directories - Made", &TUninstallData::MadeDirectories, true},
}};

// The writer of uninstall.cfg through the profile functions: records are gathered and written a section
// at a time (one read and write of the file each, not one per record) when Flush is called. Under the
// install journal the file's state before the install is what a stop or a kill brings back, whatever
// the file held meanwhile; the install flushes after each of its steps, on a stop, and before the
// record is registered.
class TUninstallRecord {
public:
    // The record of the installation in TargetDir; nothing is written yet.
    TUninstallRecord(TIniFiles& ini, const std::string& TargetDir);

    // Starts a fresh record: the records of an earlier install go (but those kept over an install),
    // [Program] Title is the product title (and Language the install's language, when not English), and the
    // installation directory with its Setup directory are the first files to remove.
    void Open(const std::string& title, const std::string& language = "en");

    // One record each, written by the next Flush; a key written twice is kept once, where it was first
    // written.
    void Add(TRecordKind kind, const std::string& key);
    // Writes the records added since the last flush: sections new to the file in the order of their
    // first record. Raises EInstallError "Unable to write to <record>" when the file cannot be written
    // (the records stay pending).
    void Flush();
    void AddFile(const std::string& pattern) { Add(rkFile, pattern); }
    void AddFolder(const std::string& folder) { Add(rkFolder, folder); }
    void AddRegistryKey(const std::string& key) { Add(rkRegistryKey, key); }
    // The topmost key the install made (it was not there before) along a key path it wrote, with its
    // root's name: the uninstall takes only keys within one of these.
    void AddMadeKey(const std::string& key) { Add(rkMadeKey, key); }
    // A directory or folder the install made (it was not there before): the uninstall removes only
    // these, and only when empty.
    void AddMadeDirectory(const std::string& dir) { Add(rkMadeDirectory, dir); }

    const std::string& Path() const { return Path_; }

private:
    // Raises EInstallError "Unable to write to <record>" when the file cannot be written.
    void Check(bool written) const;

    TIniFiles& Ini_;
    std::string TargetDir_;
    std::string Path_;
    // The records not written yet, a section each, in the order of each section's first record.
    std::vector<std::pair<TRecordKind, std::vector<std::string>>> FPending;
};

// The record of TargetDir read back from the lines of its file; nothing when they are not a record
// the install wrote: they hold a NUL (the profile functions would end the file there), or name no
// title or no files.
std::optional<TUninstallData> ParseUninstallRecord(const std::vector<std::string>& lines,
                                                   const std::string& TargetDir);

// The key of the list of installed programs, below HKEY_LOCAL_MACHINE.
inline constexpr const char* kUninstallListKey = "\\Software\\Microsoft\\Windows\\currentversion\\uninstall";

// The key of the product's entry in that list.
std::string UninstallKey(const std::string& title);
// A program and its arguments as one command line, the program quoted when it holds a blank.
std::string CommandLineOf(const std::string& program, const std::string& arguments);
// The command that uninstalls the product: the uninstaller, in quotes when its path holds a blank,
// and the product title.
std::string UninstallString(const std::string& TargetDir, const std::string& title);
// The unattended form of an uninstall command: its program part (quoted as it is) and " /S".
std::string QuietUninstallString(const std::string& uninstallString);
// The program an entry's command starts: the quoted text, else the text up to the first ".exe"
// that ends a name; empty when the command names no program.
std::string UninstallProgramOf(const std::string& command);

// What the list of installed programs shows of the product besides its name.
struct TUninstallEntry {
    std::string TargetDir;
    std::string Title;
    std::string DisplayIcon; // the launched program; empty when none
    std::string Version;     // empty writes nothing
    std::string Publisher;   // empty writes nothing
    uint64_t InstalledBytes = 0;
};

// The value of the product's entry that holds the SHA-256 of its uninstall.cfg as the install left it
// (64 lower-case hexadecimal digits): the uninstaller removes nothing by a record that differs.
inline constexpr const char* kRecordDigestValue = "UninstallRecordSHA256";

// Lists the product with its uninstaller when TargetDir holds uninstaller.exe; true when it did.
// Beside "DisplayName" and "UninstallString": "QuietUninstallString", "InstallLocation",
// "EstimatedSize" (KiB, rounded up, as a number), kRecordDigestValue of the record as it is now (the
// install has written it whole), and "DisplayIcon", "DisplayVersion" and "Publisher" where there is
// one. Raises EInstallError "Failed to create key <key>" or "Failed to set data for '<name>'" (also
// when the record cannot be read or digested).
bool RegisterUninstaller(const TFiles& files, TRegistry& registry, const TUninstallEntry& entry);

// What an entry of the list (its key below HKEY_LOCAL_MACHINE) names: the program its uninstall
// command starts (empty when none), and the title it shows.
std::string RegisteredUninstaller(const TRegistry& registry, const std::string& key);
std::optional<std::string> RegisteredTitle(const TRegistry& registry, const std::string& key);
// The record's digest the entry holds; nothing when it holds none.
std::optional<std::string> RegisteredRecordDigest(const TRegistry& registry, const std::string& key);

} // namespace yar
