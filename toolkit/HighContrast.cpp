#include "toolkit/HighContrast.h"

namespace yar {

namespace {

bool SystemHighContrast() {
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof contrast;
    if (!SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)) return false;
    return (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

THighContrastQuery& Query() {
    static THighContrastQuery query = SystemHighContrast;
    return query;
}

bool& HighContrastState() {
    static bool on = Query()();
    return on;
}

} // namespace

bool HighContrastOn() {
    return HighContrastState();
}

void SetHighContrastQuery(THighContrastQuery query) {
    Query() = query ? query : SystemHighContrast;
}

void RefreshHighContrast() {
    HighContrastState() = Query()();
}

TColor ContrastColor(TColor designColor, TColor systemColor) {
    return HighContrastOn() && (designColor & clSystemColor) == 0 ? systemColor : designColor;
}

} // namespace yar
