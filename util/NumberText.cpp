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
