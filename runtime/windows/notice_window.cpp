#include "windows/notice_window.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <algorithm>
#include <exception>

#include "system/failure.h"
#include "text/display_text.h"
#include "text/text_window.h"
#include "windows/gdi_handles.h"
#include "windows/windows_text.h"

namespace zprava {
namespace {

// The header keeps the id a message box gives its text, so that tools reading
// either kind of dialog find the first line in the same place.
constexpr int kHeaderId = 0xFFFF;
constexpr int kBodyId = 0xFFFE;
constexpr int kIconId = 0xFFFD;

// How much of the monitor's work area a dialog may take.
constexpr int kScreenSharePercent = 80;

// The standard edit control lays out every line of its text up front, and
// wrapping makes that slower still (under wine 8: 2.3 s for 5,000 wrapped
// lines against 0.6 s unwrapped, and tens of seconds for a megabyte of long
// lines or combining marks), so a body of more than a few pages is shown
// unwrapped, and the control holds a window of at most about a quarter of a
// million code units of it at a time, moved on as the user reaches its end.
constexpr std::size_t kMostWrappedUnits = std::size_t{1} << 15;
constexpr std::size_t kWindowUnits = std::size_t{1} << 18;

int Scale(int pixels_at_96_dpi, UINT dpi) {
  return MulDiv(pixels_at_96_dpi, static_cast<int>(dpi), 96);
}

int Share(LONG length) { return static_cast<int>(length * kScreenSharePercent / 100); }

HMONITOR PrimaryMonitor() { return MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY); }

RECT WorkArea(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) throw RuntimeFailure(FailureNumber::kInternal);
  return info.rcWork;
}

// The font message boxes use, at the given resolution.
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

TEXTMETRICW FontMetrics(HFONT font) {
  ScreenDc dc;
  SelectedObject selected(dc.get(), font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.get(), &metrics);
  return metrics;
}

int IconSize(UINT dpi) { return GetSystemMetricsForDpi(SM_CXICON, dpi); }

// What a message box adds around its text: the icon and margins beside it,
// the caption, margins and button row above and below. Generous, so that a
// box judged to fit does.
SIZE MessageBoxFrame(UINT dpi) {
  return {IconSize(dpi) + Scale(96, dpi),
          GetSystemMetricsForDpi(SM_CYCAPTION, dpi) + IconSize(dpi) + Scale(96, dpi)};
}

std::size_t LineCount(std::u16string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n')) + 1;
}

// --- The dialog ---------------------------------------------------------------

// An empty dialog template: the controls are made at run time, sized for the
// monitor's resolution, and the caption set then.
struct alignas(4) EmptyDialogTemplate {
  DLGTEMPLATE dialog;
  WORD menu = 0;
  WORD window_class = 0;
  WORD title = 0;
};

constexpr DWORD kDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFOREGROUND | DS_NOIDLEMSG;

struct NoticeWindow {
  std::u16string_view caption;
  std::u16string_view header;
  NoticeText body;   // whole, as read
  TextSpan shown{};  // the part of it the edit control holds
  UINT dpi = 96;
  UniqueFont font;
  std::exception_ptr failure;
};

HWND MakeControl(HWND dialog, const wchar_t* window_class, DWORD style, DWORD ex_style, int id,
                 const wchar_t* text = nullptr) {
  HWND control = CreateWindowExW(ex_style, window_class, text, WS_CHILD | WS_VISIBLE | style, 0, 0,
                                 0, 0, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (!control) throw RuntimeFailure(FailureNumber::kInternal);
  return control;
}

void MakeControls(HWND dialog, NoticeWindow& window) {
  MakeControl(dialog, L"STATIC", SS_ICON | SS_REALSIZECONTROL, 0, kIconId);
  const std::u16string header(window.header);
  MakeControl(dialog, L"STATIC", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, kHeaderId,
              AsWide(header));
  // Read-only, so Enter goes to OK; wrapped at the control's width where
  // that is quick enough, scrolled sideways otherwise.
  const DWORD wrapping = window.body.size() <= kMostWrappedUnits ? 0 : WS_HSCROLL | ES_AUTOHSCROLL;
  HWND body =
      MakeControl(dialog, L"EDIT",
                  WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | wrapping,
                  WS_EX_CLIENTEDGE, kBodyId);
  SendMessageW(body, EM_SETLIMITTEXT, 0, 0);
  MakeControl(dialog, L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, L"OK");
}

// Fonts and icon for the dialog's current resolution.
void ApplyResolution(HWND dialog, NoticeWindow& window) {
  window.font = MessageFont(window.dpi);
  for (int id : {kHeaderId, kBodyId, IDOK}) {
    SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(window.font.get()), TRUE);
  }
  const int icon_size = IconSize(window.dpi);
  // A shared system icon: the system keeps and frees it.
  const HANDLE icon =
      LoadImageW(nullptr, IDI_QUESTION, IMAGE_ICON, icon_size, icon_size, LR_SHARED);
  SendDlgItemMessageW(dialog, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void Place(HWND dialog, int id, int x, int y, int width, int height) {
  SetWindowPos(GetDlgItem(dialog, id), nullptr, x, y, std::max(width, 0), std::max(height, 0),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// Icon and header on top, OK at the bottom right, the body between them.
void Layout(HWND dialog, const NoticeWindow& window) {
  RECT client{};
  GetClientRect(dialog, &client);
  const UINT dpi = window.dpi;
  const int margin = Scale(11, dpi);
  const int icon = IconSize(dpi);
  const int line = FontMetrics(window.font.get()).tmHeight;
  const int button_width = Scale(88, dpi);
  const int button_height = std::max(Scale(26, dpi), line + Scale(10, dpi));
  const int top_height = std::max(icon, line);
  Place(dialog, kIconId, margin, margin, icon, icon);
  const int header_x = 2 * margin + icon;
  Place(dialog, kHeaderId, header_x, margin + (top_height - line) / 2,
        client.right - header_x - margin, line);
  const int body_y = 2 * margin + top_height;
  const int button_y = client.bottom - margin - button_height;
  Place(dialog, kBodyId, margin, body_y, client.right - 2 * margin, button_y - margin - body_y);
  Place(dialog, IDOK, client.right - margin - button_width, button_y, button_width, button_height);
}

// About a hundred characters wide and as tall as allowed, centred in the work
// area of the monitor the dialog opened on.
void SizeAndCentre(HWND dialog, const NoticeWindow& window) {
  const RECT work = WorkArea(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY));
  const int work_width = static_cast<int>(work.right - work.left);
  const int work_height = static_cast<int>(work.bottom - work.top);
  RECT frame{0, 0, 0, 0};
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE));
  const DWORD ex_style = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE));
  AdjustWindowRectExForDpi(&frame, style, FALSE, ex_style, window.dpi);
  const int readable = 100 * FontMetrics(window.font.get()).tmAveCharWidth +
                       GetSystemMetricsForDpi(SM_CXVSCROLL, window.dpi) + Scale(40, window.dpi);
  const int width =
      std::min(Share(work_width), readable + static_cast<int>(frame.right - frame.left));
  const int height = Share(work_height);
  SetWindowPos(dialog, nullptr, work.left + (work_width - width) / 2,
               work.top + (work_height - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- The body's window onto the notice ---------------------------------------

std::u16string_view ShownText(const NoticeWindow& window) {
  return std::u16string_view(window.body)
      .substr(window.shown.begin, window.shown.end - window.shown.begin);
}

void SetShownText(HWND body, const NoticeWindow& window) {
  const std::u16string text = ToDisplayUtf16(ShownText(window), DisplayTarget::kDialog);
  if (!SetWindowTextW(body, AsWide(text))) throw RuntimeFailure(FailureNumber::kOutOfMemory);
}

// Between the control's character positions and the notice's.
std::size_t NoticePlace(const NoticeWindow& window, LRESULT control_place) {
  return window.shown.begin +
         TextOffset(ShownText(window),
                    static_cast<std::size_t>(std::max<LRESULT>(control_place, 0)));
}

WPARAM ControlPlace(const NoticeWindow& window, std::size_t notice_place) {
  const std::size_t in_window =
      std::clamp(notice_place, window.shown.begin, window.shown.end) - window.shown.begin;
  return static_cast<WPARAM>(DisplayOffset(ShownText(window), in_window));
}

LRESULT Caret(HWND body) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(body, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<LRESULT>(end);
}

LRESULT FirstVisibleLine(HWND body) { return SendMessageW(body, EM_GETFIRSTVISIBLELINE, 0, 0); }

std::size_t FirstVisiblePlace(HWND body, const NoticeWindow& window) {
  return NoticePlace(window, SendMessageW(body, EM_LINEINDEX, FirstVisibleLine(body), 0));
}

// Puts another part of the notice in the control, keeping the caret and the
// first visible line at the same places in the notice where the new part
// holds them.
void ShowPart(HWND body, NoticeWindow& window, TextSpan part) {
  const std::size_t caret = NoticePlace(window, Caret(body));
  const std::size_t first_visible = FirstVisiblePlace(body, window);
  window.shown = part;
  SetShownText(body, window);
  const WPARAM caret_place = ControlPlace(window, caret);
  SendMessageW(body, EM_SETSEL, caret_place, static_cast<LPARAM>(caret_place));
  const LRESULT first_line =
      SendMessageW(body, EM_LINEFROMCHAR, ControlPlace(window, first_visible), 0);
  SendMessageW(body, EM_LINESCROLL, 0, first_line - FirstVisibleLine(body));
}

bool CaretAtEnd(HWND body) { return Caret(body) >= SendMessageW(body, WM_GETTEXTLENGTH, 0, 0); }

bool CaretOnFirstLine(HWND body) { return SendMessageW(body, EM_LINEFROMCHAR, -1, 0) == 0; }

bool CaretOnLastLine(HWND body) {
  return SendMessageW(body, EM_LINEFROMCHAR, -1, 0) + 1 >=
         SendMessageW(body, EM_GETLINECOUNT, 0, 0);
}

bool ScrolledToTop(HWND body) { return FirstVisibleLine(body) == 0; }

bool ScrolledToBottom(HWND body) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(body, SB_VERT, &info)) return true;
  return info.nPos + std::max<int>(static_cast<int>(info.nPage), 1) > info.nMax;
}

enum class Move { kNone, kOn, kBack, kToEnd, kToStart };

// What stays in place when the window moves on or back: the caret for keys,
// the first visible line for scrolling.
enum class Keep { kCaret, kFirstVisibleLine };

// A key that would go past the end or the start of the part shown.
Move MoveForKey(HWND body, WPARAM key) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  switch (key) {
    case VK_DOWN:
    case VK_NEXT:
      return CaretOnLastLine(body) ? Move::kOn : Move::kNone;
    case VK_UP:
    case VK_PRIOR:
      return CaretOnFirstLine(body) ? Move::kBack : Move::kNone;
    case VK_RIGHT:
      return CaretAtEnd(body) ? Move::kOn : Move::kNone;
    case VK_LEFT:
      return Caret(body) == 0 ? Move::kBack : Move::kNone;
    case VK_END:
      return control ? Move::kToEnd : Move::kNone;
    case VK_HOME:
      return control ? Move::kToStart : Move::kNone;
    default:
      return Move::kNone;
  }
}

// Scrolling on from the last line shown, or back from the first.
Move MoveForScroll(HWND body, bool down) {
  if (down) return ScrolledToBottom(body) ? Move::kOn : Move::kNone;
  return ScrolledToTop(body) ? Move::kBack : Move::kNone;
}

Move MoveForScrollBar(HWND body, WORD request) {
  switch (request) {
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
    case SB_BOTTOM:
      return MoveForScroll(body, true);
    case SB_LINEUP:
    case SB_PAGEUP:
    case SB_TOP:
      return MoveForScroll(body, false);
    default:
      return Move::kNone;
  }
}

TextSpan PartFor(const NoticeWindow& window, Move move) {
  switch (move) {
    case Move::kNone:
      break;
    case Move::kOn:
      return NextTextWindow(window.body, window.shown, kWindowUnits);
    case Move::kBack:
      return PreviousTextWindow(window.body, window.shown, kWindowUnits);
    case Move::kToEnd:
      return TextWindowFrom(window.body, window.body.size(), kWindowUnits);
    case Move::kToStart:
      return TextWindowFrom(window.body, 0, kWindowUnits);
  }
  return window.shown;
}

// Moving on or back by half a window only where the place kept is in the new
// part: otherwise, in a line longer than half a window, the text between
// would be skipped unseen; there the caret is first moved along the line.
void ShiftWindow(HWND body, NoticeWindow& window, Move move, Keep keep) {
  const TextSpan part = PartFor(window, move);
  if (part == window.shown) return;
  if (move == Move::kOn || move == Move::kBack) {
    const std::size_t kept =
        keep == Keep::kCaret ? NoticePlace(window, Caret(body)) : FirstVisiblePlace(body, window);
    if (kept < part.begin || kept > part.end) return;
  }
  ShowPart(body, window, part);
}

// Nothing may leave a window procedure by exception: a failure is kept and
// rethrown once the dialog has gone.
template <typename Action>
void Guarded(HWND dialog, NoticeWindow& window, Action action) {
  try {
    action();
  } catch (...) {
    window.failure = std::current_exception();
    EndDialog(dialog, IDABORT);
  }
}

// Sees the keys, wheel turns and scroll bar requests that would go past the
// part shown and moves the window first, so that the control then acts on
// them as usual.
LRESULT CALLBACK BodyProcedure(HWND body, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                               DWORD_PTR data) {
  auto& window = *reinterpret_cast<NoticeWindow*>(data);
  const HWND dialog = GetParent(body);
  switch (message) {
    case WM_KEYDOWN:
      Guarded(dialog, window,
              [&] { ShiftWindow(body, window, MoveForKey(body, wparam), Keep::kCaret); });
      break;
    case WM_MOUSEWHEEL:
      Guarded(dialog, window, [&] {
        ShiftWindow(body, window, MoveForScroll(body, GET_WHEEL_DELTA_WPARAM(wparam) < 0),
                    Keep::kFirstVisibleLine);
      });
      break;
    case WM_VSCROLL:
      Guarded(dialog, window, [&] {
        ShiftWindow(body, window, MoveForScrollBar(body, LOWORD(wparam)), Keep::kFirstVisibleLine);
      });
      if (LOWORD(wparam) == SB_THUMBPOSITION) {
        // A thumb let go at either end asks for more of the notice there.
        const LRESULT result = DefSubclassProc(body, message, wparam, lparam);
        Guarded(dialog, window, [&] {
          const Move move = ScrolledToBottom(body) ? Move::kOn
                            : ScrolledToTop(body)  ? Move::kBack
                                                   : Move::kNone;
          ShiftWindow(body, window, move, Keep::kFirstVisibleLine);
        });
        return result;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(body, BodyProcedure, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(body, message, wparam, lparam);
}

// Given once the control has its font and size, so that its lines are laid
// out once; shown from the top.
void FillBody(HWND dialog, NoticeWindow& window) {
  HWND body = GetDlgItem(dialog, kBodyId);
  window.shown = TextWindowFrom(window.body, 0, kWindowUnits);
  SetShownText(body, window);
  if (window.shown.end - window.shown.begin < window.body.size() &&
      !SetWindowSubclass(body, BodyProcedure, 0, reinterpret_cast<DWORD_PTR>(&window))) {
    throw RuntimeFailure(FailureNumber::kInternal);
  }
  // Posted, so that they come after the dialog manager has shown the dialog.
  PostMessageW(body, EM_SETSEL, 0, 0);
  PostMessageW(body, WM_VSCROLL, SB_TOP, 0);
}

void Initialise(HWND dialog, NoticeWindow& window) {
  const std::u16string caption(window.caption);
  SetWindowTextW(dialog, AsWide(caption));
  window.dpi = GetDpiForWindow(dialog);
  MakeControls(dialog, window);
  ApplyResolution(dialog, window);
  SizeAndCentre(dialog, window);
  Layout(dialog, window);
  FillBody(dialog, window);
  SetForegroundWindow(dialog);
  SetFocus(GetDlgItem(dialog, IDOK));
}

// Moved to a monitor of another resolution: the suggested rectangle keeps the
// dialog's size in physical terms.
void ChangeResolution(HWND dialog, NoticeWindow& window, UINT dpi, const RECT& suggested) {
  window.dpi = dpi;
  ApplyResolution(dialog, window);
  SetWindowPos(dialog, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  Layout(dialog, window);
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lparam);
    auto& window = *reinterpret_cast<NoticeWindow*>(lparam);
    Guarded(dialog, window, [&] { Initialise(dialog, window); });
    return FALSE;  // the focus is set already
  }
  auto* window = reinterpret_cast<NoticeWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (!window) return FALSE;
  switch (message) {
    case WM_COMMAND:
      // OK, Enter, Escape and the close control all end it alike.
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      return FALSE;
    case WM_DPICHANGED:
      Guarded(dialog, *window, [&] {
        ChangeResolution(dialog, *window, HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      });
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

bool FitsMessageBox(std::u16string_view header, std::u16string_view body) {
  if (header.size() + body.size() > kMostMeasuredUnits) return false;
  const HMONITOR monitor = PrimaryMonitor();
  const UINT dpi = GetDpiForSystem();  // a message box opens at the system's resolution
  const RECT work = WorkArea(monitor);
  const SIZE frame = MessageBoxFrame(dpi);
  const int most_width = Share(work.right - work.left) - frame.cx;
  const int most_height = Share(work.bottom - work.top) - frame.cy;
  const UniqueFont font = MessageFont(dpi);
  ScreenDc dc;
  SelectedObject selected(dc.get(), font.get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.get(), &metrics);
  // Counting lines spares measuring what is plainly too tall.
  const std::size_t lines = LineCount(header) + LineCount(body);
  if (lines * static_cast<std::size_t>(std::max<LONG>(metrics.tmHeight, 1)) >
      static_cast<std::size_t>(std::max(most_height, 0))) {
    return false;
  }
  // Measured at half the work area's width, narrower than a message box
  // wraps its text, so the estimate errs on the tall side.
  std::u16string text(header);
  text += u"\r\n";
  text += body;
  RECT bounds{0, 0, std::min(most_width, static_cast<int>(work.right - work.left) / 2), 0};
  DrawTextW(dc.get(), reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
            &bounds, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_LEFT);
  return bounds.right <= most_width && bounds.bottom <= most_height;
}

void ShowNoticeWindow(std::u16string_view caption, std::u16string_view header, NoticeText body) {
  EmptyDialogTemplate empty{};
  empty.dialog.style = kDialogStyle;
  NoticeWindow window;
  window.caption = caption;
  window.header = header;
  window.body = std::move(body);
  const INT_PTR result =
      DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &empty.dialog, nullptr, DialogProcedure,
                              reinterpret_cast<LPARAM>(&window));
  if (window.failure) std::rethrow_exception(window.failure);
  if (result != IDOK) throw RuntimeFailure(FailureNumber::kInternal);
}

}  // namespace zprava
