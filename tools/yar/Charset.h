// Stored names are 8-bit ANSI text of the machine that built the archive, Windows-1252 on the
// machines this format comes from. On Windows the tool hands them to the system as they are; elsewhere
// it shows and writes them as UTF-8, and packs UTF-8 names back into their ANSI form. Archives built
// on machines of other code pages (437 for DOS, 932 for Japanese Windows ...) are read with --charset.
#pragma once

#include <optional>
#include <string>

namespace yar::tool {

class TCharset {
public:
    enum class TKind { Bytes, Windows1252, CodePage };

    static const TCharset Bytes;       // names as stored
    static const TCharset Windows1252; // built in: needs nothing of the system
    // A code page the system converts: an iconv name natively ("cp437", "SHIFT_JIS" ...), on Windows a
    // code page number. Raises EUsageError for one the system does not know.
    static TCharset CodePage(const std::string& name);

    TKind Kind() const { return FKind; }
    const std::string& Name() const { return FName; }
    bool operator==(const TCharset& other) const { return FKind == other.FKind && FName == other.FName; }

private:
    TCharset(TKind kind, std::string name) : FKind(kind), FName(std::move(name)) {}
    TKind FKind;
    std::string FName;
};

inline const TCharset TCharset::Bytes{TKind::Bytes, "bytes"};
inline const TCharset TCharset::Windows1252{TKind::Windows1252, "cp1252"};

// The charset names are converted with by default: none on Windows, whose ANSI calls take them as
// they are, Windows-1252 elsewhere.
#ifdef _WIN32
inline const TCharset& NativeNameCharset = TCharset::Bytes;
#else
inline const TCharset& NativeNameCharset = TCharset::Windows1252;
#endif

// "cp1252" (or "windows-1252"), "bytes" (names as stored), or another code page the system converts
// ("cp437", "cp850", "cp932", "windows-1250" ...); anything else raises EUsageError.
TCharset ParseCharset(const std::string& name);

// A stored name as UTF-8; a byte the code page does not define becomes the system's replacement
// character (U+FFFD natively).
std::string StoredToUtf8(const std::string& stored, const TCharset& charset);
// The stored form of a UTF-8 name; nothing when a character has none, or the text is no UTF-8.
std::optional<std::string> Utf8ToStored(const std::string& utf8, const TCharset& charset);

} // namespace yar::tool
