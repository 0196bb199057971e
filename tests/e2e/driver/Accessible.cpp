#include "Accessible.h"

#include "Commands.h"
#include "Finder.h"

#include <ole2.h>
#include <oleacc.h>

#include <cctype>
#include <map>
#include <stdexcept>
#include <thread>
#include <utility>

namespace yardrive {

namespace {

// COM for the calls into the other process, for as long as the driver runs.
void NeedCom() {
    static const HRESULT com = CoInitialize(nullptr);
    (void)com;
}

std::string Narrow(BSTR text) {
    if (!text) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(SysStringLen(text)), nullptr, 0,
                                           nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(SysStringLen(text)), result.data(), length,
                        nullptr, nullptr);
    SysFreeString(text);
    return result;
}

VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// Owns one reference.
class TAcc {
public:
    explicit TAcc(IAccessible* acc = nullptr) : FAcc(acc) {}
    ~TAcc() {
        if (FAcc) FAcc->Release();
    }
    TAcc(TAcc&& other) noexcept : FAcc(std::exchange(other.FAcc, nullptr)) {}
    TAcc& operator=(TAcc&&) = delete;
    TAcc(const TAcc&) = delete;
    TAcc& operator=(const TAcc&) = delete;
    IAccessible* operator->() const { return FAcc; }
    IAccessible* Get() const { return FAcc; }
    explicit operator bool() const { return FAcc != nullptr; }

private:
    IAccessible* FAcc;
};

TAcc FromWindow(HWND window) {
    NeedCom();
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&acc))))
        return TAcc{};
    return TAcc{acc};
}

// A number the object gives for its child id through getter (its role, its state); 0 when it gives none.
long NumberOf(IAccessible* acc, long id,
              HRESULT (STDMETHODCALLTYPE IAccessible::*getter)(VARIANT, VARIANT*)) {
    VARIANT number;
    VariantInit(&number);
    if (FAILED((acc->*getter)(Child(id), &number)) || number.vt != VT_I4) {
        VariantClear(&number);
        return 0;
    }
    return number.lVal;
}

long Role(IAccessible* acc, long id) {
    return NumberOf(acc, id, &IAccessible::get_accRole);
}

long State(IAccessible* acc, long id) {
    return NumberOf(acc, id, &IAccessible::get_accState);
}

std::string RoleText(long role) {
    char text[128] = {};
    if (role == 0 || GetRoleTextA(static_cast<DWORD>(role), text, sizeof text) == 0)
        return "role " + std::to_string(role);
    return text;
}

std::string StateText(long state) {
    static const std::pair<long, const char*> names[] = {
        {STATE_SYSTEM_UNAVAILABLE, "unavailable"}, {STATE_SYSTEM_SELECTED, "selected"},
        {STATE_SYSTEM_FOCUSED, "focused"},         {STATE_SYSTEM_PRESSED, "pressed"},
        {STATE_SYSTEM_CHECKED, "checked"},         {STATE_SYSTEM_READONLY, "readonly"},
        {STATE_SYSTEM_DEFAULT, "default"},         {STATE_SYSTEM_FOCUSABLE, "focusable"},
        {STATE_SYSTEM_ANIMATED, "animated"},       {STATE_SYSTEM_PROTECTED, "protected"},
    };
    std::string text;
    for (const auto& [flag, name] : names)
        if (state & flag) {
            if (!text.empty()) text += ',';
            text += name;
        }
    return text;
}

std::string Line(IAccessible* acc, long id) {
    BSTR name = nullptr;
    BSTR value = nullptr;
    if (acc->get_accName(Child(id), &name) != S_OK) name = nullptr;
    if (acc->get_accValue(Child(id), &value) != S_OK) value = nullptr;
    return RoleText(Role(acc, id)) + "\t" + Escaped(Narrow(name)) + "\t" + Escaped(Narrow(value)) + "\t" +
           StateText(State(acc, id));
}

// A child window's object (the window with its frame) stands for its client area, where its controls are.
TAcc ClientOf(IDispatch* dispatch, HWND parent) {
    IAccessible* acc = nullptr;
    const HRESULT found = dispatch->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&acc));
    dispatch->Release();
    if (FAILED(found)) return TAcc{};
    TAcc object{acc};
    HWND window = nullptr;
    if (FAILED(WindowFromAccessibleObject(object.Get(), &window)) || !window || window == parent)
        return object;
    return FromWindow(window);
}

void Walk(IAccessible* acc, int depth, std::vector<std::string>& lines) {
    HWND self = nullptr;
    WindowFromAccessibleObject(acc, &self);
    long count = 0;
    if (FAILED(acc->get_accChildCount(&count)) || count <= 0) return;
    std::vector<VARIANT> children(static_cast<size_t>(count));
    for (VARIANT& v : children) VariantInit(&v);
    long obtained = 0;
    if (FAILED(AccessibleChildren(acc, 0, count, children.data(), &obtained))) obtained = 0;
    const std::string indent(static_cast<size_t>(depth) * 2, ' ');
    for (long i = 0; i < obtained; ++i) {
        VARIANT& child = children[static_cast<size_t>(i)];
        if (child.vt == VT_DISPATCH && child.pdispVal) {
            const TAcc object = ClientOf(child.pdispVal, self);
            child.vt = VT_EMPTY; // released by ClientOf
            if (!object || (State(object.Get(), CHILDID_SELF) & STATE_SYSTEM_INVISIBLE)) continue;
            lines.push_back(indent + Line(object.Get(), CHILDID_SELF));
            Walk(object.Get(), depth + 1, lines);
        } else if (child.vt == VT_I4 && !(State(acc, child.lVal) & STATE_SYSTEM_INVISIBLE)) {
            lines.push_back(indent + Line(acc, child.lVal));
        }
        VariantClear(&child);
    }
}

struct TKey {
    WORD Code;
    bool Shift = false;
    bool Alt = false;
    bool Control = false;
};

TKey ParseKey(std::string text) {
    static const std::map<std::string, WORD> named = {
        {"tab", VK_TAB},    {"enter", VK_RETURN}, {"escape", VK_ESCAPE}, {"space", VK_SPACE}, {"up", VK_UP},
        {"down", VK_DOWN},  {"left", VK_LEFT},    {"right", VK_RIGHT},   {"home", VK_HOME},   {"end", VK_END},
        {"pgup", VK_PRIOR}, {"pgdn", VK_NEXT},    {"f4", VK_F4},
    };
    TKey key{};
    for (;;) {
        if (text.starts_with("shift+"))
            key.Shift = true;
        else if (text.starts_with("alt+"))
            key.Alt = true;
        else if (text.starts_with("ctrl+"))
            key.Control = true;
        else
            break;
        text.erase(0, text.find('+') + 1);
    }
    if (const auto it = named.find(text); it != named.end()) {
        key.Code = it->second;
    } else if (text.size() == 1 && std::isalnum(static_cast<unsigned char>(text[0]))) {
        key.Code = static_cast<WORD>(std::toupper(static_cast<unsigned char>(text[0])));
    } else {
        throw std::invalid_argument("unknown key " + text);
    }
    return key;
}

INPUT KeyInput(WORD code, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(code, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    // The arrows and the keys above them are the extended ones, not the number pad's.
    if (code == VK_UP || code == VK_DOWN || code == VK_LEFT || code == VK_RIGHT || code == VK_HOME ||
        code == VK_END || code == VK_PRIOR || code == VK_NEXT)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return input;
}

} // namespace

std::vector<std::string> AccessibleTree(HWND window) {
    std::vector<std::string> lines;
    const TAcc root = FromWindow(window);
    if (!root) throw std::runtime_error("no accessible object for the window");
    lines.push_back(Line(root.Get(), CHILDID_SELF));
    Walk(root.Get(), 1, lines);
    return lines;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

std::string DescribeAccessible(HWND control) {
    const TAcc object = FromWindow(control);
    return object ? Line(object.Get(), CHILDID_SELF) : std::string("no accessible object");
}

void TypeKeys(HWND window, const std::vector<std::string>& keys) {
    std::vector<TKey> parsed;
    for (const std::string& key : keys) parsed.push_back(ParseKey(key));
    SetForegroundWindow(window);
    for (const TKey& key : parsed) {
        std::vector<INPUT> inputs;
        const std::pair<bool, WORD> modifiers[] = {
            {key.Control, VK_CONTROL}, {key.Alt, VK_MENU}, {key.Shift, VK_SHIFT}};
        for (const auto& [on, code] : modifiers)
            if (on) inputs.push_back(KeyInput(code, false));
        inputs.push_back(KeyInput(key.Code, false));
        inputs.push_back(KeyInput(key.Code, true));
        for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
            if (it->first) inputs.push_back(KeyInput(it->second, true));
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        // Each key is taken before the next, as a typist's would be.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
}

} // namespace yardrive
