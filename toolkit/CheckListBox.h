// A list whose items each have a check box in front.
#pragma once

#include "toolkit/Controls.h"

#include <string>
#include <vector>

namespace yar {

// An owner-drawn system list box. A click on an item's box, or Space on the item with the caret,
// turns that item's mark over and raises OnClickCheck. The marks are the items' data (1 checked,
// 0 not), so they move with their items. Indexes out of range throw std::out_of_range.
class TCheckListBox : public TWinControl {
public:
    explicit TCheckListBox(TWinControl* parent, const TBounds& bounds = {0, 0, 121, 97});
    ~TCheckListBox() override;

    int Count() const;
    std::vector<std::string> Items() const;
    std::string Item(int index) const;
    // Adds an unchecked item at the end; returns its index.
    int AddItem(const std::string& text);
    void Clear();

    bool Checked(int index) const;
    void SetChecked(int index, bool checked);

    // The selected item, -1 for none.
    int ItemIndex() const;
    void SetItemIndex(int index);

    // After the user turned a mark over; the index is that of the item.
    std::function<void(int index)> OnClickCheck;

    // A list whose items are check boxes, with their marks, the one with the caret focused when the
    // list has the keyboard; an item's default action turns its mark over.
    TAccessibleFacts AccessibleFacts() const override;
    std::vector<TAccessibleElement> AccessibleElements() const override;
    bool ElementsReplaceChildren() const override { return true; }
    bool DoElementAction(int index) override;

protected:
    bool ParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void FontChanged() override;

private:
    // The list box's own messages, before its class sees them: clicks on the boxes and Space.
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT ListMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT CallList(UINT msg, WPARAM wParam, LPARAM lParam) const;
    void CheckIndex(int index) const;
    void Toggle(int index);
    void UpdateItemHeight();
    void DrawItem(const DRAWITEMSTRUCT& item);

    WNDPROC FListProc = nullptr;
};

} // namespace yar
