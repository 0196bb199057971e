// The values of the list sections as records of named fields. Every value is split here by the
// field rule, so the install side never counts separators itself. The raw values stay in
// SetupConfig; a short value gives the fields the rule gives it: when the separators run out, each
// further field repeats the remainder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace yar {

// A field that begins with a directory tag: the tag is the text up to and including the first ">",
// the path the text after it. Without ">" the tag is empty and the path is the whole field.
struct TTaggedPath {
    std::string Tag;
    std::string Path;

    bool operator==(const TTaggedPath&) const = default;
};

TTaggedPath SplitTag(std::string_view field);

// Tags name the same directory when they are equal once upper-cased.
bool SameTag(std::string_view a, std::string_view b);

// The tags with a fixed meaning, as written in the file.
inline constexpr std::string_view kInstallDirTag = "<INSTALLDIR>";
inline constexpr std::string_view kWindowsTag = "<WINDOWS>";
inline constexpr std::string_view kWindowsSystemTag = "<WINDOWS_SYSTEM>";
inline constexpr std::string_view kProgramFilesTag = "<PROGRAMFILES>";

// What a [Directories] row's tag makes of its path text.
enum TDirectoryKind : uint8_t {
    dkFixed, // exactly one of the four fixed tags: the directory is the base, the path text is ignored
    dkSub,   // contains "<SUB": the path text below the base
    dkAlt,   // contains "<ALT": the path text follows the root of the Windows drive
    dkOther, // any other tag: as dkAlt
};

// The directory a row's path is taken from.
enum TDirectoryBase : uint8_t {
    dbWindows,       // the Windows directory
    dbWindowsSystem, // its "System" directory
    dbProgramFiles,  // "Program Files" on the Windows drive
    dbInstallDir,    // the installation directory
    dbRoot,          // the root of the Windows drive, which ends in "\": the path text follows directly
    dbNone,          // a "<SUB…><…" tag naming no base: the path text as it stands
};

// A [Directories] value: the tag, then the path text as the whole remainder. A value without "~"
// repeats its tag as the path text.
struct TDirectoryRow {
    std::string Tag; // as configured; compare with SameTag
    std::string Path;
    TDirectoryKind Kind = dkOther;
    TDirectoryBase Base = dbRoot;

    bool operator==(const TDirectoryRow&) const = default;
};

TDirectoryRow ParseDirectoryRow(std::string_view value);

// A [Files] value with its overwrite mark appended by the loader, or a [WorkStation] value as
// written: source path, directory tag, and the mark as the whole remainder. A workstation value of
// two fields repeats its tag as the mark, which is not "X".
struct TFileEntry {
    std::string Source; // only its file name part is used
    std::string Name;   // the file's name in the working directory and at its destination
    std::string Tag;    // the whole field, compound tags included; compare with SameTag
    std::string Mark;

    // Whether an existing file at the destination is replaced only after asking.
    bool AskBeforeReplacing() const { return Mark == "X"; }

    bool operator==(const TFileEntry&) const = default;
};

TFileEntry ParseFileEntry(std::string_view value);

// A [Desktop] value: name, target, desktop mark, Start Menu mark, icon, and the folder as the whole
// remainder. The icon's tag is not used: its path is taken relative to the target's directory.
struct TShortcutEntry {
    std::string Name;
    TTaggedPath Target;
    std::string DesktopMark;
    std::string StartMenuMark;
    TTaggedPath Icon;
    std::string Folder;

    // Marks are compared exactly: "x" offers nothing.
    bool OnDesktop() const { return DesktopMark == "X"; }
    bool InStartMenu() const { return StartMenuMark == "X"; }

    bool operator==(const TShortcutEntry&) const = default;
};

TShortcutEntry ParseShortcutEntry(std::string_view value);

// An [INI - Setup] value: its four "~"-separated fields, the value being the whole remainder. Target
// and Value may begin with a directory tag (SplitTag).
struct TIniEntry {
    std::string Target;  // the INI file (a bare name is in the Windows directory), or the registry key path
    std::string Section; // the INI section, or the subkey below Target
    std::string Name;    // the INI key, or the registry value's name (empty: the key's default value)
    std::string Value;

    // An INI file when Target contains ".INI" in any case, otherwise a registry key path. Asked of the
    // current Target, since replacing its tag may change the answer.
    bool IsIniFile() const;

    bool operator==(const TIniEntry&) const = default;
};

TIniEntry ParseIniEntry(std::string_view value);

// The value again, Target "~" Section "~" Name "~" Value: the form the entry is put back in after its tags
// are replaced. Parsing it gives the same fields, though a short value comes back longer.
std::string IniEntryValue(const TIniEntry& entry);

} // namespace yar
