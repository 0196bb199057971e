// The resolution windows are shown at. The programs declare themselves aware of it (per monitor where
// the system allows), so they scale their layout themselves: the functions of newer systems are taken
// from user32, already loaded, and the screen's resolution stands in where they are missing.
#pragma once

#include <windows.h>

namespace yar {

// Pixels per inch of the system (the primary monitor's at sign-in); 96 when unknown.
int SystemPixelsPerInch();

// Pixels per inch of the monitor the window is on; the system's where the system has no other.
int WindowPixelsPerInch(HWND window);

// The window rectangle around a client rectangle, with the frame as it is drawn at ppi.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int ppi);

// A system metric (SM_CXSIZE ...) as the system draws it at ppi.
int SystemMetricForDpi(int index, int ppi);

// The system's caption font (the small one of tool windows when small is set) as made for ppi.
LOGFONTW CaptionFontForDpi(bool small, int ppi);

} // namespace yar
