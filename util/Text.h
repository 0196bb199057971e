// Text rules of the system: 8-bit ANSI strings whose case-insensitive comparisons upper-case the
// ASCII letters of both sides and leave every other byte as it is.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace yar {

inline char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The parts one after another: one call where a chain of + would make a string for each step, which the
// programs that ship carry at every place it is written.
std::string Concat(std::initializer_list<std::string_view> parts);

std::string UpperCase(std::string text);
std::string LowerCase(std::string text);

// Whether part occurs in text, byte for byte.
inline bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// Equal once both sides are upper-cased.
bool SameText(std::string_view a, std::string_view b);

// Hash and equality of texts as SameText compares them, for hashed sets and maps of names.
struct TSameTextHash {
    std::size_t operator()(std::string_view text) const;
};
struct TSameTextEqual {
    bool operator()(std::string_view a, std::string_view b) const { return SameText(a, b); }
};

// Whether text begins with prefix, ignoring case as SameText does.
bool StartsWithText(std::string_view text, std::string_view prefix);

// The text up to its first NUL: all the system's C-string functions see of it.
inline std::string_view UpToNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// Names the system itself looks up (profile sections and keys, registry keys and values) ignore the
// case of the ANSI code page, taken here as Windows-1252: its accented letters fold as well.
char UpperAnsi(char c);
std::string UpperAnsiText(std::string_view text);
bool SameAnsiText(std::string_view a, std::string_view b);

} // namespace yar
