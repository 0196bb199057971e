// Numbers as text without the C library's formatted output, which brings its floating-point printer
// into every program that calls it once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace yar {

enum TLetterCase { lcLower, lcUpper };

// value in hexadecimal, zeros in front up to digits, as printf's "%0*x" (or "%0*X" with lcUpper).
std::string HexText(uint64_t value, std::size_t digits, TLetterCase letters = lcLower);

// Two lower-case hexadecimal digits for each byte, in order, and back: nothing for text HexBytes does not
// write.
std::string HexBytes(std::string_view bytes);
std::optional<std::string> BytesFromHex(std::string_view text);

// value rounded to decimals places (at most 9), blanks in front up to width, as printf's "%*.*f"; for
// values of at most 2^53 / 10^decimals, rounding a half away from zero.
std::string FixedText(double value, int decimals, std::size_t width);

} // namespace yar
