#include "system/LogFile.h"

#include "system/SystemRandom.h"
#include "util/NumberText.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace yar {

namespace {

[[noreturn]] void FailNamed(const std::string& path, const std::string& reason) {
    throw ELogError("Cannot create the log file " + path + ": " + reason);
}

#ifdef _WIN32

std::string LastErrorText() {
    return SysErrorMessage(static_cast<int>(GetLastError()));
}

// Opens path for writing; a reparse point at the name is opened itself, never its target.
HANDLE OpenForLog(const std::string& path, DWORD disposition) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// Why the open file is no plain file of one name; empty when it is.
std::string NotPlainReason(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) return LastErrorText();
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return "it is a link";
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "it is a directory";
    if (GetFileType(handle) != FILE_TYPE_DISK) return "it is no file";
    if (info.nNumberOfLinks != 1) return "it is a file of more than one name";
    return {};
}

#else

std::string LastErrorText() {
    return SysErrorMessage(errno);
}

// O_NONBLOCK: a FIFO at the name fails the open instead of waiting for a reader.
int OpenForLog(const std::string& path, int disposition) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | disposition, 0600);
}

std::string NotPlainReason(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return LastErrorText();
    if (!S_ISREG(info.st_mode)) return "it is no file";
    if (info.st_nlink != 1) return "it is a file of more than one name";
    return {};
}

#endif

} // namespace

std::string RandomNamePart() {
    const std::optional<uint32_t> word = SystemRandomWord();
    if (!word) throw ELogError("The system gives no random numbers for a log file name");
    return HexText(*word, 8);
}

std::unique_ptr<TLogFile> TLogFile::OpenNamed(const std::string& path) {
#ifdef _WIN32
    const HANDLE handle = OpenForLog(path, OPEN_ALWAYS);
    if (handle == INVALID_HANDLE_VALUE) FailNamed(path, LastErrorText());
    std::string reason = NotPlainReason(handle);
    // Emptied only once it is known to be the user's own plain file.
    if (reason.empty() && !SetEndOfFile(handle)) reason = LastErrorText();
    if (!reason.empty()) {
        CloseHandle(handle);
        FailNamed(path, reason);
    }
#else
    const int handle = OpenForLog(path, 0);
    if (handle < 0) FailNamed(path, LastErrorText());
    std::string reason = NotPlainReason(handle);
    if (reason.empty() && ::ftruncate(handle, 0) != 0) reason = LastErrorText();
    if (!reason.empty()) {
        ::close(handle);
        FailNamed(path, reason);
    }
#endif
    return std::unique_ptr<TLogFile>(new TLogFile(handle, path));
}

std::unique_ptr<TLogFile> TLogFile::CreateNew(const std::function<std::string()>& nextPath) {
    std::string path;
    std::string reason;
    // Any failure draws another name: a name another user took must not stop the run.
    for (int tried = 0; tried < kNameTries; ++tried) {
        path = nextPath();
#ifdef _WIN32
        const HANDLE handle = OpenForLog(path, CREATE_NEW);
        if (handle != INVALID_HANDLE_VALUE) return std::unique_ptr<TLogFile>(new TLogFile(handle, path));
#else
        const int handle = OpenForLog(path, O_EXCL);
        if (handle >= 0) return std::unique_ptr<TLogFile>(new TLogFile(handle, path));
#endif
        reason = LastErrorText();
    }
    throw ELogError("Cannot create a new log file " + path + ": " + reason);
}

TLogFile::~TLogFile() {
#ifdef _WIN32
    CloseHandle(FHandle);
#else
    ::close(FHandle);
#endif
}

void TLogFile::WriteLine(const std::string& line) {
    const std::string text = line + "\r\n";
    // A log that cannot be written must not stop the install it records.
#ifdef _WIN32
    DWORD written = 0;
    WriteFile(FHandle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
#else
    [[maybe_unused]] const ssize_t written = ::write(FHandle, text.data(), text.size());
#endif
}

} // namespace yar
