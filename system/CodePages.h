// Texts of another code page and the user's language, as the system knows them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace yar {

// The program's own narrow text: the system's ANSI code page on Windows (what the ANSI functions show),
// UTF-8 elsewhere.
inline constexpr int kProgramText = 0;
inline constexpr int kUtf8 = 65001;

// text, in code page from, in code page to (kProgramText: the program's own); nothing when a byte does not
// belong to from or a character has no form in to (nothing stands in for it). Through the system: the
// code page functions on Windows, iconv ("CP<number>") elsewhere.
std::optional<std::string> ConvertCodePage(const std::string& text, int from, int to);

// The language of the user's interface as its ISO 639 code ("de", "ja"), empty when unknown: the user's
// UI language on Windows, LC_ALL, LC_MESSAGES or LANG elsewhere.
std::string UserInterfaceLanguage();

#ifdef _WIN32
// text of the system's ANSI code page in UTF-16, for the system functions that take only wide text, and
// back as the ANSI functions give it (a character the code page lacks as they replace it).
std::wstring WideFromAnsi(const std::string& text);
std::string AnsiFromWide(std::wstring_view text);
#endif

} // namespace yar
