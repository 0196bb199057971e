#include "tools/yar/Charset.h"

#include "tools/yar/ToolErrors.h"

#include <array>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace yar::tool {
namespace {

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves undefined stand for the C1 controls of the
// same value, as Windows maps them.
constexpr std::array<uint16_t, 32> High1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

uint32_t CodePoint1252(uint8_t b) {
    return b >= 0x80 && b < 0xA0 ? High1252[b - 0x80] : b;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The next code point of UTF-8 text; nothing for a malformed sequence.
std::optional<uint32_t> NextCodePoint(const std::string& s, std::size_t& i) {
    const auto lead = static_cast<uint8_t>(s[i++]);
    if (lead < 0x80) return lead;
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (more < 0 || lead > 0xF4) return std::nullopt;
    uint32_t cp = lead & (0x3F >> more);
    for (; more > 0; --more) {
        if (i >= s.size() || (static_cast<uint8_t>(s[i]) & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (static_cast<uint8_t>(s[i++]) & 0x3F);
    }
    return cp;
}

} // namespace

#ifdef _WIN32

namespace {

UINT CodePageNumber(const std::string& name) {
    const std::string digits = name.starts_with("windows-") ? name.substr(8)
                               : name.starts_with("cp")     ? name.substr(2)
                                                            : name;
    if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const auto number = static_cast<UINT>(std::stoul(digits));
    return IsValidCodePage(number) ? number : 0;
}

// Text of one code page in another, through UTF-16; nothing when a character has no form there.
std::optional<std::string> Convert(const std::string& text, UINT from, UINT to, bool lenient) {
    if (text.empty()) return text;
    const DWORD strict = lenient ? 0 : MB_ERR_INVALID_CHARS;
    const int wide =
        MultiByteToWideChar(from, strict, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wide <= 0) return std::nullopt;
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(from, strict, text.data(), static_cast<int>(text.size()), w.data(), wide);
    BOOL usedDefault = FALSE;
    BOOL* const check = to == CP_UTF8 ? nullptr : &usedDefault; // UTF-8 has a form for everything
    const DWORD flags = to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int n = WideCharToMultiByte(to, flags, w.data(), wide, nullptr, 0, nullptr, check);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(to, flags, w.data(), wide, out.data(), n, nullptr, nullptr);
    return out;
}

} // namespace

TCharset TCharset::CodePage(const std::string& name) {
    if (CodePageNumber(name) == 0) throw EUsageError("--charset", "no code page of this system: " + name);
    return {TKind::CodePage, name};
}

#else

namespace {

// One conversion descriptor per direction and code page, opened once for the run.
class TConverters {
public:
    TConverters() = default;
    TConverters(const TConverters&) = delete;
    TConverters& operator=(const TConverters&) = delete;
    ~TConverters() {
        for (const auto& entry : FOpen) iconv_close(entry.second);
    }
    iconv_t Get(const std::string& to, const std::string& from) {
        const auto key = std::make_pair(to, from);
        const auto found = FOpen.find(key);
        if (found != FOpen.end()) return found->second;
        const iconv_t cd = iconv_open(to.c_str(), from.c_str());
        if (cd != reinterpret_cast<iconv_t>(-1)) FOpen.emplace(key, cd);
        return cd;
    }

private:
    std::map<std::pair<std::string, std::string>, iconv_t> FOpen;
};

iconv_t Converter(const std::string& to, const std::string& from) {
    static TConverters converters;
    return converters.Get(to, from);
}

// Text of one charset in another. Lenient: a sequence that does not convert becomes U+FFFD and the
// rest goes on; strict: nothing.
std::optional<std::string> Convert(const std::string& text, const std::string& from, const std::string& to,
                                   bool lenient) {
    const iconv_t cd = Converter(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    std::vector<char> in(text.begin(), text.end());
    char* src = in.data();
    std::size_t left = in.size();
    std::array<char, 256> buffer{};
    while (left > 0) {
        char* dst = buffer.data();
        std::size_t room = buffer.size();
        const std::size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer.data(), buffer.size() - room);
        if (r != static_cast<std::size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        if (!lenient) return std::nullopt;
        out += "\xEF\xBF\xBD"; // U+FFFD for the byte that does not convert, then on with the next
        ++src;
        --left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // A code page with shift states ends in its initial one.
    char* dst = buffer.data();
    std::size_t room = buffer.size();
    if (iconv(cd, nullptr, nullptr, &dst, &room) == static_cast<std::size_t>(-1) && !lenient)
        return std::nullopt;
    out.append(buffer.data(), buffer.size() - room);
    return out;
}

} // namespace

TCharset TCharset::CodePage(const std::string& name) {
    if (Converter("UTF-8", name) == reinterpret_cast<iconv_t>(-1) ||
        Converter(name, "UTF-8") == reinterpret_cast<iconv_t>(-1))
        throw EUsageError("--charset", "no code page of this system: " + name);
    return {TKind::CodePage, name};
}

#endif

TCharset ParseCharset(const std::string& name) {
    if (name == "cp1252" || name == "windows-1252") return TCharset::Windows1252;
    if (name == "bytes") return TCharset::Bytes;
    return TCharset::CodePage(name);
}

std::string StoredToUtf8(const std::string& stored, const TCharset& charset) {
    switch (charset.Kind()) {
    case TCharset::TKind::Bytes:
        return stored;
    case TCharset::TKind::CodePage:
#ifdef _WIN32
        return Convert(stored, CodePageNumber(charset.Name()), CP_UTF8, true).value_or(stored);
#else
        return Convert(stored, charset.Name(), "UTF-8", true).value_or(stored);
#endif
    case TCharset::TKind::Windows1252:
        break;
    }
    std::string out;
    for (const char c : stored) AppendUtf8(out, CodePoint1252(static_cast<uint8_t>(c)));
    return out;
}

std::optional<std::string> Utf8ToStored(const std::string& utf8, const TCharset& charset) {
    switch (charset.Kind()) {
    case TCharset::TKind::Bytes:
        return utf8;
    case TCharset::TKind::CodePage:
#ifdef _WIN32
        return Convert(utf8, CP_UTF8, CodePageNumber(charset.Name()), false);
#else
        return Convert(utf8, "UTF-8", charset.Name(), false);
#endif
    case TCharset::TKind::Windows1252:
        break;
    }
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto cp = NextCodePoint(utf8, i);
        if (!cp) return std::nullopt;
        if (*cp < 0x80 || (*cp >= 0xA0 && *cp <= 0xFF)) {
            out += static_cast<char>(*cp);
            continue;
        }
        bool found = false;
        for (std::size_t b = 0; b < High1252.size() && !found; ++b)
            if (High1252[b] == *cp) {
                out += static_cast<char>(0x80 + b);
                found = true;
            }
        if (!found) return std::nullopt;
    }
    return out;
}

} // namespace yar::tool
