#include "config/SetupConfig.h"

#include <algorithm>
#include <iterator>

#include "config/Languages.h"
#include "config/ProfileReader.h"
#include "config/ProfileSource.h"
#include "util/FileBytes.h"

namespace yar {

const std::array<TMainKey, 27> kMainKeys = {{
    {"Install Disks", mkInteger},
    {"Install Dir", mkString},
    {"Launch", mkString},
    {"Folder", mkString},
    {"Add to Program Files", mkBoolean},
    {"Show Warning Screen", mkBoolean},
    {"Show Re-Boot", mkBoolean},
    {"Work Station Prompt", mkBoolean},
    {"Bitmap File", mkString},
    {"Align Center", mkBoolean},
    {"Align Left", mkBoolean},
    {"Align Right", mkBoolean},
    {"Dither From", mkColour},
    {"Dither To", mkColour},
    {"Header", mkString},
    {"Header Font Name", mkString},
    {"Header Font Size", mkInteger},
    {"Header Font Color", mkColour},
    {"Header Font Shadow", mkColour},
    {"Header2", mkString},
    {"Header2 Font Name", mkString},
    {"Version", mkString},
    {"Publisher", mkString},
    {"Header2 Font Size", mkInteger},
    {"Header2 Font Color", mkColour},
    {"Header2 Font Shadow", mkColour},
    {"Languages", mkString},
}};

namespace {

const std::string kMainSection = "Setup - Main";
const std::string kOverWriteSection = "Files - OverWrite";
const std::string kAutoexecSection = "AUTOEXEC.BAT";

// A list section: every listed key's value, in listing order.
std::vector<std::string> ReadListSection(const TProfileSource& source, const std::string& section) {
    std::vector<std::string> values;
    std::ranges::transform(
        source.ReadKeyNames(section), std::back_inserter(values),
        [&](const std::string& key) { return source.ReadString(section, key, std::string()); });
    return values;
}

// Each [Files] entry gets its overwrite mark: "~X" asks before replacing, "~" replaces silently.
void AppendOverWriteMarks(const TProfileSource& source, std::vector<std::string>& files) {
    for (std::size_t n = 0; n < files.size(); ++n) {
        const bool ask = source.ReadBool(kOverWriteSection, "File #" + std::to_string(n), false);
        files[n] += ask ? "~X" : "~";
    }
}

// The lines of [AUTOEXEC.BAT] are the lines to add, whole: "SET PATH=C:\ACME;%PATH%" cut at its
// "=" would lose the product's setting. Read from the section's lines, not from its key listing,
// which leaves out lines without "=" - and most commands have none.
std::vector<std::string> ReadAutoexecLines(const TProfileSource& source) {
    return source.ReadSectionLines(kAutoexecSection);
}

void ReadMainSection(const TProfileSource& s, SetupConfig& c) {
    const std::string& m = kMainSection;
    // In the order of the file's documentation; each key falls back to the field's default.
    c.InstallDisks = s.ReadInteger(m, "Install Disks", c.InstallDisks);
    c.InstallDir = s.ReadString(m, "Install Dir", c.InstallDir);
    c.Launch = s.ReadString(m, "Launch", c.Launch);
    c.Folder = s.ReadString(m, "Folder", c.Folder);
    c.AddToProgramFiles = s.ReadBool(m, "Add to Program Files", c.AddToProgramFiles);
    c.ShowWarningScreen = s.ReadBool(m, "Show Warning Screen", c.ShowWarningScreen);
    c.ShowReBoot = s.ReadBool(m, "Show Re-Boot", c.ShowReBoot);
    c.WorkStationPrompt = s.ReadBool(m, "Work Station Prompt", c.WorkStationPrompt);
    c.BitmapFile = s.ReadString(m, "Bitmap File", c.BitmapFile);
    c.AlignCenter = s.ReadBool(m, "Align Center", c.AlignCenter);
    c.AlignLeft = s.ReadBool(m, "Align Left", c.AlignLeft);
    c.AlignRight = s.ReadBool(m, "Align Right", c.AlignRight);
    c.DitherFrom = s.ReadInteger(m, "Dither From", c.DitherFrom);
    c.DitherTo = s.ReadInteger(m, "Dither To", c.DitherTo);
    c.Header = s.ReadString(m, "Header", c.Header);
    c.HeaderFontName = s.ReadString(m, "Header Font Name", c.HeaderFontName);
    c.HeaderFontSize = s.ReadInteger(m, "Header Font Size", c.HeaderFontSize);
    c.HeaderFontColor = s.ReadInteger(m, "Header Font Color", c.HeaderFontColor);
    c.HeaderFontShadow = s.ReadInteger(m, "Header Font Shadow", c.HeaderFontShadow);
    c.Header2 = s.ReadString(m, "Header2", c.Header2);
    c.Header2FontName = s.ReadString(m, "Header2 Font Name", c.Header2FontName);
    c.Version = s.ReadString(m, "Version", c.Version);
    c.Publisher = s.ReadString(m, "Publisher", c.Publisher);
    c.Header2FontSize = s.ReadInteger(m, "Header2 Font Size", c.Header2FontSize);
    c.Header2FontColor = s.ReadInteger(m, "Header2 Font Color", c.Header2FontColor);
    c.Header2FontShadow = s.ReadInteger(m, "Header2 Font Shadow", c.Header2FontShadow);
    c.Languages = LanguageList(s.ReadString(m, "Languages", ""));
}

} // namespace

void LoadSetupConfig(const TProfileSource& source, SetupConfig& config) {
    config = SetupConfig{};
    ReadMainSection(source, config);
    config.DirectoryEntries = ReadListSection(source, "Directories");
    config.FileEntries = ReadListSection(source, "Files");
    AppendOverWriteMarks(source, config.FileEntries);
    config.DesktopEntries = ReadListSection(source, "Desktop");
    config.IniSetupEntries = ReadListSection(source, "INI - Setup");
    config.WorkStationEntries = ReadListSection(source, "WorkStation");
    config.AutoexecLines = ReadAutoexecLines(source);
}

void LoadSetupConfigText(std::string_view text, SetupConfig& config) {
    LoadSetupConfig(*TProfileReader::FromText(text), config);
}

void LoadSetupConfig(const std::string& StartDir, SetupConfig& config) {
    // A file that cannot be read reads as an empty one, as the profile functions see it.
    LoadSetupConfigText(ReadFileBytes(StartDir + kSetupConfigName).Bytes, config);
}

} // namespace yar
