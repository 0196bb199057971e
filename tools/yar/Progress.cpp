#include "tools/yar/Progress.h"

#include <algorithm>
#include <cstdio>

namespace yar::tool {

namespace {
constexpr int BarWidth = 30;
constexpr std::size_t LabelWidth = 40;
} // namespace

void TProgressBar::Show(double fraction, const std::string& label) {
    if (!Enabled) return;
    const int permille = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 1000);
    const auto now = std::chrono::steady_clock::now();
    // Redraw on a visible change, at most about 20 times a second.
    if ((permille == LastPermille && label == LastLabel) || now - LastDraw < std::chrono::milliseconds(50))
        return;
    LastPermille = permille;
    LastLabel = label;
    LastDraw = now;
    const int filled = permille * BarWidth / 1000;
    std::string shown =
        label.size() > LabelWidth ? "..." + label.substr(label.size() - LabelWidth + 3) : label;
    std::fprintf(stderr, "\r[%s%s] %3d%% %-*s", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(BarWidth - filled), ' ').c_str(), permille / 10,
                 static_cast<int>(LabelWidth), shown.c_str());
    std::fflush(stderr);
    Drawn = true;
}

void TProgressBar::Clear() {
    if (!Drawn) return;
    std::fprintf(stderr, "\r%*s\r", BarWidth + static_cast<int>(LabelWidth) + 8, "");
    std::fflush(stderr);
    Drawn = false;
}

} // namespace yar::tool
