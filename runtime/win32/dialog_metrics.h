#pragma once

#include <windows.h>

#include "dialog/body_layout.h"
#include "win32/gdi_handles.h"

namespace zprava {

// What the dialogs are sized by: the monitor, its resolution and the font
// message boxes use.

// `pixels_at_96_dpi` at the resolution `dpi`.
int Scale(int pixels_at_96_dpi, UINT dpi);

HMONITOR PrimaryMonitor();

// The part of the monitor's screen not taken by the taskbar and other
// desktop bars. Throws RuntimeFailure when the monitor cannot be asked.
RECT WorkArea(HMONITOR monitor);
ScreenArea SizeOf(const RECT& area);

// The font message boxes use, at the given resolution. Throws
// RuntimeFailure when it cannot be made.
UniqueFont MessageFont(UINT dpi);

// The line height and the average character width of `font`.
FontMetrics MeasureFont(HFONT font);

// The side of a standard icon at the given resolution.
int IconSize(UINT dpi);

}  // namespace zprava
