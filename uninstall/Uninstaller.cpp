#include "uninstall/Uninstaller.h"

#include "config/Texts.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "config/SetupConfig.h"
#include "system/Digest.h"
#include "uninstall/UninstallRules.h"
#include "util/CanonicalPaths.h"
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

// The depth of a canonical path: how many names it has below its drive.
std::size_t Depth(const std::string& path) {
    return static_cast<std::size_t>(std::ranges::count(path, '\\'));
}

std::optional<TUninstallData> ParseRecordBytes(const std::string& bytes, const std::string& dir) {
    return ParseUninstallRecord(SplitLines(bytes), dir);
}

} // namespace

TUninstallData ReadUninstallData(const TFiles& files, const std::string& dir) {
    const std::string path = JoinPath(dir, kUninstallRecordName);
    if (!files.FileExists(path)) throw EUninstallError(NoRecordMessage(path));
    const std::optional<std::string> bytes = files.ReadBytes(path);
    std::optional<TUninstallData> data = bytes ? ParseRecordBytes(*bytes, dir) : std::nullopt;
    if (!data) throw EUninstallError(DamagedRecordMessage(path));
    return std::move(*data);
}

TUninstallData ReadTrustedUninstallData(const TFiles& files, const TRegistry& registry,
                                        const std::string& dir) {
    const std::string given = JoinPath(dir, kUninstallRecordName);
    const auto untrusted = [](const std::string& path, const std::string& why) {
        return EUntrustedRecordError(UntrustedRecordMessage(path, why));
    };
    // Nothing is opened before the path is known to be a plain local one.
    const TCanonicalPath canonical = CanonicalPath(dir);
    if (canonical.Refused()) throw untrusted(given, "its folder's path is refused: " + canonical.Refusal);
    const TCanonicalPath longForm = CanonicalPath(files.LongPath(canonical.Path));
    const std::string target = longForm.Refused() ? canonical.Path : longForm.Path;
    const std::string path = JoinPath(target, kUninstallRecordName);
    if (!files.FileExists(path)) throw EUninstallError(NoRecordMessage(path));

    // Neither the record nor its folder may be open to another account, or lead elsewhere.
    for (const std::string& item : {target, path}) {
        const bool folder = item == target;
        if (files.Attributes(item).value_or(0) & faReparsePoint)
            throw untrusted(path,
                            std::string(folder ? "its folder" : "it") + " is a link, which is not followed");
        const std::optional<TObjectSecurity> security = files.Security(item);
        if (!security)
            throw untrusted(path, std::string("the access list of ") + (folder ? "its folder" : "it") +
                                      " cannot be read");
        if (const std::string why = UntrustedChangeReason(*security, files.CurrentAccount()); !why.empty())
            throw untrusted(path, folder ? "its folder: " + why : why);
    }

    const std::optional<std::string> bytes = files.ReadBytes(path);
    std::optional<TUninstallData> data = bytes ? ParseRecordBytes(*bytes, target) : std::nullopt;
    if (!data) throw EUninstallError(DamagedRecordMessage(path));

    // The product's entry, as the install registered it: for this directory, with the record's digest.
    const std::string key = UninstallKey(data->Title);
    const std::string program = RegisteredUninstaller(registry, key);
    const TCanonicalPath registeredDir = CanonicalPath(ExtractFileDir(program));
    const std::optional<std::string> registered = RegisteredRecordDigest(registry, key);
    if (program.empty() || registeredDir.Refused() || !SamePath(registeredDir.Path, target) || !registered ||
        registered->empty())
        throw untrusted(path, "the list of installed programs holds no digest of it for this folder");
    const std::optional<std::string> digest = Sha256Hex(*bytes);
    if (!digest) throw untrusted(path, "its SHA-256 cannot be computed");
    if (LowerCase(*registered) != *digest)
        throw untrusted(path,
                        "it is not the record the install left: its SHA-256 differs from the registered one");
    return std::move(*data);
}

std::vector<TOtherProduct> OtherProducts(const TFiles& files, const TRegistry& registry,
                                         const std::string& TargetDir) {
    std::vector<TOtherProduct> others;
    for (const std::string& name : registry.SubKeyNames(rrLocalMachine, kUninstallListKey)) {
        const std::string key = JoinPath(kUninstallListKey, name);
        const std::string program = RegisteredUninstaller(registry, key);
        // Any program may be registered: a network path is never opened, nor anything else unplain.
        const TCanonicalPath dir = CanonicalPath(ExtractFileDir(program));
        if (program.empty() || dir.Refused() || SamePath(dir.Path, TargetDir)) continue;
        try {
            TUninstallData data = ReadUninstallData(files, dir.Path);
            // Compared with this uninstall's canonical paths; what has no canonical form names nothing.
            std::vector<std::string> canonicalFiles;
            for (const std::string& file : data.Files)
                if (const TCanonicalPath c = CanonicalPath(file, true); !c.Refused())
                    canonicalFiles.push_back(c.Path);
            data.Files = std::move(canonicalFiles);
            const std::string title = RegisteredTitle(registry, key).value_or(data.Title);
            others.push_back({title, std::move(data)});
        } catch (const EUninstallError&) {
            // Not one of ours, or gone: it names nothing this uninstall could take from it.
        }
    }
    return others;
}

bool RemoveEndedUninstaller(TFiles& files, const std::string& file, bool withDirectory,
                            const std::string& helper, int tries, const std::function<void()>& pause) {
    bool removed = !files.FileExists(file);
    for (int i = 0; i < tries && !removed; ++i) {
        if (i > 0) pause();
        files.SetAttributes(file, faArchive);
        removed = files.RemoveFile(file) || !files.FileExists(file);
    }
    const std::string dir = ExtractFileDir(file);
    // Only when the install made it and it is empty: the uninstall reported what it left there.
    if (withDirectory && !IsDriveRoot(dir) && !(files.Attributes(dir).value_or(0) & faReparsePoint))
        files.RemoveEmptyDirectory(dir);
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
    std::string text = left.empty() ? Tr(txRemovedCompletely, {Title})
                       : Failed()   ? Tr(txNotRemovedCompletely, {Title})
                                    : Tr(txRemovedWithKept, {Title});
    text += "\n\n" + Tr(txRemovedCount, {std::to_string(RemovedCount())});
    if (!left.empty()) text += "\n\n" + Tr(txLeftItems);
    for (const TReportItem& item : left) text += "\n" + item.What + " - " + item.Why;
    return text;
}

TUninstaller::TUninstaller(TUninstallData data, const TUninstallSystem& system, TUninstallProgress& progress,
                           std::string selfPath)
    : Data_(std::move(data)), System_(system), Progress_(progress), SelfPath_(std::move(selfPath)) {
    // What ReadTrustedUninstallData gives is canonical already; a directory given otherwise is made so.
    if (const TCanonicalPath dir = CanonicalPath(Data_.TargetDir); !dir.Refused()) Data_.TargetDir = dir.Path;
    if (const TCanonicalPath self = CanonicalPath(SelfPath_); !self.Refused()) SelfPath_ = self.Path;
    RecordPath_ = JoinPath(Data_.TargetDir, kUninstallRecordName);
    Report_.Title = Data_.Title;
}

TUninstallReport TUninstaller::Run() {
    WindowsDir_ = LongForm(CanonicalPath(System_.Files.WindowsDirectory()).Path);
    Others_ = OtherProducts(System_.Files, System_.Registry, Data_.TargetDir);
    Progress_.Begin(static_cast<int>(Data_.Files.size() + Data_.MadeDirectories.size() +
                                     Data_.RegistryKeys.size() + Data_.MadeKeys.size() + 1));
    for (const std::string& record : Data_.MadeDirectories)
        if (const std::string dir = Canonical(record, false); !dir.empty()) MadeDirectories_.push_back(dir);
    RemoveFiles();
    RemoveMadeDirectories();
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

std::string TUninstaller::Canonical(const std::string& record, bool wildcards) {
    const TCanonicalPath canonical = CanonicalPath(record, wildcards);
    if (canonical.Refused()) {
        if (!Handled(record))
            Note(record, uoKept, "refused, the system would read it otherwise: " + canonical.Refusal);
        return {};
    }
    // A pattern's directory, or the path, in long form; the long form is checked again, since the system
    // hands back the names a file really has.
    const bool pattern = wildcards && HasWildcard(ExtractFileName(canonical.Path));
    const std::string longForm =
        pattern ? JoinPath(LongForm(ExtractFileDir(canonical.Path)), ExtractFileName(canonical.Path))
                : LongForm(canonical.Path);
    const TCanonicalPath checked = CanonicalPath(longForm, wildcards);
    if (checked.Refused()) {
        if (!Handled(record))
            Note(record, uoKept, "refused, the system would read it otherwise: " + checked.Refusal);
        return {};
    }
    return checked.Path;
}

std::string TUninstaller::LongForm(const std::string& path) const {
    // The deepest level that exists goes to the system; the names below it stay as written.
    std::string existing = path;
    std::string rest;
    while (!IsDriveRoot(existing) && !System_.Files.Attributes(existing)) {
        const std::string parent = ExtractFileDir(existing);
        if (parent.empty() || parent == existing) return path;
        rest = rest.empty() ? ExtractFileName(existing) : JoinPath(ExtractFileName(existing), rest);
        existing = parent;
    }
    const std::string longExisting = System_.Files.LongPath(existing);
    return rest.empty() ? longExisting : JoinPath(longExisting, rest);
}

std::string TUninstaller::LinkOnTheWay(const std::string& path) const {
    for (const std::string& level : PathsThatMustNotBeLinks(path, Data_.TargetDir))
        if (System_.Files.Attributes(level).value_or(0) & faReparsePoint) return level;
    return {};
}

void TUninstaller::RemoveFiles() {
    // Files the record names one by one first, so that a directory pattern knows them as installed.
    for (const std::string& record : Data_.Files)
        if (!HasWildcard(ExtractFileName(record))) {
            Progress_.Step(record);
            if (const std::string path = Canonical(record, true); !path.empty()) RemoveFile(path, true);
        }
    for (const std::string& record : Data_.Files)
        if (HasWildcard(ExtractFileName(record))) {
            Progress_.Step(record);
            if (const std::string pattern = Canonical(record, true); !pattern.empty())
                RemoveMatches(record, pattern);
        }
}

void TUninstaller::RemoveMatches(const std::string& record, const std::string& canonical) {
    const std::string dir = ExtractFileDir(canonical);
    const std::string pattern = ExtractFileName(canonical);
    const bool namePattern = IsNamePattern(pattern);
    if (!namePattern && !IsWithin(dir, Data_.TargetDir)) {
        // Every file of a directory that is not the product's own: none of them is known as installed.
        Note(record, uoKept, "names every file of a directory outside the installation directory");
        return;
    }
    if (!System_.Files.DirectoryExists(dir)) return;
    // A directory reached through a link is not listed: its files are not the ones the install put there.
    if (const std::string link = LinkOnTheWay(dir); !link.empty()) {
        if (!Handled(canonical))
            Note(canonical, uoKept, "reached through the link " + link + ", which is not followed");
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
    const auto attributes = System_.Files.Attributes(path);
    if (!attributes) return; // never copied, or removed by hand
    if (const std::string link = LinkOnTheWay(path); !link.empty()) {
        Note(path, uoKept,
             SamePath(link, path) ? "a link, which is not followed"
                                  : "reached through the link " + link + ", which is not followed");
        return;
    }
    if (*attributes & faDirectory) return; // a directory where a file was: not the install's file
    if (const std::string owner = OwnerOfFile(path); !owner.empty()) {
        Note(path, uoKept, "also installed by " + owner);
        return;
    }
    if (*attributes & faReadOnly) System_.Files.SetAttributes(path, faArchive);
    if (System_.Files.RemoveFile(path))
        Note(path, uoRemoved);
    else
        Note(path, uoFailed, "could not be deleted: it may be in use");
}

bool TUninstaller::MadeDirectory(const std::string& dir) const {
    return std::ranges::any_of(MadeDirectories_,
                               [&](const std::string& made) { return SamePath(made, dir); });
}

void TUninstaller::RemoveMadeDirectories() {
    // A [Folders] record names the program folder of a shortcut; only one the install made goes.
    for (const std::string& folder : Data_.Folders) {
        // A record ending in "\" is a shell folder itself (a shortcut without a folder of its own).
        const TCanonicalPath canonical = CanonicalPath(folder);
        if (folder.empty() || IsPathDelimiter(folder.back()) || canonical.Refused()) continue;
        const std::string dir = LongForm(canonical.Path);
        if (!MadeDirectory(dir) && System_.Files.DirectoryExists(dir) && !Handled(dir))
            Note(dir, uoKept, "not made by the install");
    }
    // The deepest first, so that a directory the install made inside another is gone before it; those
    // of one depth in the record's order.
    std::size_t deepest = 0;
    for (const std::string& dir : MadeDirectories_) deepest = std::max(deepest, Depth(dir));
    std::vector<std::string> dirs;
    for (std::size_t depth = deepest + 1; depth-- > 0;)
        std::ranges::copy_if(MadeDirectories_, std::back_inserter(dirs),
                             [&](const std::string& dir) { return Depth(dir) == depth; });
    for (const std::string& dir : dirs) {
        Progress_.Step(dir);
        // The installation directory goes last, with the record.
        if (IsDriveRoot(dir) || SamePath(dir, Data_.TargetDir) || !System_.Files.Attributes(dir) ||
            Handled(dir))
            continue;
        if (const std::string link = LinkOnTheWay(dir); !link.empty()) {
            Note(dir, uoKept,
                 SamePath(link, dir) ? "a link, which is not followed"
                                     : "reached through the link " + link + ", which is not followed");
            continue;
        }
        if (!System_.Files.DirectoryExists(dir)) continue;
        if (!System_.Files.EntryNames(dir).empty())
            Note(dir, uoKept, "not empty");
        else if (System_.Files.RemoveEmptyDirectory(dir))
            Note(dir, uoRemoved);
        else
            Note(dir, uoFailed, "could not be removed");
    }
}

void TUninstaller::RemoveKeys() {
    for (const std::string& record : Data_.RegistryKeys) {
        Progress_.Step(record);
        RemoveKey(record, false);
    }
    for (const std::string& record : Data_.MadeKeys) {
        Progress_.Step(record);
        RemoveKey(record, true);
    }
}

bool TUninstaller::MadeByInstall(TRegRoot root, const std::string& key) const {
    // A made key the rules keep (the root, Software ...) makes nothing below it the install's.
    return std::ranges::any_of(Data_.MadeKeys, [&](const std::string& made) {
        const TRootedKey rooted = RootedKeyOf(made);
        return rooted.Root == root && ProtectedKeyReason(rooted.Key, true).empty() &&
               KeyWithin(key, rooted.Key);
    });
}

void TUninstaller::RemoveKey(const std::string& record, bool madeRecord) {
    const TRootedKey rooted = RootedKeyOf(record);
    const std::string name = RootedKeyName(rooted.Root, rooted.Key);
    if (Handled(name)) return;
    // Named as made, the rules say why a key so near its root stays; only a made key they keep not goes.
    const bool named =
        madeRecord || std::ranges::any_of(Data_.MadeKeys, [&](const std::string& madeRecordText) {
            const TRootedKey made = RootedKeyOf(madeRecordText);
            return made.Root == rooted.Root && KeyWithin(rooted.Key, made.Key);
        });
    const bool made = MadeByInstall(rooted.Root, rooted.Key);
    if (const std::string why = ProtectedKeyReason(rooted.Key, named); !why.empty()) {
        Note(name, uoKept, why);
        return;
    }
    if (!System_.Registry.KeyExists(rooted.Root, rooted.Key)) return;
    // A key that was there before the install is not the install's to take, whatever it wrote into it.
    if (!made) {
        Note(name, uoKept,
             madeRecord ? "not made by the install"
                        : "there before the install: only its values were written");
        return;
    }
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
    const TCanonicalPath dir = CanonicalPath(ExtractFileDir(program));
    // The same title installed again elsewhere took the entry over.
    if (!program.empty() && (dir.Refused() || !SamePath(dir.Path, Data_.TargetDir)))
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
    if (!entries.empty() && !onlySelf)
        Note(dir, uoKept, "not empty");
    else if (!MadeDirectory(dir))
        Note(dir, uoKept, "not made by the install");
    else if (onlySelf)
        Note(dir, uoRemoved, "once the uninstaller has ended");
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
