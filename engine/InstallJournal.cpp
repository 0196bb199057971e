#include "engine/InstallJournal.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "util/NumberText.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace yar {

namespace {

constexpr std::array<std::string_view, 9> kKindWords = {"new-file", "replaced-file", "new-directory",
                                                        "new-key",  "value",         "run-directory",
                                                        "made",     "made-key",      "undone"};

std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The fields of a line, unescaped; nothing when an escape is cut off or unknown.
std::optional<std::vector<std::string>> Fields(std::string_view line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c != '\\') {
            fields.back() += c;
        } else {
            if (++i == line.size()) return std::nullopt;
            switch (line[i]) {
            case '\\':
                fields.back() += '\\';
                break;
            case 't':
                fields.back() += '\t';
                break;
            case 'r':
                fields.back() += '\r';
                break;
            case 'n':
                fields.back() += '\n';
                break;
            default:
                return std::nullopt;
            }
        }
    }
    return fields;
}

// A decimal number of 32 bits; nothing for any other text.
std::optional<uint32_t> ParseNumber(const std::string& text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    uint32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<uint32_t>(c - '0');
        if (value > (0xFFFFFFFFU - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// A 64-bit identity number as 16 hexadecimal digits, and back: shifts, no 64-bit division on 32 bits.
std::string HexNumber(uint64_t value) {
    std::string text;
    for (int shift = 60; shift >= 0; shift -= 4) text += "0123456789abcdef"[(value >> shift) & 0xF];
    return text;
}
std::optional<uint64_t> ParseHexNumber(const std::string& text) {
    if (text.size() != 16) return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        const bool decimal = c >= '0' && c <= '9';
        if (!decimal && (c < 'a' || c > 'f')) return std::nullopt;
        value = (value << 4) | static_cast<unsigned>(decimal ? c - '0' : c - 'a' + 10);
    }
    return value;
}

std::optional<TRegRoot> ParseRoot(const std::string& text) {
    for (const TRegRoot root : {rrClassesRoot, rrCurrentUser, rrLocalMachine, rrUsers})
        if (text == RootName(root)) return root;
    return std::nullopt;
}

TJournalEntry EntryOf(TJournalKind kind, const std::string& path) {
    TJournalEntry entry;
    entry.Kind = kind;
    entry.Path = path;
    return entry;
}

std::string JournalPath(const std::string& dir) {
    return JoinPath(dir, kJournalFileName);
}

// A file the install made or wrote over may have been made read-only by it.
bool RemoveWritable(TFiles& files, const std::string& path) {
    if (!files.Attributes(path)) return true;
    files.SetAttributes(path, 0);
    return files.RemoveFile(path);
}

// The working directory's files and those of its directories, then the directories: it holds nothing else.
bool RemoveRunDirectory(TFiles& files, const std::string& dir) {
    if (!files.DirectoryExists(dir)) return true;
    for (const std::string& name : files.EntryNames(dir)) {
        const std::string path = JoinPath(dir, name);
        if (files.DirectoryExists(path)) {
            for (const std::string& inner : files.FileNames(path))
                RemoveWritable(files, JoinPath(path, inner));
            files.RemoveEmptyDirectory(path);
        } else {
            RemoveWritable(files, path);
        }
    }
    return files.RemoveEmptyDirectory(dir);
}

// What the install made, as the journal has it: each new file or directory with its identity, each new
// key; the last record of a path counts. Searched in order: a rollback is rare, and the programs stay
// small without a tree of their own for it.
struct TMadeObjects {
    const std::vector<TJournalEntry>& Entries;

    // The last record of that kind for the path (a key's below root).
    const TJournalEntry* Find(TJournalKind kind, const std::string& path,
                              TRegRoot root = rrCurrentUser) const {
        for (auto made = Entries.rbegin(); made != Entries.rend(); ++made)
            if (made->Kind == kind && (kind != jkMadeKey || made->Root == root) && SameText(made->Path, path))
                return &*made;
        return nullptr;
    }
    // Whether path still holds the object the install made there.
    bool StillThere(const TFiles& files, const std::string& path) const {
        const TJournalEntry* made = Find(jkMade, path);
        return made != nullptr && files.Identity(path) == made->Made;
    }
    // Whether what path holds is the install's: the object it made there, or, where an install was killed
    // between making a thing and recording it, an empty file or directory of that name in a directory the
    // install made, where no other account had the time or the right to put one.
    bool Installs(const TFiles& files, const std::string& path, bool directory) const {
        if (const TJournalEntry* made = Find(jkMade, path)) return files.Identity(path) == made->Made;
        if (!StillThere(files, ExtractFileDir(path))) return false;
        const std::optional<uint16_t> attributes = files.Attributes(path);
        if (!attributes || (*attributes & faReparsePoint) != 0 ||
            ((*attributes & faDirectory) != 0) != directory)
            return false;
        return directory ? files.EntryNames(path).empty() : files.FileSize(path) == 0;
    }
    bool HasKey(TRegRoot root, const std::string& key) const { return Find(jkMadeKey, key, root) != nullptr; }
};

// The earlier file as the backup holds it, its attribute bits too: the install did not change it.
bool AsBefore(const TFiles& files, const TJournalEntry& entry, uint16_t attributes) {
    if (attributes != entry.Attributes) return false;
    const std::optional<std::string> now = files.ReadBytes(entry.Path);
    return now && now == files.ReadBytes(entry.Backup);
}

// What the user is told of a record not undone.
std::string NotUndoneText(const TJournalEntry& entry) {
    const char* what = "new file";
    std::string name = entry.Path;
    switch (entry.Kind) {
    case jkReplacedFile:
        return Concat({"the earlier ", entry.Path, " could not be put back; its copy is ", entry.Backup});
    case jkValue:
        return Concat({"the value ", entry.Name, " of ", RootedKeyName(entry.Root, entry.Path),
                       " could not be put back"});
    case jkRunDirectory:
        what = "working directory";
        break;
    case jkNewDirectory:
        what = "new directory";
        break;
    case jkNewKey:
        what = "new key";
        name = RootedKeyName(entry.Root, entry.Path);
        break;
    default:
        break;
    }
    return Concat({"the ", what, " ", name, " is still there"});
}

// Whether the earlier file is back, or was never changed.
bool PutBack(const TJournalEntry& entry, TFiles& files) {
    const std::optional<uint16_t> attributes = files.Attributes(entry.Path);
    if (attributes) {
        // Never through a link, nor onto a directory: neither is the file the install changed.
        if ((*attributes & (faDirectory | faReparsePoint)) != 0) return false;
        // A path the install did not change in the end is not touched, its dates and attributes too.
        if (AsBefore(files, entry, *attributes)) return true;
        files.SetAttributes(entry.Path, 0);
    }
    if (!files.CopyFileTo(entry.Backup, entry.Path, false)) return false;
    files.SetAttributes(entry.Path, entry.Attributes);
    return true;
}

// Whether what the record names is as before the install, or was never changed by it.
bool Undone(const TJournalEntry& entry, const TMadeObjects& made, TFiles& files, TRegistry& registry) {
    switch (entry.Kind) {
    case jkNewFile:
        return !made.Installs(files, entry.Path, false) || RemoveWritable(files, entry.Path);
    case jkReplacedFile:
        return PutBack(entry, files);
    case jkRunDirectory:
        return RemoveRunDirectory(files, entry.Path);
    case jkNewDirectory:
        return !made.Installs(files, entry.Path, true) || files.RemoveEmptyDirectory(entry.Path);
    case jkNewKey:
        return !made.HasKey(entry.Root, entry.Path) || !registry.KeyExists(entry.Root, entry.Path) ||
               registry.DeleteKey(entry.Root, entry.Path);
    case jkValue:
        if (!entry.Before)
            return registry.DeleteValue(entry.Root, entry.Path, entry.Name) ||
                   !registry.ReadValue(entry.Root, entry.Path, entry.Name);
        if (entry.Before->Typed)
            return registry.WriteValue(entry.Root, entry.Path, entry.Name, *entry.Before->Typed);
        if (entry.Before->IsNumber)
            return registry.WriteInteger(entry.Root, entry.Path, entry.Name, entry.Before->Number);
        return registry.WriteString(entry.Root, entry.Path, entry.Name, entry.Before->Text);
    case jkMade:
    case jkMadeKey:
    case jkUndone:
        break;
    }
    return true;
}

bool NamesAFile(TJournalKind kind) {
    return kind == jkNewFile || kind == jkReplacedFile || kind == jkRunDirectory || kind == jkNewDirectory;
}

// Empty when the record is undone, else what the user is told.
std::string Undo(const TJournalEntry& entry, const TMadeObjects& made, TFiles& files, TRegistry& registry) {
    // Nothing is touched through a link, nor where another account may change a directory on the way: it
    // could have put a link or a file of its own there since the install, hours or days ago.
    if (NamesAFile(entry.Kind))
        if (const std::optional<TUnsafeLevel> level =
                UnsafeDirectoryLevel(files, ExtractFileDir(entry.Path), true))
            return Concat({NotUndoneText(entry), " (", UnsafeLevelText(*level), ")"});
    return Undone(entry, made, files, registry) ? std::string() : NotUndoneText(entry);
}

// The undone record: digits only, nothing to escape. Written apart from JournalLine, which the programs
// that only undo journals then do not carry.
std::string UndoneLine(const std::vector<std::size_t>& places) {
    // The count first: a record cut after one of its places must not read as a shorter whole one.
    std::string line(kKindWords[jkUndone]);
    const auto field = [&](std::size_t number) { line.append("\t").append(std::to_string(number)); };
    field(places.size());
    for (const std::size_t place : places) field(place);
    return line.append("\t");
}

} // namespace

std::string JournalLine(const TJournalEntry& entry) {
    std::vector<std::string> fields{std::string(kKindWords.at(entry.Kind))};
    switch (entry.Kind) {
    case jkNewFile:
    case jkNewDirectory:
    case jkRunDirectory:
        fields.push_back(entry.Path);
        break;
    case jkReplacedFile:
        fields.insert(fields.end(), {entry.Path, entry.Backup, std::to_string(entry.Attributes)});
        break;
    case jkNewKey:
    case jkMadeKey:
        fields.insert(fields.end(), {RootName(entry.Root), entry.Path});
        break;
    case jkMade:
        fields.insert(fields.end(), {entry.Path, HexNumber(entry.Made.Volume), HexNumber(entry.Made.File)});
        break;
    case jkUndone:
        return UndoneLine(entry.Undone);
    case jkValue:
        fields.insert(fields.end(), {RootName(entry.Root), entry.Path, entry.Name});
        if (!entry.Before)
            fields.emplace_back("absent");
        else if (entry.Before->Typed)
            fields.insert(fields.end(), {"typed", std::to_string(entry.Before->Typed->Type),
                                         HexBytes(entry.Before->Typed->Bytes)});
        else if (entry.Before->IsNumber)
            fields.insert(fields.end(), {"number", std::to_string(entry.Before->Number)});
        else
            fields.insert(fields.end(), {"text", entry.Before->Text});
        break;
    }
    std::string line;
    for (const std::string& field : fields) {
        if (!line.empty()) line += '\t';
        line += Escaped(field);
    }
    // A record ends with its own tab: a line cut short by a crash never reads as a whole one.
    return line + "\t";
}

std::optional<TJournalEntry> ParseJournalLine(std::string_view line) {
    if (!line.ends_with('\t')) return std::nullopt;
    const std::optional<std::vector<std::string>> parsed = Fields(line.substr(0, line.size() - 1));
    if (!parsed || parsed->empty()) return std::nullopt;
    const std::vector<std::string>& f = *parsed;
    const auto kind = std::ranges::find(kKindWords, f[0]);
    if (kind == kKindWords.end()) return std::nullopt;
    TJournalEntry entry;
    entry.Kind = static_cast<TJournalKind>(kind - kKindWords.begin());
    const auto sized = [&](std::size_t n) { return f.size() == n; };
    switch (entry.Kind) {
    case jkNewFile:
    case jkNewDirectory:
    case jkRunDirectory:
        if (!sized(2)) return std::nullopt;
        entry.Path = f[1];
        return entry;
    case jkReplacedFile: {
        const std::optional<uint32_t> attributes = sized(4) ? ParseNumber(f[3]) : std::nullopt;
        if (!attributes || *attributes > 0xFFFF) return std::nullopt;
        entry.Path = f[1];
        entry.Backup = f[2];
        entry.Attributes = static_cast<uint16_t>(*attributes);
        return entry;
    }
    case jkMade: {
        const std::optional<uint64_t> volume = sized(4) ? ParseHexNumber(f[2]) : std::nullopt;
        const std::optional<uint64_t> file = sized(4) ? ParseHexNumber(f[3]) : std::nullopt;
        if (!volume || !file) return std::nullopt;
        entry.Path = f[1];
        entry.Made = {*volume, *file};
        return entry;
    }
    case jkUndone:
        if (const std::optional<uint32_t> count = f.size() >= 2 ? ParseNumber(f[1]) : std::nullopt;
            !count || *count != f.size() - 2)
            return std::nullopt;
        for (std::size_t i = 2; i < f.size(); ++i) {
            const std::optional<uint32_t> place = ParseNumber(f[i]);
            if (!place) return std::nullopt;
            entry.Undone.push_back(static_cast<std::size_t>(*place));
        }
        return entry;
    case jkNewKey:
    case jkMadeKey:
    case jkValue: {
        const std::optional<TRegRoot> root = f.size() >= 3 ? ParseRoot(f[1]) : std::nullopt;
        if (!root) return std::nullopt;
        entry.Root = *root;
        entry.Path = f[2];
        if (entry.Kind != jkValue) return sized(3) ? std::optional(entry) : std::nullopt;
        if (sized(5) && f[4] == "absent") {
            entry.Name = f[3];
            return entry;
        }
        if (sized(7) && f[4] == "typed") {
            entry.Name = f[3];
            const std::optional<uint32_t> type = ParseNumber(f[5]);
            std::optional<std::string> bytes = BytesFromHex(f[6]);
            if (!type || !bytes) return std::nullopt;
            entry.Before = TPriorValue{false, {}, 0, TRegValue{*type, std::move(*bytes)}};
            return entry;
        }
        if (!sized(6)) return std::nullopt;
        entry.Name = f[3];
        if (f[4] == "text") {
            entry.Before = TPriorValue{false, f[5], 0, std::nullopt};
        } else if (const std::optional<uint32_t> number = ParseNumber(f[5]); f[4] == "number" && number) {
            entry.Before = TPriorValue{true, {}, *number, std::nullopt};
        } else {
            return std::nullopt;
        }
        return entry;
    }
    }
    return std::nullopt;
}

TInstallJournal::TInstallJournal(TFiles& files, TRegistry& registry, std::string dir)
    : FFiles(files), FRegistry(registry), FDir(std::move(dir)) {}

void TInstallJournal::Append(const TJournalEntry& entry) {
    if (!FFile) FFile = FFiles.OpenLineAppender(JournalPath(FDir));
    if (!FFile->Append(JournalLine(entry)))
        throw EJournalError("Cannot write the install journal " + JournalPath(FDir));
    ++FRecords;
}

void TInstallJournal::NewFile(const std::string& path) {
    Append(EntryOf(jkNewFile, path));
}

bool TInstallJournal::ReplacingFile(const std::string& path) {
    const std::string backup = JoinPath(FDir, "backup-" + std::to_string(++FBackups));
    switch (FFiles.CopyFileChecked(path, backup, true)) {
    case crCopied:
        break;
    case crCannotOpen:
        return false;
    default:
        throw EJournalError("Cannot keep a copy of " + path + " in " + FDir);
    }
    TJournalEntry entry = EntryOf(jkReplacedFile, path);
    entry.Backup = backup;
    entry.Attributes = FFiles.Attributes(path).value_or(0);
    Append(entry);
    return true;
}

void TInstallJournal::NewDirectory(const std::string& path) {
    Append(EntryOf(jkNewDirectory, path));
}

void TInstallJournal::Made(const std::string& path, const TFileIdentity& identity) {
    TJournalEntry entry = EntryOf(jkMade, path);
    entry.Made = identity;
    Append(entry);
    --FRecords; // the change was recorded before it was made
}

void TInstallJournal::MadeKey(TRegRoot root, const std::string& key) {
    TJournalEntry entry = EntryOf(jkMadeKey, key);
    entry.Root = root;
    Append(entry);
    --FRecords;
}

void TInstallJournal::RunDirectory(const std::string& path) {
    Append(EntryOf(jkRunDirectory, path));
    --FRecords; // the run's own directory is no change to the machine
}

void TInstallJournal::NewKey(TRegRoot root, const std::string& key) {
    TJournalEntry entry = EntryOf(jkNewKey, key);
    entry.Root = root;
    Append(entry);
}

void TInstallJournal::ChangingValue(TRegRoot root, const std::string& key, const std::string& name) {
    TJournalEntry entry = EntryOf(jkValue, key);
    entry.Root = root;
    entry.Name = name;
    // Whatever its type, byte for byte: a rollback puts back exactly what was there.
    if (std::optional<TRegValue> before = FRegistry.ReadValue(root, key, name))
        entry.Before = TPriorValue{false, {}, 0, std::move(*before)};
    Append(entry);
}

std::vector<std::string> TInstallJournal::RollBack() {
    CloseFile();
    return ReplayJournal(FFiles, FRegistry, FDir);
}

void TInstallJournal::Finish() {
    CloseFile();
    RemoveJournal(FFiles, FDir);
}

TUndoOutcome UndoJournal(const std::vector<TJournalEntry>& entries, TFiles& files, TRegistry& registry) {
    const TMadeObjects made{entries};
    std::vector<bool> undoneBefore(entries.size());
    for (const TJournalEntry& entry : entries)
        if (entry.Kind == jkUndone)
            for (const std::size_t place : entry.Undone)
                if (place < undoneBefore.size()) undoneBefore[place] = true;
    TUndoOutcome outcome;
    for (std::size_t place = entries.size(); place-- > 0;) {
        const TJournalEntry& entry = entries[place];
        if (entry.Kind == jkMade || entry.Kind == jkMadeKey || entry.Kind == jkUndone || undoneBefore[place])
            continue;
        if (std::string what = Undo(entry, made, files, registry); !what.empty())
            outcome.Left.push_back(std::move(what));
        else
            outcome.Undone.push_back(place);
    }
    return outcome;
}

std::vector<std::string> ReplayJournal(TFiles& files, TRegistry& registry, const std::string& dir) {
    TUndoOutcome outcome = UndoJournal(ReadJournal(files, dir), files, registry);
    if (outcome.Left.empty()) {
        RemoveJournal(files, dir);
        return {};
    }
    // What could not be undone stays in the journal, and its backups for the user to take; what was undone
    // is marked so. The line end first ends a record a killed install left cut off.
    const std::string path = JournalPath(dir);
    if (!files.AppendLine(path, "\r\n" + UndoneLine(outcome.Undone)))
        outcome.Left.push_back("the journal " + path + " could not note what was undone");
    return std::move(outcome.Left);
}

std::vector<TJournalEntry> ReadJournal(const TFiles& files, const std::string& dir) {
    std::vector<TJournalEntry> entries;
    for (const std::string& line : files.ReadLines(JournalPath(dir)).value_or(std::vector<std::string>{}))
        if (std::optional<TJournalEntry> entry = ParseJournalLine(line)) entries.push_back(std::move(*entry));
    return entries;
}

std::vector<std::string> UndoInterruptedInstalls(TFiles& files, TRegistry& registry, const std::string& root,
                                                 const std::function<bool(const std::string&)>& inUse) {
    std::vector<std::string> told;
    for (const std::string& name : files.EntryNames(root)) {
        const std::string dir = JoinPath(root, name);
        if (!files.DirectoryExists(dir) || inUse(dir)) continue;
        if (!HasJournal(files, dir)) {
            RemoveJournal(files, dir);
            continue;
        }
        told.emplace_back(kInterruptedInstallText);
        const std::vector<std::string> left = ReplayJournal(files, registry, dir);
        told.insert(told.end(), left.begin(), left.end());
    }
    return told;
}

std::string InterruptedInstallsMessage(const std::vector<std::string>& told) {
    std::string text;
    for (const std::string& line : told) {
        if (!text.empty()) text += '\r';
        text += line;
    }
    return text;
}

bool HasJournal(const TFiles& files, const std::string& dir) {
    return files.FileExists(JournalPath(dir));
}

void RemoveJournal(TFiles& files, const std::string& dir) {
    // The journal first: from then on nothing is undone, and stray backups are only rubbish.
    files.RemoveFile(JournalPath(dir));
    for (const std::string& name : files.FileNames(dir)) files.RemoveFile(JoinPath(dir, name));
    files.RemoveEmptyDirectory(dir);
}

} // namespace yar
