#include "toolkit/CheckListBox.h"

#include "toolkit/HighContrast.h"

#include <algorithm>
#include <stdexcept>

namespace yar {

namespace {

// Designed at 96 pixels per inch.
constexpr int kBoxSize = 13; // the classic check box
constexpr int kBoxMargin = 2;
// Where an item's text begins: after its box and a gap.
constexpr int kTextLeft = kBoxMargin + kBoxSize + 4;

} // namespace

TCheckListBox::TCheckListBox(TWinControl* parent, const TBounds& bounds)
    : TWinControl(parent, bounds, "LISTBOX",
                  WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                      LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                  WS_EX_CLIENTEDGE) {
    FColor = clWindow;
    FListProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCheckListBox::ListProc)));
    // The measuring message of the list's creation reached no control: the height is set now.
    UpdateItemHeight();
}

TCheckListBox::~TCheckListBox() {
    // The window outlives this part of the object: its class alone must see its last messages.
    SetWindowLongPtrA(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FListProc));
}

LRESULT TCheckListBox::CallList(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcA(FListProc, Handle(), msg, wParam, lParam);
}

int TCheckListBox::Count() const {
    return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0));
}

void TCheckListBox::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
}

std::string TCheckListBox::Item(int index) const {
    CheckIndex(index);
    const auto length = SendMessageA(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(Handle(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::vector<std::string> TCheckListBox::Items() const {
    const int count = Count();
    std::vector<std::string> items;
    items.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) items.push_back(Item(i));
    return items;
}

int TCheckListBox::AddItem(const std::string& text) {
    const auto index = SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0) throw std::runtime_error("Cannot add a list item");
    SendMessageA(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), 0);
    return static_cast<int>(index);
}

void TCheckListBox::Clear() {
    SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
}

bool TCheckListBox::Checked(int index) const {
    CheckIndex(index);
    return SendMessageA(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0) == 1;
}

void TCheckListBox::SetChecked(int index, bool checked) {
    CheckIndex(index);
    SendMessageA(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), checked ? 1 : 0);
    RECT r;
    if (SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) !=
        LB_ERR)
        InvalidateRect(Handle(), &r, TRUE);
    // A screen reader says the new mark of the item (child ids count from 1).
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, Handle(), OBJID_CLIENT, index + 1);
}

int TCheckListBox::ItemIndex() const {
    return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

void TCheckListBox::SetItemIndex(int index) {
    if (index != -1) CheckIndex(index);
    SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TCheckListBox::Toggle(int index) {
    SetChecked(index, !Checked(index));
    if (OnClickCheck) OnClickCheck(index);
}

TAccessibleFacts TCheckListBox::AccessibleFacts() const {
    TAccessibleFacts facts = TWinControl::AccessibleFacts();
    facts.Role = ROLE_SYSTEM_LIST;
    return facts;
}

std::vector<TAccessibleElement> TCheckListBox::AccessibleElements() const {
    std::vector<TAccessibleElement> items;
    const int count = Count();
    const auto caret = static_cast<int>(SendMessageA(Handle(), LB_GETCARETINDEX, 0, 0));
    const bool focused = GetFocus() == Handle();
    RECT client;
    GetClientRect(Handle(), &client);
    for (int i = 0; i < count; ++i) {
        TAccessibleElement item;
        item.Facts.Name = Item(i);
        item.Facts.Role = ROLE_SYSTEM_CHECKBUTTON;
        item.Facts.State = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
        if (Checked(i)) item.Facts.State |= STATE_SYSTEM_CHECKED;
        if (i == ItemIndex()) item.Facts.State |= STATE_SYSTEM_SELECTED;
        if (focused && i == caret) item.Facts.State |= STATE_SYSTEM_FOCUSED;
        if (!Enabled()) item.Facts.State |= STATE_SYSTEM_UNAVAILABLE;
        SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item.Bounds));
        RECT shown;
        if (!IntersectRect(&shown, &item.Bounds, &client)) item.Facts.State |= STATE_SYSTEM_INVISIBLE;
        items.push_back(std::move(item));
    }
    return items;
}

bool TCheckListBox::DoElementAction(int index) {
    if (index < 0 || index >= Count() || !Enabled()) return false;
    Toggle(index);
    return true;
}

void TCheckListBox::FontChanged() {
    TWinControl::FontChanged();
    UpdateItemHeight();
}

void TCheckListBox::UpdateItemHeight() {
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, Font().Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    const int height = std::max(static_cast<int>(metrics.tmHeight), Scaled(kBoxSize)) + Scaled(2);
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, height);
    Invalidate();
}

LRESULT CALLBACK TCheckListBox::ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<TCheckListBox*>(FromHandle(hwnd));
    return self->ListMessage(msg, wParam, lParam);
}

LRESULT TCheckListBox::ListMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // The list selects the item first; a click within the box then turns the mark over.
        const LRESULT result = CallList(msg, wParam, lParam);
        const auto hit = static_cast<DWORD>(SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, lParam));
        const int x = static_cast<short>(LOWORD(lParam));
        if (HIWORD(hit) == 0 && x < Scaled(kTextLeft) && static_cast<int>(LOWORD(hit)) < Count())
            Toggle(LOWORD(hit));
        return result;
    }
    case WM_KEYDOWN:
        if (wParam != VK_SPACE) break;
        if (const auto caret = SendMessageA(Handle(), LB_GETCARETINDEX, 0, 0); caret >= 0 && caret < Count())
            Toggle(static_cast<int>(caret));
        return 0;
    case WM_CHAR:
        // The space was the key above, not the start of an item's name to search for.
        if (wParam == ' ') return 0;
        break;
    default:
        break;
    }
    return CallList(msg, wParam, lParam);
}

bool TCheckListBox::ParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_DRAWITEM) return TWinControl::ParentMessage(msg, wParam, lParam, result);
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}

void TCheckListBox::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT text = item.rcItem;
    text.left += Scaled(kTextLeft - 2);
    if (item.itemID == static_cast<UINT>(-1)) { // an empty list with the focus
        if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &text);
        return;
    }
    const int index = static_cast<int>(item.itemID);
    // The box stands on the list's colour; only the text shows the selection.
    RECT boxArea = item.rcItem;
    boxArea.right = text.left;
    FillRect(dc, &boxArea, ColorBrush());
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &text, selected ? GetSysColorBrush(COLOR_HIGHLIGHT) : ColorBrush());

    const int boxSize = Scaled(kBoxSize);
    const int top = (item.rcItem.top + item.rcItem.bottom - boxSize) / 2;
    const int left = item.rcItem.left + Scaled(kBoxMargin);
    RECT box{left, top, left + boxSize, top + boxSize};
    UINT state = DFCS_BUTTONCHECK;
    if (Checked(index)) state |= DFCS_CHECKED;
    if (!Enabled()) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &box, DFC_BUTTON, state);

    const std::string caption = Item(index);
    const TColor color = !Enabled() ? clGrayText
                         : selected ? clHighlightText
                                    : ContrastColor(Font().Color(), clWindowText);
    SetTextColor(dc, ColorToRGB(color));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, Font().Handle());
    RECT words = text;
    words.left += Scaled(2);
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &words,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &text);
}

} // namespace yar
