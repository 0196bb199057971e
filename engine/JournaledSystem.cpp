#include "engine/JournaledSystem.h"

#include "engine/SystemUpdates.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace yar {

TJournaledFiles::TJournaledFiles(TFiles& files, TInstallJournal* journal, std::string privateDir)
    : TForwardingFiles(files), FJournal(journal), FPrivateDir(std::move(privateDir)) {}

bool TJournaledFiles::IsPrivate(const std::string& path) const {
    return !FPrivateDir.empty() && StartsWithText(path, IncludeTrailingDelimiter(FPrivateDir));
}

TJournaledFiles::TChangeState TJournaledFiles::WillChange(const std::string& path, bool makeNew) {
    if (FJournal == nullptr || IsPrivate(path)) return csReady;
    std::string key = UpperCase(path);
    if (FRecorded.contains(key)) return csReady;
    if (const std::optional<uint16_t> attributes = FFiles.Attributes(path)) {
        // The install writes no file through a link, nor in a directory's place.
        if ((*attributes & (faDirectory | faReparsePoint)) != 0) return csRefused;
        if (!FJournal->ReplacingFile(path)) return csInUse;
    } else if (makeNew) {
        FJournal->NewFile(path);
        const std::optional<TFileIdentity> made = FFiles.CreateNewFile(path);
        if (!made) return csRefused;
        RecordMade(path, *made);
        FMade.insert(key);
    } else {
        return csReady; // nothing there to change: the call fails by itself
    }
    FRecorded.insert(std::move(key));
    return csReady;
}

void TJournaledFiles::RecordMade(const std::string& path, const TFileIdentity& made) {
    try {
        FJournal->Made(path, made);
    } catch (const EJournalError&) {
        // Not recorded, no undo would take it: it goes at once, while it is still what was made.
        if (FFiles.Identity(path) == made && !FFiles.RemoveFile(path)) FFiles.RemoveEmptyDirectory(path);
        throw;
    }
}

void TJournaledFiles::MakeDirectories(const std::string& dir, const std::string& accessList) {
    if (FJournal == nullptr) {
        if (accessList.empty())
            FFiles.ForceDirectories(dir);
        else
            FFiles.ForceDirectoriesWithAccess(dir, accessList);
        return;
    }
    const std::vector<std::string> missing = MissingDirectoryLevels(FFiles, dir);
    // Top down, as they are made: undone in reverse, the deepest goes first. A level that something
    // else took meanwhile fails the making, and is never the install's.
    for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
        FJournal->NewDirectory(*level);
        FFiles.MakeNewDirectory(*level, accessList);
        if (const std::optional<TFileIdentity> made = FFiles.Identity(*level)) RecordMade(*level, *made);
    }
}

void TJournaledFiles::ForceDirectories(const std::string& dir) {
    MakeDirectories(dir, {});
}

void TJournaledFiles::ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) {
    MakeDirectories(dir, accessList);
}

TCopyResult TJournaledFiles::CopyFileChecked(const std::string& from, const std::string& to,
                                             bool failIfExists) {
    if (failIfExists && FFiles.Attributes(to)) return crTargetExists;
    switch (WillChange(to)) {
    case csReady:
        break;
    case csInUse:
        return crTargetInUse;
    case csRefused:
        return failIfExists ? crTargetExists : crCannotCreate;
    }
    // A file this layer made new is the install's own: the copy goes into it.
    const bool made = FMade.contains(UpperCase(to));
    const TCopyResult result = FFiles.CopyFileChecked(from, to, failIfExists && !made);
    if (result != crCopied) ForgetNewFile(to);
    return result;
}

void TJournaledFiles::ForgetNewFile(const std::string& path) {
    std::string key = UpperCase(path);
    // Only a file this layer made new for a change that then failed: a file left out is none of the
    // install's, and a later try makes it new again.
    if (FMade.erase(key) == 0) return;
    FRecorded.erase(key);
    FFiles.RemoveFile(path);
}

bool TJournaledFiles::MoveNewFile(const std::string& from, const std::string& to) {
    if (FFiles.Attributes(to) || WillChange(from, false) != csReady) return false;
    if (FJournal == nullptr || IsPrivate(to)) return FFiles.MoveNewFile(from, to);
    // A rename keeps the file's identity: the one read before is the one the move makes at to, and is
    // recorded before, so that a kill at any point leaves nothing of the install's unrecorded.
    const std::optional<TFileIdentity> moving = FFiles.Identity(from);
    if (!moving) return false;
    FJournal->NewFile(to);
    FJournal->Made(to, *moving);
    if (!FFiles.MoveNewFile(from, to)) return false;
    FRecorded.insert(UpperCase(to));
    return true;
}

bool TJournaledFiles::RemoveFile(const std::string& path) {
    return WillChange(path, false) == csReady && FFiles.RemoveFile(path);
}

bool TJournaledFiles::SetAttributes(const std::string& path, uint16_t attributes) {
    return WillChange(path, false) == csReady && FFiles.SetAttributes(path, attributes);
}

bool TJournaledFiles::WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    return WillChange(path) == csReady && FFiles.WriteLines(path, lines);
}

bool TJournaledFiles::AppendLine(const std::string& path, const std::string& line) {
    return WillChange(path) == csReady && FFiles.AppendLine(path, line);
}

TJournaledIni::TJournaledIni(TIniFiles& ini, TJournaledFiles& files) : FIni(ini), FFiles(files) {}

bool TJournaledIni::WillChange(const std::string& file) {
    // The whole file is kept before its first change: sections and keys come back as they were.
    return FFiles.WillChange(IniFilePath(file, FFiles.WindowsDirectory())) == TJournaledFiles::csReady;
}

bool TJournaledIni::WriteString(const std::string& file, const std::string& section, const std::string& key,
                                const std::string& value) {
    return WillChange(file) && FIni.WriteString(file, section, key, value);
}

bool TJournaledIni::AddKeys(const std::string& file, const std::string& section,
                            const std::vector<std::string>& keys) {
    return WillChange(file) && FIni.AddKeys(file, section, keys);
}

bool TJournaledIni::DeleteSection(const std::string& file, const std::string& section) {
    return WillChange(file) && FIni.DeleteSection(file, section);
}

TJournaledRegistry::TJournaledRegistry(TRegistry& registry, TInstallJournal* journal)
    : TForwardingRegistry(registry), FJournal(journal) {}

bool TJournaledRegistry::CreateKey(TRegRoot root, const std::string& key) {
    if (FJournal != nullptr) {
        std::string path;
        for (const std::string& name : KeyPathNames(key)) {
            if (!path.empty()) path += '\\';
            path += name;
            if (FRegistry.KeyExists(root, path)) continue;
            FJournal->NewKey(root, path);
            // Only a key this call made is the install's, and everything below it goes with it; one that
            // another program made meanwhile is not.
            if (FRegistry.CreateNewKey(root, path)) {
                try {
                    FJournal->MadeKey(root, path);
                } catch (const EJournalError&) {
                    FRegistry.DeleteKey(root, path); // unrecorded, no undo would take it
                    throw;
                }
                break;
            }
            // Not made, and not made by another meanwhile: it cannot be, nor anything below it.
            if (!FRegistry.KeyExists(root, path)) return false;
        }
    }
    return FRegistry.CreateKey(root, key);
}

void TJournaledRegistry::WillChangeValue(TRegRoot root, const std::string& key, const std::string& name) {
    if (FJournal == nullptr ||
        !FRecorded.emplace(root, UpperCase(NormalKeyPath(key)), UpperCase(name)).second)
        return;
    FJournal->ChangingValue(root, key, name);
}

bool TJournaledRegistry::WriteString(TRegRoot root, const std::string& key, const std::string& name,
                                     const std::string& value) {
    WillChangeValue(root, key, name);
    return FRegistry.WriteString(root, key, name, value);
}

bool TJournaledRegistry::WriteInteger(TRegRoot root, const std::string& key, const std::string& name,
                                      uint32_t value) {
    WillChangeValue(root, key, name);
    return FRegistry.WriteInteger(root, key, name, value);
}

bool TJournaledRegistry::WriteValue(TRegRoot root, const std::string& key, const std::string& name,
                                    const TRegValue& value) {
    WillChangeValue(root, key, name);
    return FRegistry.WriteValue(root, key, name, value);
}

bool TJournaledRegistry::DeleteValue(TRegRoot root, const std::string& key, const std::string& name) {
    if (FJournal != nullptr) throw EJournalError("The install deletes no registry values: " + name);
    return FRegistry.DeleteValue(root, key, name);
}

bool TJournaledRegistry::DeleteKey(TRegRoot root, const std::string& key) {
    if (FJournal != nullptr) throw EJournalError("The install deletes no registry keys: " + key);
    return FRegistry.DeleteKey(root, key);
}

void TJournaledLinks::Save(const TShellLink& link, const std::string& linkFile) {
    // The shell would make a missing folder of the user's (the desktop of a new profile) as it saves: it is
    // made here, so that the undo knows it for the install's.
    FFiles.MakeDirectories(ExtractFileDir(linkFile), {});
    switch (FFiles.WillChange(linkFile)) {
    case TJournaledFiles::csReady:
        break;
    case TJournaledFiles::csInUse:
        throw EShellLinkError("The shortcut " + linkFile + " is in use");
    case TJournaledFiles::csRefused:
        throw EShellLinkError("Cannot create file " + linkFile);
    }
    try {
        FLinks.Save(link, linkFile);
    } catch (const EShellLinkError&) {
        FFiles.ForgetNewFile(linkFile); // a shortcut not made leaves no empty file in its place
        throw;
    }
}

} // namespace yar
