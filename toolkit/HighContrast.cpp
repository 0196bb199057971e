#include "toolkit/HighContrast.h"

namespace yar {

namespace {

bool ReadHighContrast() {
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof contrast;
    if (!SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)) return false;
    return (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

bool& HighContrastState() {
    static bool on = ReadHighContrast();
    return on;
}

} // namespace

bool HighContrastOn() {
    return HighContrastState();
}

void RefreshHighContrast() {
    HighContrastState() = ReadHighContrast();
}

TColor ContrastColor(TColor designColor, TColor systemColor) {
    return HighContrastOn() && (designColor & clSystemColor) == 0 ? systemColor : designColor;
}

} // namespace yar
