// Reading rules of the setup configuration that need no operating system: number conversion as the
// runtime's StrToIntDef does it, booleans and colours read as numbers, and the field rule that
// splits list values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace yar {

// The runtime's Val for a signed 32-bit integer: leading blanks, then either an optional "+"/"-"
// and decimal digits, or "$" and hexadecimal digits. Hexadecimal values up to $FFFFFFFF are taken
// bit for bit (so $FFFFFFFF is -1); decimal values outside the signed 32-bit range, trailing text
// and empty input do not convert. Returns false when the text does not convert.
bool TryStrToInt(std::string_view text, int32_t& value);

// TryStrToInt, or fallback when the text does not convert.
int32_t StrToIntDef(std::string_view text, int32_t fallback);

// A configuration integer: a value of more than two characters that starts with "0x" or "0X" is
// hexadecimal (the prefix stands for "$"); otherwise as StrToIntDef.
int32_t ConfigInteger(std::string_view value, int32_t fallback);
// The same conversion; false when the value does not convert (the reader then takes the default).
bool TryConfigInteger(std::string_view value, int32_t& number);

// A configuration boolean: the value read as a configuration integer with 0 or 1 as fallback;
// any number other than 0 is true.
bool ConfigBoolean(std::string_view value, bool fallback);

// The separator of the fields inside list values, and the one of the "Launch" value.
inline constexpr char kFieldSeparator = '~';
inline constexpr char kLaunchSeparator = ',';

// Whether the launch choice is preselected: a program is configured and it is no chained setup
// program (its upper-case text does not contain "SETUP.").
bool LaunchPreselected(const std::string& Launch);

// Takes the next field off remainder: the text before the first separator, the remainder then
// being the text after it. When no separator is left, the field is the whole remainder and the
// remainder stays as it was, so a short value repeats its last field.
std::string TakeField(std::string& remainder, char separator = kFieldSeparator);

// The fields of a value of a layout with count fields: count - 1 fields taken by TakeField, then
// the whole remainder (separators included) as the last one.
std::vector<std::string> SplitFields(std::string_view value, std::size_t count,
                                     char separator = kFieldSeparator);

} // namespace yar
