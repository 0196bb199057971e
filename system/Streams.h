// Byte streams the archive code reads and writes: the abstract TStream, memory streams and
// file streams opened with explicit sharing modes. Failures raise the runtime-style stream errors.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace yar {

class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// A ReadBuffer that got fewer bytes than asked: "Stream read error".
class EReadError : public EStreamError {
public:
    EReadError();
};
// A WriteBuffer that could not write every byte: "Stream write error".
class EWriteError : public EStreamError {
public:
    EWriteError();
};
// A file that cannot be opened: Cannot open file "<name>". <system reason>
class EFOpenError : public EStreamError {
public:
    explicit EFOpenError(const std::string& fileName, const std::string& reason);
};
// A file that cannot be created: Cannot create file "<name>". <system reason>
class EFCreateError : public EStreamError {
public:
    explicit EFCreateError(const std::string& fileName, const std::string& reason, int code = 0);
    // The system's error code; 0 when none is known.
    int Code() const { return FCode; }

private:
    int FCode;
};
// Whether a system error code says another program holds the file (Windows' sharing or lock violation,
// or a mapped image; elsewhere the lock this system's streams take).
bool IsInUseError(int code);

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Reads up to count bytes; returns how many arrived (0 at the end).
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    // Writes up to count bytes; returns how many were written.
    virtual int32_t Write(const void* buffer, int32_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }
    virtual int64_t Size();

    void ReadBuffer(void* buffer, int32_t count);        // all or EReadError
    void WriteBuffer(const void* buffer, int32_t count); // all or EWriteError
};

// A growable stream in memory. The position may be set past the end; a write there fills the
// gap with zeros, a read there gets nothing.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : FBytes(std::move(bytes)) {}

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(FBytes.size()); }

    void SetSize(int64_t newSize);
    void Clear();
    uint8_t* Memory() { return FBytes.data(); }
    std::span<const uint8_t> Bytes() const { return FBytes; }

private:
    std::vector<uint8_t> FBytes;
    int64_t FPosition = 0;
};

// Swallows what is written and counts it; reads nothing. Stands in for an output nobody keeps.
class TNullStream : public TStream {
public:
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return FSize; }
    int64_t BytesWritten() const { return FWritten; }

private:
    int64_t FWritten = 0; // every byte ever written, wherever the position was
    int64_t FSize = 0;
    int64_t FPosition = 0;
};

// Writes to another stream in blocks of blockSize: a few large calls to the system where the writer hands
// over many small pieces. Reads and seeks write out what is held first; so does Flush, which a writer
// calls once it is done. A stream that goes without it drops what it held (its writer failed).
class TBufferedWriteStream final : public TStream {
public:
    TBufferedWriteStream(TStream& target, int32_t blockSize);

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    // Writes out what is held; raises EWriteError when the target takes less.
    void Flush();

private:
    TStream& FTarget;
    std::vector<uint8_t> FBuffer;
    std::size_t FHeld = 0;
};

// Open modes of TFileStream: one access mode, or fmCreate, combined with one sharing mode.
enum : uint16_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmCreate = 0xFF00, // create anew (truncate an existing file), open for reading and writing
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
};

#ifdef _WIN32
using THandle = void*; // a Win32 file HANDLE
#else
using THandle = int; // a POSIX file descriptor
#endif

// A file opened by name. On Windows the sharing mode is CreateFileA's share flags and binds every
// other opener. Elsewhere it becomes an advisory flock() on the open file: fmShareExclusive,
// fmShareCompat and fmShareDenyRead take an exclusive lock, fmShareDenyWrite a shared lock and
// fmShareDenyNone none, so two streams of this system that would exclude each other on Windows
// also exclude each other here; programs that take no locks are not held back.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, uint16_t mode);
    // Creates a file that must not exist yet, for reading and writing with exclusive sharing; a
    // symbolic link at that name is not followed but fails like any existing file.
    struct TCreateNew {};
    TFileStream(const std::string& fileName, TCreateNew);
    ~TFileStream() override;

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    // One call to the system rather than three seeks.
    int64_t Size() override;
    // Has the system write what was written to the disk itself; false when it cannot.
    bool FlushToDisk();

    // The open file of the platform, e.g. for setting its date; the stream keeps owning it.
    THandle Handle() const { return FHandle; }
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
    THandle FHandle;
#ifndef _WIN32
    // Where the file offset stands, so that asking for the position costs no system call; every
    // read, write and seek of the file goes through this stream.
    int64_t FPosition = 0;
#endif
};

// The operating system's text for an error code (GetLastError() on Windows, errno elsewhere),
// without trailing blanks or full stop.
std::string SysErrorMessage(int code);

} // namespace yar
