// The languages a run may show: English in the code, German, French and Japanese built into the
// programs from config/languages/, and the files a vendor ships in the set (lang-<code>.ini, packed into
// the archive, so read from the run's private working directory after the preparation). The choice:
// /LANG=code, else the user's interface language, else English; each only when available and allowed by
// install.cfg's "Languages" list.
#pragma once

#include "config/Texts.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yar {

inline constexpr const char* kEnglish = "en";

struct TLanguageFile {
    std::string Code; // "de"
    std::string Text; // the file's bytes
};

// The language files built into the programs, English's generated one among them.
const std::vector<TLanguageFile>& BuiltInLanguages();

// "de" for "lang-de.ini" (letter case ignored), nothing for a name of another form. A code is letters,
// digits and "-", 1 to 15 of them.
std::optional<std::string> LanguageCodeOfFileName(std::string_view fileName);
std::string LanguageFileName(std::string_view code);

// The code of the language to show among those available (English always is), as described above.
// allowed empty: every one available. Codes compare without regard to letter case; "de" matches an
// interface language "de-AT".
std::string ChooseLanguage(const std::vector<std::string>& available, const std::vector<std::string>& allowed,
                           const std::optional<std::string>& forced, const std::string& interfaceLanguage);

// A language file's code page: [Language] CodePage, 1252 when it names none; nothing for a value that is
// no code page number.
std::optional<int> LanguageCodePage(const TProfileSource& file);

// A text in a code page, in the program's own code page; nothing when it has no form there.
using TCodePageConverter = std::function<std::optional<std::string>(const std::string& text, int codePage)>;

// The texts of a language file, converted from its code page; nothing when its code page is bad or one of
// its texts cannot be shown in the program's code page: half a language is not shown.
std::optional<TTexts> LanguageTexts(std::string_view fileText, const TCodePageConverter& convert);

// The codes of a "Languages" list: "en, de,ja" -> {"en", "de", "ja"}.
std::vector<std::string> LanguageList(std::string_view list);

} // namespace yar
