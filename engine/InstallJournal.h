// The install's write-ahead journal. Before each change to the machine, what undoes it is on the disk:
// a file or directory that is new, the earlier bytes of a file about to be replaced (kept in a backup
// beside the journal), a key that is new, the earlier state of a registry value. A stopped install, or the
// next run after a crash, replays it in reverse and leaves the machine as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "system/FileIdentity.h"
#include "system/Files.h"
#include "system/Registry.h"

namespace yar {

// jkRunDirectory: the run's own working directory, which a killed run leaves behind. A new file, directory
// or key is recorded twice: before it is made (jkNewFile, jkNewDirectory, jkNewKey), and once it was made
// new, never taken from another (jkMade with the identity of the file or directory, jkMadeKey). Only the
// second makes it the install's: the undo removes a path only while it still holds that object. jkUndone
// lists the records an undo that could not finish did undo, so that a later one does only the rest.
enum TJournalKind {
    jkNewFile,
    jkReplacedFile,
    jkNewDirectory,
    jkNewKey,
    jkValue,
    jkRunDirectory,
    jkMade,
    jkMadeKey,
    jkUndone
};

// A registry value as it was: its type and bytes; the journal of an earlier install.exe holds a string or a
// number instead, put back as such.
struct TPriorValue {
    bool IsNumber = false;
    std::string Text;
    uint32_t Number = 0;
    std::optional<TRegValue> Typed;

    bool operator==(const TPriorValue&) const = default;
};

// One record: what is about to change, and what undoes it.
struct TJournalEntry {
    TJournalKind Kind = jkNewFile;
    std::string Path;        // the file or directory; the key for jkNewKey and jkValue
    std::string Backup;      // jkReplacedFile: the copy of the earlier bytes
    uint16_t Attributes = 0; // jkReplacedFile: the earlier attribute bits
    TRegRoot Root = rrCurrentUser;
    std::string Name;                  // jkValue: the value's name
    std::optional<TPriorValue> Before; // jkValue: nothing when the value did not exist
    TFileIdentity Made;                // jkMade
    std::vector<std::size_t> Undone;   // jkUndone: the places of the records undone in the journal

    bool operator==(const TJournalEntry&) const = default;
};

// A record as one line of text (tabs between fields, "\" escapes), and back: nothing for a line that is
// not a whole record, as the last one is when the machine stopped while writing it.
std::string JournalLine(const TJournalEntry& entry);
std::optional<TJournalEntry> ParseJournalLine(std::string_view line);

// The journal cannot be written: the change it was to record is not made.
class EJournalError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kJournalFileName = "journal.txt";

class TInstallJournal {
public:
    // A journal in dir, a directory of this install's own that exists and is empty.
    TInstallJournal(TFiles& files, TRegistry& registry, std::string dir);

    // Each records, before the change, what undoes it; each raises EJournalError when it cannot.
    void NewFile(const std::string& path);
    // Keeps a copy of the file's bytes first; false when the file cannot be read (another program holds
    // it): it cannot be replaced then either, and nothing is recorded.
    bool ReplacingFile(const std::string& path);
    void NewDirectory(const std::string& path);
    // The run's working directory, made new for it and holding only what the run put there.
    void RunDirectory(const std::string& path);
    void NewKey(TRegRoot root, const std::string& key);
    // The new file or directory at path, or the key, was made new by this install: the undo takes it.
    void Made(const std::string& path, const TFileIdentity& identity);
    void MadeKey(TRegRoot root, const std::string& key);
    // Reads the value's present state.
    void ChangingValue(TRegRoot root, const std::string& key, const std::string& name);

    // Undoes every change recorded, the last first (ReplayJournal). What could not be undone, one line
    // each, for the user and the log; empty when the machine is as it was.
    std::vector<std::string> RollBack();
    // The install is complete: the journal and the backups go.
    void Finish();

    // Whether nothing has been recorded: the install changed nothing yet.
    bool Empty() const { return FRecords == 0; }

private:
    void Append(const TJournalEntry& entry);
    // The journal file is held open from the first record until it is read back or removed.
    void CloseFile() { FFile.reset(); }

    TFiles& FFiles;
    TRegistry& FRegistry;
    std::string FDir;
    int FBackups = 0;
    int FRecords = 0;
    std::unique_ptr<TLineAppender> FFile;
};

// What an undo did: the places of the records it undid, and a line for each it could not undo. A path
// that does not hold what the install made or changed there is none of the install's: it is left as it
// is, and counts as undone.
struct TUndoOutcome {
    std::vector<std::size_t> Undone;
    std::vector<std::string> Left;
};
// Undoes the entries not undone before, the last first, on the machine.
TUndoOutcome UndoJournal(const std::vector<TJournalEntry>& entries, TFiles& files, TRegistry& registry);
// Undoes what the journal in dir still holds. When nothing is left, the journal goes with its backups;
// otherwise it keeps what is left, the rest marked undone, for a later run. Returns what is left.
std::vector<std::string> ReplayJournal(TFiles& files, TRegistry& registry, const std::string& dir);

// The entries of the journal in dir, as far as they are whole.
std::vector<TJournalEntry> ReadJournal(const TFiles& files, const std::string& dir);

// The directories below root that hold the journal of an install that did not finish and whose install
// is not running any more (inUse tells); each is undone, the last change first, and removed with its
// backups. Directories without a journal are rubbish of a finished install and go too. Returns what the
// user is told: a line for each install undone, and each thing that could not be undone.
std::vector<std::string> UndoInterruptedInstalls(TFiles& files, TRegistry& registry, const std::string& root,
                                                 const std::function<bool(const std::string&)>& inUse);
inline constexpr const char* kInterruptedInstallText =
    "An earlier installation did not finish: what it had changed was undone.";
// What UndoInterruptedInstalls told, as one message: a line each.
std::string InterruptedInstallsMessage(const std::vector<std::string>& told);

// Whether dir holds a journal: an install that has not finished.
bool HasJournal(const TFiles& files, const std::string& dir);
// Removes the journal in dir, then its backups, and dir itself.
void RemoveJournal(TFiles& files, const std::string& dir);

} // namespace yar
