// The values of install.cfg as the run uses them; read once at start-up.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace yar {

class TProfileSource;

// The built-in text of the background window's second header line; also the default of "Header2".
inline constexpr const char* kBuiltInHeader2 = "32Bit Installation Program";

// The name of the configuration file inside the start directory.
inline constexpr const char* kSetupConfigName = "install.cfg";
// The setup program and its configuration: the preparation copies both into the working directory,
// and the install from there into the installation directory.
inline constexpr std::array<const char*, 2> kSetupFiles = {"install.exe", kSetupConfigName};
// The base name of the volumes of the set beside install.cfg: disk.001, disk.002 ...
inline constexpr const char* kVolumeBaseName = "disk";
// The uninstaller a product ships: the install registers it when it lands in the installation directory.
inline constexpr const char* kUninstallerName = "uninstaller.exe";

// The sections the setup reads, as the file names them.
inline constexpr std::array<const char*, 8> kSetupSections = {
    "Setup - Main", "Directories", "Files",       "Files - OverWrite",
    "Desktop",      "INI - Setup", "WorkStation", "AUTOEXEC.BAT"};
// The list sections whose values LoadSetupConfig reads by their listed key names.
inline constexpr std::array<const char*, 5> kListSections = {"Directories", "Files", "Desktop", "INI - Setup",
                                                             "WorkStation"};

// How a [Setup - Main] key's value is read.
enum TMainKeyKind : uint8_t { mkString, mkInteger, mkBoolean, mkColour };
struct TMainKey {
    const char* Name;
    TMainKeyKind Kind;
};
// Every key of [Setup - Main] the setup reads; any other key there is never looked at.
extern const std::array<TMainKey, 27> kMainKeys;

struct SetupConfig {
    // [Setup - Main]
    int32_t InstallDisks = 0;
    std::string InstallDir;
    std::string Launch;
    std::string Folder = "Accessories";
    bool AddToProgramFiles = false;
    bool ShowWarningScreen = true;
    bool ShowReBoot = true;
    bool WorkStationPrompt = false;
    std::string BitmapFile;
    bool AlignCenter = false;
    bool AlignLeft = true;
    bool AlignRight = false;
    int32_t DitherFrom = 16711680; // blue, $00BBGGRR
    int32_t DitherTo = 0;
    std::string Header = "YAR - Tarnwick 32Bit";
    std::string HeaderFontName = "Impact";
    int32_t HeaderFontSize = 26;
    int32_t HeaderFontColor = 0;
    int32_t HeaderFontShadow = 16777215;
    std::string Header2 = kBuiltInHeader2;
    std::string Header2FontName = "Times New Roman";
    int32_t Header2FontSize = 10;
    int32_t Header2FontColor = 0;
    int32_t Header2FontShadow = 16777215;
    // The product's version and maker for the list of installed programs; empty writes nothing.
    std::string Version;
    std::string Publisher;
    // The languages the setup may show ("Languages=en,de"); empty: every one it has.
    std::vector<std::string> Languages;

    // List sections, in file order.
    std::vector<std::string> DirectoryEntries;
    std::vector<std::string> FileEntries;
    std::vector<std::string> DesktopEntries;
    std::vector<std::string> IniSetupEntries;
    std::vector<std::string> WorkStationEntries;
    std::vector<std::string> AutoexecLines;

    bool operator==(const SetupConfig&) const = default;
};

// Reads the configuration through an open profile source; every key and list starts from the
// defaults above, so a missing file or section leaves those in place. Never fails.
void LoadSetupConfig(const TProfileSource& source, SetupConfig& config);

// Reads the configuration from the bytes of install.cfg, with the rules of the profile functions
// (ProfileReader): the setup reads the file once and follows the very bytes it checked, where the
// profile functions would open it again for every key.
void LoadSetupConfigText(std::string_view text, SetupConfig& config);

// Reads StartDir + "install.cfg" (StartDir ends with the path separator) once, as LoadSetupConfigText.
void LoadSetupConfig(const std::string& StartDir, SetupConfig& config);

} // namespace yar
