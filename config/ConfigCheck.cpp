#include "config/ConfigCheck.h"

#include "config/ColourContrast.h"

#include <algorithm>
#include <map>

#include "config/ConfigRecords.h"
#include "config/ConfigRules.h"
#include "config/Languages.h"
#include "config/SetupConfig.h"
#include "util/EntryNames.h"
#include "util/NumberText.h"
#include "util/Paths.h"
#include "util/Text.h"

namespace yar {

namespace {

const std::string kMain = kSetupSections[0];
const std::string kOverWrite = "Files - OverWrite";
const std::string kAutoexec = "AUTOEXEC.BAT";
const std::string kOverWritePrefix = "File #";
constexpr const char* kLicenceName = "license.txt";

bool IsOneOf(const std::string& name, const auto& names) {
    return std::ranges::any_of(names, [&](const auto& known) { return SameAnsiText(name, known); });
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// A list value with the line of the key it was read by.
struct TListValue {
    std::string Value;
    int Line = 1;
};

class TConfigChecker {
public:
    TConfigChecker(const TProfileReader& file, const TDistributionFacts& facts) : FFile(file), FFacts(facts) {
        LoadSetupConfig(file, FConfig);
        for (const std::string& value : FConfig.DirectoryEntries) FRows.push_back(ParseDirectoryRow(value));
    }

    std::vector<TConfigFinding> Run() {
        for (std::size_t i = 0; i < FFile.Sections().size(); ++i) CheckSection(i);
        CheckInstallDir();
        CheckFiles();
        CheckShortcuts();
        CheckIniEntries();
        CheckLaunch();
        CheckSetContents();
        CheckContrast();
        CheckLanguages();
        std::ranges::stable_sort(FFindings, {}, &TConfigFinding::Line);
        return std::move(FFindings);
    }

private:
    void Add(int line, TFindingLevel level, std::string text) {
        FFindings.push_back({std::max(line, 1), level, std::move(text)});
    }

    // A key of [Setup - Main], else its section, else the first line.
    int MainLine(const std::string& key) const {
        const int line = FFile.KeyLine(kMain, key);
        return line != 0 ? line : FFile.SectionLine(kMain);
    }

    // The values of a list section as the loader read them, each with the line of its key.
    std::vector<TListValue> ListValues(const std::string& section,
                                       const std::vector<std::string>& values) const {
        const std::vector<std::string> keys = FFile.ReadKeyNames(section);
        std::vector<TListValue> out;
        for (std::size_t i = 0; i < values.size() && i < keys.size(); ++i) {
            // A name the listing cut short reads an empty value; that key is reported once, as cut.
            if (const int line = FFile.KeyLine(section, keys[i]); line > 0) out.push_back({values[i], line});
        }
        return out;
    }

    // --- the file's layout: sections, keys, values ---

    void CheckSection(std::size_t index) {
        const TProfileReader::TSection& section = FFile.Sections()[index];
        if (index == 0) {
            for (const auto& entry : section.Entries)
                if (!entry.Name.starts_with(';'))
                    Add(entry.Line, flWarning, "a line before the first section: the setup never reads it");
            return;
        }
        if (!IsOneOf(section.Name, kSetupSections)) {
            Add(section.Line, flWarning,
                "section [" + section.Name + "] is not one the setup reads: its lines are ignored");
            return;
        }
        if (const int first = FFile.SectionLine(section.Name); first != section.Line) {
            Add(section.Line, flError,
                "section [" + section.Name + "] repeats line " + std::to_string(first) +
                    ": the setup reads only the first, so these lines are ignored");
            return;
        }
        if (SameAnsiText(section.Name, kAutoexec)) return; // every line is a line to add, whole
        for (const auto& entry : section.Entries) {
            if (!entry.Name.starts_with(';')) CheckEntry(section, entry);
        }
        if (IsOneOf(section.Name, kListSections)) CheckListing(section);
    }

    void CheckEntry(const TProfileReader::TSection& section, const TProfileReader::TEntry& entry) {
        if (!entry.Value) {
            Add(entry.Line, flWarning, "a line without \"=\" holds no key: the setup does not read it");
            return;
        }
        if (const int first = FFile.KeyLine(section.Name, entry.Name); first != entry.Line) {
            Add(entry.Line, flError,
                "key " + Quoted(entry.Name) + " repeats line " + std::to_string(first) +
                    ": the setup reads the value of line " + std::to_string(first) + " for both");
            return;
        }
        if (entry.Value->size() >= kProfileValueBufferSize)
            Add(entry.Line, flError,
                "the value is " + std::to_string(entry.Value->size()) +
                    " characters long: the setup reads only the first " +
                    std::to_string(kProfileValueBufferSize - 1));
        if (SameAnsiText(section.Name, kMain)) CheckMainKey(entry);
        if (SameAnsiText(section.Name, kOverWrite)) CheckOverWriteKey(entry);
    }

    void CheckMainKey(const TProfileReader::TEntry& entry) {
        const auto key = std::ranges::find_if(
            kMainKeys, [&](const TMainKey& k) { return SameAnsiText(entry.Name, k.Name); });
        if (key == kMainKeys.end()) {
            Add(entry.Line, flWarning,
                "key " + Quoted(entry.Name) + " is not one the setup reads in [" + kMain +
                    "]: it is ignored");
            return;
        }
        if (key->Kind != mkString) CheckNumber(kMain, entry, key->Kind == mkColour ? "a colour" : "a number");
    }

    // A number as the reader hands it over: quotes and all that the profile functions drop are gone.
    void CheckNumber(const std::string& section, const TProfileReader::TEntry& entry,
                     const std::string& what) {
        int32_t number = 0;
        const std::string read = FFile.ReadString(section, entry.Name, std::string());
        if (!TryConfigInteger(read, number))
            Add(entry.Line, flError,
                Quoted(entry.Name) + " is not " + what + ": " + Quoted(read) +
                    " does not convert, so the setup takes the default");
    }

    void CheckOverWriteKey(const TProfileReader::TEntry& entry) {
        const std::string digits = entry.Name.substr(std::min(entry.Name.size(), kOverWritePrefix.size()));
        int32_t position = 0;
        // The loader asks for "File #" and the position in decimal without leading zeros.
        if (!StartsWithText(entry.Name, kOverWritePrefix) || !TryStrToInt(digits, position) || position < 0 ||
            std::to_string(position) != digits) {
            Add(entry.Line, flWarning,
                "key " + Quoted(entry.Name) + " is not one the setup reads: positions are written \"" +
                    kOverWritePrefix + "0\", \"" + kOverWritePrefix + "1\" ...");
            return;
        }
        if (static_cast<std::size_t>(position) >= FConfig.FileEntries.size())
            Add(entry.Line, flError,
                "position " + digits + " is beyond the list: [Files] has " +
                    std::to_string(FConfig.FileEntries.size()) + " entries, counted from 0");
        CheckNumber(kOverWrite, entry, "a number");
    }

    // The loader sees only the keys its 8192-byte listing holds; the key that meets the end of the
    // buffer is listed cut short, so it names no key either.
    void CheckListing(const TProfileReader::TSection& section) {
        const std::vector<std::string> seen = FFile.ReadKeyNames(section.Name);
        std::size_t listed = 0;
        for (const auto& entry : section.Entries) {
            if (entry.Name.starts_with(';') || !entry.Value) continue;
            if (listed >= seen.size() || seen[listed++] != entry.Name) {
                Add(entry.Line, flError,
                    "the setup lists the keys of [" + section.Name + "] in " +
                        std::to_string(kProfileKeyListBufferSize) +
                        " bytes and stops before this one: no entry from here on is read");
                return;
            }
        }
    }

    // --- what the values mean ---

    void CheckInstallDir() {
        const bool found = std::ranges::any_of(
            FRows, [](const TDirectoryRow& r) { return r.Kind == dkFixed && r.Base == dbInstallDir; });
        if (!found)
            Add(FFile.SectionLine("Directories"), flError,
                "no [Directories] row is tagged <INSTALLDIR>: the setup has no installation directory to "
                "install "
                "into");
    }

    bool RowTagged(std::string_view tag) const {
        return std::ranges::any_of(FRows, [&](const TDirectoryRow& r) { return SameTag(r.Tag, tag); });
    }

    // A tag compared with the rows' tags; what names no row leaves the line's effect undone.
    void CheckTag(int line, const std::string& tag, const std::string& effect) {
        if (RowTagged(tag)) return;
        const auto longer = std::ranges::find_if(FRows, [&](const TDirectoryRow& r) {
            return r.Tag.size() > tag.size() && StartsWithText(r.Tag, tag);
        });
        if (longer != FRows.end() && !tag.empty()) {
            Add(line, flError,
                "only " + tag + " is compared here (the text up to the first \">\"), so the row " +
                    longer->Tag + " can never match: " + effect);
            return;
        }
        Add(line, flError, "the tag " + Quoted(tag) + " names no [Directories] row: " + effect);
    }

    void CheckFiles() {
        // The preparation expands every file of the set into one directory under its file name.
        std::map<std::string, TListValue> byName;
        for (const auto& [section, values] : {std::pair{"Files", &FConfig.FileEntries},
                                              std::pair{"WorkStation", &FConfig.WorkStationEntries}}) {
            for (const TListValue& v : ListValues(section, *values)) {
                const TFileEntry entry = ParseFileEntry(v.Value);
                CheckTag(v.Line, entry.Tag, "this file is never installed");
                if (const std::string why = UnsafeEntryNameReason(entry.Name); !why.empty())
                    Add(v.Line, flError,
                        "the file name " + Quoted(entry.Name) + " cannot be expanded: " + why);
                const auto [it, added] =
                    byName.emplace(UpperCase(entry.Name), TListValue{entry.Source, v.Line});
                if (!added && !SameText(it->second.Value, entry.Source))
                    Add(v.Line, flError,
                        "the file name " + entry.Name + " is also that of " + it->second.Value + " (line " +
                            std::to_string(it->second.Line) +
                            "): the set is expanded into one directory, so one would replace the other");
                if (FFacts.SourceExists && !FFacts.SourceExists(entry.Source))
                    Add(v.Line, flError, "the source " + entry.Source + " does not exist");
                else if (!Held(entry.Name))
                    Add(v.Line, flError, "the set holds no " + entry.Name + ": this file is never installed");
            }
        }
    }

    void CheckShortcuts() {
        for (const TListValue& v : ListValues("Desktop", FConfig.DesktopEntries)) {
            const TShortcutEntry entry = ParseShortcutEntry(v.Value);
            CheckTag(v.Line, entry.Target.Tag, "this shortcut is never made");
        }
    }

    void CheckIniEntries() {
        for (const TListValue& v : ListValues("INI - Setup", FConfig.IniSetupEntries)) {
            const TIniEntry entry = ParseIniEntry(v.Value);
            for (const std::string* field : {&entry.Target, &entry.Value})
                if (field->starts_with('<'))
                    CheckTag(v.Line, SplitTag(*field).Tag, "the text " + *field + " is written as it stands");
        }
    }

    bool Installed(const std::string& name) const {
        for (const std::vector<std::string>* list : {&FConfig.FileEntries, &FConfig.WorkStationEntries})
            for (const std::string& value : *list)
                if (SameText(ParseFileEntry(value).Name, name)) return true;
        return false;
    }

    void CheckLaunch() {
        if (FConfig.Launch.empty()) return;
        const int line = MainLine("Launch");
        std::string rest = FConfig.Launch;
        const std::string program = TakeField(rest, kLaunchSeparator);
        // The engine puts the path of the first row whose tag begins the value in its place.
        const auto row = std::ranges::find_if(
            FRows, [&](const TDirectoryRow& r) { return !r.Tag.empty() && StartsWithText(program, r.Tag); });
        if (row == FRows.end()) {
            Add(line, flError,
                "Launch begins with no [Directories] row's tag: the setup starts only what it installed");
            return;
        }
        const std::string name = ExtractFileName(program.substr(row->Tag.size()));
        if (!Installed(name))
            Add(line, flError,
                "Launch names " + Quoted(name) + ", which no [Files] or [WorkStation] entry installs");
    }

    bool Held(const std::string& name) const {
        if (!FFacts.HeldNames) return true;
        return std::ranges::any_of(*FFacts.HeldNames,
                                   [&](const std::string& held) { return SameText(held, name); });
    }

    // A language the setup could never show: neither built in nor in the set.
    void CheckLanguages() {
        for (const std::string& code : FConfig.Languages) {
            const bool builtIn = std::ranges::any_of(BuiltInLanguages(),
                                                     [&](const TLanguageFile& f) { return f.Code == code; });
            if (!builtIn && !Held(LanguageFileName(code)))
                Add(MainLine("Languages"), flWarning,
                    "Languages names " + code + ", which the setup does not have and the set holds no " +
                        LanguageFileName(code) + " for");
        }
    }

    void CheckSetContents() {
        if (!FConfig.BitmapFile.empty() && !Held(FConfig.BitmapFile))
            Add(MainLine("Bitmap File"), flError,
                "the set holds no " + FConfig.BitmapFile + ": the background shows no picture");
        if (!Held(kLicenceName))
            Add(1, flWarning,
                std::string("the set holds no ") + kLicenceName + ": the wizard shows no licence page");
        if (FFacts.Volumes && *FFacts.Volumes != FConfig.InstallDisks)
            Add(MainLine("Install Disks"), flError,
                "\"Install Disks\" is " + std::to_string(FConfig.InstallDisks) + ", the set has " +
                    std::to_string(*FFacts.Volumes) + (*FFacts.Volumes == 1 ? " volume" : " volumes"));
    }

    // --- colours ---

    // Text of a colour the file chooses, on the gradient's two ends: the background's headers, and the
    // caption bars of the wizard and the preparation window (the header's colour on the same gradient).
    // The design's own colours (a file that chooses none) and system colours are left alone.
    void CheckContrast() {
        struct TKeyColour {
            const char* Key;
            int32_t Colour;
        };
        const TKeyColour texts[] = {{"Header Font Color", FConfig.HeaderFontColor},
                                    {"Header2 Font Color", FConfig.Header2FontColor}};
        const TKeyColour ends[] = {{"Dither From", FConfig.DitherFrom}, {"Dither To", FConfig.DitherTo}};
        const auto chosen = [&](const TKeyColour& c) { return FFile.KeyLine(kMain, c.Key) != 0; };
        if (std::ranges::none_of(texts, chosen) && std::ranges::none_of(ends, chosen)) return;
        for (const TKeyColour& text : texts) {
            if (text.Colour < 0) continue;
            for (const TKeyColour& end : ends) {
                if (end.Colour < 0) continue;
                const double ratio =
                    ContrastRatio(static_cast<uint32_t>(text.Colour), static_cast<uint32_t>(end.Colour));
                if (ratio >= kReadableContrast) continue;
                const std::string figures =
                    FixedText(ratio, 1, 0) + ":1 (" + FixedText(kReadableContrast, 1, 0) + ":1 wanted)";
                Add(MainLine(text.Key), flWarning,
                    Quoted(text.Key) + " on " + Quoted(end.Key) + " has a contrast of " + figures +
                        ": the headers and the caption bars' text are hard to read on that end of the "
                        "gradient");
                break;
            }
        }
    }

    const TProfileReader& FFile;
    const TDistributionFacts& FFacts;
    SetupConfig FConfig;
    std::vector<TDirectoryRow> FRows;
    std::vector<TConfigFinding> FFindings;
};

} // namespace

namespace {

// The highest numbered place of a text, 0 for none.
int HighestPlace(const std::string& text) {
    int highest = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && text[i + 1] == '%') {
            ++i;
        } else if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') {
            highest = std::max(highest, text[i + 1] - '0');
        }
    }
    return highest;
}

} // namespace

std::vector<TConfigFinding> CheckLanguageFile(const TProfileReader& file, const TTextDecodes& decodes) {
    std::vector<TConfigFinding> findings;
    const std::optional<int> codePage = LanguageCodePage(file);
    if (!codePage)
        findings.push_back({std::max(file.KeyLine(kLanguageSection, "CodePage"), 1), flError,
                            "CodePage is no code page number: the setup shows English"});
    const int textsLine = file.SectionLine(kTextsSection);
    if (textsLine == 0) {
        findings.push_back(
            {1, flError, std::string("no [") + kTextsSection + "] section: every text shows in English"});
        return findings;
    }
    std::array<bool, kTextCount> given{};
    for (const TProfileReader::TSection& section : file.Sections()) {
        if (!SameText(section.Name, kTextsSection)) continue;
        for (const TProfileReader::TEntry& entry : section.Entries) {
            const std::optional<TTextKey> key = TextKeyNamed(entry.Name);
            if (!key) {
                findings.push_back({entry.Line, flWarning,
                                    "no text has the key " + Quoted(entry.Name) + ": the setup ignores it"});
                continue;
            }
            if (given[*key]) {
                findings.push_back({entry.Line, flError,
                                    Quoted(entry.Name) + " is given twice: the setup reads only the first"});
                continue;
            }
            given[*key] = true;
            const std::string value = file.ReadString(kTextsSection, entry.Name, "");
            if (codePage && decodes && !decodes(value, *codePage))
                findings.push_back({entry.Line, flError,
                                    Quoted(entry.Name) + " is no text of code page " +
                                        std::to_string(*codePage) +
                                        ": the setup shows English in its place"});
            const int places = HighestPlace(kTextRows[*key].English);
            if (HighestPlace(value) > places)
                findings.push_back({entry.Line, flError,
                                    Quoted(entry.Name) + " has a place %" +
                                        std::to_string(HighestPlace(value)) + " with no value: it has " +
                                        std::to_string(places) + (places == 1 ? " value" : " values")});
        }
    }
    for (const TTextRow& row : kTextRows)
        if (!given[row.Key])
            findings.push_back(
                {textsLine, flWarning,
                 std::string("no text for the key ") + Quoted(row.Name) + ": it shows in English"});
    std::ranges::stable_sort(findings, {}, &TConfigFinding::Line);
    return findings;
}

std::vector<TConfigFinding> CheckSetupConfig(const TProfileReader& file, const TDistributionFacts& facts) {
    return TConfigChecker(file, facts).Run();
}

bool HasError(const std::vector<TConfigFinding>& findings) {
    return std::ranges::any_of(findings, [](const TConfigFinding& f) { return f.Level == flError; });
}

std::string FindingLine(const std::string& fileName, const TConfigFinding& finding) {
    return fileName + ":" + std::to_string(finding.Line) + ": " +
           (finding.Level == flError ? "error" : "warning") + ": " + finding.Text;
}

} // namespace yar
