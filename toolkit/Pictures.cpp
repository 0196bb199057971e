#include "toolkit/Pictures.h"

#include "toolkit/FileContents.h"
#include "toolkit/PixelScale.h"
#include "toolkit/SystemLibrary.h"

#include <objidl.h>
// GDI+ needs the COM declarations above.
#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>

namespace yar {

namespace {

// GDI+ is loaded from the system directory when the first session starts.
struct TGdiplusCalls {
    decltype(&Gdiplus::GdiplusStartup) Startup;
    decltype(&Gdiplus::GdiplusShutdown) Shutdown;
    decltype(&Gdiplus::DllExports::GdipCreateBitmapFromStream) CreateBitmapFromStream;
    decltype(&Gdiplus::DllExports::GdipDisposeImage) DisposeImage;
    decltype(&Gdiplus::DllExports::GdipGetImageWidth) GetImageWidth;
    decltype(&Gdiplus::DllExports::GdipGetImageHeight) GetImageHeight;
    decltype(&Gdiplus::DllExports::GdipImageGetFrameDimensionsCount) GetFrameDimensionsCount;
    decltype(&Gdiplus::DllExports::GdipImageGetFrameDimensionsList) GetFrameDimensionsList;
    decltype(&Gdiplus::DllExports::GdipImageGetFrameCount) GetFrameCount;
    decltype(&Gdiplus::DllExports::GdipImageSelectActiveFrame) SelectActiveFrame;
    decltype(&Gdiplus::DllExports::GdipGetPropertyItemSize) GetPropertyItemSize;
    decltype(&Gdiplus::DllExports::GdipGetPropertyItem) GetPropertyItem;
    decltype(&Gdiplus::DllExports::GdipBitmapLockBits) BitmapLockBits;
    decltype(&Gdiplus::DllExports::GdipBitmapUnlockBits) BitmapUnlockBits;
};

template <typename T> void Find(HMODULE library, const char* name, T& call) {
    call = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    if (call == nullptr) throw std::runtime_error(std::string("GDI+ has no ") + name);
}

const TGdiplusCalls& Gdip() {
    static const TGdiplusCalls calls = [] {
        const HMODULE library = LoadSystemLibrary("gdiplus.dll");
        if (library == nullptr) throw std::runtime_error("Cannot start GDI+");
        TGdiplusCalls c{};
        Find(library, "GdiplusStartup", c.Startup);
        Find(library, "GdiplusShutdown", c.Shutdown);
        Find(library, "GdipCreateBitmapFromStream", c.CreateBitmapFromStream);
        Find(library, "GdipDisposeImage", c.DisposeImage);
        Find(library, "GdipGetImageWidth", c.GetImageWidth);
        Find(library, "GdipGetImageHeight", c.GetImageHeight);
        Find(library, "GdipImageGetFrameDimensionsCount", c.GetFrameDimensionsCount);
        Find(library, "GdipImageGetFrameDimensionsList", c.GetFrameDimensionsList);
        Find(library, "GdipImageGetFrameCount", c.GetFrameCount);
        Find(library, "GdipImageSelectActiveFrame", c.SelectActiveFrame);
        Find(library, "GdipGetPropertyItemSize", c.GetPropertyItemSize);
        Find(library, "GdipGetPropertyItem", c.GetPropertyItem);
        Find(library, "GdipBitmapLockBits", c.BitmapLockBits);
        Find(library, "GdipBitmapUnlockBits", c.BitmapUnlockBits);
        return c;
    }();
    return calls;
}

} // namespace

// TGdiplusSession

TGdiplusSession::TGdiplusSession() {
    const Gdiplus::GdiplusStartupInput input;
    if (Gdip().Startup(&FToken, &input, nullptr) != Gdiplus::Ok)
        throw std::runtime_error("Cannot start GDI+");
    ++FCount;
}

TGdiplusSession::~TGdiplusSession() {
    Gdip().Shutdown(FToken);
    --FCount;
}

namespace {

constexpr unsigned kShortestDelay = 20; // ms; shorter ones are shown as kUsualDelay
constexpr unsigned kUsualDelay = 100;

// A memory stream over a copy of the data; GDI+ reads pictures from streams.
class TMemoryStream {
public:
    TMemoryStream(const void* data, size_t size) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        if (!memory) throw std::runtime_error("Out of memory for a picture");
        std::memcpy(GlobalLock(memory), data, size);
        GlobalUnlock(memory);
        // The stream frees the memory when it is released.
        if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &FStream))) {
            GlobalFree(memory);
            throw std::runtime_error("Cannot make a stream for a picture");
        }
    }
    ~TMemoryStream() { FStream->Release(); }
    TMemoryStream(const TMemoryStream&) = delete;
    TMemoryStream& operator=(const TMemoryStream&) = delete;

    IStream* Get() const { return FStream; }

private:
    IStream* FStream = nullptr;
};

// A bitmap GDI+ decoded, disposed of with its owner.
class TGpBitmap {
public:
    explicit TGpBitmap(IStream* stream) {
        if (Gdip().CreateBitmapFromStream(stream, &FBitmap) != Gdiplus::Ok) FBitmap = nullptr;
    }
    ~TGpBitmap() {
        if (FBitmap != nullptr) Gdip().DisposeImage(FBitmap);
    }
    TGpBitmap(const TGpBitmap&) = delete;
    TGpBitmap& operator=(const TGpBitmap&) = delete;

    Gdiplus::GpBitmap* Get() const { return FBitmap; }

private:
    Gdiplus::GpBitmap* FBitmap = nullptr;
};

// The delays of an animated picture's frames in hundredths of a second; empty when it has none.
std::vector<LONG> FrameDelays(Gdiplus::GpBitmap* bitmap) {
    UINT size = 0;
    if (Gdip().GetPropertyItemSize(bitmap, PropertyTagFrameDelay, &size) != Gdiplus::Ok ||
        size < sizeof(Gdiplus::PropertyItem))
        return {};
    std::vector<std::byte> buffer(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    if (Gdip().GetPropertyItem(bitmap, PropertyTagFrameDelay, size, item) != Gdiplus::Ok) return {};
    const auto* values = static_cast<const LONG*>(item->value);
    return std::vector<LONG>(values, values + item->length / sizeof(LONG));
}

// The frame GDI+ has selected, as a top-down 32-bit bitmap with premultiplied alpha.
HBITMAP CopyFrame(Gdiplus::GpBitmap* bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) throw std::runtime_error("Not enough memory for a picture");
    const Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data{};
    // The pixels go straight into the bitmap's memory: GDI+ converts them as it writes.
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = bits;
    if (Gdip().BitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                              PixelFormat32bppPARGB, &data) != Gdiplus::Ok) {
        DeleteObject(dib);
        throw std::runtime_error("Cannot read the picture's pixels");
    }
    Gdip().BitmapUnlockBits(bitmap, &data);
    return dib;
}

} // namespace

// TPicture

TPicture::~TPicture() {
    Clear();
}

TPicture::TPicture(TPicture&& other) noexcept
    : FFrames(std::exchange(other.FFrames, {})), FWidth(std::exchange(other.FWidth, 0)),
      FHeight(std::exchange(other.FHeight, 0)) {}

TPicture& TPicture::operator=(TPicture&& other) noexcept {
    if (this != &other) {
        Clear();
        FFrames = std::exchange(other.FFrames, {});
        FWidth = std::exchange(other.FWidth, 0);
        FHeight = std::exchange(other.FHeight, 0);
    }
    return *this;
}

void TPicture::Clear() {
    for (const TFrame& frame : FFrames) DeleteObject(frame.Bitmap);
    FFrames.clear();
    FWidth = FHeight = 0;
}

TPicture TPicture::FromFile(const std::string& path) {
    const std::string bytes = ReadFileContents(path);
    try {
        return FromMemory(bytes.data(), bytes.size());
    } catch (const std::runtime_error&) {
        throw std::runtime_error("Cannot load the picture " + path);
    }
}

TPicture TPicture::FromResource(HMODULE module, LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw std::runtime_error("Picture resource not found");
    return FromMemory(data, SizeofResource(module, found));
}

TPicture TPicture::FromMemory(const void* data, size_t size) {
    if (!TGdiplusSession::Active()) throw std::logic_error("Pictures are loaded while GDI+ runs");
    if (size == 0) throw std::runtime_error("Empty picture");
    const TMemoryStream stream(data, size);
    const TGpBitmap decoded(stream.Get());
    Gdiplus::GpBitmap* bitmap = decoded.Get();
    UINT width = 0, height = 0;
    if (bitmap == nullptr || Gdip().GetImageWidth(bitmap, &width) != Gdiplus::Ok ||
        Gdip().GetImageHeight(bitmap, &height) != Gdiplus::Ok || width == 0 || height == 0)
        throw std::runtime_error("Unknown picture format");

    // Frames of a GIF run in time; other pictures have the one frame.
    UINT frames = 1, dimensions = 0;
    GUID dimension{};
    if (Gdip().GetFrameDimensionsCount(bitmap, &dimensions) == Gdiplus::Ok && dimensions > 0 &&
        Gdip().GetFrameDimensionsList(bitmap, &dimension, 1) == Gdiplus::Ok &&
        Gdip().GetFrameCount(bitmap, &dimension, &frames) == Gdiplus::Ok)
        frames = std::max(frames, 1U);
    else
        frames = 1;
    const std::vector<LONG> delays = frames > 1 ? FrameDelays(bitmap) : std::vector<LONG>{};

    TPicture picture;
    picture.FWidth = static_cast<int>(width);
    picture.FHeight = static_cast<int>(height);
    for (UINT i = 0; i < frames; ++i) {
        if (frames > 1 && Gdip().SelectActiveFrame(bitmap, &dimension, i) != Gdiplus::Ok)
            throw std::runtime_error("Cannot read a frame of the picture");
        unsigned delay = 0;
        if (frames > 1) {
            delay = i < delays.size() ? static_cast<unsigned>(std::max(delays[i], 0L)) * 10 : 0;
            if (delay < kShortestDelay) delay = kUsualDelay;
        }
        picture.FFrames.push_back(TFrame{CopyFrame(bitmap, picture.FWidth, picture.FHeight), delay});
    }
    return picture;
}

unsigned TPicture::FrameDelay(int frame) const {
    if (frame < 0 || frame >= FrameCount()) throw std::out_of_range("No such frame");
    return FFrames[static_cast<size_t>(frame)].Delay;
}

namespace {

// The frame's pixels smoothly scaled into a new bitmap of the size; nullptr when the system cannot
// make it (the caller then lets the system stretch the frame).
HBITMAP SmoothlyScaled(HBITMAP frame, int width, int height) {
    DIBSECTION section{};
    if (GetObjectA(frame, sizeof section, &section) != static_cast<int>(sizeof section) ||
        section.dsBm.bmBits == nullptr || section.dsBm.bmBitsPixel != 32)
        return nullptr;
    TPixels pixels{section.dsBm.bmWidth, section.dsBm.bmHeight, {}};
    const auto* first = static_cast<const uint32_t*>(section.dsBm.bmBits);
    pixels.Data.assign(first, first + static_cast<size_t>(pixels.Width) * static_cast<size_t>(pixels.Height));
    const TPixels scaled = ScalePixelsSmoothly(pixels, width, height);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib) std::copy(scaled.Data.begin(), scaled.Data.end(), static_cast<uint32_t*>(bits));
    return dib;
}

} // namespace

void TPicture::Draw(HDC dc, const RECT& dest, int frame) const {
    if (frame < 0 || frame >= FrameCount()) return;
    const int width = dest.right - dest.left;
    const int height = dest.bottom - dest.top;
    if (width <= 0 || height <= 0) return;
    HBITMAP bitmap = FFrames[static_cast<size_t>(frame)].Bitmap;
    // At another size (a screen of higher resolution, a stretched image) the pixels are mixed, not
    // repeated: the system's alpha blending stretches by copying the nearest pixel.
    HBITMAP scaled = width != FWidth || height != FHeight ? SmoothlyScaled(bitmap, width, height) : nullptr;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, scaled ? scaled : bitmap);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    SetStretchBltMode(dc, COLORONCOLOR);
    GdiAlphaBlend(dc, dest.left, dest.top, width, height, source, 0, 0, scaled ? width : FWidth,
                  scaled ? height : FHeight, blend);
    SelectObject(source, old);
    DeleteDC(source);
    if (scaled) DeleteObject(scaled);
}

// TImage

TImage::TImage(TWinControl* parent, const TBounds& bounds) : TGraphicControl(parent, bounds) {}

void TImage::SetPicture(TPicture picture) {
    FPicture = std::move(picture);
    PictureChanged();
}

void TImage::PictureChanged() {
    AdjustSize();
    Invalidate();
}

void TImage::SetStretch(bool stretch) {
    FStretch = stretch;
    Invalidate();
}

void TImage::SetCenter(bool center) {
    FCenter = center;
    Invalidate();
}

void TImage::SetAutoSize(bool autoSize) {
    FAutoSize = autoSize;
    AdjustSize();
}

void TImage::ChangeScale(int ppi) {
    TGraphicControl::ChangeScale(ppi);
    AdjustSize();
}

void TImage::AdjustSize() {
    if (FAutoSize && !FPicture.Empty())
        SetBounds(Left(), Top(), Scaled(FPicture.Width()), Scaled(FPicture.Height()));
}

TAccessibleFacts TImage::AccessibleFacts() const {
    TAccessibleFacts facts = TGraphicControl::AccessibleFacts();
    if (FPicture.Empty()) return facts;
    facts.Role = ROLE_SYSTEM_GRAPHIC;
    facts.State = STATE_SYSTEM_READONLY;
    if (FPicture.FrameCount() > 1) facts.State |= STATE_SYSTEM_ANIMATED;
    return facts;
}

void TImage::Paint(HDC dc) {
    if (FPicture.Empty()) return;
    RECT dest{0, 0, Width(), Height()};
    if (!FStretch) {
        // The picture's pixels are designed ones: at 200% each shows as two.
        const int width = Scaled(FPicture.Width());
        const int height = Scaled(FPicture.Height());
        const int left = FCenter ? (Width() - width) / 2 : 0;
        const int top = FCenter ? (Height() - height) / 2 : 0;
        dest = RECT{left, top, left + width, top + height};
    }
    FPicture.Draw(dc, dest, CurrentFrame());
}

// TAnimatedImage

TAnimatedImage::TAnimatedImage(TWinControl* parent, const TBounds& bounds) : TImage(parent, bounds) {
    FTimer.OnTimer = [this] { NextFrame(); };
}

void TAnimatedImage::SetAnimate(bool animate) {
    FAnimate = animate;
    UpdateTimer();
}

void TAnimatedImage::SetFrameIndex(int index) {
    if (index < 0 || index >= Picture().FrameCount()) throw std::out_of_range("No such frame");
    if (index == FFrameIndex) return;
    FFrameIndex = index;
    Invalidate();
    UpdateTimer();
    if (OnFrameChanged) OnFrameChanged();
}

void TAnimatedImage::NextFrame() {
    if (Picture().FrameCount() > 1) SetFrameIndex((FFrameIndex + 1) % Picture().FrameCount());
}

void TAnimatedImage::PictureChanged() {
    FFrameIndex = 0;
    TImage::PictureChanged();
    UpdateTimer();
}

void TAnimatedImage::UpdateTimer() {
    const bool runs = FAnimate && Picture().FrameCount() > 1;
    // The interval restarts the count: each frame shows for its own delay.
    FTimer.SetEnabled(false);
    if (!runs) return;
    FTimer.SetInterval(Picture().FrameDelay(FFrameIndex));
    FTimer.SetEnabled(true);
}

} // namespace yar
