#include "util/EntryNames.h"

#include "util/Text.h"

#include <algorithm>
#include <array>

namespace yar {
namespace {

bool IsAnySeparator(char c) {
    return c == '\\' || c == '/';
}

// A drive letter and its colon at the start, as in "C:name" or "C:\dir\name".
bool HasDrivePrefix(std::string_view name) {
    const auto letter = static_cast<unsigned char>(name.empty() ? 0 : name[0]);
    return name.size() >= 2 && name[1] == ':' && ((letter | 0x20) >= 'a' && (letter | 0x20) <= 'z');
}

// Whether a directory part of the name is "..": blanks and dots at its end are dropped by Windows, so
// ".. " and "..." climb as well.
bool ClimbsOut(std::string_view storedName) {
    std::size_t start = 0;
    while (start <= storedName.size()) {
        std::size_t end = start;
        while (end < storedName.size() && !IsAnySeparator(storedName[end])) ++end;
        std::string_view part = storedName.substr(start, end - start);
        while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
        if (part.size() >= 2 && part.find_first_not_of('.') == std::string_view::npos) return true;
        start = end + 1;
    }
    return false;
}

} // namespace

bool IsDeviceName(std::string_view name) {
    static constexpr std::array<std::string_view, 25> kDevices = {
        "CON",  "PRN",  "AUX",  "NUL",  "COM1",   "COM2",    "COM3",  "COM4", "COM5",
        "COM6", "COM7", "COM8", "COM9", "LPT1",   "LPT2",    "LPT3",  "LPT4", "LPT5",
        "LPT6", "LPT7", "LPT8", "LPT9", "CONIN$", "CONOUT$", "CLOCK$"};
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    const std::string upper = UpperCase(std::string(stem));
    return std::find(kDevices.begin(), kDevices.end(), upper) != kDevices.end();
}

std::string_view EntryFileName(std::string_view storedName) {
    const std::size_t last = storedName.find_last_of("\\/:");
    return last == std::string_view::npos ? storedName : storedName.substr(last + 1);
}

std::string UnsafeEntryNameReason(std::string_view storedName) {
    const std::string_view name = EntryFileName(storedName);
    const std::size_t colon = storedName.find(':');
    if (colon != std::string_view::npos &&
        !(colon == 1 && HasDrivePrefix(storedName) && storedName.find(':', 2) == std::string_view::npos))
        return "it names a stream";
    if (name.empty()) return "its file name is empty";
    if (name == "." || name == "..") return "its file name is \"" + std::string(name) + "\"";
    if (name.back() == '.' || name.back() == ' ') return "its file name ends in a dot or a blank";
    if (IsDeviceName(name)) return "its file name is a device";
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        return "its file name holds a control character";
    if (ClimbsOut(storedName)) return "it climbs out of its directory through \"..\"";
    return {};
}

bool LiesDirectlyIn(std::string_view dir, std::string_view path) {
    while (!dir.empty() && IsAnySeparator(dir.back())) dir.remove_suffix(1);
    if (path.size() <= dir.size() + 1 || path.substr(0, dir.size()) != dir ||
        !IsAnySeparator(path[dir.size()]))
        return false;
    const std::string_view name = path.substr(dir.size() + 1);
    return name == EntryFileName(name) && name != "." && name != "..";
}

EUnsafeEntryName::EUnsafeEntryName(std::string_view storedName, const std::string& reason)
    : std::runtime_error("Unsafe entry name \"" + std::string(storedName) + "\": " + reason) {}

} // namespace yar
