#include "setup/PrepareRules.h"

#include "util/EntryNames.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace yar {
namespace {

TEST(PrepareTexts, LabelPromptAndMessages) {
    EXPECT_EQ(PrepareLabelText("Acme Writer", "Setup is preparing."),
              "Acme Writer Setup is preparing.\rPlease Standby.");
    EXPECT_EQ(FloppyPromptText(2), "Please Insert Disk #2 into Floppy Drive.");
    EXPECT_EQ(FloppyPromptText(12), "Please Insert Disk #12 into Floppy Drive.");
    EXPECT_STREQ(kPrepareErrorText, "Error Expanding Files!!");
    EXPECT_STREQ(kAbortQuestion, "Abort Setup Process ?");
}

TEST(PrepareVolumes, ThreeDigitsInTheStartDirectory) {
    EXPECT_EQ(VolumePathFor("A:\\", "disk", 1), "A:\\disk.001");
    EXPECT_EQ(VolumePathFor("C:\\dist\\", "disk", 12), "C:\\dist\\disk.012");
    EXPECT_EQ(VolumePathFor("C:\\dist\\", "disk", 999), "C:\\dist\\disk.999");
    EXPECT_EQ(VolumePathFor("C:\\dist\\", "disk", 1000), "C:\\dist\\disk.1000");
}

TEST(PrepareFiles, EveryFileLandsDirectlyInTheWorkingDirectory) {
    const std::string work = "C:\\WINDOWS\\Temp\\y";
    EXPECT_EQ(ExpandedFileTarget(work, "C:\\app\\bin\\app.exe"), work + "\\app.exe");
    EXPECT_EQ(ExpandedFileTarget(work, "readme.txt"), work + "\\readme.txt");
    EXPECT_EQ(ExpandedFileTarget(work, "a:sub.dat"), work + "\\sub.dat");
    EXPECT_EQ(ExpandedFileTarget(work, "bin/app.exe"), work + "\\app.exe");
    EXPECT_EQ(ExpandedFileTarget(work + "\\", "app.exe"), work + "\\app.exe");
}

// A tampered entry must fail the preparation, not be written beside or above the working directory.
TEST(PrepareFiles, NamesThatLeaveTheWorkingDirectoryFailTheExpansion) {
    const std::string work = "C:\\WINDOWS\\Temp\\y";
    for (const char* stored : {"../../system32/x.dll", "..\\..\\system32\\x.dll", "..", "sub/", "app.exe.",
                               "app.exe ", "nul.txt", "CON", "app.exe:payload", "x\\y:z"}) {
        EXPECT_THROW(ExpandedFileTarget(work, stored), EUnsafeEntryName) << stored;
    }
    try {
        ExpandedFileTarget(work, "../x.dll");
        ADD_FAILURE() << "no exception";
    } catch (const EUnsafeEntryName& e) {
        EXPECT_STREQ(e.what(),
                     "Unsafe entry name \"../x.dll\": it climbs out of its directory through \"..\"");
    }
}

#ifdef _WIN32
// The system's own reading of a path, as CreateFile makes it.
std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 2];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : std::string();
}

// Windows itself reads every accepted target as a file directly in the working directory, and reads
// the refused names, joined as they were before, as another place or another name.
TEST(PrepareFiles, WindowsReadsTheTargetsAsTheRuleDoes) {
    const std::string work = "C:\\windows\\temp\\y";
    for (const char* stored :
         {"readme.txt", "bin/app.exe", "C:x.dll", "a:sub.dat", "\\abs\\x.txt", "dir.\\x.txt"}) {
        const std::string target = ExpandedFileTarget(work, stored);
        EXPECT_EQ(FullPath(target), target) << stored;
        EXPECT_TRUE(LiesDirectlyIn(FullPath(work), FullPath(target))) << stored;
    }
    for (const char* stored : {"../../system32/x.dll", "..\\x.dll", "x.dll.", "x.dll ", "sub/.."}) {
        EXPECT_THROW(ExpandedFileTarget(work, stored), EUnsafeEntryName) << stored;
        EXPECT_NE(FullPath(work + "\\" + stored), work + "\\" + stored) << stored;
    }
}
#endif

TEST(PrepareGauge, CopiesThenOneStepPerFileNeverPastTheEnd) {
    const int maximum = GaugeMaximumFor(4);
    EXPECT_EQ(maximum, 7);
    int position = 2; // after install.exe and install.cfg
    for (int file = 0; file < 10; ++file) position = GaugeStepped(position, maximum);
    EXPECT_EQ(position, maximum);
    EXPECT_EQ(GaugeStepped(0, 3), 1);
    EXPECT_EQ(GaugeMaximumFor(0), 3);
}

TEST(PreparePicture, GifNamesAnimateAnythingElseStandsStill) {
    EXPECT_TRUE(PictureIsAnimated("logo.gif"));
    EXPECT_TRUE(PictureIsAnimated("Gifts.bmp")); // the name is what counts, as the rule says
    EXPECT_FALSE(PictureIsAnimated("logo.bmp"));
    EXPECT_FALSE(PictureIsAnimated(""));
}

TEST(PreparePicture, PlacementFollowsTheAlignmentFlags) {
    // Centre wins over left; neither puts the panel 20 pixels from the right edge.
    EXPECT_EQ(PicturePanelPlacement(800, 101, 40, true, true), (TPicturePlacement{400 - 50, 70}));
    EXPECT_EQ(PicturePanelPlacement(800, 101, 40, false, true), (TPicturePlacement{20, 70}));
    EXPECT_EQ(PicturePanelPlacement(800, 101, 40, false, false), (TPicturePlacement{800 - 101 - 20, 70}));
    // Division rounds toward zero, also for a panel wider than the screen.
    EXPECT_EQ(PicturePanelPlacement(101, 303, 0, true, false), (TPicturePlacement{50 - 151, 30}));
}

} // namespace
} // namespace yar
