#include "toolkit/Application.h"

#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include <cstdlib>

namespace yar {

TApplication& Application() {
    static TApplication application;
    return application;
}

std::vector<std::string> SplitProgramArguments(const std::string& commandLine) {
    std::vector<std::string> args;
    std::size_t i = 0;
    const auto separator = [&](std::size_t at) { return static_cast<unsigned char>(commandLine[at]) <= ' '; };
    while (i < commandLine.size()) {
        while (i < commandLine.size() && separator(i)) ++i;
        if (i == commandLine.size()) break;
        std::string arg;
        bool quoted = false;
        for (; i < commandLine.size() && (quoted || !separator(i)); ++i) {
            if (commandLine[i] == '"')
                quoted = !quoted;
            else
                arg += commandLine[i];
        }
        args.push_back(std::move(arg));
    }
    return args;
}

namespace {

const std::vector<std::string>& ProgramArguments() {
    static const std::vector<std::string> args = SplitProgramArguments(GetCommandLineA());
    return args;
}

} // namespace

int ParamCount() {
    const auto count = static_cast<int>(ProgramArguments().size());
    return count > 0 ? count - 1 : 0;
}

std::string ParamStr(int index) {
    const auto& args = ProgramArguments();
    return index >= 0 && static_cast<std::size_t>(index) < args.size() ? args[static_cast<std::size_t>(index)]
                                                                       : std::string();
}

void TApplication::Run() {
    if (FMainForm) {
        try {
            FMainForm->Show();
        } catch (const std::exception& e) {
            HandleException(e);
        }
    }
    while (!FTerminated) HandleMessage();
}

bool TApplication::ProcessMessage() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    // Keyboard navigation between the controls of the application's forms.
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (root && dynamic_cast<TForm*>(TWinControl::FromHandle(root)) && IsDialogMessageA(root, &msg))
        return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

void TApplication::HandleMessage() {
    if (!ProcessMessage()) WaitMessage();
}

void TApplication::Terminate() {
    // Seen at once: a box asked for before a loop has met the quit message must not wait either.
    FTerminated = true;
    PostQuitMessage(0);
}

void TApplication::ShowException(const std::exception& e) {
    std::string text = e.what();
    // The runtime's error texts end in a full stop; add one where the message has none.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    MessageBoxA(DialogOwner(), text.c_str(), FTitle.c_str(), MB_OK | MB_ICONSTOP);
}

void TApplication::HandleException(const std::exception& e) {
    if (OnException)
        OnException(e);
    else
        ShowException(e);
}

HWND TApplication::DialogOwner() const {
    HWND active = GetActiveWindow();
    if (active && TWinControl::FromHandle(active)) return active;
    return FMainForm ? FMainForm->Handle() : nullptr;
}

void TApplication::Halt(int exitCode) {
    ExitProcess(static_cast<UINT>(exitCode));
}

} // namespace yar
