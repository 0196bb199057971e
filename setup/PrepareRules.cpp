#include "setup/PrepareRules.h"

#include "archive/SegmentRecords.h"
#include "config/Texts.h"
#include "util/EntryNames.h"
#include "util/Paths.h"
#include "util/Text.h"

#include <algorithm>

namespace yar {

namespace {
constexpr int kPanelTopBelowHeader2 = 30;
constexpr int kPanelEdgeMargin = 20;
// install.exe and install.cfg are copied before the first file, and one step is left over.
constexpr int kGaugeExtraSteps = 3;
} // namespace

std::string PrepareLabelText(const std::string& header, const std::string& designedText) {
    return Tr(txPrepareStandby, {header, designedText});
}

std::string VolumePathFor(const std::string& startDir, const std::string& baseName, uint16_t number) {
    return startDir + SegVolumeFileName(baseName, "", number);
}

std::string FloppyPromptText(uint16_t number) {
    return Tr(txInsertDisk, {std::to_string(number)});
}

std::string MissingVolumeText(const std::string& volumePath) {
    return Tr(txVolumeMissing, {volumePath});
}

std::string ExpandedFileTarget(const std::string& workDir, const std::string& storedPath) {
    // CreateFile takes "/" for "\\" and a colon for a stream: a name that reached elsewhere would be
    // written there with the setup's rights.
    if (const std::string reason = UnsafeEntryNameReason(storedPath); !reason.empty())
        throw EUnsafeEntryName(storedPath, reason);
    std::string target = IncludeTrailingDelimiter(workDir) + std::string(EntryFileName(storedPath));
    // The last guard should the name rule ever let a separator or a climb through.
    if (!LiesDirectlyIn(workDir, target))
        throw EUnsafeEntryName(storedPath, "it would not lie in the working directory");
    return target;
}

int GaugeMaximumFor(std::size_t fileEntries) {
    return static_cast<int>(std::min<std::size_t>(fileEntries, INT32_MAX - kGaugeExtraSteps)) +
           kGaugeExtraSteps;
}

int GaugeStepped(int position, int maximum) {
    return position < maximum ? position + 1 : maximum;
}

bool PictureIsAnimated(const std::string& bitmapFile) {
    return UpperCase(bitmapFile).find("GIF") != std::string::npos;
}

TPicturePlacement PicturePanelPlacement(int screenWidth, int panelWidth, int header2Top, bool alignCenter,
                                        bool alignLeft) {
    const int top = header2Top + kPanelTopBelowHeader2;
    if (alignCenter) return {screenWidth / 2 - panelWidth / 2, top};
    if (alignLeft) return {kPanelEdgeMargin, top};
    return {screenWidth - panelWidth - kPanelEdgeMargin, top};
}

} // namespace yar
