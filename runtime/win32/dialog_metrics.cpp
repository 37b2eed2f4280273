#include "win32/dialog_metrics.h"

#include "system/failure.h"

namespace zprava {

int Scale(int pixels_at_96_dpi, UINT dpi) {
  return MulDiv(pixels_at_96_dpi, static_cast<int>(dpi), 96);
}

HMONITOR PrimaryMonitor() { return MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY); }

RECT WorkArea(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) throw RuntimeFailure(FailureNumber::kInternal);
  return info.rcWork;
}

ScreenArea SizeOf(const RECT& area) {
  return {static_cast<int>(area.right - area.left), static_cast<int>(area.bottom - area.top)};
}

UniqueFont MessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    throw RuntimeFailure(FailureNumber::kInternal);
  }
  UniqueFont font(CreateFontIndirectW(&metrics.lfMessageFont));
  if (!font) throw RuntimeFailure(FailureNumber::kInternal);
  return font;
}

FontMetrics MeasureFont(HFONT font) {
  ScreenDc dc;
  SelectedObject selected(dc.get(), font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.get(), &metrics);
  return {static_cast<int>(metrics.tmHeight), static_cast<int>(metrics.tmAveCharWidth)};
}

int IconSize(UINT dpi) { return GetSystemMetricsForDpi(SM_CXICON, dpi); }

}  // namespace zprava
