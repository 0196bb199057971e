// The check of a setup configuration before it ships. The file is read exactly as the setup reads
// it (the same reader and loader), and every line the setup would pass over in silence, or read
// otherwise than its author meant, is reported with its line number.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/ProfileReader.h"

namespace yar {

enum TFindingLevel : uint8_t {
    flError,   // the setup would do something else than the file says, or refuse it
    flWarning, // a line the setup does not read, or a choice worth a second look
};

struct TConfigFinding {
    int Line = 1; // counts from 1
    TFindingLevel Level = flError;
    std::string Text;

    bool operator==(const TConfigFinding&) const = default;
};

// What is known of the distribution beyond the file itself; a fact left unset is not checked.
struct TDistributionFacts {
    // The number of volumes of the set that ships beside the file.
    std::optional<int32_t> Volumes;
    // The file names the set holds, or that a build would put into it.
    std::optional<std::vector<std::string>> HeldNames;
    // Whether a [Files] or [WorkStation] source is there to be packed.
    std::function<bool(const std::string& Source)> SourceExists;
};

// A language file's text in its code page: whether the system reads it as text of that code page.
using TTextDecodes = std::function<bool(const std::string& text, int codePage)>;

// The findings of a language file (lang-<code>.ini): a bad code page, no [Texts] section, a key no text
// has (the setup ignores it), a key given twice, a text the code page does not hold, a place (%2 ...)
// the English text has no value for, and every key of the English file it lacks (that text shows in
// English), the last on the line of its [Texts] section.
std::vector<TConfigFinding> CheckLanguageFile(const TProfileReader& file, const TTextDecodes& decodes = {});

// Every finding, in the order of the lines.
std::vector<TConfigFinding> CheckSetupConfig(const TProfileReader& file,
                                             const TDistributionFacts& facts = {});

bool HasError(const std::vector<TConfigFinding>& findings);

// "install.cfg:12: error: text", the form compilers use.
std::string FindingLine(const std::string& fileName, const TConfigFinding& finding);

} // namespace yar
