#include "win32/long_notice_dialog.h"

#include <windows.h>

#include <algorithm>
#include <exception>
#include <string>
#include <utility>

#include "dialog/body_layout.h"
#include "system/failure.h"
#include "win32/dialog_metrics.h"
#include "win32/gdi_handles.h"
#include "win32/guarded_callback.h"
#include "win32/notice_pager.h"
#include "windows/windows_text.h"

namespace zprava {
namespace {

// The header keeps the id a message box gives its text, so that tools reading
// either kind of dialog find the first line in the same place.
constexpr int kHeaderId = 0xFFFF;
constexpr int kBodyId = 0xFFFE;
constexpr int kIconId = 0xFFFD;

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

struct DialogState {
  DialogState(std::u16string_view caption, std::u16string_view header, NoticeText body)
      : caption(caption), header(header), pager(std::move(body), failure) {}

  std::u16string_view caption;
  std::u16string_view header;
  UINT dpi = 96;
  UniqueFont font;
  std::exception_ptr failure;
  NoticePager pager;
};

HWND MakeControl(HWND dialog, const wchar_t* control_class, DWORD style, DWORD ex_style, int id,
                 const wchar_t* text = nullptr) {
  HWND control = CreateWindowExW(ex_style, control_class, text, WS_CHILD | WS_VISIBLE | style, 0, 0,
                                 0, 0, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (!control) throw RuntimeFailure(FailureNumber::kInternal);
  return control;
}

void MakeControls(HWND dialog, const DialogState& state) {
  MakeControl(dialog, L"STATIC", SS_ICON | SS_REALSIZECONTROL, 0, kIconId);
  const std::u16string header(state.header);
  MakeControl(dialog, L"STATIC", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, kHeaderId,
              AsWide(header));
  MakeControl(dialog, L"EDIT", WS_TABSTOP | state.pager.EditStyle(), WS_EX_CLIENTEDGE, kBodyId);
  MakeControl(dialog, L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, L"OK");
}

// Font and icon for the dialog's current resolution.
void ApplyResolution(HWND dialog, DialogState& state) {
  state.font = MessageFont(state.dpi);
  for (int id : {kHeaderId, kBodyId, IDOK}) {
    SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(state.font.get()), TRUE);
  }
  const int icon_size = IconSize(state.dpi);
  // The system's own question icon, as a message box shows it; shared, so the
  // system keeps and frees it.
  const HANDLE icon =
      LoadImageW(nullptr, IDI_QUESTION, IMAGE_ICON, icon_size, icon_size, LR_SHARED);
  SendDlgItemMessageW(dialog, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void Place(HWND dialog, int id, int x, int y, int width, int height) {
  SetWindowPos(GetDlgItem(dialog, id), nullptr, x, y, std::max(width, 0), std::max(height, 0),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// Icon and header on top, OK at the bottom right, the body between them.
void Layout(HWND dialog, const DialogState& state) {
  RECT client{};
  GetClientRect(dialog, &client);
  const UINT dpi = state.dpi;
  const int margin = Scale(11, dpi);
  const int icon = IconSize(dpi);
  const int line = MeasureFont(state.font.get()).line_height;
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

// The body as wide as the scrolled view's columns and the dialog as tall as
// the fit rule allows, or narrower on a narrow screen, centred in the work
// area of the monitor the dialog opened on.
void SizeAndCentre(HWND dialog, const DialogState& state) {
  const RECT work = WorkArea(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY));
  const ScreenArea area = SizeOf(work);
  RECT frame{0, 0, 0, 0};
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE));
  const DWORD ex_style = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE));
  AdjustWindowRectExForDpi(&frame, style, FALSE, ex_style, state.dpi);
  // Beside the text: the body's scroll bar, then its border and inner
  // margins and the dialog's margins, both sides.
  const int readable = ColumnsWidth(MeasureFont(state.font.get()), kScrolledColumns) +
                       GetSystemMetricsForDpi(SM_CXVSCROLL, state.dpi) + Scale(40, state.dpi);
  const int width =
      std::min(ScreenShare(area.width), readable + static_cast<int>(frame.right - frame.left));
  const int height = ScreenShare(area.height);
  SetWindowPos(dialog, nullptr, work.left + (area.width - width) / 2,
               work.top + (area.height - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Initialise(HWND dialog, DialogState& state) {
  const std::u16string caption(state.caption);
  SetWindowTextW(dialog, AsWide(caption));
  state.dpi = GetDpiForWindow(dialog);
  MakeControls(dialog, state);
  ApplyResolution(dialog, state);
  SizeAndCentre(dialog, state);
  Layout(dialog, state);
  state.pager.Attach(GetDlgItem(dialog, kBodyId));
  SetForegroundWindow(dialog);
  SetFocus(GetDlgItem(dialog, IDOK));
}

// Moved to a monitor of another resolution: the suggested rectangle keeps the
// dialog's size in physical terms.
void ChangeResolution(HWND dialog, DialogState& state, UINT dpi, const RECT& suggested) {
  state.dpi = dpi;
  ApplyResolution(dialog, state);
  SetWindowPos(dialog, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  Layout(dialog, state);
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lparam);
    auto& state = *reinterpret_cast<DialogState*>(lparam);
    RunGuarded(dialog, state.failure, [&] { Initialise(dialog, state); });
    return FALSE;  // the focus is set already
  }
  auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (!state) return FALSE;
  switch (message) {
    case WM_COMMAND:
      // OK, Enter, Escape and the close control all end it alike.
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      return FALSE;
    case WM_DPICHANGED:
      RunGuarded(dialog, state->failure, [&] {
        ChangeResolution(dialog, *state, HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      });
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void ShowLongNotice(std::u16string_view caption, std::u16string_view header, NoticeText body) {
  EmptyDialogTemplate empty{};
  empty.dialog.style = kDialogStyle;
  DialogState state(caption, header, std::move(body));
  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &empty.dialog, nullptr,
                                                 DialogProcedure, reinterpret_cast<LPARAM>(&state));
  if (state.failure) std::rethrow_exception(state.failure);
  if (result != IDOK) throw RuntimeFailure(FailureNumber::kInternal);
}

}  // namespace zprava
