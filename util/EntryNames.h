// Stored entry names are untrusted: a set or archive may have been tampered with, and Windows takes
// "/" for "\", a colon for a drive or a stream, and device names in every directory. One rule says
// which file name an entry gives and whether that name may be created; the setup refuses what it
// would refuse, and yar reports the same entries as unsafe.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace yar {

// Names Windows takes for devices in every directory, with or without an extension, letter case and
// blanks before the extension ignored (CON, NUL, AUX, PRN, COM1-9, LPT1-9, CONIN$, CONOUT$, CLOCK$).
bool IsDeviceName(std::string_view name);

// What follows the last "\", "/" or ":" of a stored name, on every platform.
std::string_view EntryFileName(std::string_view storedName);

// Why a stored name must not be written, or empty when it may: its file name is empty, "." or "..",
// a device, ends in a dot or a blank, or holds a control character; the name names a stream (a colon
// other than a drive's); or one of its directory parts is "..", which climbs out of where it is put.
std::string UnsafeEntryNameReason(std::string_view storedName);

// Whether path is dir, one separator, and a name without "\\", "/" or ":" that is neither "." nor "..":
// an item directly inside dir, whichever way the system reads the name.
bool LiesDirectlyIn(std::string_view dir, std::string_view path);

// An entry name that must not be written: Unsafe entry name "<name>": <reason>
class EUnsafeEntryName : public std::runtime_error {
public:
    EUnsafeEntryName(std::string_view storedName, const std::string& reason);
};

} // namespace yar
