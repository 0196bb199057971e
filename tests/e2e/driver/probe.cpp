// yarprobe: a small window for the driver's own test. Radio buttons (one checked), a hidden and a
// disabled button, and "&Press", which shows a message box and, once it is confirmed, renames the window;
// a click on the window's background renames it after the point clicked.
// Ends with exit code 7 when closed, so the test can tell a close from a crash.
#include <windows.h>
#include <windowsx.h>

#include <string>

namespace {

constexpr int PressId = 100;
constexpr const char* BoxText = "Line one\r\rLine two";

void AddButton(HWND parent, const char* text, int id, DWORD style, int top) {
    CreateWindowA("BUTTON", text, WS_CHILD | style, 10, top, 200, 24, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

void AddControls(HWND window) {
    AddButton(window, "&First", 10, WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, 10);
    AddButton(window, "Second", 11, WS_VISIBLE | BS_AUTORADIOBUTTON, 40);
    AddButton(window, "&Press", PressId, WS_VISIBLE | BS_PUSHBUTTON, 70);
    AddButton(window, "Hidden", 101, BS_PUSHBUTTON, 100);
    AddButton(window, "Off", 102, WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON, 130);
    CheckRadioButton(window, 10, 11, 10);
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_CREATE:
        AddControls(window);
        return 0;
    case WM_COMMAND:
        if (LOWORD(w) == PressId && MessageBoxA(window, BoxText, "yardrive probe box", MB_OK) == IDOK)
            SetWindowTextA(window, "yardrive probe pressed");
        return 0;
    case WM_LBUTTONUP: {
        const std::string caption = "yardrive probe clicked " + std::to_string(GET_X_LPARAM(l)) + " " +
                                    std::to_string(GET_Y_LPARAM(l));
        SetWindowTextA(window, caption.c_str());
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(7);
        return 0;
    default:
        return DefWindowProcA(window, message, w, l);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "yarprobe";
    RegisterClassA(&wc);
    CreateWindowA(wc.lpszClassName, "yardrive probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 220,
                  nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
