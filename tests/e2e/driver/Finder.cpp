#include "Finder.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace yardrive {

namespace {

// Cross-process messages wait this long before the target counts as hung.
constexpr UINT ReplyTimeoutMs = 2000;

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

bool Matches(HWND window, const WindowFilter& filter) {
    if (!IsWindowVisible(window)) return false;
    if (filter.Pid != 0 && ProcessOf(window) != filter.Pid) return false;
    if (!filter.ClassName.empty() && ClassOf(window) != filter.ClassName) return false;
    return TextOf(window) == filter.Caption;
}

std::string WithoutAccelerators(const std::string& text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i; // "&&" stands for one "&"
        plain += text[i];
    }
    return plain;
}

// A decimal or 0x-prefixed control id, when the whole text is one.
std::optional<int> ParseId(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const long id = std::strtol(text.c_str(), &end, 0);
    if (*end != '\0' || id < 0 || id > 0xFFFF) return std::nullopt;
    return static_cast<int>(id);
}

} // namespace

std::vector<HWND> AllTopWindows() {
    std::vector<HWND> all;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
    std::erase_if(all, [](HWND w) { return !IsWindowVisible(w); });
    return all;
}

std::vector<HWND> TopWindows(const WindowFilter& filter) {
    std::vector<HWND> all;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
    std::erase_if(all, [&](HWND w) { return !Matches(w, filter); });
    return all;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND FindControl(HWND parent, const std::string& what) {
    const auto children = Descendants(parent);
    if (const auto id = ParseId(what)) {
        const auto it =
            std::find_if(children.begin(), children.end(), [&](HWND c) { return GetDlgCtrlID(c) == *id; });
        if (it != children.end()) return *it;
    }
    const auto it = std::find_if(children.begin(), children.end(), [&](HWND c) {
        const auto text = TextOf(c);
        return text == what || WithoutAccelerators(text) == what;
    });
    return it != children.end() ? *it : nullptr;
}

std::string TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, ReplyTimeoutMs, &length))
        return {};
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, ReplyTimeoutMs, &copied))
        return {};
    text.resize(std::min<size_t>(copied, length));
    return text;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    const int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

bool OwnVisible(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

int CheckState(HWND button) {
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, ReplyTimeoutMs, &state)) return -1;
    return static_cast<int>(state);
}

} // namespace yardrive
