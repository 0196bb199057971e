#include "util/Text.h"

#include <algorithm>

namespace yar {

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

bool StartsWithText(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

} // namespace yar
