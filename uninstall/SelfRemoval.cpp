#include "uninstall/SelfRemoval.h"

#include <windows.h>

#include <vector>

#include "system/FileServices.h"
#include "system/Win32Files.h"
#include "uninstall/Uninstaller.h"

namespace yar {

namespace {

constexpr DWORD kWaitForProgram = 60000;
// A file the system still holds for a moment after its process ended is tried again.
constexpr int kDeleteTries = 50;
constexpr DWORD kDeletePause = 100;

std::string ModulePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

bool StartRemovalHelper(const std::string& program) {
    const std::string tempDir = TempDirectory();
    char helper[MAX_PATH + 1];
    if (tempDir.empty() || GetTempFileNameA(tempDir.c_str(), "yun", 0, helper) == 0) return false;
    if (!CopyFileA(program.c_str(), helper, FALSE)) {
        DeleteFileA(helper);
        return false;
    }
    std::string commandLine = "\"";
    commandLine.append(helper).append("\" ").append(RemoveAfterArguments(GetCurrentProcessId(), program));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(helper, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, tempDir.c_str(),
                        &startup, &process)) {
        DeleteFileA(helper);
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

int RunRemovalHelper(const TUninstallCommand& command) {
    if (HANDLE program = OpenProcess(SYNCHRONIZE, FALSE, command.WaitFor)) {
        WaitForSingleObject(program, kWaitForProgram);
        CloseHandle(program);
    }
    TWin32Files files;
    return RemoveEndedUninstaller(files, command.RemoveAfter, ModulePath(), kDeleteTries,
                                  [] { Sleep(kDeletePause); })
               ? 0
               : 1;
}

} // namespace yar
