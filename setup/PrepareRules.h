// The rules of the preparation window that need no operating system: the texts it shows, the volume it
// asks for, where each expanded file goes, its gauge, and where the configured picture is placed.
#pragma once

#include <cstdint>
#include <string>

namespace yar {

inline constexpr const char* kPrepareErrorText = "Error Expanding Files!!";
inline constexpr const char* kAbortQuestion = "Abort Setup Process ?";
// How often the window asks for a missing volume before the segment reader's own retry box takes over.
inline constexpr int kFloppyPromptsPerVolume = 2;

// The label's text once the window is shown: the product title before the designed text, then a
// second line.
std::string PrepareLabelText(const std::string& header, const std::string& designedText);

// The path of volume number in the start directory (which ends with its separator): disk.001 ...
std::string VolumePathFor(const std::string& startDir, const std::string& baseName, uint16_t number);
// "Please Insert Disk #2 into Floppy Drive."
std::string FloppyPromptText(uint16_t number);
// Why a run that asks nothing fails at once on a missing volume.
std::string MissingVolumeText(const std::string& volumePath);

// Every expanded file lands directly in the working directory, whatever directory the archive recorded:
// its file name is what follows the last "\\", "/" or ":". Raises EUnsafeEntryName for a name the entry
// rule refuses, or when the joined path would not lie directly in the working directory.
std::string ExpandedFileTarget(const std::string& workDir, const std::string& storedPath);

// The gauge: the two copies of volume 1, one step per configured file, and one to spare.
int GaugeMaximumFor(std::size_t fileEntries);
// One step on, never past the maximum.
int GaugeStepped(int position, int maximum);

// Whether the configured picture is shown through the animator: its upper-case name contains "GIF".
bool PictureIsAnimated(const std::string& bitmapFile);

struct TPicturePlacement {
    int Left, Top;
    bool operator==(const TPicturePlacement&) const = default;
};
// Where the picture's panel goes on the background window: 30 pixels below the second header's top;
// centred, or 20 pixels from the left, or 20 pixels from the right edge, as the alignment flags say.
TPicturePlacement PicturePanelPlacement(int screenWidth, int panelWidth, int header2Top, bool alignCenter,
                                        bool alignLeft);

} // namespace yar
