#include "toolkit/DirectoryEdit.h"

#include "toolkit/ComCtrls.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <stdexcept>

namespace yar {

namespace {

struct TBrowseState {
    std::string Start;
    std::string Title;
    std::string Made; // a typed folder that was made on request
};

bool IsAbsolute(const std::string& path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    return drive || path.rfind("\\\\", 0) == 0;
}

// A typed folder that does not exist: made when the user agrees; the answer keeps the browser open
// (nonzero) or lets it close with that folder (0).
int MakeTypedFolder(HWND dialog, const char* typed, TBrowseState& state) {
    const std::string path = typed ? typed : "";
    if (!IsAbsolute(path)) return 1;
    const std::string question = "The folder " + path + " does not exist.\r\nDo you want to create it?";
    if (MessageBoxA(dialog, question.c_str(), state.Title.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 1;
    const int made = SHCreateDirectoryExA(dialog, path.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS) {
        MessageBoxA(dialog, ("Cannot create the folder " + path + ".").c_str(), state.Title.c_str(),
                    MB_OK | MB_ICONSTOP);
        return 1;
    }
    state.Made = path;
    return 0;
}

int CALLBACK BrowseCallback(HWND dialog, UINT msg, LPARAM lParam, LPARAM data) {
    auto& state = *reinterpret_cast<TBrowseState*>(data);
    if (msg == BFFM_INITIALIZED && !state.Start.empty())
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(state.Start.c_str()));
    if (msg == BFFM_VALIDATEFAILEDA)
        return MakeTypedFolder(dialog, reinterpret_cast<const char*>(lParam), state);
    return 0;
}

} // namespace

bool BrowseForFolder(HWND owner, const std::string& title, std::string& path) {
    TBrowseState state{path, title, {}};
    // The browser's new style needs COM in a single-threaded apartment on this thread.
    const HRESULT ole = OleInitialize(nullptr);
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (SUCCEEDED(ole)) info.ulFlags |= BIF_NEWDIALOGSTYLE | BIF_EDITBOX | BIF_VALIDATE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&state);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    char buffer[MAX_PATH] = {};
    const bool named = chosen && SHGetPathFromIDListA(chosen, buffer);
    if (chosen) CoTaskMemFree(chosen);
    if (SUCCEEDED(ole)) OleUninitialize();
    if (named) {
        path = buffer;
        return true;
    }
    if (state.Made.empty()) return false;
    path = state.Made;
    return true;
}

TDirectoryEdit::TDirectoryEdit(TWinControl* parent, const TBounds& bounds)
    : TWinControl(parent, bounds, nullptr, WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT), FEdit(this),
      FButton(this) {
    FButton.SetCaption("...");
    // The edit says the control's name; the button, which shows only dots, its hint.
    FEdit.SetAccessibleLabel(this);
    FButton.OnClick = [this] { Browse(); };
    UseCommonControls(ICC_TAB_CLASSES);
    FToolTip = CreateWindowExA(
        WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!FToolTip) throw std::runtime_error("Error creating window");
    // The size of the first version of the structure: every version of the library takes it.
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(FButton.Handle());
    tool.lpszText = const_cast<char*>("");
    SendMessageA(FToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    LayOut();
}

TDirectoryEdit::~TDirectoryEdit() {
    DestroyWindow(FToolTip);
}

void TDirectoryEdit::SetButtonHint(const std::string& hint) {
    FButtonHint = hint;
    FButton.SetAccessibleName(hint);
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(FButton.Handle());
    tool.lpszText = const_cast<char*>(FButtonHint.c_str());
    SendMessageA(FToolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

bool TDirectoryEdit::Browse() {
    std::string path = Text();
    if (!BrowseFunction || !BrowseFunction(GetAncestor(Handle(), GA_ROOT), FDialogTitle, path)) return false;
    SetText(path);
    return true;
}

void TDirectoryEdit::SetEnabled(bool enabled) {
    TWinControl::SetEnabled(enabled);
    FEdit.SetEnabled(enabled);
    FButton.SetEnabled(enabled);
}

void TDirectoryEdit::FontChanged() {
    TWinControl::FontChanged();
    FEdit.SetFont(Font());
    FButton.SetFont(Font());
}

void TDirectoryEdit::Resized() {
    TWinControl::Resized();
    LayOut();
}

// The window's resizes while it is being made reach the base class only: the edit and the button
// are laid out first by the constructor.
void TDirectoryEdit::LayOut() {
    const int height = ClientHeight();
    const int side = std::min(height, ClientWidth());
    FEdit.SetBounds(0, 0, ClientWidth() - side, height);
    FButton.SetBounds(ClientWidth() - side, 0, side, height);
}

} // namespace yar
