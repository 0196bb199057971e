// The control hierarchy: windowless controls painted by their parent (TGraphicControl) and controls
// with a window of their own (TWinControl). Controls are members of their form and name their parent
// when they are made; the parent paints its windowless children in the order they were added.
#pragma once

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

class TControl {
public:
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    TWinControl* Parent() const { return FParent; }

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

    TColor Color() const { return FColor; }
    virtual void SetColor(TColor color);

    // The pointer shown over the control; nullptr leaves the parent's.
    LPCSTR Cursor() const { return FCursor; }
    void SetCursor(LPCSTR cursor) { FCursor = cursor; }

    // Marks the control's area for painting.
    virtual void Invalidate();
    // Paints what is marked at once.
    virtual void Update();
    void Repaint() {
        Invalidate();
        Update();
    }

protected:
    explicit TControl(TWinControl* parent);

    TWinControl* FParent;
    RECT FBounds{0, 0, 0, 0};
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clBtnFace;
    LPCSTR FCursor = nullptr;
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
    explicit TGraphicControl(TWinControl* parent);
};

// A control with a window of its own.
class TWinControl : public TControl {
public:
    ~TWinControl() override;

    HWND Handle() const { return FHandle; }

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetColor(TColor color) override;
    void Invalidate() override;
    void Update() override;

    std::string Text() const;
    void SetText(const std::string& text);

    // The font of the control's text; SetFont hands it to the window as well.
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& font);

    int ClientWidth() const;
    int ClientHeight() const;

    // The children, in the order they were added.
    const std::vector<TControl*>& Controls() const { return FControls; }

    // Finds the control that owns a window made by the toolkit.
    static TWinControl* FromHandle(HWND handle);

protected:
    struct TCreateParams {
        const char* ClassName = nullptr; // nullptr: the toolkit's own window class
        DWORD Style = 0;
        DWORD ExStyle = 0;
        std::string Text;
        int Left = 0, Top = 0, Width = 0, Height = 0;
        HWND ParentHandle = nullptr; // for windows without a parent control (forms, timers)
    };
    TWinControl(TWinControl* parent, const TCreateParams& params);

    // Messages of windows of the toolkit's own class; the default handles painting, the colours of
    // child controls, their notifications, the pointer and the alignment of children.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);

    // A notification a system control sends to its parent (BN_CLICKED ...).
    virtual void Notify(WORD /*code*/) {}
    // Paints the window's own surface before the windowless children.
    virtual void PaintWindow(HDC /*dc*/) {}
    // Lays out alClient children; forms also raise their resize event here.
    virtual void Resized();

    HBRUSH ColorBrush();
    void ApplyFont();

private:
    friend class TControl;
    friend class TGraphicControl;
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static void RegisterClassOnce();

    void PaintHandler();
    void EraseBackground(HDC dc);
    bool SetCursorHandler();
    void AlignControls();
    TGraphicControl* GraphicControlAt(POINT pt) const;

    HWND FHandle = nullptr;
    TFont FFont;
    HBRUSH FBrush = nullptr;
    TColor FBrushColor = 0;
    bool FOwnClass = false;
    std::vector<TControl*> FControls; // children in the order they were added
};

} // namespace yar
