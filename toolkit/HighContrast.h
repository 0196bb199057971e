// High contrast: while the user has it on, what the programs paint themselves takes the system's
// colours instead of the fixed ones of its design, so that text keeps the contrast the user chose.
#pragma once

#include "toolkit/Graphics.h"

namespace yar {

// Whether high contrast is on, as last read; read again by RefreshHighContrast.
bool HighContrastOn();

// Where the setting is read: the system's SPI_GETHIGHCONTRAST unless another query is put in (tests
// on systems that have no high contrast, such as Wine); nullptr puts the system's back. Takes effect at
// the next RefreshHighContrast.
using THighContrastQuery = bool (*)();
void SetHighContrastQuery(THighContrastQuery query);

// Reads the setting again; the forms call it when the system says its colours or settings changed.
void RefreshHighContrast();

// The colour to paint with: the design's colour, or, while high contrast is on and the design's is a
// fixed one, the system colour of the same role (a system colour of the design stays: it follows the
// theme already).
TColor ContrastColor(TColor designColor, TColor systemColor);

} // namespace yar
