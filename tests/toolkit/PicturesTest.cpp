// Pictures under Wine: every format GDI+ decodes for the setup (pictures made by the test itself:
// through GDI+'s encoders, or written byte by byte for GIF and ICO), the frames and delays of an
// animated GIF, a GIF resource of the program, and the controls that show them.
#include "SmallForm.h"
#include "Surface.h"

#include "toolkit/Application.h"
#include "toolkit/Forms.h"
#include "toolkit/Pictures.h"

#include <objidl.h>
// GDI+ needs the COM declarations above.
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace yar {
namespace {

using test::SmallForm;
using test::TSurface;
using Bytes = std::string;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

void Put16(Bytes& out, int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(Bytes& out, uint32_t value) {
    Put16(out, static_cast<int>(value & 0xFFFF));
    Put16(out, static_cast<int>(value >> 16));
}

// One frame of a GIF: a palette index per pixel, row by row, and its delay in hundredths of a second.
struct TGifFrame {
    std::vector<int> Pixels;
    int Delay = 0;
};

// LZW data with a clear code before every third code, so that codes stay 3 bits wide.
Bytes GifPixelData(const std::vector<int>& pixels) {
    constexpr int kClear = 4, kEnd = 5;
    Bytes data;
    uint32_t bits = 0;
    int count = 0;
    const auto put = [&](int code) {
        bits |= static_cast<uint32_t>(code) << count;
        for (count += 3; count >= 8; count -= 8, bits >>= 8) data += static_cast<char>(bits & 0xFF);
    };
    put(kClear);
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i > 0 && i % 2 == 0) put(kClear);
        put(pixels[i]);
    }
    put(kEnd);
    if (count > 0) data += static_cast<char>(bits & 0xFF);
    Bytes blocks;
    for (size_t at = 0; at < data.size(); at += 255) {
        const Bytes chunk = data.substr(at, 255);
        blocks += static_cast<char>(chunk.size());
        blocks += chunk;
    }
    return blocks + '\0';
}

// A GIF89a with a four-colour palette (black, red, blue, white) that loops for ever.
Bytes MakeGif(int width, int height, const std::vector<TGifFrame>& frames) {
    Bytes gif = "GIF89a";
    Put16(gif, width);
    Put16(gif, height);
    gif += "\x91"; // a global palette of 4 colours
    gif += std::string(2, '\0');
    gif += std::string("\0\0\0\xFF\0\0\0\0\xFF\xFF\xFF\xFF", 12);
    gif += std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\0\0\0", 19);
    for (const TGifFrame& frame : frames) {
        gif += std::string("\x21\xF9\x04\x04", 4); // graphic control: left in place, no transparency
        Put16(gif, frame.Delay);
        gif += std::string("\0\0", 2);
        gif += '\x2C';
        Put16(gif, 0);
        Put16(gif, 0);
        Put16(gif, width);
        Put16(gif, height);
        gif += std::string("\0\x02", 2); // no local palette; codes of 2 bits plus two
        gif += GifPixelData(frame.Pixels);
    }
    return gif + '\x3B';
}

std::vector<int> Filled(int count, int index) {
    return std::vector<int>(static_cast<size_t>(count), index);
}

// An 8 x 8 icon of 32-bit pixels, all one opaque colour.
Bytes MakeIcon(COLORREF color) {
    constexpr int kSide = 8;
    const uint32_t pixelBytes = kSide * kSide * 4, maskBytes = kSide * 4;
    Bytes ico;
    Put16(ico, 0);
    Put16(ico, 1); // an icon
    Put16(ico, 1); // one image
    ico += std::string{static_cast<char>(kSide), static_cast<char>(kSide), 0, 0};
    Put16(ico, 1);
    Put16(ico, 32);
    Put32(ico, 40 + pixelBytes + maskBytes);
    Put32(ico, 22);
    // The image: a bitmap header of twice the height (colour rows, then the mask's).
    Put32(ico, 40);
    Put32(ico, kSide);
    Put32(ico, kSide * 2);
    Put16(ico, 1);
    Put16(ico, 32);
    ico += std::string(24, '\0');
    for (int i = 0; i < kSide * kSide; ++i)
        ico += std::string{static_cast<char>(GetBValue(color)), static_cast<char>(GetGValue(color)),
                           static_cast<char>(GetRValue(color)), '\xFF'};
    return ico + std::string(maskBytes, '\0');
}

// A picture saved by GDI+'s encoder of the given type: 6 x 4, red on the left, blue on the right
// (or transparent there).
Bytes Encode(const wchar_t* mimeType, bool transparentRight = false) {
    Gdiplus::Bitmap bitmap(6, 4, PixelFormat32bppARGB);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const Gdiplus::Color right =
                transparentRight ? Gdiplus::Color(0, 0, 0, 0) : Gdiplus::Color(255, 0, 0, 255);
            bitmap.SetPixel(x, y, x < 3 ? Gdiplus::Color(255, 255, 0, 0) : right);
        }
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<std::byte> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    const CLSID* encoder = nullptr;
    for (UINT i = 0; i < count; ++i)
        if (lstrcmpW(encoders[i].MimeType, mimeType) == 0) encoder = &encoders[i].Clsid;
    if (!encoder) throw std::runtime_error("no encoder");
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    const Gdiplus::Status saved = bitmap.Save(stream, encoder, nullptr);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    Bytes bytes(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    stream->Release();
    if (saved != Gdiplus::Ok) throw std::runtime_error("not saved");
    return bytes;
}

TPicture Load(const Bytes& bytes) {
    return TPicture::FromMemory(bytes.data(), bytes.size());
}

// The picture's frame drawn at its own size on a surface of the given colour.
COLORREF DrawnAt(const TPicture& picture, int x, int y, int frame = 0, COLORREF under = kGreen) {
    TSurface surface(picture.Width(), picture.Height(), under);
    picture.Draw(surface.DC, RECT{0, 0, picture.Width(), picture.Height()}, frame);
    return surface.At(x, y);
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class PictureTest : public ::testing::Test {
protected:
    TGdiplusSession Session;
};

TEST_F(PictureTest, BmpPngAndJpegLoadWithTheirSizeAndColours) {
    for (const wchar_t* type : {L"image/bmp", L"image/png", L"image/jpeg"}) {
        const TPicture picture = Load(Encode(type));
        EXPECT_EQ(picture.Width(), 6);
        EXPECT_EQ(picture.Height(), 4);
        EXPECT_EQ(picture.FrameCount(), 1);
        EXPECT_EQ(picture.FrameDelay(0), 0u);
        // JPEG is lossy: near the colours, away from the edge between them.
        const int tolerance = lstrcmpW(type, L"image/jpeg") == 0 ? 60 : 0;
        EXPECT_TRUE(Near(DrawnAt(picture, 0, 1), kRed, tolerance)) << std::hex << DrawnAt(picture, 0, 1);
        EXPECT_TRUE(Near(DrawnAt(picture, 5, 2), kBlue, tolerance)) << std::hex << DrawnAt(picture, 5, 2);
    }
}

TEST_F(PictureTest, GifAndIconLoad) {
    const TPicture gif = Load(MakeGif(3, 2, {{{1, 1, 2, 2, 3, 0}, 0}}));
    EXPECT_EQ(gif.Width(), 3);
    EXPECT_EQ(gif.Height(), 2);
    EXPECT_EQ(gif.FrameCount(), 1);
    EXPECT_EQ(DrawnAt(gif, 0, 0), kRed);
    EXPECT_EQ(DrawnAt(gif, 2, 0), kBlue);
    EXPECT_EQ(DrawnAt(gif, 0, 1), kBlue);
    EXPECT_EQ(DrawnAt(gif, 1, 1), kWhite);
    EXPECT_EQ(DrawnAt(gif, 2, 1), RGB(0, 0, 0));

    const TPicture icon = Load(MakeIcon(RGB(10, 200, 30)));
    EXPECT_EQ(icon.Width(), 8);
    EXPECT_EQ(icon.Height(), 8);
    EXPECT_EQ(DrawnAt(icon, 4, 4, 0, kRed), RGB(10, 200, 30));
}

TEST_F(PictureTest, TransparentPartsLetTheSurfaceShowAndDrawingStretches) {
    const TPicture picture = Load(Encode(L"image/png", true));
    EXPECT_EQ(DrawnAt(picture, 1, 1), kRed);
    EXPECT_EQ(DrawnAt(picture, 4, 1), kGreen);
    EXPECT_EQ(DrawnAt(picture, 4, 1, 0, kWhite), kWhite);

    // Ten times as large, smoothly: each half keeps its colour up to half a picture pixel from the edge
    // between them, and the edge itself fades from red to the surface's white instead of jumping.
    TSurface big(60, 40, kWhite);
    picture.Draw(big.DC, RECT{0, 0, 60, 40});
    EXPECT_EQ(big.Count(RECT{0, 0, 25, 40}, kRed), 25 * 40);
    EXPECT_EQ(big.Count(RECT{35, 0, 60, 40}, kWhite), 25 * 40);
    int previousGreen = 0;
    for (int x = 25; x < 35; ++x) {
        const COLORREF c = big.At(x, 20);
        EXPECT_EQ(GetRValue(c), 255) << x;
        EXPECT_GE(GetGValue(c), previousGreen) << x;
        previousGreen = GetGValue(c);
    }
    const COLORREF middle = big.At(30, 20);
    EXPECT_GT(GetGValue(middle), 0);
    EXPECT_LT(GetGValue(middle), 255);
}

TEST_F(PictureTest, AnAnimatedGifHasEveryFrameWithItsDelay) {
    // 0 and 1 hundredths are too short to be meant: shown as 100 ms.
    const TPicture picture = Load(
        MakeGif(4, 4, {{Filled(16, 1), 5}, {Filled(16, 2), 30}, {Filled(16, 3), 0}, {Filled(16, 0), 1}}));
    ASSERT_EQ(picture.FrameCount(), 4);
    EXPECT_EQ(picture.FrameDelay(0), 50u);
    EXPECT_EQ(picture.FrameDelay(1), 300u);
    EXPECT_EQ(picture.FrameDelay(2), 100u);
    EXPECT_EQ(picture.FrameDelay(3), 100u);
    EXPECT_THROW(picture.FrameDelay(4), std::out_of_range);
    EXPECT_EQ(DrawnAt(picture, 2, 2, 0), kRed);
    EXPECT_EQ(DrawnAt(picture, 2, 2, 1), kBlue);
    EXPECT_EQ(DrawnAt(picture, 2, 2, 2), kWhite);
    EXPECT_EQ(DrawnAt(picture, 2, 2, 3), RGB(0, 0, 0));
}

TEST_F(PictureTest, AGifResourceOfTheProgramLoads) {
    const TPicture picture = TPicture::FromResource(GetModuleHandleA(nullptr), "YAR_TEST_SPIN");
    EXPECT_EQ(picture.Width(), 4);
    ASSERT_EQ(picture.FrameCount(), 2);
    EXPECT_EQ(picture.FrameDelay(1), 200u);
    EXPECT_EQ(DrawnAt(picture, 3, 3, 1), kBlue);
    EXPECT_THROW(TPicture::FromResource(GetModuleHandleA(nullptr), "NO_SUCH_PICTURE"), std::runtime_error);
}

TEST_F(PictureTest, FilesLoadAndWhatIsNoPictureThrows) {
    char dir[MAX_PATH] = {}, name[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, "yar", 0, name);
    std::ofstream(name, std::ios::binary) << MakeGif(2, 2, {{Filled(4, 2), 0}});
    const TPicture picture = TPicture::FromFile(name);
    EXPECT_EQ(DrawnAt(picture, 1, 1), kBlue);
    std::ofstream(name, std::ios::binary) << "This is no picture at all.";
    EXPECT_THROW(TPicture::FromFile(name), std::runtime_error);
    std::remove(name);
    EXPECT_THROW(TPicture::FromFile(name), std::runtime_error);
    EXPECT_THROW(Load(""), std::runtime_error);
}

TEST(Pictures, LoadOnlyWhileGdiplusRunsAndDrawAfterwards) {
    const Bytes gif = MakeGif(2, 2, {{Filled(4, 1), 0}});
    EXPECT_FALSE(TGdiplusSession::Active());
    EXPECT_THROW(Load(gif), std::logic_error);
    TPicture picture;
    {
        const TGdiplusSession session;
        EXPECT_TRUE(TGdiplusSession::Active());
        picture = Load(gif);
    }
    EXPECT_FALSE(TGdiplusSession::Active());
    EXPECT_EQ(DrawnAt(picture, 1, 1), kRed);
    TPicture moved = std::move(picture);
    EXPECT_TRUE(picture.Empty()); // NOLINT(bugprone-use-after-move): a moved-from picture is empty
    EXPECT_EQ(moved.FrameCount(), 1);
}

// Images on a form.

class ImageTest : public PictureTest {
protected:
    TForm Form{SmallForm("images")};
};

TEST_F(ImageTest, AnImageSizesItselfCentresOrStretchesItsPicture) {
    TImage image(&Form, {5, 5, 40, 30});
    image.SetPicture(Load(Encode(L"image/png", true)));
    const auto painted = [&] {
        auto surface = std::make_unique<TSurface>(image.Width(), image.Height(), kWhite);
        image.Paint(surface->DC);
        return surface;
    };
    auto top = painted();
    EXPECT_EQ(top->At(0, 0), kRed);
    EXPECT_EQ(top->At(4, 0), kWhite);
    EXPECT_EQ(top->At(1, 5), kWhite);

    image.SetCenter(true);
    auto centred = painted();
    EXPECT_EQ(centred->At(17 + 1, 13 + 1), kRed);
    EXPECT_EQ(centred->At(1, 1), kWhite);

    image.SetStretch(true);
    // Stretched smoothly: red up to the band where the red half fades into the transparent one.
    auto stretched = painted();
    EXPECT_EQ(stretched->Count(RECT{0, 0, 16, 30}, kRed), 16 * 30);
    EXPECT_EQ(stretched->Count(RECT{24, 0, 40, 30}, kWhite), 16 * 30);

    image.SetAutoSize(true);
    EXPECT_EQ(image.Width(), 6);
    EXPECT_EQ(image.Height(), 4);
    EXPECT_EQ(image.Left(), 5);
    image.SetPicture(Load(MakeGif(9, 7, {{Filled(63, 1), 0}})));
    EXPECT_EQ(image.Width(), 9);
    EXPECT_EQ(image.Height(), 7);
}

class AnimatedImageTest : public ImageTest {
protected:
    TAnimatedImage Spinner{&Form, {0, 0, 4, 4}};
    std::vector<int> Shown;

    void SetUp() override {
        Spinner.OnFrameChanged = [this] { Shown.push_back(Spinner.FrameIndex()); };
        Spinner.SetPicture(Load(MakeGif(4, 4, {{Filled(16, 1), 2}, {Filled(16, 2), 2}, {Filled(16, 3), 2}})));
    }
    // Runs the application's messages until the frames have changed count times, or for at most
    // the time given.
    void RunFor(size_t count, DWORD milliseconds) {
        const DWORD start = GetTickCount();
        while (Shown.size() < count && GetTickCount() - start < milliseconds) {
            Application().ProcessMessages();
            Sleep(5);
        }
    }
    COLORREF Painted() {
        TSurface surface(4, 4, kGreen);
        Spinner.Paint(surface.DC);
        return surface.At(1, 1);
    }
};

TEST_F(AnimatedImageTest, TheTimerPlaysTheFramesOverAndOver) {
    EXPECT_TRUE(Spinner.Animate());
    EXPECT_EQ(Spinner.FrameIndex(), 0);
    EXPECT_EQ(Painted(), kRed);
    RunFor(4, 3000);
    ASSERT_GE(Shown.size(), 4u);
    EXPECT_EQ(std::vector<int>(Shown.begin(), Shown.begin() + 4), (std::vector<int>{1, 2, 0, 1}));
}

TEST_F(AnimatedImageTest, StoppedItShowsTheFrameSet) {
    Spinner.SetAnimate(false);
    Spinner.SetFrameIndex(2);
    EXPECT_EQ(Painted(), kWhite);
    Shown.clear();
    RunFor(1, 300);
    EXPECT_TRUE(Shown.empty());
    EXPECT_EQ(Spinner.FrameIndex(), 2);
    Spinner.NextFrame();
    EXPECT_EQ(Spinner.FrameIndex(), 0);
    EXPECT_EQ(Painted(), kRed);
    EXPECT_THROW(Spinner.SetFrameIndex(3), std::out_of_range);

    // A new picture starts at its first frame; a still one never moves on.
    Spinner.SetFrameIndex(1);
    Spinner.SetAnimate(true);
    Spinner.SetPicture(Load(MakeGif(4, 4, {{Filled(16, 2), 0}})));
    EXPECT_EQ(Spinner.FrameIndex(), 0);
    Shown.clear();
    RunFor(1, 300);
    EXPECT_TRUE(Shown.empty());
    EXPECT_EQ(Painted(), kBlue);
}

} // namespace
} // namespace yar
