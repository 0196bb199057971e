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

bool TJournaledFiles::WillChange(const std::string& path) {
    if (FJournal == nullptr || IsPrivate(path)) return true;
    std::string key = UpperCase(path);
    if (FRecorded.contains(key)) return true;
    if (FFiles.FileExists(path)) {
        if (!FJournal->ReplacingFile(path)) return false;
    } else {
        FJournal->NewFile(path);
    }
    FRecorded.insert(std::move(key));
    return true;
}

void TJournaledFiles::WillMakeDirectories(const std::string& dir) {
    if (FJournal == nullptr) return;
    const std::vector<std::string> missing = MissingDirectoryLevels(FFiles, dir);
    // Top down, as they are made: undone in reverse, the deepest goes first.
    for (auto level = missing.rbegin(); level != missing.rend(); ++level)
        if (FRecorded.insert(UpperCase(*level)).second) FJournal->NewDirectory(*level);
}

void TJournaledFiles::ForceDirectories(const std::string& dir) {
    WillMakeDirectories(dir);
    FFiles.ForceDirectories(dir);
}

void TJournaledFiles::ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) {
    WillMakeDirectories(dir);
    FFiles.ForceDirectoriesWithAccess(dir, accessList);
}

TCopyResult TJournaledFiles::CopyFileChecked(const std::string& from, const std::string& to,
                                             bool failIfExists) {
    if (!(failIfExists && FFiles.Attributes(to)) && !WillChange(to)) return crTargetInUse;
    return FFiles.CopyFileChecked(from, to, failIfExists);
}

bool TJournaledFiles::MoveNewFile(const std::string& from, const std::string& to) {
    if (FFiles.Attributes(to)) return false;
    return WillChange(from) && WillChange(to) && FFiles.MoveNewFile(from, to);
}

bool TJournaledFiles::RemoveFile(const std::string& path) {
    return WillChange(path) && FFiles.RemoveFile(path);
}

bool TJournaledFiles::SetAttributes(const std::string& path, uint16_t attributes) {
    return WillChange(path) && FFiles.SetAttributes(path, attributes);
}

bool TJournaledFiles::WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    return WillChange(path) && FFiles.WriteLines(path, lines);
}

bool TJournaledFiles::AppendLine(const std::string& path, const std::string& line) {
    return WillChange(path) && FFiles.AppendLine(path, line);
}

TJournaledIni::TJournaledIni(TIniFiles& ini, TJournaledFiles& files) : FIni(ini), FFiles(files) {}

bool TJournaledIni::WillChange(const std::string& file) {
    // The whole file is kept before its first change: sections and keys come back as they were.
    return FFiles.WillChange(IniFilePath(file, FFiles.WindowsDirectory()));
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
            if (!FRegistry.KeyExists(root, path)) {
                FJournal->NewKey(root, path);
                // Everything below a new key is new as well, and goes with it.
                break;
            }
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

bool TJournaledRegistry::DeleteValue(TRegRoot root, const std::string& key, const std::string& name) {
    if (FJournal != nullptr) throw EJournalError("The install deletes no registry values: " + name);
    return FRegistry.DeleteValue(root, key, name);
}

bool TJournaledRegistry::DeleteKey(TRegRoot root, const std::string& key) {
    if (FJournal != nullptr) throw EJournalError("The install deletes no registry keys: " + key);
    return FRegistry.DeleteKey(root, key);
}

void TJournaledLinks::Save(const TShellLink& link, const std::string& linkFile) {
    // The shell makes a missing folder of the user's (the desktop of a new profile) as it saves.
    FFiles.WillMakeDirectories(ExtractFileDir(linkFile));
    if (!FFiles.WillChange(linkFile)) throw EShellLinkError("The shortcut " + linkFile + " is in use");
    FLinks.Save(link, linkFile);
}

} // namespace yar
