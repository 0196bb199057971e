// uninstall.cfg in the installation directory: what a separate uninstall program removes. Written
// record by record through the profile functions as the install goes, so a stopped install leaves
// a record of everything it did up to the stop.
#pragma once

#include <string>

#include "config/UninstallNames.h"
#include "engine/InstallError.h"
#include "system/IniFiles.h"

namespace yar {

class TUninstallRecord {
public:
    // The record of the installation in TargetDir; nothing is written yet.
    TUninstallRecord(TIniFiles& ini, const std::string& TargetDir);

    // Starts a fresh record: the sections [UNINS], [Folders] and [Registry] of an earlier install go,
    // [Program] Title is the product title, and the installation directory with its Setup directory
    // are the first files to remove.
    void Open(const std::string& title);

    // One record each; a key written twice is kept once, where it was first written.
    void AddFile(const std::string& pattern) { Add("UNINS", pattern); }
    void AddFolder(const std::string& folder) { Add("Folders", folder); }
    void AddRegistryKey(const std::string& key) { Add("Registry", key); }

    const std::string& Path() const { return Path_; }

private:
    // Raises EInstallError "Unable to write to <record>" when the file cannot be written.
    void Add(const std::string& section, const std::string& key);
    void Check(bool written) const;

    TIniFiles& Ini_;
    std::string TargetDir_;
    std::string Path_;
};

} // namespace yar
