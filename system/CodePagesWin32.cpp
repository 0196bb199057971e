#include "system/CodePages.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace yar {

[[gnu::noinline]] std::wstring WideFromAnsi(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

[[gnu::noinline]] std::string AnsiFromWide(std::wstring_view text) {
    const int wide = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), wide, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

std::optional<std::string> ConvertCodePage(const std::string& text, int from, int to) {
    const UINT target = to == kProgramText ? GetACP() : static_cast<UINT>(to);
    if (text.empty()) return text;
    if (text.size() > INT_MAX / 2) return std::nullopt;
    const int length = static_cast<int>(text.size());
    const int wide =
        MultiByteToWideChar(static_cast<UINT>(from), MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (wide <= 0) return std::nullopt;
    std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(static_cast<UINT>(from), MB_ERR_INVALID_CHARS, text.data(), length, utf16.data(),
                        wide);
    // A character the target lacks must not turn into a look-alike or a question mark: then nothing.
    BOOL lost = FALSE;
    const bool utf = target == CP_UTF8 || target == CP_UTF7;
    const DWORD flags = utf ? 0 : WC_NO_BEST_FIT_CHARS;
    const int bytes =
        WideCharToMultiByte(target, flags, utf16.data(), wide, nullptr, 0, nullptr, utf ? nullptr : &lost);
    if (bytes <= 0 || lost) return std::nullopt;
    std::string converted(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(target, flags, utf16.data(), wide, converted.data(), bytes, nullptr,
                        utf ? nullptr : &lost);
    if (lost) return std::nullopt;
    return converted;
}

std::string UserInterfaceLanguage() {
    const LANGID language = GetUserDefaultUILanguage();
    char code[16] = {};
    if (GetLocaleInfoA(MAKELCID(language, SORT_DEFAULT), LOCALE_SISO639LANGNAME, code, sizeof code) <= 0)
        return {};
    return code;
}

} // namespace yar
