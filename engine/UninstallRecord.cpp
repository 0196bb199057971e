#include "engine/UninstallRecord.h"

#include "util/Paths.h"

namespace yar {

TUninstallRecord::TUninstallRecord(TIniFiles& ini, const std::string& TargetDir)
    : Ini_(ini), TargetDir_(TargetDir), Path_(JoinPath(TargetDir, kUninstallRecordName)) {}

void TUninstallRecord::Open(const std::string& title) {
    for (const char* section : {"UNINS", "Folders", "Registry"}) Check(Ini_.DeleteSection(Path_, section));
    Check(Ini_.WriteString(Path_, "Program", "Title", title));
    AddFile(JoinPath(TargetDir_, "*.*"));
    AddFile(JoinPath(TargetDir_, "Setup\\*.*"));
}

void TUninstallRecord::Add(const std::string& section, const std::string& key) {
    Check(Ini_.WriteString(Path_, section, key, ""));
}

void TUninstallRecord::Check(bool written) const {
    if (!written) throw EInstallError("Unable to write to " + Path_);
}

} // namespace yar
