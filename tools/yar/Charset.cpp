#include "tools/yar/Charset.h"

#include "tools/yar/ToolErrors.h"

#include <array>
#include <cstdint>

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

TCharset ParseCharset(const std::string& name) {
    if (name == "cp1252" || name == "windows-1252") return TCharset::Windows1252;
    if (name == "bytes") return TCharset::Bytes;
    throw EUsageError("--charset", "cp1252 or bytes");
}

std::string StoredToUtf8(const std::string& stored, TCharset charset) {
    if (charset == TCharset::Bytes) return stored;
    std::string out;
    for (const char c : stored) AppendUtf8(out, CodePoint1252(static_cast<uint8_t>(c)));
    return out;
}

std::optional<std::string> Utf8ToStored(const std::string& utf8, TCharset charset) {
    if (charset == TCharset::Bytes) return utf8;
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
