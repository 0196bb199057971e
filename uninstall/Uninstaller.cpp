#include "uninstall/Uninstaller.h"

#include <algorithm>
#include <memory>

#include "config/SetupConfig.h"
#include "uninstall/UninstallRules.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace yar {

namespace {

// A key the same as key or below it.
bool KeyWithin(const std::string& key, const std::string& ancestor) {
    const std::string k = UpperAnsiText(NormalKeyPath(key));
    const std::string a = UpperAnsiText(NormalKeyPath(ancestor));
    return k == a || (k.size() > a.size() && k.starts_with(a) && k[a.size()] == '\\');
}

} // namespace

TUninstallData ReadUninstallData(const TFiles& files, const std::string& dir) {
    const std::string path = JoinPath(dir, kUninstallRecordName);
    if (!files.FileExists(path)) throw EUninstallError(NoRecordMessage(path));
    const auto lines = files.ReadLines(path);
    std::optional<TUninstallData> data = lines ? ParseUninstallRecord(*lines, dir) : std::nullopt;
    if (!data) throw EUninstallError(DamagedRecordMessage(path));
    return std::move(*data);
}

std::vector<TOtherProduct> OtherProducts(const TFiles& files, const TRegistry& registry,
                                         const std::string& TargetDir) {
    std::vector<TOtherProduct> others;
    for (const std::string& name : registry.SubKeyNames(rrLocalMachine, kUninstallListKey)) {
        const std::string key = JoinPath(kUninstallListKey, name);
        const std::string program = RegisteredUninstaller(registry, key);
        const std::string dir = ExtractFileDir(program);
        if (program.empty() || SamePath(dir, TargetDir)) continue;
        try {
            TUninstallData data = ReadUninstallData(files, dir);
            const std::string title = RegisteredTitle(registry, key).value_or(data.Title);
            others.push_back({title, std::move(data)});
        } catch (const EUninstallError&) {
            // Not one of ours, or gone: it names nothing this uninstall could take from it.
        }
    }
    return others;
}

bool RemoveEndedUninstaller(TFiles& files, const std::string& file, const std::string& helper, int tries,
                            const std::function<void()>& pause) {
    bool removed = !files.FileExists(file);
    for (int i = 0; i < tries && !removed; ++i) {
        if (i > 0) pause();
        files.SetAttributes(file, faArchive);
        removed = files.RemoveFile(file) || !files.FileExists(file);
    }
    const std::string dir = ExtractFileDir(file);
    // Only when empty: the uninstall reported what it left there.
    if (!IsDriveRoot(dir)) files.RemoveEmptyDirectory(dir);
    if (files.RemoveAtRestart(helper)) files.RemoveAtRestart(ExtractFileDir(helper));
    return removed;
}

bool TUninstallReport::Failed() const {
    return std::ranges::any_of(Items, [](const TReportItem& item) { return item.Outcome == uoFailed; });
}

std::vector<TReportItem> TUninstallReport::Left() const {
    std::vector<TReportItem> left;
    std::ranges::copy_if(Items, std::back_inserter(left),
                         [](const TReportItem& item) { return item.Outcome != uoRemoved; });
    return left;
}

std::size_t TUninstallReport::RemovedCount() const {
    return static_cast<std::size_t>(
        std::ranges::count_if(Items, [](const TReportItem& item) { return item.Outcome == uoRemoved; }));
}

std::string TUninstallReport::Text() const {
    const std::vector<TReportItem> left = Left();
    std::string text = left.empty() ? Title + " was removed completely."
                       : Failed()   ? Title + " could not be removed completely."
                                    : Title + " was removed. Some items were left on purpose.";
    text += "\n\nRemoved: " + std::to_string(RemovedCount()) + " files, folders and registry keys.";
    if (!left.empty()) text += "\n\nLeft:";
    for (const TReportItem& item : left) text += "\n" + item.What + " - " + item.Why;
    return text;
}

TUninstaller::TUninstaller(TUninstallData data, const TUninstallSystem& system, TUninstallProgress& progress,
                           std::string selfPath)
    : Data_(std::move(data)), System_(system), Progress_(progress), SelfPath_(std::move(selfPath)),
      RecordPath_(JoinPath(Data_.TargetDir, kUninstallRecordName)) {
    Report_.Title = Data_.Title;
}

TUninstallReport TUninstaller::Run() {
    WindowsDir_ = System_.Files.WindowsDirectory();
    Others_ = OtherProducts(System_.Files, System_.Registry, Data_.TargetDir);
    Progress_.Begin(static_cast<int>(Data_.Files.size() + Data_.Folders.size() + Data_.RegistryKeys.size() +
                                     Data_.MadeKeys.size() + 1));
    RemoveFiles();
    RemoveFolders();
    RemoveEmptyDirectories(Data_.TargetDir);
    RemoveKeys();
    Progress_.Step(Data_.TargetDir);
    if (Report_.Failed()) {
        const char* why = "kept, so that the uninstall can be run again for what is left";
        Note(RootedKeyName(rrLocalMachine, UninstallKey(Data_.Title)), uoKept, why);
        Note(RecordPath_, uoKept, why);
    } else {
        RemoveRegistration();
        RemoveRecordAndDirectory();
    }
    return Report_;
}

void TUninstaller::RemoveFiles() {
    // Files the record names one by one first, so that a directory pattern knows them as installed.
    for (const std::string& record : Data_.Files)
        if (!HasWildcard(ExtractFileName(record))) {
            Progress_.Step(record);
            RemoveFile(record, true);
        }
    for (const std::string& record : Data_.Files)
        if (HasWildcard(ExtractFileName(record))) {
            Progress_.Step(record);
            RemoveMatches(record);
        }
}

void TUninstaller::RemoveMatches(const std::string& record) {
    const std::string dir = ExtractFileDir(record);
    const std::string pattern = ExtractFileName(record);
    const bool namePattern = IsNamePattern(pattern);
    if (!namePattern && !IsWithin(dir, Data_.TargetDir)) {
        // Every file of a directory that is not the product's own: none of them is known as installed.
        Note(record, uoKept, "names every file of a directory outside the installation directory");
        return;
    }
    for (const std::string& name : System_.Files.FileNames(dir)) {
        if (!MatchesPattern(name, pattern)) continue;
        const std::string path = JoinPath(dir, name);
        if (namePattern || IsSetupFile(path))
            RemoveFile(path, namePattern);
        else if (!Handled(path))
            Note(path, uoKept, "not installed by the setup");
    }
}

void TUninstaller::RemoveFile(const std::string& path, bool named) {
    // The record goes last, once the run has succeeded.
    if (SamePath(path, RecordPath_) || Handled(path)) return;
    if (!SelfPath_.empty() && SamePath(path, SelfPath_)) {
        Note(path, uoRemoved, "once the uninstaller has ended");
        return;
    }
    if (const std::string why = ProtectedFileReason(path, WindowsDir_, Data_.TargetDir); !why.empty()) {
        if (named || System_.Files.FileExists(path)) Note(path, uoKept, why);
        return;
    }
    if (!System_.Files.FileExists(path)) return; // never copied, or removed by hand
    if (const std::string owner = OwnerOfFile(path); !owner.empty()) {
        Note(path, uoKept, "also installed by " + owner);
        return;
    }
    const auto attributes = System_.Files.Attributes(path);
    if (attributes && (*attributes & faReadOnly)) System_.Files.SetAttributes(path, faArchive);
    if (System_.Files.RemoveFile(path))
        Note(path, uoRemoved);
    else
        Note(path, uoFailed, "could not be deleted: it may be in use");
}

void TUninstaller::RemoveFolders() {
    for (const std::string& folder : Data_.Folders) {
        Progress_.Step(folder);
        // A record ending in "\" is a shell folder itself (a shortcut without a folder of its own).
        if (IsPathDelimiter(folder.back()) || IsDriveRoot(folder) || !System_.Files.DirectoryExists(folder) ||
            Handled(folder))
            continue;
        if (!System_.Files.EntryNames(folder).empty())
            Note(folder, uoKept, "not empty");
        else if (System_.Files.RemoveEmptyDirectory(folder))
            Note(folder, uoRemoved);
        else
            Note(folder, uoFailed, "could not be removed");
    }
}

void TUninstaller::RemoveEmptyDirectories(const std::string& dir) {
    for (const std::string& name : System_.Files.EntryNames(dir)) {
        const std::string path = JoinPath(dir, name);
        if (!System_.Files.DirectoryExists(path)) continue;
        RemoveEmptyDirectories(path);
        if (!System_.Files.EntryNames(path).empty())
            Note(path, uoKept, "not empty");
        else if (System_.Files.RemoveEmptyDirectory(path))
            Note(path, uoRemoved);
        else
            Note(path, uoFailed, "could not be removed");
    }
}

void TUninstaller::RemoveKeys() {
    for (const auto* records : {&Data_.RegistryKeys, &Data_.MadeKeys})
        for (const std::string& record : *records) {
            Progress_.Step(record);
            RemoveKey(record);
        }
}

bool TUninstaller::MadeByInstall(const std::string& name) const {
    return std::ranges::any_of(Data_.MadeKeys, [&](const std::string& made) {
        const TRootedKey rooted = RootedKeyOf(made);
        return SameAnsiText(RootedKeyName(rooted.Root, rooted.Key), name);
    });
}

void TUninstaller::RemoveKey(const std::string& record) {
    const TRootedKey rooted = RootedKeyOf(record);
    const std::string name = RootedKeyName(rooted.Root, rooted.Key);
    if (Handled(name)) return;
    if (const std::string why = ProtectedKeyReason(rooted.Key, MadeByInstall(name)); !why.empty()) {
        Note(name, uoKept, why);
        return;
    }
    if (!System_.Registry.KeyExists(rooted.Root, rooted.Key)) return;
    if (const std::string owner = OwnerOfKey(rooted.Root, rooted.Key); !owner.empty())
        Note(name, uoKept, "also used by " + owner);
    else if (System_.Registry.DeleteKey(rooted.Root, rooted.Key))
        Note(name, uoRemoved);
    else
        Note(name, uoFailed, "could not be deleted");
}

void TUninstaller::RemoveRegistration() {
    const std::string key = UninstallKey(Data_.Title);
    if (!System_.Registry.KeyExists(rrLocalMachine, key)) return;
    const std::string program = RegisteredUninstaller(System_.Registry, key);
    // The same title installed again elsewhere took the entry over.
    if (!program.empty() && !SamePath(ExtractFileDir(program), Data_.TargetDir))
        Note(RootedKeyName(rrLocalMachine, key), uoKept,
             "belongs to the installation in " + ExtractFileDir(program));
    else if (System_.Registry.DeleteKey(rrLocalMachine, key))
        Note(RootedKeyName(rrLocalMachine, key), uoRemoved);
    else
        Note(RootedKeyName(rrLocalMachine, key), uoFailed, "could not be deleted");
}

void TUninstaller::RemoveRecordAndDirectory() {
    if (System_.Files.FileExists(RecordPath_)) {
        System_.Files.SetAttributes(RecordPath_, faArchive);
        if (System_.Files.RemoveFile(RecordPath_))
            Note(RecordPath_, uoRemoved);
        else
            Note(RecordPath_, uoFailed, "could not be deleted: it may be in use");
    }
    const std::string& dir = Data_.TargetDir;
    if (IsDriveRoot(dir) || !System_.Files.DirectoryExists(dir)) return;
    const std::vector<std::string> entries = System_.Files.EntryNames(dir);
    const bool onlySelf =
        !SelfPath_.empty() && entries.size() == 1 && SamePath(JoinPath(dir, entries.front()), SelfPath_);
    if (onlySelf)
        Note(dir, uoRemoved, "once the uninstaller has ended");
    else if (!entries.empty())
        Note(dir, uoKept, "not empty");
    else if (System_.Files.RemoveEmptyDirectory(dir))
        Note(dir, uoRemoved);
    else
        Note(dir, uoFailed, "could not be removed");
}

void TUninstaller::Note(const std::string& what, TUninstallOutcome outcome, const std::string& why) {
    Report_.Items.push_back({what, outcome, why});
}

bool TUninstaller::Handled(const std::string& path) {
    const std::string key = UpperCase(ExcludeTrailingDelimiter(path));
    if (std::ranges::find(Handled_, key) != Handled_.end()) return true;
    Handled_.push_back(key);
    return false;
}

std::string TUninstaller::OwnerOfFile(const std::string& path) const {
    for (const TOtherProduct& other : Others_)
        if (std::ranges::any_of(other.Data.Files,
                                [&](const std::string& file) { return SamePath(file, path); }))
            return other.Title;
    return {};
}

std::string TUninstaller::OwnerOfKey(TRegRoot root, const std::string& key) const {
    for (const TOtherProduct& other : Others_)
        for (const std::string& record : other.Data.RegistryKeys) {
            const TRootedKey theirs = RootedKeyOf(record);
            if (theirs.Root == root && KeyWithin(theirs.Key, key)) return other.Title;
        }
    return {};
}

bool TUninstaller::IsSetupFile(const std::string& path) const {
    if (!SamePath(ExtractFileDir(path), Data_.TargetDir)) return false;
    const std::string name = ExtractFileName(path);
    return SameText(name, kUninstallerName) || SameText(name, kUninstallRecordName) ||
           std::ranges::any_of(kSetupFiles, [&](const char* file) { return SameText(name, file); });
}

} // namespace yar
