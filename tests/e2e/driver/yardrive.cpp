// yardrive: finds, reads and presses the windows of other programs of the same Wine prefix, so that the
// end-to-end tests can drive install.exe from outside. Built with the tests, never shipped.
//
//   yardrive [--pid N] [--timeout S] [--escaped 1] COMMAND ARGS...
//
// Windows are top-level, visible and matched by their exact caption (and by process with --pid). With
// --timeout a command waits up to S seconds for its window (and its control) before giving up.
// Texts are printed with \r, \n, \t, \\ and \xHH escapes, so a test can compare them exactly; with
// --escaped 1 the arguments are read in that form (captions of another code page than the shell's).
#include "Commands.h"

#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

int main(int argc, char** argv) {
    // Texts carry bare carriage returns: nothing may translate them on the way out.
    _setmode(_fileno(stdout), _O_BINARY);
    // Rectangles as the screen has them: a driver unaware of the resolution would read the windows of
    // programs that are aware of it in pixels scaled back to 96 per inch.
    SetProcessDPIAware();
    try {
        return yardrive::Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "yardrive: %s\n", e.what());
        return yardrive::ExitUsage;
    }
}
