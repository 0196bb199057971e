#include "system/Streams.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace yar {

EReadError::EReadError() : EStreamError("Stream read error") {}
EWriteError::EWriteError() : EStreamError("Stream write error") {}
EFOpenError::EFOpenError(const std::string& fileName, const std::string& reason)
    : EStreamError("Cannot open file \"" + fileName + "\". " + reason) {}
EFCreateError::EFCreateError(const std::string& fileName, const std::string& reason, int code)
    : EStreamError("Cannot create file \"" + fileName + "\". " + reason), FCode(code) {}

int64_t TStream::Size() {
    const int64_t here = Seek(0, TSeekOrigin::soCurrent);
    const int64_t end = Seek(0, TSeekOrigin::soEnd);
    Seek(here, TSeekOrigin::soBeginning);
    return end;
}

void TStream::ReadBuffer(void* buffer, int32_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int32_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError();
}

namespace {

int64_t SeekTarget(int64_t offset, TSeekOrigin origin, int64_t position, int64_t size) {
    switch (origin) {
    case TSeekOrigin::soBeginning:
        return offset;
    case TSeekOrigin::soCurrent:
        return position + offset;
    case TSeekOrigin::soEnd:
        return size + offset;
    }
    return position;
}

} // namespace

// ---- TMemoryStream ----

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
    const auto size = static_cast<int64_t>(FBytes.size());
    if (count <= 0 || FPosition < 0 || FPosition >= size) return 0;
    const auto n = static_cast<int32_t>(std::min<int64_t>(count, size - FPosition));
    std::memcpy(buffer, FBytes.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
    if (count <= 0 || FPosition < 0) return 0;
    const int64_t end = FPosition + count;
    if (end > static_cast<int64_t>(FBytes.size())) FBytes.resize(static_cast<size_t>(end));
    std::memcpy(FBytes.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    FPosition = SeekTarget(offset, origin, FPosition, static_cast<int64_t>(FBytes.size()));
    return FPosition;
}

void TMemoryStream::SetSize(int64_t newSize) {
    FBytes.resize(static_cast<size_t>(std::max<int64_t>(newSize, 0)));
    FPosition = std::min(FPosition, static_cast<int64_t>(FBytes.size()));
}

void TMemoryStream::Clear() {
    FBytes.clear();
    FBytes.shrink_to_fit();
    FPosition = 0;
}

// ---- TNullStream ----

int32_t TNullStream::Read(void* /*buffer*/, int32_t /*count*/) {
    return 0;
}

int32_t TNullStream::Write(const void* /*buffer*/, int32_t count) {
    if (count <= 0) return 0;
    FWritten += count;
    FPosition += count;
    FSize = std::max(FSize, FPosition);
    return count;
}

int64_t TNullStream::Seek(int64_t offset, TSeekOrigin origin) {
    FPosition = SeekTarget(offset, origin, FPosition, FSize);
    return FPosition;
}

// ---- TBufferedWriteStream ----

TBufferedWriteStream::TBufferedWriteStream(TStream& target, int32_t blockSize)
    : FTarget(target), FBuffer(static_cast<std::size_t>(std::max(blockSize, 1))) {}

int32_t TBufferedWriteStream::Read(void* buffer, int32_t count) {
    Flush();
    return FTarget.Read(buffer, count);
}

int32_t TBufferedWriteStream::Write(const void* buffer, int32_t count) {
    if (count <= 0) return 0;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    auto left = static_cast<std::size_t>(count);
    while (left > 0) {
        // A piece as large as the buffer goes out as it is, once what is held has gone before it.
        if (FHeld == 0 && left >= FBuffer.size()) {
            FTarget.WriteBuffer(bytes, static_cast<int32_t>(left));
            break;
        }
        const std::size_t n = std::min(left, FBuffer.size() - FHeld);
        std::memcpy(FBuffer.data() + FHeld, bytes, n);
        FHeld += n;
        bytes += n;
        left -= n;
        if (FHeld == FBuffer.size()) Flush();
    }
    return count;
}

int64_t TBufferedWriteStream::Seek(int64_t offset, TSeekOrigin origin) {
    Flush();
    return FTarget.Seek(offset, origin);
}

void TBufferedWriteStream::Flush() {
    if (FHeld == 0) return;
    const auto held = static_cast<int32_t>(FHeld);
    FHeld = 0; // a failed write is not tried again with the same bytes
    FTarget.WriteBuffer(FBuffer.data(), held);
}

// ---- TFileStream ----

bool IsInUseError(int code) {
#ifdef _WIN32
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION || code == ERROR_USER_MAPPED_FILE;
#else
    return code == EWOULDBLOCK || code == EAGAIN;
#endif
}

std::string SysErrorMessage(int code) {
#ifdef _WIN32
    char text[512] = {};
    DWORD len = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    std::string message(text, len);
#else
    std::string message = std::strerror(code);
#endif
    while (!message.empty() && (static_cast<unsigned char>(message.back()) <= ' ' || message.back() == '.'))
        message.pop_back();
    return message;
}

namespace {

constexpr uint16_t kAccessMask = 0x000F;
constexpr uint16_t kShareMask = 0x00F0;

bool IsCreate(uint16_t mode) {
    return (mode & fmCreate) == fmCreate;
}

} // namespace

#ifdef _WIN32

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : FFileName(fileName) {
    static constexpr DWORD kShareFlags[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE};
    const unsigned shareIndex = (mode & kShareMask) >> 4;
    const DWORD share = shareIndex < 5 ? kShareFlags[shareIndex] : 0;
    DWORD access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = CREATE_ALWAYS;
    if (!IsCreate(mode)) {
        static constexpr DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
        const unsigned accessIndex = mode & kAccessMask;
        access = accessIndex < 3 ? kAccess[accessIndex] : GENERIC_READ;
        disposition = OPEN_EXISTING;
    }
    HANDLE handle =
        CreateFileA(fileName.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const int code = static_cast<int>(GetLastError());
        const std::string reason = SysErrorMessage(code);
        if (IsCreate(mode)) throw EFCreateError(fileName, reason, code);
        throw EFOpenError(fileName, reason);
    }
    FHandle = handle;
}

TFileStream::TFileStream(const std::string& fileName, TCreateNew) : FFileName(fileName) {
    // CREATE_NEW fails on any existing name, a reparse point included.
    HANDLE handle = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw EFCreateError(fileName, SysErrorMessage(static_cast<int>(GetLastError())));
    FHandle = handle;
}

TFileStream::~TFileStream() {
    CloseHandle(FHandle);
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
    DWORD done = 0;
    if (count <= 0 || !ReadFile(FHandle, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<int32_t>(done);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
    DWORD done = 0;
    if (count <= 0 || !WriteFile(FHandle, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<int32_t>(done);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    static constexpr DWORD kMethod[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER distance;
    LARGE_INTEGER result;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(FHandle, distance, &result, kMethod[static_cast<int>(origin)])) return -1;
    return result.QuadPart;
}

bool TFileStream::FlushToDisk() {
    return FlushFileBuffers(FHandle) != 0;
}

int64_t TFileStream::Size() {
    LARGE_INTEGER size;
    return GetFileSizeEx(FHandle, &size) ? size.QuadPart : -1;
}

#else

namespace {

// The advisory lock that stands in for a Windows sharing mode (see TFileStream).
int LockFor(uint16_t mode) {
    switch (mode & kShareMask) {
    case fmShareDenyNone:
        return 0;
    case fmShareDenyWrite:
        return LOCK_SH;
    default:
        return LOCK_EX;
    }
}

} // namespace

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : FFileName(fileName) {
    const bool create = IsCreate(mode);
    int flags = O_CLOEXEC;
    if (create) {
        flags |= O_RDWR | O_CREAT;
    } else {
        switch (mode & kAccessMask) {
        case fmOpenWrite:
            flags |= O_WRONLY;
            break;
        case fmOpenReadWrite:
            flags |= O_RDWR;
            break;
        default:
            flags |= O_RDONLY;
            break;
        }
    }
    const auto fail = [&](int error) {
        const std::string reason = SysErrorMessage(error);
        if (create) throw EFCreateError(fileName, reason, error);
        throw EFOpenError(fileName, reason);
    };
    // A new file needs no truncation. Truncating one (even an empty one) makes ext4 flush it to disk
    // on close, which costs an extraction of many small files most of its time.
    int fd = create ? ::open(fileName.c_str(), flags | O_EXCL, 0666) : -1;
    const bool existed = create && fd < 0 && errno == EEXIST;
    if (!create || existed) fd = ::open(fileName.c_str(), flags, 0666);
    if (fd < 0) fail(errno);
    const int lock = LockFor(mode);
    // An existing file is truncated only once the lock is held.
    if ((lock != 0 && ::flock(fd, lock | LOCK_NB) != 0) || (existed && ::ftruncate(fd, 0) != 0)) {
        const int error = errno;
        ::close(fd);
        fail(error);
    }
    FHandle = fd;
}

TFileStream::TFileStream(const std::string& fileName, TCreateNew) : FFileName(fileName) {
    const int fd = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (fd >= 0) ::close(fd);
        throw EFCreateError(fileName, SysErrorMessage(error));
    }
    FHandle = fd;
}

TFileStream::~TFileStream() {
    ::close(FHandle);
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
    if (count <= 0) return 0;
    const ssize_t done = ::read(FHandle, buffer, static_cast<size_t>(count));
    if (done <= 0) return 0;
    FPosition += done;
    return static_cast<int32_t>(done);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
    if (count <= 0) return 0;
    const ssize_t done = ::write(FHandle, buffer, static_cast<size_t>(count));
    if (done <= 0) return 0;
    FPosition += done;
    return static_cast<int32_t>(done);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    if (origin == TSeekOrigin::soCurrent && offset == 0) return FPosition;
    if (origin == TSeekOrigin::soBeginning && offset == FPosition) return FPosition;
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    const off_t at = ::lseek(FHandle, static_cast<off_t>(offset), kWhence[static_cast<int>(origin)]);
    if (at >= 0) FPosition = at;
    return at;
}

bool TFileStream::FlushToDisk() {
    return ::fsync(FHandle) == 0;
}

int64_t TFileStream::Size() {
    struct stat st {};
    return ::fstat(FHandle, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

#endif

} // namespace yar
