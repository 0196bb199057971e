// The platform's file and directory services the archive container needs, behind one portable
// interface. Paths are the system's own strings with "\" separators; on Windows they go to the Win32
// calls unchanged, elsewhere "\" is read as "/" so that the same archive expands on both.
#pragma once

#include "archive/Streams.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace yar {

// A directory that cannot be made, with the runtime's text for the error code.
class EInOutError : public std::runtime_error {
public:
    EInOutError(int errorCode, const std::string& message);
    int ErrorCode() const { return FErrorCode; }

private:
    int FErrorCode;
};

// "\" everywhere; "/" too where it is the platform's own separator.
bool IsPathDelimiter(char c);
// The path as the platform's file calls take it.
std::string NativePath(const std::string& path);

bool FileExistsAt(const std::string& path); // an existing file, not a directory
bool DirectoryExistsAt(const std::string& path);
// Creates one directory whose parent exists; raises EInOutError when it cannot.
void MakeDirectory(const std::string& path);
std::optional<int64_t> FileSizeAt(const std::string& path);
// Free bytes of the drive that holds path (its drive letter, else the current drive); -1 on failure.
double DiskFreeBytes(const std::string& path);
bool RemoveFileAt(const std::string& path);

// Sets the last-write time of the open file from a DOS packed date and time (date in the high word,
// time in the low word, local time). Returns false when the value is no valid date or the call fails.
bool SetFileDosDate(TFileStream& file, uint32_t dosDateTime);
// Applies the attribute bits (read-only 0x01, hidden 0x02, system 0x04, archive 0x20) to a closed file.
// Outside Windows only read-only has a counterpart: the file loses its write permissions.
bool ApplyFileAttributes(const std::string& path, uint16_t attributes);

// The fields of a DOS packed date and time; nothing when a field is out of range.
struct TDosDateTime {
    int Year, Month, Day, Hour, Minute, Second;
};
std::optional<TDosDateTime> DecodeDosDateTime(uint32_t dosDateTime);

} // namespace yar
