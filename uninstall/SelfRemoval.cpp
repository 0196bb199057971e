#include "uninstall/SelfRemoval.h"

#include <windows.h>

#include <vector>

#include "config/SetupConfig.h"
#include "system/FileServices.h"
#include "system/Win32Files.h"
#include "uninstall/Uninstaller.h"

namespace yar {

namespace {

constexpr DWORD kWaitForProgram = 60000;
constexpr const char* kHelperDirPrefix = "yun-";
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

bool StartRemovalHelper(const std::string& program, bool withDirectory) {
    // A directory of its own, as the setup's: for an uninstall as SYSTEM the temporary directory may be
    // one every user can write to, and the helper runs with the uninstaller's rights.
    std::string dir;
    try {
        dir = CreatePrivateDirectory(TempDirectory(), kHelperDirPrefix);
    } catch (const EInOutError&) {
        return false;
    }
    const std::string helper = JoinPath(dir, kUninstallerName);
    const auto fail = [&] {
        DeleteFileA(helper.c_str());
        RemoveDirectoryA(dir.c_str());
        return false;
    };
    if (!CopyFileA(program.c_str(), helper.c_str(), TRUE)) return fail();
    std::string commandLine = "\"";
    commandLine.append(helper).append("\" ").append(
        RemoveAfterArguments(GetCurrentProcessId(), program, withDirectory));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(helper.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                        &startup, &process))
        return fail();
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
    return RemoveEndedUninstaller(files, command.RemoveAfter, command.WithDirectory, ModulePath(),
                                  kDeleteTries, [] { Sleep(kDeletePause); })
               ? 0
               : 1;
}

} // namespace yar
