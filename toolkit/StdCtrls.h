// Labels (plain and with a shadow), buttons, check boxes, radio buttons, edits, memos and group boxes.
#pragma once

#include "toolkit/Controls.h"

#include <string>
#include <vector>

namespace yar {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A windowless text label; with AutoSize it takes the size of its text whenever text or font change.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TWinControl* parent, const TBounds& bounds = {});

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool transparent);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool autoSize);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool wordWrap);

    void Paint(HDC dc) override;
    bool Opaque() const override { return !FTransparent; }
    // Static text named by its caption; an empty label is not told of.
    TAccessibleFacts AccessibleFacts() const override;

protected:
    void FontChanged() override;
    // The size of the caption in the label's font: the width of its longest line (or the wrapping
    // width) and the height of all lines.
    SIZE TextExtent() const;
    // Size the text needs, plus whatever a derived label draws around it.
    virtual SIZE AutoSizeExtent() const { return TextExtent(); }
    void AdjustBounds();
    UINT DrawTextFlags() const;
    void DrawCaption(HDC dc, RECT rect, TColor color) const;
    // Draws the caption once the surface is prepared (font selected, transparent text background).
    virtual void PaintText(HDC dc);
    TColor TextColor() const;

private:
    std::string FCaption;
    bool FTransparent = false;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    bool FWordWrap = false;
};

// Where the shadow falls, seen from the text.
enum TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };

// A label whose text is drawn twice: first in the shadow colour, offset by the shadow size in the
// shadow's direction, then in the font colour on top. The label grows by the shadow size (designed at 96
// pixels per inch, scaled with the label). In high contrast the shadow is left out.
class TShadowLabel : public TLabel {
public:
    explicit TShadowLabel(TWinControl* parent, const TBounds& bounds = {});

    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor color);
    int ShadowSize() const { return FShadowSize; }
    void SetShadowSize(int size);
    TShadowPosition ShadowPos() const { return FShadowPos; }
    void SetShadowPos(TShadowPosition pos);

    // Where text and shadow are drawn inside the label.
    RECT TextRect() const;
    RECT ShadowRect() const;

protected:
    SIZE AutoSizeExtent() const override;
    void PaintText(HDC dc) override;

private:
    TColor FShadowColor = clWhite;
    int FShadowSize = 1;
    TShadowPosition FShadowPos = spRightBottom;
};

// Text split into lines at CR LF, LF or CR; a line break at the very end starts no further line.
std::vector<std::string> SplitLines(const std::string& text);
// The lines, each followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// A push button. Enter presses the form's default button and Escape its cancel button; Alt and the
// letter marked with & in the caption press the button too.
class TButton : public TWinControl {
public:
    explicit TButton(TWinControl* parent, const TBounds& bounds = {0, 0, 75, 25});
    ~TButton() override;

    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }
    // One default and one cancel button per form: setting one takes the part from the other.
    bool Default() const;
    void SetDefault(bool isDefault);
    bool Cancel() const;
    void SetCancel(bool isCancel);

    // A push button, the default one marked so.
    TAccessibleFacts AccessibleFacts() const override;

    TNotifyEvent OnClick;

protected:
    bool ParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The thick frame of the button that Enter presses: the focused button, else the default one.
    void ShowAsDefault(bool isDefault) const;
    TButton* FormDefault() const;
};

// A button with a mark of its own: check boxes and radio buttons. A click of the user sets the mark
// first, then raises OnClick; setting Checked raises nothing.
class TCheckButton : public TWinControl {
public:
    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);
    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }

    // A check or radio button with its mark.
    TAccessibleFacts AccessibleFacts() const override;

    TNotifyEvent OnClick;

protected:
    TCheckButton(TWinControl* parent, const TBounds& bounds, DWORD style);
    bool ParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // The mark a click leaves.
    virtual bool CheckedAfterClick() const = 0;
    // After the mark has changed.
    virtual void CheckChanged() {}

private:
    bool FChecked = false;
};

// A check box: a click turns its mark over.
class TCheckBox : public TCheckButton {
public:
    explicit TCheckBox(TWinControl* parent, const TBounds& bounds = {0, 0, 97, 17});

protected:
    bool CheckedAfterClick() const override { return !Checked(); }
};

// A radio button; the radio buttons with the same parent form one group, so checking one clears
// the others.
class TRadioButton : public TCheckButton {
public:
    explicit TRadioButton(TWinControl* parent, const TBounds& bounds = {0, 0, 113, 17});

protected:
    bool CheckedAfterClick() const override { return true; }
    void CheckChanged() override;
};

// What edits have in common: the read-only state (the program may still set the text) and the
// change event, raised by the user's typing and by the program's setting of the text alike.
class TCustomEdit : public TWinControl {
public:
    bool ReadOnly() const;
    void SetReadOnly(bool readOnly);
    void SetText(const std::string& text) override;

    TNotifyEvent OnChange;

protected:
    TCustomEdit(TWinControl* parent, const TBounds& bounds, DWORD style);
    bool ParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A one-line edit.
class TEdit : public TCustomEdit {
public:
    explicit TEdit(TWinControl* parent, const TBounds& bounds = {0, 0, 121, 21});
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// A multi-line edit that wraps its lines unless it has a horizontal scroll bar. Its text holds the
// lines each followed by CR LF. Tab, Enter and Escape belong to the form, as in a one-line edit: they
// move the focus on and press the default and the cancel button.
class TMemo : public TCustomEdit {
public:
    explicit TMemo(TWinControl* parent, const TBounds& bounds = {0, 0, 185, 89});

    std::vector<std::string> Lines() const { return SplitLines(Text()); }
    void SetLines(const std::vector<std::string>& lines) { SetText(JoinLines(lines)); }
    void AddLine(const std::string& line);
    void Clear() { SetText(""); }
    // The lines of a text file, broken at CR LF, LF or CR; throws when the file cannot be read.
    void LoadFromFile(const std::string& path);

    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle scrollBars);

private:
    static DWORD ScrollStyle(TScrollStyle scrollBars);
    // The system's multi-line edit wants every key and hands Tab, Enter and Escape to its parent as
    // if that were a dialog; a page or panel is not one, and would even close on the Escape.
    static LRESULT CALLBACK MemoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void TakeAnyLength();
    void TakeFormKeys();

    TScrollStyle FScrollBars = ssNone;
};

// A frame with a caption that holds controls of its own.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TWinControl* parent, const TBounds& bounds = {0, 0, 185, 105});

    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& caption);
    // A grouping named by its caption.
    TAccessibleFacts AccessibleFacts() const override;

protected:
    void PaintWindow(HDC dc) override;
};

} // namespace yar
