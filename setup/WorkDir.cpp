#include "setup/WorkDir.h"

#include "archive/FileServices.h"
#include "archive/Streams.h"

#include <windows.h>

namespace yar {

std::string WindowsDirectory() {
    char buffer[144] = {};
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    return length < sizeof buffer ? std::string(buffer, length) : std::string();
}

std::string CurrentDirectory() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return length < sizeof buffer ? std::string(buffer, length) : std::string();
}

void EnterDirectory(const std::string& dir) {
    if (SetCurrentDirectoryA(dir.c_str())) return;
    const DWORD code = GetLastError();
    throw EInOutError(static_cast<int>(code), SysErrorMessage(static_cast<int>(code)));
}

bool ForceDirectories(const std::string& dir) {
    std::string path = dir;
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    if (path.empty()) return false;
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const size_t cut = path.find_last_of("\\/");
    if (cut != std::string::npos && cut > 0 && !ForceDirectories(path.substr(0, cut + (cut == 2 ? 1 : 0))))
        return false;
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// Empty, or a drive root such as C:\ or C: or \: never a directory of the run to empty.
bool NamesNoWorkDir(const std::string& dir) {
    return dir.empty() || dir == "\\" || (dir.size() <= 3 && dir.size() >= 2 && dir[1] == ':');
}

void CleanWorkDir(const std::string& dir) {
    if (NamesNoWorkDir(dir)) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*.*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            // "." and "..", subdirectories and read-only files refuse; that is expected.
            DeleteFileA((dir + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

} // namespace yar
