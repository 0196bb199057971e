// yar build: the whole distribution from install.cfg and a source tree. The configuration is checked
// first and nothing is built while it has an error; the same inputs give the same bytes.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace yar::tool {

struct TBuildOptions {
    std::string ConfigPath;
    std::string SourceDir;
    std::string OutDir;     // made new, or an empty directory
    int32_t VolumeSize = 0; // bytes per volume
    bool Floppy = false;    // one directory per disk, disk 1 holding the setup program too
    uint8_t Method = 0;
    std::string Uninstaller;       // packed as uninstaller.exe when set
    std::string SetupProgram;      // the install.exe copied beside install.cfg
    std::string SignCert, SignKey; // when set, the bound install.exe is signed with them as the last step
};

// Builds into OutDir and prints the findings and a summary on out; returns the tool's exit code
// (1 when the configuration has an error, nothing then being written).
int BuildDistribution(const TBuildOptions& options, std::ostream& out);

// The configuration's text with "Install Disks" set to disks: the value of the key the setup reads
// replaced in place, or the key added at the top of [Setup - Main] (the section made when missing).
// Every other byte stays.
std::string WithInstallDisks(const std::string& text, int32_t disks);

} // namespace yar::tool
