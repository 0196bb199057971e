// How well text of one colour reads on another, by the contrast ratio of the Web Content Accessibility
// Guidelines: from 1 (the same luminance) to 21 (black on white).
#pragma once

#include <cstdint>

namespace yar {

// The contrast ratio of two colours given as $00BBGGRR (the form of install.cfg's colours).
double ContrastRatio(uint32_t first, uint32_t second);

// What normal text needs to read well (level AA).
constexpr double kReadableContrast = 4.5;

} // namespace yar
