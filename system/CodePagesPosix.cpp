#include "system/CodePages.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace yar {

namespace {

std::string IconvName(int codePage) {
    if (codePage == kProgramText || codePage == kUtf8) return "UTF-8";
    return "CP" + std::to_string(codePage);
}

} // namespace

std::optional<std::string> ConvertCodePage(const std::string& text, int from, int to) {
    iconv_t cd = iconv_open(IconvName(to).c_str(), IconvName(from).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    const std::unique_ptr<void, int (*)(iconv_t)> closer(cd, iconv_close);
    std::string converted(text.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(text.data()); // iconv's interface; the text is not changed
    std::size_t inLeft = text.size();
    char* out = converted.data();
    std::size_t outLeft = converted.size();
    // An invalid or unconvertible byte stops iconv with an error: then nothing.
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    converted.resize(converted.size() - outLeft);
    return converted;
}

std::string UserInterfaceLanguage() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name); // NOLINT(concurrency-mt-unsafe): read at the start only
        if (value == nullptr || *value == '\0') continue;
        const std::string locale = value;
        if (locale == "C" || locale == "POSIX") return {};
        return locale.substr(0, locale.find_first_of("_.@"));
    }
    return {};
}

} // namespace yar
