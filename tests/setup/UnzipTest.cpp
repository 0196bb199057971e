// The preparation window under Wine: disk sets written by the builder into a start directory of the
// test's own, expanded into a working directory of its own, the message boxes answered as a user would.
#include "setup/Unzip.h"

#include "setup/MainSetup.h"
#include "system/RunningProgram.h"
#include "toolkit/Application.h"
#include "toolkit/Pictures.h"
#include "wizard/YAR.h"

#include "BoxWatcher.h"
#include "tests/archive/SegmentTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace yar {
namespace {

using test::Bytes;
using test::Pattern;
using test::TBoxAnswer;
using test::TFileList;
using test::TSeenBox;
using test::WatchBoxes;

std::unique_ptr<TSetupWizard> MakeWizard(const TWizardLinks& links) {
    return std::make_unique<TYAR>(links);
}

std::vector<std::string> Texts(const std::vector<TSeenBox>& boxes) {
    std::vector<std::string> texts;
    for (const auto& box : boxes) texts.push_back(box.Text);
    return texts;
}

std::vector<uint8_t> ResourceBytes(const char* name) {
    HRSRC found = FindResourceA(nullptr, name, MAKEINTRESOURCEA(10));
    const auto* data =
        static_cast<const uint8_t*>(found ? LockResource(LoadResource(nullptr, found)) : nullptr);
    if (!data) throw std::runtime_error("no resource");
    return {data, data + SizeofResource(nullptr, found)};
}

// A 24-bit bottom-up BMP of one colour.
std::vector<uint8_t> BmpOf(int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    std::vector<uint8_t> bmp(static_cast<size_t>(54 + stride * height), 0x80);
    const auto put = [&bmp](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    };
    put(0, 'B' | ('M' << 8), 2);
    put(2, static_cast<uint32_t>(bmp.size()), 4);
    put(6, 0, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (size_t at = 30; at < 54; at += 4) put(at, 0, 4);
    return bmp;
}

class UnzipTest : public test::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        Application().SetTitle("YAR - Setup");
        std::filesystem::create_directories(NativePath(StartDir()));
        WriteFile(StartDir() + "\\install.exe", Bytes("MZ the setup program"));
        WriteFile(StartDir() + "\\install.cfg", Bytes("[Setup - Main]\r\nHeader=Acme\r\n"));
        Main = std::make_unique<TMainSetup>(MakeWizard);
        Window = std::make_unique<TUnzip>(*Main);
        PointAtTestDirectories(*Main);
    }

    std::string StartDir() const { return PathOf("start"); }
    std::string WorkDir() const { return PathOf("work"); }

    // The run state of a background window on the test's directories, 800 pixels wide.
    void PointAtTestDirectories(TMainSetup& setup) const {
        setup.State.StartDir = StartDir() + "\\";
        setup.State.WorkDir = WorkDir();
        setup.SetBounds(0, 0, 800, 500);
    }

    // The files as the one archive of a set in the start directory, a new volume starting at each
    // of cuts, counted in bytes into the archive. The archive records a directory of its own, which
    // the window must not expand into.
    void WriteDisks(const TFileList& content, const std::vector<size_t>& cuts = {}) const {
        const std::vector<builder::TSegSetArchive> archives{test::SetArchiveOf(PathOf("recorded"), content)};
        const size_t archiveStart = test::PieceOffsets(archives).rbegin()[1];
        std::vector<size_t> at;
        for (size_t cut : cuts) at.push_back(archiveStart + cut);
        test::WriteSetWithCuts(StartDir(), "disk", "", builder::SegmentSetStream(archives), at);
    }

    // Shows the window until it closes, answering the boxes it shows in order, once the run has read its
    // setup files from the start directory as it does at its start.
    static std::vector<TSeenBox> Run(TMainSetup& setup, TUnzip& window,
                                     std::vector<TBoxAnswer> answers = {}) {
        EXPECT_TRUE(setup.ReadSetupFiles());
        return WatchBoxes(std::move(answers), [&window] { window.ShowModal(); });
    }
    std::vector<TSeenBox> Run(std::vector<TBoxAnswer> answers = {}) {
        return Run(*Main, *Window, std::move(answers));
    }

    void PostClick(int x, int y) const {
        PostMessageA(Window->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageA(Window->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    // A click on the window's own surface, below the icon and left of the gauge.
    void PostBackgroundClick() const { PostClick(10, 70); }

    void ExpectInWorkDir(const TFileList& expected) const {
        for (const auto& [name, data] : expected) {
            const std::string path = WorkDir() + "\\" + ExtractFileName(name);
            ASSERT_TRUE(Exists(path)) << path;
            EXPECT_EQ(ReadFile(path), data) << path;
        }
    }
    void PresetRestart() const {
        Main->Config.ShowReBoot = true;
        Main->Wizard().PresetEndChoice(Main->Config);
        ASSERT_EQ(Main->Wizard().EndChoice(), ecRestart);
    }

    const TGdiplusSession Pictures; // the window's animated icon and the configured picture
    std::unique_ptr<TMainSetup> Main;
    std::unique_ptr<TUnzip> Window;
    const TFileList Sample{{"readme.txt", Bytes("read me")},
                           {"sub\\deeper\\data.bin", Pattern(20000)},
                           {"license.txt", Bytes("licence")}};
};

TEST_F(UnzipTest, AnimatedIconFromTheProgramAndGaugeInsideTheBorder) {
    // The icon comes from the program's resource and plays its frames.
    EXPECT_GT(Window->AnimatedIcon.Picture().FrameCount(), 1);
    EXPECT_TRUE(Window->AnimatedIcon.Animate());
    EXPECT_EQ(Window->AnimatedIcon.Width(), 32);
    EXPECT_TRUE(Window->GaugePanel.SingleBorder());
    EXPECT_EQ(Window->ProgressBar2.Width(), Window->GaugePanel.ClientWidth());
    EXPECT_EQ(Window->ProgressBar2.Height(), Window->GaugePanel.ClientHeight());
    EXPECT_FALSE(Window->Timer1.Enabled());
}

TEST_F(UnzipTest, SingleVolumeLandsFlatInTheWorkingDirectoryWithTheSetupFiles) {
    WriteDisks(Sample);
    Main->Config.FileEntries = {"one entry"}; // the gauge's maximum: 4, fewer steps than files
    Main->Setup_Header.SetCaption("Acme");
    Main->MainScreen.SetFromColor(RGB(10, 20, 30));
    Main->State.Cancelled = true; // from an earlier step: cleared when the window shows

    EXPECT_TRUE(Run().empty());
    EXPECT_FALSE(Main->State.Cancelled);
    ExpectInWorkDir(Sample);
    EXPECT_FALSE(DirectoryExistsAt(WorkDir() + "\\sub"));
    EXPECT_FALSE(DirectoryExistsAt(PathOf("recorded")));
    // The program running (this test's), not the file of that name in the start directory.
    const std::string program = RunningProgramBytes();
    EXPECT_EQ(ReadFile(WorkDir() + "\\install.exe"), std::vector<uint8_t>(program.begin(), program.end()));
    EXPECT_EQ(ReadFile(WorkDir() + "\\install.cfg"), ReadFile(StartDir() + "\\install.cfg"));
    EXPECT_EQ(Window->ProgressBar2.MaxValue(), 4);
    EXPECT_EQ(Window->ProgressBar2.Progress(), 4);
    EXPECT_EQ(Window->VolumePath(), StartDir() + "\\disk.001");
    EXPECT_EQ(Window->Label1.Caption(),
              "Acme Setup is preparing the YAR Install Wizard which will guide you in "
              "the rest of you setup process.\rPlease Standby.");
    EXPECT_EQ(Window->ProgressBar2.ForeColor(), RGB(10, 20, 30));
    EXPECT_EQ(Window->MarsCaption1.ActiveStartColor(), RGB(10, 20, 30));
    EXPECT_FALSE(Window->Visible());
    EXPECT_FALSE(Application().Terminated());
}

TEST_F(UnzipTest, MissingVolumeIsAskedForTwiceThenThroughTheRetryBox) {
    WriteDisks(Sample, {100});
    std::filesystem::rename(NativePath(StartDir() + "\\disk.002"), NativePath(PathOf("disk.002")));
    const auto insert = [this] {
        std::filesystem::rename(NativePath(PathOf("disk.002")), NativePath(StartDir() + "\\disk.002"));
    };
    const std::vector<TSeenBox> boxes = Run({{IDOK, {}}, {IDOK, {}}, {IDOK, insert}});

    ASSERT_EQ(boxes.size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_EQ(boxes[i].Caption, "YAR - Setup");
        EXPECT_EQ(boxes[i].Text, "Please Insert Disk #2 into Floppy Drive.");
    }
    EXPECT_EQ(boxes[2].Caption, "Error");
    EXPECT_NE(boxes[2].Text.find("Unable to locate \"disk.002\" on this segment!"), std::string::npos);
    EXPECT_FALSE(Main->State.Cancelled);
    ExpectInWorkDir(Sample);
}

TEST_F(UnzipTest, ClickAnsweredNoLetsTheExpansionGoOn) {
    WriteDisks(Sample);
    PostClick(100, 20); // on the label: no question
    PostBackgroundClick();
    const std::vector<TSeenBox> boxes = Run({{IDNO, {}}});

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, "Warning");
    EXPECT_EQ(boxes[0].Text, "Abort Setup Process ?");
    EXPECT_TRUE(boxes[0].HasIcon);
    ASSERT_EQ(boxes[0].Buttons.size(), 2u);
    EXPECT_EQ(boxes[0].Buttons[0].Caption, "&No");
    EXPECT_EQ(boxes[0].Buttons[1].Caption, "&Abort");
    EXPECT_FALSE(Main->State.Cancelled);
    ExpectInWorkDir(Sample);
}

// The window has no button: Escape asks as a click on it does.
TEST_F(UnzipTest, EscapeAsksWhetherToAbortAsAClickDoes) {
    WriteDisks(Sample);
    PostMessageA(Window->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(Window->Handle(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
    const std::vector<TSeenBox> boxes = Run({{IDNO, {}}});

    EXPECT_EQ(Texts(boxes), std::vector<std::string>{"Abort Setup Process ?"});
    EXPECT_FALSE(Main->State.Cancelled);
    ExpectInWorkDir(Sample);
}

// The abort reaches the decoder through the next progress report; the boxes on the way out close
// by themselves.
TEST_F(UnzipTest, AbortWhileDecodingCancelsTheRunAndEndsTheApplication) {
    const TFileList two{{"first.txt", Bytes("first")}, {"big.bin", Pattern(100000)}};
    WriteDisks(two);
    PresetRestart();
    bool clicked = false;
    Window->SegCompEZ1.OnShowProgress = [&](int32_t& percentage) {
        if (!clicked) PostBackgroundClick(); // handled before the next file is written
        clicked = true;
        Window->SegCompEZ1ShowProgress(percentage);
    };
    const std::vector<TSeenBox> boxes = Run({{IDABORT, {}}});

    EXPECT_EQ(Texts(boxes), std::vector<std::string>{"Abort Setup Process ?"});
    EXPECT_TRUE(Main->State.Cancelled);
    EXPECT_NE(Main->Wizard().EndChoice(), ecRestart);
    EXPECT_TRUE(Application().Terminated());
    EXPECT_FALSE(Exists(WorkDir() + "\\big.bin") && ReadFile(WorkDir() + "\\big.bin") == two[1].second);
}

// The retry box of the reader and the floppy prompts close by themselves once the user has aborted.
TEST_F(UnzipTest, AbortWhileAVolumeIsMissingLeavesNoBoxOpen) {
    WriteDisks(Sample, {100});
    std::filesystem::remove(NativePath(StartDir() + "\\disk.002"));
    const std::vector<TSeenBox> boxes =
        Run({{IDOK, {}}, {IDOK, {}}, {IDOK, [this] { PostBackgroundClick(); }}, {IDABORT, {}}});

    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[3].Text, "Abort Setup Process ?");
    EXPECT_TRUE(Main->State.Cancelled);
    EXPECT_FALSE(Exists(WorkDir() + "\\install.exe")) << "the abort cleans up at once";
    EXPECT_FALSE(Exists(WorkDir() + "\\install.cfg"));
    // The reader's copy of the archive was open then; the end of the run takes the rest.
    Main->CleanRunDirectory();
    EXPECT_FALSE(DirectoryExistsAt(WorkDir()));
}

TEST_F(UnzipTest, CorruptVolumeFailsThePreparation) {
    WriteDisks(Sample);
    std::vector<uint8_t> volume = ReadFile(StartDir() + "\\disk.001");
    volume[volume.size() - 3] ^= 0x55; // inside the data of the last file
    WriteFile(StartDir() + "\\disk.001", volume);
    PresetRestart();
    const std::vector<TSeenBox> boxes = Run();

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, "YAR - Setup");
    EXPECT_EQ(boxes[0].Text, "Error Expanding Files!!");
    EXPECT_TRUE(Main->State.Cancelled);
    EXPECT_NE(Main->Wizard().EndChoice(), ecRestart);
    EXPECT_FALSE(Window->Visible());
}

TEST_F(UnzipTest, MissingConfigurationInTheStartDirectoryFailsThePreparation) {
    WriteDisks(Sample);
    std::filesystem::remove(NativePath(StartDir() + "\\install.cfg"));
    EXPECT_EQ(Texts(Run()), std::vector<std::string>{"Error Expanding Files!!"});
    EXPECT_TRUE(Main->State.Cancelled);
    EXPECT_TRUE(Exists(WorkDir() + "\\install.exe"));
    EXPECT_FALSE(Exists(WorkDir() + "\\readme.txt"));
}

// The picture is shown once the file after it is about to be written: GIF through the animator,
// anything else as a still picture, in a panel 10 pixels larger, centred, left or right.
TEST_F(UnzipTest, PictureIsFramedAndPlacedOnTheBackground) {
    const std::vector<uint8_t> gif = ResourceBytes("YAR_TEST_SPIN");
    struct TCase {
        const char* Name;
        bool Center, Left;
        int PanelLeft; // 800 pixels wide
    };
    for (const bool animated : {true, false}) {
        const std::string name = animated ? "logo.gif" : "logo.bmp";
        const std::vector<uint8_t> data = animated ? gif : BmpOf(6, 3);
        const int width = animated ? 4 : 6, height = animated ? 4 : 3;
        WriteDisks({{name, data}, {"after.txt", Bytes("after")}});
        for (const TCase& c :
             {TCase{"centred", true, true, 400 - (width + 10) / 2}, TCase{"left", false, true, 20},
              TCase{"right", false, false, 800 - (width + 10) - 20}}) {
            SCOPED_TRACE(name + " " + c.Name);
            TMainSetup setup(MakeWizard);
            TUnzip window(setup);
            PointAtTestDirectories(setup);
            setup.Config.BitmapFile = name;
            setup.Config.AlignCenter = c.Center;
            setup.Config.AlignLeft = c.Left;
            ASSERT_TRUE(Run(setup, window).empty());
            const TImage& shown = animated ? static_cast<const TImage&>(setup.Image3) : setup.Image4;
            const TImage& other = animated ? static_cast<const TImage&>(setup.Image4) : setup.Image3;
            EXPECT_TRUE(shown.Visible());
            EXPECT_FALSE(other.Visible());
            EXPECT_EQ(shown.Picture().FrameCount(), animated ? 2 : 1);
            EXPECT_EQ(shown.Left(), 5);
            EXPECT_EQ(shown.Top(), 5);
            EXPECT_EQ(shown.Width(), width);
            EXPECT_TRUE(setup.bitmapscreen.Visible());
            EXPECT_EQ(setup.bitmapscreen.Width(), width + 10);
            EXPECT_EQ(setup.bitmapscreen.Height(), height + 10);
            EXPECT_EQ(setup.bitmapscreen.Left(), c.PanelLeft);
            EXPECT_EQ(setup.bitmapscreen.Top(), setup.Setup_Header2.Top() + 30);
            setup.CleanRunDirectory();
        }
    }
}

} // namespace
} // namespace yar
