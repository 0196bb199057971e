// The application object: its title, the message loop, one pass of pending messages on request,
// the request to end, and the standard error box for exceptions that reach the loop.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace yar {

class TForm;

class TApplication {
public:
    // Caption of the application's message boxes.
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& title) { FTitle = title; }

    // The first form made, unless another is set; closing it ends the application.
    TForm* MainForm() const { return FMainForm; }
    void SetMainForm(TForm* form) { FMainForm = form; }

    // Shows the main form and handles messages until the application is asked to end.
    void Run();
    // Handles every message waiting now, without waiting for more.
    void ProcessMessages();
    // Handles one message, waiting for one when none is pending.
    void HandleMessage();
    // Asks the application to end: the message loops, modal ones included, stop, and message boxes
    // asked for from then on close at once without waiting for the user.
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Ends the process at once with this exit code: no window closes, no close handler runs.
    [[noreturn]] static void Halt(int exitCode);

    // The standard error box: the exception's message, captioned with the title, stop icon, OK.
    void ShowException(const std::exception& e);
    // Where an exception that reaches the message loop goes: OnException when assigned, else the
    // standard error box.
    void HandleException(const std::exception& e);
    std::function<void(const std::exception&)> OnException;

    // The window that owns a dialog shown now: the active window of the application, else the main form.
    HWND DialogOwner() const;

private:
    bool ProcessMessage();

    std::string FTitle;
    TForm* FMainForm = nullptr;
    bool FTerminated = false;
};

// The one application object of the process.
TApplication& Application();

// The program name and its arguments as the command line holds them: separated by blanks and control
// characters, a double quote opens or closes a quoted part and is dropped, and a backslash is an
// ordinary character, so "C:\dist\" names C:\dist\ (the C runtime's rule would take \" for a quote).
std::vector<std::string> SplitProgramArguments(const std::string& commandLine);

// The command-line arguments after the program name.
int ParamCount();
// Argument index (0 for the program, 1 for the first argument); empty when there is none.
std::string ParamStr(int index);

} // namespace yar
