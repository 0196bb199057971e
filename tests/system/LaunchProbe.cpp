// A program the launcher's tests start through the shell: it writes how it was started (the show
// mode it was given, its working directory and its command line) to probe.txt in its working
// directory, whole or not at all.
#include <windows.h>

#include <cstdio>

int main() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const unsigned show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : 999U;
    char directory[4 * MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof directory, directory);
    FILE* out = std::fopen("probe.tmp", "wb");
    if (out == nullptr) return 1;
    std::fprintf(out, "show=%u\r\ndir=%s\r\ncmd=%s\r\n", show, directory, GetCommandLineA());
    std::fclose(out);
    return MoveFileA("probe.tmp", "probe.txt") ? 0 : 1;
}
