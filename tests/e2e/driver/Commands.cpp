#include "Commands.h"

#include "Accessible.h"
#include "Finder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

namespace yardrive {

namespace {

// Static text of a message box: the dialog item with id 0xFFFF.
constexpr int MessageBoxTextId = 0xFFFF;
constexpr const char* DialogClass = "#32770";
// How long a box may take to close once its button was pressed, when no --timeout is given.
constexpr double AnswerWaitSeconds = 10;

struct Context {
    DWORD Pid = 0;
    double Timeout = 0; // seconds a lookup may wait
    std::vector<std::string> Args;
};

struct Found {
    HWND Window = nullptr;
    HWND Control = nullptr;
};

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

double Seconds(const std::string& text) {
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || seconds < 0) throw std::invalid_argument("bad seconds: " + text);
    return seconds;
}

// The exit code of a lookup that found nothing: a timeout when the command was allowed to wait.
int Missing(const Context& ctx, const Found& found) {
    if (found.Window && !found.Control) return ExitNoControl;
    return ctx.Timeout > 0 ? ExitTimeout : ExitNotFound;
}

// The first window of that caption (and class), with the named control when one is asked for.
Found Locate(const Context& ctx, const std::string& caption, const std::string& className = {},
             const std::string& control = {}) {
    const WindowFilter filter{caption, className, ctx.Pid};
    Found last;
    Await(ctx.Timeout, [&] {
        last = {};
        for (HWND window : TopWindows(filter)) {
            last.Window = window;
            if (control.empty()) return true;
            last.Control = FindControl(window, control);
            if (last.Control) return true;
        }
        return false;
    });
    return last;
}

void Need(const Context& ctx, size_t count, const char* usage) {
    if (ctx.Args.size() != count) throw std::invalid_argument(std::string("usage: ") + usage);
}

int WaitWindow(const Context& ctx) {
    Need(ctx, 2, "wait-window CAPTION SECONDS");
    Context waiting = ctx;
    waiting.Timeout = Seconds(ctx.Args[1]);
    return Locate(waiting, ctx.Args[0]).Window ? ExitOk : ExitTimeout;
}

int WaitGone(const Context& ctx) {
    Need(ctx, 2, "wait-gone CAPTION SECONDS");
    const WindowFilter filter{ctx.Args[0], {}, ctx.Pid};
    const bool gone = Await(Seconds(ctx.Args[1]), [&] { return TopWindows(filter).empty(); });
    return gone ? ExitOk : ExitTimeout;
}

// The text of the message box with this caption.
int Text(const Context& ctx) {
    Need(ctx, 1, "text CAPTION");
    const auto found = Locate(ctx, ctx.Args[0], DialogClass, std::to_string(MessageBoxTextId));
    if (!found.Control) return Missing(ctx, found);
    Print(Escaped(TextOf(found.Control)));
    return ExitOk;
}

int Get(const Context& ctx) {
    Need(ctx, 2, "get CAPTION CONTROL");
    const auto found = Locate(ctx, ctx.Args[0], {}, ctx.Args[1]);
    if (!found.Control) return Missing(ctx, found);
    Print(Escaped(TextOf(found.Control)));
    return ExitOk;
}

// Posted, never sent: a click that opens a modal box must not block the driver.
int Click(const Context& ctx) {
    Need(ctx, 2, "click CAPTION BUTTON");
    const auto found = Locate(ctx, ctx.Args[0], {}, ctx.Args[1]);
    if (!found.Control) return Missing(ctx, found);
    PostMessageA(found.Control, BM_CLICK, 0, 0);
    return ExitOk;
}

// Presses a button of a box and waits until that box has gone, so that the next lookup of the same caption
// finds the next box, never this one on its way out.
int Answer(const Context& ctx) {
    Need(ctx, 2, "answer CAPTION BUTTON");
    const auto found = Locate(ctx, ctx.Args[0], {}, ctx.Args[1]);
    if (!found.Control) return Missing(ctx, found);
    PostMessageA(found.Control, BM_CLICK, 0, 0);
    const bool gone =
        Await(std::max(ctx.Timeout, AnswerWaitSeconds), [&] { return !IsWindow(found.Window); });
    return gone ? ExitOk : ExitTimeout;
}

int Close(const Context& ctx) {
    Need(ctx, 1, "close CAPTION");
    const auto found = Locate(ctx, ctx.Args[0]);
    if (!found.Window) return Missing(ctx, found);
    PostMessageA(found.Window, WM_CLOSE, 0, 0);
    return ExitOk;
}

int Check(const Context& ctx) {
    Need(ctx, 2, "check CAPTION BUTTON");
    const auto found = Locate(ctx, ctx.Args[0], {}, ctx.Args[1]);
    if (!found.Control) return Missing(ctx, found);
    const int state = CheckState(found.Control);
    Print(state == BST_CHECKED ? "checked" : state == BST_INDETERMINATE ? "indeterminate" : "unchecked");
    return state == BST_CHECKED ? ExitOk : ExitFalse;
}

// A window's presence, or a control's own visibility flag.
int Visible(const Context& ctx) {
    if (ctx.Args.size() == 1) return Locate(ctx, ctx.Args[0]).Window ? ExitOk : Missing(ctx, {});
    Need(ctx, 2, "visible CAPTION [CONTROL]");
    const auto found = Locate(ctx, ctx.Args[0], {}, ctx.Args[1]);
    if (!found.Control) return Missing(ctx, found);
    const bool visible = OwnVisible(found.Control);
    Print(visible ? "visible" : "hidden");
    return visible ? ExitOk : ExitFalse;
}

// Whether the control is on screen: its own flag and those of all its parents (a control on a notebook
// page that is not shown is hidden). Given several controls, prints the first that is on screen, so that
// one call tells which page of a wizard shows.
int Showing(const Context& ctx) {
    if (ctx.Args.size() < 2) throw std::invalid_argument("usage: showing CAPTION CONTROL...");
    const auto found = Locate(ctx, ctx.Args[0]);
    if (!found.Window) return Missing(ctx, found);
    const bool several = ctx.Args.size() > 2;
    for (size_t i = 1; i < ctx.Args.size(); ++i) {
        HWND control = FindControl(found.Window, ctx.Args[i]);
        if (!control && !several) return ExitNoControl;
        if (control && IsWindowVisible(control)) {
            Print(several ? ctx.Args[i] : "showing");
            return ExitOk;
        }
    }
    Print(several ? "none" : "hidden");
    return ExitFalse;
}

// A left click at X Y of the window's client area, posted to the child window shown there (or the window
// itself), as the mouse would deliver it. Posted, so a box that the click opens does not block the driver.
int ClickAt(const Context& ctx) {
    Need(ctx, 3, "click-at CAPTION X Y");
    const auto found = Locate(ctx, ctx.Args[0]);
    if (!found.Window) return Missing(ctx, found);
    POINT point{std::atoi(ctx.Args[1].c_str()), std::atoi(ctx.Args[2].c_str())};
    HWND target = found.Window;
    for (;;) {
        HWND child = ChildWindowFromPointEx(target, point, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
        if (!child || child == target) break;
        MapWindowPoints(target, child, &point, 1);
        target = child;
    }
    const LPARAM at = MAKELPARAM(point.x, point.y);
    PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(target, WM_LBUTTONUP, 0, at);
    return ExitOk;
}

int Enabled(const Context& ctx) {
    Need(ctx, 2, "enabled CAPTION CONTROL");
    const auto found = Locate(ctx, ctx.Args[0], {}, ctx.Args[1]);
    if (!found.Control) return Missing(ctx, found);
    const bool enabled = IsWindowEnabled(found.Control) != FALSE;
    Print(enabled ? "enabled" : "disabled");
    return enabled ? ExitOk : ExitFalse;
}

// Screen rectangle "left top right bottom", the same pixels as the X display of the virtual desktop.
int Rect(const Context& ctx) {
    Need(ctx, 1, "rect CAPTION");
    const auto found = Locate(ctx, ctx.Args[0]);
    if (!found.Window) return Missing(ctx, found);
    RECT r{};
    GetWindowRect(found.Window, &r);
    Print(std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
          std::to_string(r.bottom));
    return ExitOk;
}

std::string Describe(HWND control) {
    const auto cls = ClassOf(control);
    std::string line = std::to_string(GetDlgCtrlID(control)) + "\t" + cls + "\t" +
                       (OwnVisible(control) ? "visible" : "hidden") + "\t" +
                       (IsWindowEnabled(control) ? "enabled" : "disabled");
    if (lstrcmpiA(cls.c_str(), "Button") == 0)
        line += CheckState(control) == BST_CHECKED ? "\tchecked" : "\tunchecked";
    return line + "\t" + Escaped(TextOf(control));
}

// One line per control: id, class, visibility, enabled state, check state of buttons, text.
int Controls(const Context& ctx) {
    Need(ctx, 1, "controls CAPTION");
    const auto found = Locate(ctx, ctx.Args[0]);
    if (!found.Window) return Missing(ctx, found);
    for (HWND control : Descendants(found.Window)) Print(Describe(control));
    return ExitOk;
}

// One line per control: id, class, its rectangle in the window's client area (left top right bottom),
// its text. The window's client area comes first, as "client W H X Y": its size and where it starts in the
// window's rectangle.
int Layout(const Context& ctx) {
    Need(ctx, 1, "layout CAPTION");
    const auto found = Locate(ctx, ctx.Args[0]);
    if (!found.Window) return Missing(ctx, found);
    RECT client{}, window{};
    GetClientRect(found.Window, &client);
    GetWindowRect(found.Window, &window);
    POINT origin{0, 0};
    ClientToScreen(found.Window, &origin);
    Print("client " + std::to_string(client.right) + " " + std::to_string(client.bottom) + " " +
          std::to_string(origin.x - window.left) + " " + std::to_string(origin.y - window.top));
    for (HWND control : Descendants(found.Window)) {
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(HWND_DESKTOP, found.Window, reinterpret_cast<POINT*>(&r), 2);
        Print(std::to_string(GetDlgCtrlID(control)) + "\t" + ClassOf(control) + "\t" +
              std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
              std::to_string(r.bottom) + "\t" + Escaped(TextOf(control)));
    }
    return ExitOk;
}

// The window as a screen reader finds it: one line per accessible object (see AccessibleTree).
int Accessible(const Context& ctx) {
    Need(ctx, 1, "accessible CAPTION");
    const auto found = Locate(ctx, ctx.Args[0]);
    if (!found.Window) return Missing(ctx, found);
    for (const std::string& line : AccessibleTree(found.Window)) Print(line);
    return ExitOk;
}

// The control that has the keyboard: its id, class and text, then what a screen reader says of it.
int Focus(const Context& ctx) {
    Need(ctx, 1, "focus CAPTION");
    const auto found = Locate(ctx, ctx.Args[0]);
    if (!found.Window) return Missing(ctx, found);
    HWND focus = FocusOf(found.Window);
    if (!focus) return ExitNoControl;
    Print(std::to_string(GetDlgCtrlID(focus)) + "\t" + ClassOf(focus) + "\t" + Escaped(TextOf(focus)) + "\t" +
          DescribeAccessible(focus));
    return ExitOk;
}

// Types keys into the window, which comes to the front first.
int Keys(const Context& ctx) {
    if (ctx.Args.size() < 2) throw std::invalid_argument("usage: keys CAPTION KEY...");
    const auto found = Locate(ctx, ctx.Args[0]);
    if (!found.Window) return Missing(ctx, found);
    TypeKeys(found.Window, std::vector<std::string>(ctx.Args.begin() + 1, ctx.Args.end()));
    return ExitOk;
}

// The text as a control shows it: "&x" marks the accelerator and "&&" is one "&".
std::string WithoutAccelerators(const std::string& text) {
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

// The size the control's text needs in the control's own font: a single line for buttons and captions,
// wrapped lines within the width for a memo. Room is what the control has for it after its frame,
// its check box or its margins. Nothing for a control whose text scrolls or that has none.
struct Fit {
    SIZE Needed{};
    SIZE Room{};
};

std::optional<Fit> FitOf(HWND control) {
    const std::string text = TextOf(control);
    if (text.empty()) return std::nullopt;
    const std::string cls = ClassOf(control);
    const auto style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
    RECT client{};
    GetClientRect(control, &client);
    UINT flags = DT_SINGLELINE | DT_CALCRECT;
    std::string shown = WithoutAccelerators(text);
    Fit fit{{}, {client.right, client.bottom}};
    if (lstrcmpiA(cls.c_str(), "Button") == 0) {
        const DWORD type = style & BS_TYPEMASK;
        const bool box = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                         type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
        fit.Room.cx -= box ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : type == BS_GROUPBOX ? 16 : 8;
    } else if (lstrcmpiA(cls.c_str(), "Edit") == 0) {
        if (!(style & ES_MULTILINE) || (style & WS_VSCROLL)) return std::nullopt;
        flags = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_CALCRECT;
        shown = text;
        fit.Room.cx -= 4; // the edit control's margins
    } else if (lstrcmpiA(cls.c_str(), "YarWindow") == 0) {
        fit.Room.cx -= 10; // a group box's caption begins 8 pixels in, on a background 2 pixels wider
        flags |= DT_NOPREFIX;
        shown = text;
    } else {
        return std::nullopt;
    }
    HDC dc = GetDC(control);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    RECT needed{0, 0, fit.Room.cx, 0};
    DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &needed, flags);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    fit.Needed = {needed.right - needed.left, needed.bottom - needed.top};
    return fit;
}

// One line per visible control with a text: "fits" or "clipped", its class, the size its text needs and
// the room it has ("WxH"), and the text. Ends with ExitFalse when any text is clipped.
int Fits(const Context& ctx) {
    Need(ctx, 1, "fit CAPTION");
    const auto found = Locate(ctx, ctx.Args[0]);
    if (!found.Window) return Missing(ctx, found);
    bool all = true;
    for (HWND control : Descendants(found.Window)) {
        if (!IsWindowVisible(control)) continue;
        const std::optional<Fit> fit = FitOf(control);
        if (!fit) continue;
        const bool fits = fit->Needed.cx <= fit->Room.cx && fit->Needed.cy <= fit->Room.cy;
        all = all && fits;
        const auto size = [](SIZE s) { return std::to_string(s.cx) + "x" + std::to_string(s.cy); };
        Print(std::string(fits ? "fits" : "clipped") + "\t" + ClassOf(control) + "\t" + size(fit->Needed) +
              "\t" + size(fit->Room) + "\t" + Escaped(TextOf(control)));
    }
    return all ? ExitOk : ExitFalse;
}

// One line per visible top-level window: process id, class, caption.
int Windows(const Context& ctx) {
    Need(ctx, 0, "windows");
    for (HWND window : AllTopWindows())
        Print(std::to_string(ProcessOf(window)) + "\t" + ClassOf(window) + "\t" + Escaped(TextOf(window)));
    return ExitOk;
}

// The system's own text for an error code, as an error box would show it.
int SysError(const Context& ctx) {
    Need(ctx, 1, "syserror CODE");
    char* buffer = nullptr;
    const DWORD code = std::strtoul(ctx.Args[0].c_str(), nullptr, 0);
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    if (length == 0) return ExitNotFound;
    Print(Escaped(std::string(buffer, length)));
    LocalFree(buffer);
    return ExitOk;
}

// The short form of an existing path as the system reports it, the one a DOS batch file would use.
int ShortPath(const Context& ctx) {
    Need(ctx, 1, "shortpath PATH");
    char buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(ctx.Args[0].c_str(), buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return ExitNotFound;
    Print(buffer);
    return ExitOk;
}

// Loads a DLL by name as a program that does not restrict its DLL search would, and prints the path it
// came from: the control of the planted-DLL case.
int Load(const Context& ctx) {
    Need(ctx, 1, "load DLL");
    HMODULE module = LoadLibraryA(ctx.Args[0].c_str());
    if (module == nullptr) return ExitNotFound;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, sizeof path);
    Print(path);
    return ExitOk;
}

LRESULT CALLBACK HoldProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CLOSE || message == WM_ENDSESSION) PostQuitMessage(0);
    return DefWindowProcA(window, message, w, l);
}

// Keeps one hidden window alive for SECONDS (0: until told), so that the prefix's desktop process stays
// up between the short-lived programs of a test run. Ends early on WM_CLOSE or at session end.
int Hold(const Context& ctx) {
    Need(ctx, 1, "hold SECONDS");
    WNDCLASSA wc{};
    wc.lpfnWndProc = HoldProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "yardrive-hold";
    RegisterClassA(&wc);
    HWND window = CreateWindowA(wc.lpszClassName, "yardrive hold", WS_OVERLAPPED, 0, 0, 1, 1, nullptr,
                                nullptr, wc.hInstance, nullptr);
    if (!window) return ExitNotFound;
    if (const double seconds = Seconds(ctx.Args[0]); seconds > 0)
        SetTimer(window, 1, static_cast<UINT>(seconds * 1000), nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) break;
        DispatchMessageA(&msg);
    }
    DestroyWindow(window);
    return ExitOk;
}

// Holds FILE open without sharing for SECONDS, as a running program holds its own files: nobody may read,
// write or delete it meanwhile. Prints "locked" once it holds it.
int Lock(const Context& ctx) {
    Need(ctx, 2, "lock FILE SECONDS");
    HANDLE file = CreateFileA(ctx.Args[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ExitNotFound;
    std::puts("locked");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(Seconds(ctx.Args[1]) * 1000));
    CloseHandle(file);
    return ExitOk;
}

const std::map<std::string, std::function<int(const Context&)>>& CommandTable() {
    static const std::map<std::string, std::function<int(const Context&)>> table{
        {"wait-window", WaitWindow},
        {"wait-gone", WaitGone},
        {"text", Text},
        {"get", Get},
        {"click", Click},
        {"click-at", ClickAt},
        {"answer", Answer},
        {"close", Close},
        {"check", Check},
        {"visible", Visible},
        {"showing", Showing},
        {"enabled", Enabled},
        {"rect", Rect},
        {"controls", Controls},
        {"layout", Layout},
        {"accessible", Accessible},
        {"focus", Focus},
        {"keys", Keys},
        {"fit", Fits},
        {"windows", Windows},
        {"syserror", SysError},
        {"shortpath", ShortPath},
        {"hold", Hold},
        {"load", Load},
        {"lock", Lock},
    };
    return table;
}

} // namespace

std::string Escaped(const std::string& text) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                out += "\\x";
                out += hex[byte >> 4];
                out += hex[byte & 15];
            } else {
                out += c;
            }
        }
    }
    return out;
}

std::string Unescaped(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] != '\\' || next == '\0') {
            out += text[i];
        } else if (next == 'x' && i + 3 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
            ++i;
        }
    }
    return out;
}

int Run(const std::vector<std::string>& args) {
    Context ctx;
    bool escaped = false; // the arguments are written as Escaped writes texts: bytes of any code page
    size_t i = 0;
    for (; i + 1 < args.size() && args[i].starts_with("--"); i += 2) {
        if (args[i] == "--pid")
            ctx.Pid = std::strtoul(args[i + 1].c_str(), nullptr, 0);
        else if (args[i] == "--timeout")
            ctx.Timeout = Seconds(args[i + 1]);
        else if (args[i] == "--escaped")
            escaped = args[i + 1] == "1";
        else
            throw std::invalid_argument("unknown option " + args[i]);
    }
    if (i >= args.size())
        throw std::invalid_argument("no command; one of wait-window wait-gone text get click "
                                    "click-at answer close check visible showing enabled rect controls "
                                    "layout accessible focus keys fit windows syserror hold load lock");
    const auto command = CommandTable().find(args[i]);
    if (command == CommandTable().end()) throw std::invalid_argument("unknown command " + args[i]);
    ctx.Args.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    if (escaped)
        for (std::string& arg : ctx.Args) arg = Unescaped(arg);
    return command->second(ctx);
}

} // namespace yardrive
