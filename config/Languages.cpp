#include "config/Languages.h"

#include "config/ProfileReader.h"
#include "util/Text.h"

#include <algorithm>

namespace yar {

// The bytes of config/languages/lang-*.ini, generated at build time.
extern const std::vector<TLanguageFile> kShippedLanguages;

namespace {

constexpr std::string_view kPrefix = "lang-";
constexpr std::string_view kSuffix = ".ini";
constexpr std::size_t kMaxCodeLength = 15;

bool IsCodeCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

bool Holds(const std::vector<std::string>& codes, std::string_view code) {
    return std::any_of(codes.begin(), codes.end(), [&](const std::string& c) { return SameText(c, code); });
}

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

} // namespace

const std::vector<TLanguageFile>& BuiltInLanguages() {
    static const std::vector<TLanguageFile> languages = [] {
        std::vector<TLanguageFile> all = {{kEnglish, EnglishLanguageFile()}};
        all.insert(all.end(), kShippedLanguages.begin(), kShippedLanguages.end());
        return all;
    }();
    return languages;
}

std::optional<std::string> LanguageCodeOfFileName(std::string_view fileName) {
    if (fileName.size() <= kPrefix.size() + kSuffix.size()) return std::nullopt;
    if (!SameText(fileName.substr(0, kPrefix.size()), kPrefix) ||
        !SameText(fileName.substr(fileName.size() - kSuffix.size()), kSuffix))
        return std::nullopt;
    const std::string_view code =
        fileName.substr(kPrefix.size(), fileName.size() - kPrefix.size() - kSuffix.size());
    if (code.size() > kMaxCodeLength || !std::all_of(code.begin(), code.end(), IsCodeCharacter))
        return std::nullopt;
    return LowerCase(std::string(code));
}

std::string LanguageFileName(std::string_view code) {
    return std::string(kPrefix) + std::string(code) + std::string(kSuffix);
}

std::string ChooseLanguage(const std::vector<std::string>& available, const std::vector<std::string>& allowed,
                           const std::optional<std::string>& forced, const std::string& interfaceLanguage) {
    const auto usable = [&](std::string_view code) {
        return !code.empty() && (Holds(available, code) || SameText(code, kEnglish)) &&
               (allowed.empty() || Holds(allowed, code));
    };
    if (forced && usable(*forced)) return LowerCase(*forced);
    if (usable(interfaceLanguage)) return LowerCase(interfaceLanguage);
    // "de-AT": the language without its region.
    const std::string primary = interfaceLanguage.substr(0, interfaceLanguage.find('-'));
    if (usable(primary)) return LowerCase(primary);
    if (usable(kEnglish)) return kEnglish;
    // English is not allowed: the first allowed one there is.
    for (const std::string& code : allowed)
        if (usable(code)) return LowerCase(code);
    return kEnglish;
}

std::optional<int> LanguageCodePage(const TProfileSource& file) {
    const std::string value = file.ReadString(kLanguageSection, "CodePage", "1252");
    if (value.empty() || value.size() > 5 || value.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    int codePage = 0;
    for (const char digit : value) codePage = codePage * 10 + (digit - '0');
    if (codePage <= 0) return std::nullopt;
    return codePage;
}

std::optional<TTexts> LanguageTexts(std::string_view fileText, const TCodePageConverter& convert) {
    const auto file = TProfileReader::FromText(fileText);
    const std::optional<int> codePage = LanguageCodePage(*file);
    if (!codePage) return std::nullopt;
    bool whole = true;
    TTexts texts = TTexts::FromProfile(*file, [&](const std::string& text) {
        std::optional<std::string> converted = convert(text, *codePage);
        whole = whole && converted.has_value();
        return converted;
    });
    if (!whole) return std::nullopt;
    return texts;
}

std::vector<std::string> LanguageList(std::string_view list) {
    std::vector<std::string> codes;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        if (std::string code = Trimmed(list.substr(start, comma - start)); !code.empty())
            codes.push_back(LowerCase(code));
        start = comma + 1;
    }
    return codes;
}

} // namespace yar
