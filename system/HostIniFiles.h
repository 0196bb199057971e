// TIniFiles that writes, through a TFiles, the bytes Wine's profile functions write for the same
// calls. Every call reads the file afresh and writes it back whole, as those functions do with a
// file changed in the last two seconds (an older one they may serve from a cache that still holds
// the blanks a fresh read would drop):
// - each line loses the blanks at both ends (tab to carriage return, ^Z, space); blank lines go;
// - "[" up to the last "]" on the line starts a section named by the trimmed text between them;
// - any other line is a key: the trimmed text before the first "=" names it, the trimmed text after
//   it is its value; a line without "=" is a key without value; a key with an empty name right
//   after another one is dropped; lines before the first section belong to an unnamed section;
// - names match without regard to ASCII case, blanks around the asked name ignored; a new section
//   is appended to the file, a new key to its section; either keeps the name as asked minus its
//   leading blanks, and a value loses its leading blanks;
// - written back: "[name]" for every named section, then "name=value" (or "name") for each key,
//   every line ended by CR LF; a write that changes nothing leaves the file untouched.
// A read-only file is refused, as by Windows.
#pragma once

#include "system/Files.h"
#include "system/IniFiles.h"

namespace yar {

class THostIniFiles final : public TIniFiles {
public:
    // files is where the INI files are, and whose Windows directory holds files named bare.
    explicit THostIniFiles(TFiles& files) : Files_(files) {}

    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool AddKeys(const std::string& file, const std::string& section,
                 const std::vector<std::string>& keys) override;
    bool DeleteSection(const std::string& file, const std::string& section) override;
    std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& fallback) const override;

private:
    // The file's path: a bare name is in the Windows directory.
    std::string Locate(const std::string& file) const;

    TFiles& Files_;
};

} // namespace yar
