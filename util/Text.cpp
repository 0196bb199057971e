#include "util/Text.h"

#include <algorithm>
#include <cstdint>

namespace yar {

std::string Concat(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const std::string_view part : parts) size += part.size();
    std::string text;
    text.reserve(size);
    for (const std::string_view part : parts) text.append(part);
    return text;
}

std::string UpperCase(std::string text) {
    std::ranges::transform(text, text.begin(), UpperAscii);
    return text;
}

std::string LowerCase(std::string text) {
    std::ranges::transform(text, text.begin(), LowerAscii);
    return text;
}

bool SameText(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

std::size_t TSameTextHash::operator()(std::string_view text) const {
    // FNV-1a over the upper-cased bytes: texts SameText finds equal hash alike.
    uint64_t h = 14695981039346656037ULL;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(UpperAscii(c));
        h *= 1099511628211ULL;
    }
    return static_cast<std::size_t>(h);
}

bool StartsWithText(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

char UpperAnsi(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char>(u - 0x20);
    switch (u) {
    case 0x9A: // s caron
    case 0x9C: // oe
    case 0x9E: // z caron
        return static_cast<char>(u - 0x10);
    case 0xFF: // y diaeresis
        return static_cast<char>(0x9F);
    default:
        return c;
    }
}

std::string UpperAnsiText(std::string_view text) {
    std::string upper(text.size(), '\0');
    std::ranges::transform(text, upper.begin(), UpperAnsi);
    return upper;
}

bool SameAnsiText(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return UpperAnsi(x) == UpperAnsi(y); });
}

} // namespace yar
