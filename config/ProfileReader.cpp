#include "config/ProfileReader.h"

#include <algorithm>

#include "util/FileBytes.h"
#include "util/Text.h"

namespace yar {

namespace {

// Characters the profile functions drop around names and values: the C blanks and Ctrl-Z (a DOS
// end-of-file mark). The other control characters and the no-break space stay.
bool IsProfileBlank(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u == ' ' || (u >= 0x09 && u <= 0x0D) || u == 0x1A;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsProfileBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsProfileBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A value as the profile functions copy it into a buffer of kProfileValueBufferSize bytes: a value
// enclosed in matching single or double quotes loses its opening quote, and its last character
// when what follows the opening quote is at most the buffer's size. So a closing quote that is
// cut off takes a character of the text with it, as the profile functions do.
std::string CopyEntry(std::string_view value) {
    constexpr std::size_t capacity = kProfileValueBufferSize - 1;
    bool quoted = false;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::string copy(value.substr(0, capacity));
    if (quoted && value.size() <= kProfileValueBufferSize) copy.pop_back();
    return copy;
}

// The caller's fallback loses its trailing spaces, all but its first character, before it is
// copied like a value.
std::string CopyFallback(std::string_view fallback) {
    fallback = UpToNul(fallback);
    while (fallback.size() > 1 && fallback.back() == ' ') fallback.remove_suffix(1);
    return CopyEntry(fallback);
}

// The next line of text: a carriage return and a line feed each end a line, alone or in pairs.
std::string_view NextLine(std::string_view& text) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    const std::string_view line = text.substr(0, next);
    text.remove_prefix(next);
    return line;
}

// The key listing as the profile functions fill a buffer of kProfileKeyListBufferSize bytes:
// each name followed by a NUL, the name that meets the end of the buffer cut so that its NUL and
// the closing one still fit.
std::string FillKeyListing(const std::vector<std::string_view>& names) {
    std::string buffer(kProfileKeyListBufferSize, '\0');
    std::size_t left = buffer.size();
    std::size_t at = 0;
    for (std::string_view name : names) {
        if (left <= 2) break;
        const std::size_t copied = std::min(name.size(), left - 2);
        std::copy_n(name.begin(), copied, buffer.begin() + static_cast<std::ptrdiff_t>(at));
        at += copied + 1;
        left -= copied + 1;
        if (left < 2) break;
    }
    return buffer;
}

} // namespace

TProfileReader::TProfileReader(const std::string& fileName) {
    // A file that cannot be read reads as an empty one, as the profile functions see it.
    Parse(ReadFileBytes(fileName).Bytes);
}

std::unique_ptr<TProfileReader> TProfileReader::FromText(std::string_view text) {
    std::unique_ptr<TProfileReader> reader(new TProfileReader());
    reader->Parse(text);
    return reader;
}

void TProfileReader::Parse(std::string_view text) {
    constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";
    if (text.starts_with(utf8Mark)) text.remove_prefix(utf8Mark.size());
    Sections_.assign(1, TSection{});
    int number = 0;
    bool afterReturn = false;
    while (!text.empty()) {
        const std::string_view raw = NextLine(text);
        // Lines are numbered as an editor shows them: a carriage return and line feed pair ends one.
        if (!(raw == "\n" && afterReturn)) ++number;
        afterReturn = raw.ends_with('\r');
        const std::string_view line = TrimBlanks(raw);
        if (line.empty()) continue;
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string_view::npos && close != 0) {
                const std::string_view name = TrimBlanks(UpToNul(line.substr(1, close - 1)));
                Sections_.push_back(TSection{std::string(name), {}, number});
                continue;
            }
            // A "[" line without a closing "]" is read as an ordinary line.
        }
        TEntry entry;
        entry.Line = number;
        const std::size_t equals = line.find('=');
        entry.Name = UpToNul(TrimBlanks(line.substr(0, equals)));
        if (equals != std::string_view::npos)
            entry.Value = std::string(UpToNul(TrimBlanks(line.substr(equals + 1))));
        Sections_.back().Entries.push_back(std::move(entry));
    }
}

const TProfileReader::TSection* TProfileReader::FindSection(const std::string& name) const {
    const std::string_view wanted = TrimBlanks(UpToNul(name));
    const auto found = std::find_if(Sections_.begin(), Sections_.end(),
                                    [&](const TSection& s) { return SameAnsiText(s.Name, wanted); });
    return found == Sections_.end() ? nullptr : &*found;
}

const TProfileReader::TEntry* TProfileReader::FindKey(const std::string& section,
                                                      const std::string& key) const {
    const TSection* s = FindSection(section);
    if (s == nullptr) return nullptr;
    const std::string_view wanted = TrimBlanks(UpToNul(key));
    const auto found = std::find_if(s->Entries.begin(), s->Entries.end(),
                                    [&](const TEntry& e) { return SameAnsiText(e.Name, wanted); });
    return found == s->Entries.end() ? nullptr : &*found;
}

std::string TProfileReader::ReadString(const std::string& section, const std::string& key,
                                       const std::string& fallback) const {
    const TEntry* found = FindKey(section, key);
    if (found != nullptr && found->Value) return CopyEntry(*found->Value);
    return CopyFallback(fallback);
}

int TProfileReader::SectionLine(const std::string& name) const {
    const TSection* s = FindSection(name);
    return s == nullptr ? 0 : s->Line;
}

int TProfileReader::KeyLine(const std::string& section, const std::string& key) const {
    const TEntry* found = FindKey(section, key);
    return found == nullptr ? 0 : found->Line;
}

std::vector<std::string_view> TProfileReader::ListedNames(const std::string& section) const {
    const TSection* s = FindSection(section);
    std::vector<std::string_view> names;
    if (s == nullptr) return names;
    for (const TEntry& e : s->Entries) {
        // Comment lines and lines without "=" are not listed.
        if (!e.Name.starts_with(';') && e.Value) names.emplace_back(e.Name);
    }
    return names;
}

std::vector<std::string> TProfileReader::ReadKeyNames(const std::string& section) const {
    const std::vector<std::string_view> names = ListedNames(section);
    if (names.empty()) return {};
    return StringsFromListing(FillKeyListing(names));
}

std::vector<std::string> TProfileReader::AllKeyNames(const std::string& section) const {
    const std::vector<std::string_view> names = ListedNames(section);
    return {names.begin(), names.end()};
}

std::vector<std::string> TProfileReader::ReadSectionLines(const std::string& section) const {
    const TSection* s = FindSection(section);
    if (s == nullptr) return {};
    // The lines as the section read joins them, each with its NUL and one more at the end.
    std::string joined;
    for (const TEntry& e : s->Entries) {
        if (e.Name.starts_with(';')) continue;
        joined += e.Name;
        if (e.Value) {
            joined += '=';
            joined += *e.Value;
        }
        joined += '\0';
    }
    if (joined.empty()) return {};
    joined += '\0';
    // What does not fit is cut two bytes short of the buffer's end, which then holds two NULs.
    if (joined.size() > kProfileKeyListBufferSize) joined.resize(kProfileKeyListBufferSize - 2);
    return StringsFromListing(joined);
}

} // namespace yar
