// The control hierarchy: windowless controls painted by their parent (TGraphicControl) and controls
// with a window of their own (TWinControl). Controls are members of their form and are all made the
// same way: TX(parent, bounds), where bounds default to the control's own design size, then setters
// for everything else (a notebook's pages take only the notebook: they fill it). The parent paints its
// windowless children in the order they were added, and hands the messages its window gets about a child
// window to that child (ParentMessage). The bounds a control is made with are designed in pixels at
// 96 pixels per inch and scaled to its window's resolution; everything read back or set afterwards is
// in the window's own pixels (Scaled turns a designed length into them).
#pragma once

#include "toolkit/Accessibility.h"
#include "toolkit/DpiScale.h"
#include "toolkit/Graphics.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace yar {

class TWinControl;

using TNotifyEvent = std::function<void()>;

// alClient: the control fills its parent's client area, also after every resize.
enum TAlign { alNone, alClient };

// Where a control sits in its parent's client area, and its size.
struct TBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

class TControl {
public:
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    TWinControl* Parent() const { return FParent; }

    // The resolution the control is laid out for: its form's.
    int PixelsPerInch() const { return FPixelsPerInch; }
    // A length designed at 96 pixels per inch, in the control's pixels.
    int Scaled(int designPixels) const { return ScalePixels(designPixels, FPixelsPerInch); }
    // Lays the control out for another resolution: place, size and font scaled from the present ones.
    virtual void ChangeScale(int ppi);

    int Left() const { return FBounds.left; }
    int Top() const { return FBounds.top; }
    int Width() const { return FBounds.right - FBounds.left; }
    int Height() const { return FBounds.bottom - FBounds.top; }
    RECT BoundsRect() const { return FBounds; }
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
    virtual void SetBounds(int left, int top, int width, int height);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);

    // The control's own visibility; a visible control on a hidden parent is not showing.
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool enabled);

    // A new control starts with its parent's colour and font.
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& font);

    // The pointer shown over the control; nullptr leaves the parent's.
    LPCSTR Cursor() const { return FCursor; }
    void SetCursor(LPCSTR cursor) { FCursor = cursor; }

    // The name a screen reader says for the control where its own text does not say it (a picture,
    // the button of a browser); empty: the label's, else the text.
    const std::string& AccessibleName() const { return FAccessibleName; }
    void SetAccessibleName(const std::string& name) { FAccessibleName = name; }
    // The label drawn for the control (an edit's, a list's), whose text names it; nullptr for none.
    // The label must live as long as the control.
    void SetAccessibleLabel(const TControl* label) { FAccessibleLabel = label; }
    // What a screen reader is told of the control; a windowless control without a role is not told of.
    virtual TAccessibleFacts AccessibleFacts() const;

    // Marks the control's area for painting.
    virtual void Invalidate();
    // Paints what is marked at once.
    virtual void Update();
    void Repaint() {
        Invalidate();
        Update();
    }

protected:
    // bounds are scaled to the parent's resolution; a control without a parent takes them as they
    // are, at ppi.
    TControl(TWinControl* parent, const TBounds& bounds, int ppi = kDesignPixelsPerInch);

    // The font has been replaced: windows take it, autosized text takes its size.
    virtual void FontChanged() { Invalidate(); }

    TWinControl* FParent;
    int FPixelsPerInch = kDesignPixelsPerInch;
    RECT FBounds;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clBtnFace;
    TFont FFont;
    LPCSTR FCursor = nullptr;
    std::string FAccessibleName;
    const TControl* FAccessibleLabel = nullptr;
};

// A control without a window: it draws on its parent's surface.
class TGraphicControl : public TControl {
public:
    ~TGraphicControl() override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    void Invalidate() override;

    // Draws the control; dc has its origin at the control's top-left corner and is clipped to it.
    virtual void Paint(HDC dc) = 0;
    // True when the control covers its whole area, so the parent need not erase beneath it.
    virtual bool Opaque() const { return false; }

protected:
    TGraphicControl(TWinControl* parent, const TBounds& bounds);
};

// A control with a window of its own.
class TWinControl : public TControl, public TAccessibleSource {
public:
    ~TWinControl() override;

    HWND Handle() const { return FHandle; }

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void Invalidate() override;
    void Update() override;
    // The children first, then the window itself: a parent that lays its children out when resized
    // has the last word.
    void ChangeScale(int ppi) override;

    // The window's text; a control made of several windows answers with the one that holds its value.
    virtual std::string Text() const;
    virtual void SetText(const std::string& text);

    // The window's id among its siblings, unique under one parent; 0 for windows without a parent
    // control. Messages that name the child only by id (WM_MEASUREITEM) find it by this.
    int ControlId() const { return FControlId; }

    int ClientWidth() const;
    int ClientHeight() const;

    // The children, in the order they were added.
    const std::vector<TControl*>& Controls() const { return FControls; }

    // Finds the control that owns a window made by the toolkit.
    static TWinControl* FromHandle(HWND handle);

    TAccessibleFacts AccessibleFacts() const override { return TControl::AccessibleFacts(); }
    // The visible windowless children that have a role, in the order they were added.
    std::vector<TAccessibleElement> AccessibleElements() const override;

protected:
    struct TCreateParams {
        const char* ClassName = nullptr; // nullptr: the toolkit's own window class
        DWORD Style = 0;
        DWORD ExStyle = 0;
        std::string Text;
        TBounds Bounds;
        HWND ParentHandle = nullptr;              // for windows without a parent control (forms, timers)
        int PixelsPerInch = kDesignPixelsPerInch; // what Bounds is in, for those windows
    };
    TWinControl(TWinControl* parent, const TCreateParams& params);
    // A child window of a system class, or of the toolkit's own when className is nullptr.
    TWinControl(TWinControl* parent, const TBounds& bounds, const char* className, DWORD style,
                DWORD exStyle = 0);

    // Messages of windows of the toolkit's own class; the default handles painting, hands messages
    // about a child window to that child, and sets the pointer and the alignment of children.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);

    // A message the parent's window got about this control (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM,
    // WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM, WM_CTLCOLOR*, WM_HSCROLL, WM_VSCROLL,
    // WM_VKEYTOITEM, WM_CHARTOITEM): true when handled, result being the parent's answer; false lets
    // the parent go on as without the control. The default colours WM_CTLCOLOR* with the control's
    // font colour and colour (the system's in high contrast). What a system window sends while CreateWindowEx
    // is still making it reaches no control: the control applies that once made (LB_SETITEMHEIGHT, not
    // WM_MEASUREITEM).
    virtual bool ParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The procedure of windows of system classes, over the class's own: it answers for the accessible
    // object. A control that replaces the procedure hands it the messages it does not take.
    static LRESULT CALLBACK SystemWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // Paints the window's own surface before the windowless children.
    virtual void PaintWindow(HDC /*dc*/) {}
    // Lays out alClient children; forms also raise their resize event here.
    virtual void Resized();
    // The topmost visible windowless child at pt (client coordinates); nullptr for none.
    TGraphicControl* GraphicControlAt(POINT pt) const;

    HBRUSH ColorBrush();
    void FontChanged() override;

    // Makes the window of a system class again with other styles that the class reads only when
    // the window is made (a multi-line edit's scroll bars): text, font, place, id, tab order,
    // visibility and enabling carry over. Not for windows with children.
    void RecreateWindow(DWORD style, DWORD exStyle);

private:
    friend class TControl;
    friend class TGraphicControl;
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static TAccessibleSource* AccessibleSourceOf(HWND hwnd) { return FromHandle(hwnd); }
    static void HookSystemWindow(HWND hwnd);
    static void RegisterClassOnce();

    // The child control a message about a child window concerns, nullptr when it is none of the
    // toolkit's children (menus, windows made elsewhere).
    TWinControl* MessageTarget(UINT msg, LPARAM lParam) const;
    void PaintHandler();
    void EraseBackground(HDC dc);
    bool SetCursorHandler();
    void AlignControls();

    HWND FHandle = nullptr;
    int FControlId = 0;
    // Above the dialog command ids (IDOK ...) that keyboard navigation sends for Enter and Escape.
    int FNextChildId = 0x100;
    HBRUSH FBrush = nullptr;
    COLORREF FBrushColor = 0;
    bool FOwnClass = false;
    std::vector<TControl*> FControls; // children in the order they were added
};

} // namespace yar
