// A one-line progress bar on standard error while long work runs on a terminal; nothing at all when
// standard error is not a terminal or the user asked for quiet.
#pragma once

#include <chrono>
#include <string>

namespace yar::tool {

class TProgressBar {
public:
    explicit TProgressBar(bool enabled) : Enabled(enabled) {}
    ~TProgressBar() { Clear(); }
    TProgressBar(const TProgressBar&) = delete;
    TProgressBar& operator=(const TProgressBar&) = delete;

    // Fraction of the whole work done (0 to 1) and what is being done.
    void Show(double fraction, const std::string& label);
    // Removes the bar, so that the next output starts on a clean line.
    void Clear();
    bool IsEnabled() const { return Enabled; }

private:
    bool Enabled;
    bool Drawn = false;
    int LastPermille = -1;
    std::string LastLabel;
    std::chrono::steady_clock::time_point LastDraw{};
};

} // namespace yar::tool
