#include "system/RunningProgram.h"

#include "system/FileServices.h"
#include "system/Streams.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace yar {
namespace {

// ERROR_FILE_INVALID: the file at the program's name is not the one running.
constexpr int kNotTheRunningFile = 1006;

[[noreturn]] void Fail(DWORD code) {
    throw EInOutError(static_cast<int>(code), SysErrorMessage(static_cast<int>(code)));
}

struct THandleCloser {
    void operator()(void* handle) const { CloseHandle(handle); }
};
using TOwnedHandle = std::unique_ptr<void, THandleCloser>;

std::wstring ModulePath() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) Fail(GetLastError());
        if (n < path.size()) return {path.data(), n};
        path.resize(path.size() * 2);
    }
}

// Whether file, mapped as an image, is the file of the image at base: the system compares the files
// behind both views, whatever their names.
bool IsFileOfImage(HANDLE file, void* base) {
    using TSameFiles = LONG(NTAPI*)(PVOID, PVOID);
    const auto same = reinterpret_cast<TSameFiles>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtAreMappedFilesTheSame")));
    if (!same) return false;
    const TOwnedHandle mapping(CreateFileMappingW(file, nullptr, PAGE_READONLY | SEC_IMAGE, 0, 0, nullptr));
    if (!mapping) return false;
    void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
    if (!view) return false;
    const bool isSame = same(base, view) == 0; // STATUS_SUCCESS
    UnmapViewOfFile(view);
    return isSame;
}

} // namespace

std::string RunningProgramBytes() {
    // Shared for reading only: nobody may write, rename or delete it while it is open.
    HANDLE opened = CreateFileW(ModulePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) Fail(GetLastError());
    const TOwnedHandle file(opened);
    if (!IsFileOfImage(file.get(), GetModuleHandleW(nullptr)))
        throw EInOutError(kNotTheRunningFile, "The file at the program's name is not the program running");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) Fail(GetLastError());
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    for (std::size_t at = 0; at < bytes.size();) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + at, static_cast<DWORD>(bytes.size() - at), &got, nullptr))
            Fail(GetLastError());
        if (got == 0) Fail(ERROR_HANDLE_EOF); // shorter than its size: not read whole
        at += got;
    }
    return bytes;
}

} // namespace yar
