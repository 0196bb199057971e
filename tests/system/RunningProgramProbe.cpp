// The running program's bytes are its own file's, and a file given its name after the start is refused.
// A program cannot lend its own file to the test while other tests start it: run without an argument,
// the probe copies itself into a directory of its own and runs the copy, which renames its file away and
// puts another one at the name. Exit code 0 when every check held; the first that failed is printed.
#include "system/FileServices.h"
#include "system/RunningProgram.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Failed(const char* what) {
    std::printf("failed: %s\n", what);
    return 1;
}

int CheckAsCopy() {
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const fs::path self(own);
    if (yar::RunningProgramBytes() != FileBytes(self)) return Failed("the bytes are not the program's file");
    // What the owner of the program's directory can do while it runs: the name goes to another file.
    const fs::path moved = self.parent_path() / "moved.exe";
    if (!MoveFileW(self.c_str(), moved.c_str())) return Failed("the running program cannot be renamed");
    fs::copy_file(moved, self);
    try {
        yar::RunningProgramBytes();
        return Failed("a copy at the program's name was taken for the program");
    } catch (const yar::EInOutError&) {
    }
    fs::remove(self);
    try {
        yar::RunningProgramBytes();
        return Failed("a program without a file at its name was read");
    } catch (const yar::EInOutError&) {
    }
    std::printf("every check held\n");
    return 0;
}

} // namespace

int main(int argc, char**) {
    if (argc > 1) return CheckAsCopy();
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const fs::path dir =
        fs::temp_directory_path() / ("yar-running-program-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path copy = dir / "probe.exe";
    fs::copy_file(own, copy);
    std::wstring command = L"\"" + copy.wstring() + L"\" check";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return Failed("the copy cannot be started");
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::error_code error;
    fs::remove_all(dir, error);
    return static_cast<int>(code);
}
