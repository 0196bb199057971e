#include "util/NumberText.h"

#include <cmath>
#include <utility>

namespace yar {

namespace {

constexpr char kLowerDigits[] = "0123456789abcdef";
constexpr char kUpperDigits[] = "0123456789ABCDEF";

std::string PadLeft(std::string text, std::size_t width, char fill) {
    if (text.size() < width) text.insert(0, width - text.size(), fill);
    return text;
}

} // namespace

std::string HexText(uint64_t value, std::size_t digits, TLetterCase letters) {
    const char* const set = letters == lcUpper ? kUpperDigits : kLowerDigits;
    std::string text;
    do {
        text.insert(text.begin(), set[value & 0x0F]);
        value >>= 4;
    } while (value != 0);
    return PadLeft(std::move(text), digits, '0');
}

std::string HexBytes(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += kLowerDigits[byte >> 4];
        text += kLowerDigits[byte & 0x0F];
    }
    return text;
}

std::optional<std::string> BytesFromHex(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = digit(text[i]);
        const int low = digit(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes += static_cast<char>((high << 4) | low);
    }
    return bytes;
}

std::string FixedText(double value, int decimals, std::size_t width) {
    double scale = 1.0;
    for (int i = 0; i < decimals; ++i) scale *= 10.0;
    const long long scaled = std::llround(value * scale);
    const unsigned long long magnitude =
        scaled < 0 ? 0ULL - static_cast<unsigned long long>(scaled) : static_cast<unsigned long long>(scaled);
    std::string text = std::to_string(magnitude);
    if (decimals > 0) {
        const auto places = static_cast<std::size_t>(decimals);
        if (text.size() <= places) text.insert(0, places + 1 - text.size(), '0');
        text.insert(text.size() - places, 1, '.');
    }
    if (scaled < 0) text.insert(0, 1, '-');
    return PadLeft(std::move(text), width, ' ');
}

} // namespace yar
