// The machine as the install engine changes it, each change first recorded in the install's journal:
// every file service, INI file, registry and shell-link call that changes something goes through here,
// so that no step of the install can forget its record. Reads pass through. Without a journal every call
// passes through unchanged.
#pragma once

#include <set>
#include <string>
#include <tuple>

#include "engine/InstallJournal.h"
#include "system/Files.h"
#include "system/IniFiles.h"
#include "system/Registry.h"
#include "system/ShellLinks.h"

namespace yar {

// A new file put in place at a restart (ReplaceAtRestart) is the run's, recorded when it was copied:
// undone, it is gone before the restart, which then finds nothing to put in place.
class TJournaledFiles final : public TForwardingFiles {
public:
    // Files below privateDir (the run's working directory) are the run's own: nothing records them.
    TJournaledFiles(TFiles& files, TInstallJournal* journal, std::string privateDir);

    // Whether a change to a file may go ahead: csInUse when the file is there but cannot be read (another
    // program holds it, and it is not to be changed now), csRefused when the name holds a directory or a
    // link, or was taken by another while this layer made the file.
    enum TChangeState { csReady, csInUse, csRefused };
    // Records the file's state before its first change in this run. A file that is there has its bytes
    // kept. A name not in use is made a new empty file here when makeNew, its identity recorded, so that
    // the change writes into the install's own file; a move onto it makes it itself.
    TChangeState WillChange(const std::string& path, bool makeNew = true);
    // Makes the levels of dir that do not exist yet, top down, each new and recorded before and after.
    void MakeDirectories(const std::string& dir, const std::string& accessList);
    // The change that the new empty file at path was made for failed and the install goes on without it:
    // the file goes again. Nothing for a file that was there, or that this layer did not make.
    void ForgetNewFile(const std::string& path);

    void ForceDirectories(const std::string& dir) override;
    void ForceDirectoriesWithAccess(const std::string& dir, const std::string& accessList) override;
    TCopyResult CopyFileChecked(const std::string& from, const std::string& to, bool failIfExists) override;
    // Only onto a name not in use, recorded as a new file: undone, it goes. A source outside the run's
    // own directory is recorded as changed, so that undoing brings it back.
    bool MoveNewFile(const std::string& from, const std::string& to) override;
    bool RemoveFile(const std::string& path) override;
    bool SetAttributes(const std::string& path, uint16_t attributes) override;
    bool WriteLines(const std::string& path, const std::vector<std::string>& lines) override;
    bool AppendLine(const std::string& path, const std::string& line) override;

private:
    bool IsPrivate(const std::string& path) const;
    // Records the identity of what was just made at path.
    void RecordMade(const std::string& path, const TFileIdentity& made);

    TInstallJournal* FJournal;
    std::string FPrivateDir;
    std::set<std::string> FRecorded; // upper-cased paths whose earlier state is in the journal
    std::set<std::string> FMade;     // upper-cased paths of the files this layer made new
};

class TJournaledIni final : public TIniFiles {
public:
    // A file named without a directory is the Windows directory's, as the profile functions have it.
    TJournaledIni(TIniFiles& ini, TJournaledFiles& files);

    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool AddKeys(const std::string& file, const std::string& section,
                 const std::vector<std::string>& keys) override;
    bool DeleteSection(const std::string& file, const std::string& section) override;
    std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& fallback) const override {
        return FIni.ReadString(file, section, key, fallback);
    }

private:
    bool WillChange(const std::string& file);

    TIniFiles& FIni;
    TJournaledFiles& FFiles;
};

class TJournaledRegistry final : public TForwardingRegistry {
public:
    TJournaledRegistry(TRegistry& registry, TInstallJournal* journal);

    bool CreateKey(TRegRoot root, const std::string& key) override;
    bool WriteString(TRegRoot root, const std::string& key, const std::string& name,
                     const std::string& value) override;
    bool WriteInteger(TRegRoot root, const std::string& key, const std::string& name,
                      uint32_t value) override;
    bool WriteValue(TRegRoot root, const std::string& key, const std::string& name,
                    const TRegValue& value) override;
    // The install deletes no keys and no values; were it to, the journal could not bring them back.
    bool DeleteValue(TRegRoot root, const std::string& key, const std::string& name) override;
    bool DeleteKey(TRegRoot root, const std::string& key) override;

private:
    void WillChangeValue(TRegRoot root, const std::string& key, const std::string& name);

    TInstallJournal* FJournal;
    std::set<std::tuple<TRegRoot, std::string, std::string>> FRecorded; // upper-cased key and name
};

class TJournaledLinks final : public TShellLinks {
public:
    TJournaledLinks(TShellLinks& links, TJournaledFiles& files) : FLinks(links), FFiles(files) {}
    void Save(const TShellLink& link, const std::string& linkFile) override;

private:
    TShellLinks& FLinks;
    TJournaledFiles& FFiles;
};

} // namespace yar
