// Stored names are 8-bit ANSI text of the machine that built the archive, Windows-1252 on the
// machines this format comes from. On Windows the tool hands them to the system as they are; elsewhere
// it shows and writes them as UTF-8, and packs UTF-8 names back into their ANSI form.
#pragma once

#include <optional>
#include <string>

namespace yar::tool {

enum class TCharset { Bytes, Windows1252 };

// The charset names are converted with by default: none on Windows, whose ANSI calls take them as
// they are, Windows-1252 elsewhere.
#ifdef _WIN32
inline constexpr TCharset NativeNameCharset = TCharset::Bytes;
#else
inline constexpr TCharset NativeNameCharset = TCharset::Windows1252;
#endif

// "cp1252" (or "windows-1252") and "bytes" (names as stored); anything else raises EUsageError.
TCharset ParseCharset(const std::string& name);

// A stored name as UTF-8.
std::string StoredToUtf8(const std::string& stored, TCharset charset);
// The stored form of a UTF-8 name; nothing when a character has none, or the text is no UTF-8.
std::optional<std::string> Utf8ToStored(const std::string& utf8, TCharset charset);

} // namespace yar::tool
