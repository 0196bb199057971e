#include "config/ConfigRules.h"

#include "util/Text.h"

namespace yar {

namespace {

constexpr uint32_t kDecimalLimit = 0x7FFFFFFF / 10; // larger values overflow on the next digit
constexpr uint32_t kHexLimit = 0x0FFFFFFF;          // larger values lose bits on the next digit

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool ParseHex(std::string_view digits, int32_t& value) {
    if (digits.empty()) return false;
    uint32_t result = 0;
    for (char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0 || result > kHexLimit) return false;
        result = (result << 4) | static_cast<uint32_t>(digit);
    }
    value = static_cast<int32_t>(result); // $80000000..$FFFFFFFF are the negative values
    return true;
}

bool ParseDecimal(std::string_view digits, bool negative, int32_t& value) {
    if (digits.empty()) return false;
    uint32_t result = 0;
    for (char c : digits) {
        if (c < '0' || c > '9' || result > kDecimalLimit) return false;
        result = result * 10 + static_cast<uint32_t>(c - '0');
    }
    if (negative) {
        if (result > 0x80000000u) return false;
        value = static_cast<int32_t>(0u - result);
        return true;
    }
    if (result > 0x7FFFFFFFu) return false;
    value = static_cast<int32_t>(result);
    return true;
}

} // namespace

bool TryStrToInt(std::string_view text, int32_t& value) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return false;
    text.remove_prefix(start);
    switch (text.front()) {
    case '$':
        return ParseHex(text.substr(1), value);
    case '-':
        return ParseDecimal(text.substr(1), true, value);
    case '+':
        return ParseDecimal(text.substr(1), false, value);
    default:
        return ParseDecimal(text, false, value);
    }
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
    int32_t value = 0;
    return TryStrToInt(text, value) ? value : fallback;
}

bool TryConfigInteger(std::string_view value, int32_t& number) {
    // The prefix stands for "$": what follows it is read as hexadecimal digits.
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X'))
        return ParseHex(value.substr(2), number);
    return TryStrToInt(value, number);
}

int32_t ConfigInteger(std::string_view value, int32_t fallback) {
    int32_t number = 0;
    return TryConfigInteger(value, number) ? number : fallback;
}

bool ConfigBoolean(std::string_view value, bool fallback) {
    return ConfigInteger(value, fallback ? 1 : 0) != 0;
}

bool LaunchPreselected(const std::string& Launch) {
    return !Launch.empty() && UpperCase(Launch).find("SETUP.") == std::string::npos;
}

std::string TakeField(std::string& remainder, char separator) {
    const std::size_t at = remainder.find(separator);
    if (at == std::string::npos) return remainder;
    std::string field = remainder.substr(0, at);
    remainder.erase(0, at + 1);
    return field;
}

std::vector<std::string> SplitFields(std::string_view value, std::size_t count, char separator) {
    std::vector<std::string> fields;
    if (count == 0) return fields;
    std::string remainder(value);
    for (std::size_t i = 1; i < count; ++i) fields.push_back(TakeField(remainder, separator));
    fields.push_back(std::move(remainder));
    return fields;
}

} // namespace yar
