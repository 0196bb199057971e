// Byte streams the archive code reads and writes: the abstract TStream, memory streams and
// file streams opened with explicit sharing modes. Failures raise the runtime-style stream errors.
#pragma once

#include <cstdint>
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
    explicit EFCreateError(const std::string& fileName, const std::string& reason);
};

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

}  // namespace yar
