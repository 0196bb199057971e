// Pictures loaded through GDI+ (BMP, JPEG, PNG, ICO, GIF, with every frame of an animated GIF) and
// the controls that show them.
#pragma once

#include "toolkit/Controls.h"
#include "toolkit/ExtCtrls.h"

#include <cstddef>
#include <string>
#include <vector>

namespace yar {

// GDI+ runs while one of these lives: make one at the start of the program, before the first picture
// is loaded. Pictures keep no GDI+ object, so they may outlive it.
class TGdiplusSession {
public:
    TGdiplusSession();
    ~TGdiplusSession();
    TGdiplusSession(const TGdiplusSession&) = delete;
    TGdiplusSession& operator=(const TGdiplusSession&) = delete;

    static bool Active() { return FCount > 0; }

private:
    static inline int FCount = 0;
    ULONG_PTR FToken = 0;
};

// A still or animated picture, held as one GDI bitmap per frame with premultiplied alpha, so that
// drawing it needs no GDI+. Loading throws std::runtime_error for data no decoder takes, and
// std::logic_error while no GDI+ session runs.
class TPicture {
public:
    TPicture() = default;
    ~TPicture();
    TPicture(TPicture&& other) noexcept;
    TPicture& operator=(TPicture&& other) noexcept;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    static TPicture FromFile(const std::string& path);
    static TPicture FromMemory(const void* data, size_t size);
    // A resource of the module, by default one of raw data (RCDATA), such as a GIF in the program.
    static TPicture FromResource(HMODULE module, LPCSTR name, LPCSTR type = MAKEINTRESOURCEA(10));

    bool Empty() const { return FFrames.empty(); }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // 0 for an empty picture, 1 for a still one.
    int FrameCount() const { return static_cast<int>(FFrames.size()); }
    // How long the frame shows, in milliseconds; 0 for a still picture. Delays under 20 ms count as
    // 100 ms, as browsers show them.
    unsigned FrameDelay(int frame) const;
    // Draws the frame stretched to the rectangle (smoothly), its transparent parts letting the surface
    // show.
    void Draw(HDC dc, const RECT& dest, int frame = 0) const;

private:
    struct TFrame {
        HBITMAP Bitmap;
        unsigned Delay;
    };
    void Clear();

    std::vector<TFrame> FFrames;
    int FWidth = 0;
    int FHeight = 0;
};

// A windowless control that shows a picture: at its top-left corner, centred, or stretched to it;
// with AutoSize it takes the picture's size. The picture's pixels count as designed ones: at a higher
// resolution it is shown scaled, like the layout around it.
class TImage : public TGraphicControl {
public:
    explicit TImage(TWinControl* parent, const TBounds& bounds = {0, 0, 105, 105});

    const TPicture& Picture() const { return FPicture; }
    void SetPicture(TPicture picture);
    void LoadFromFile(const std::string& path) { SetPicture(TPicture::FromFile(path)); }

    bool Stretch() const { return FStretch; }
    void SetStretch(bool stretch);
    bool Center() const { return FCenter; }
    void SetCenter(bool center);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool autoSize);

    void Paint(HDC dc) override;
    void ChangeScale(int ppi) override;
    // A graphic, named by AccessibleName; an image without a picture is not told of.
    TAccessibleFacts AccessibleFacts() const override;

protected:
    // The frame shown.
    virtual int CurrentFrame() const { return 0; }
    virtual void PictureChanged();

private:
    void AdjustSize();

    TPicture FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FAutoSize = false;
};

// An image that plays the frames of an animated picture, each for its delay, over and over, while
// Animate is on. A timer moves it on, so the frames advance whenever the program lets messages run.
class TAnimatedImage : public TImage {
public:
    explicit TAnimatedImage(TWinControl* parent, const TBounds& bounds = {0, 0, 105, 105});

    bool Animate() const { return FAnimate; }
    void SetAnimate(bool animate);
    int FrameIndex() const { return FFrameIndex; }
    // Throws std::out_of_range for a frame the picture does not have.
    void SetFrameIndex(int index);
    // What the timer does: the next frame, after the last the first again.
    void NextFrame();

    // After the frame shown has changed.
    TNotifyEvent OnFrameChanged;

protected:
    int CurrentFrame() const override { return FFrameIndex; }
    void PictureChanged() override;

private:
    void UpdateTimer();

    TTimer FTimer;
    bool FAnimate = true;
    int FFrameIndex = 0;
};

} // namespace yar
