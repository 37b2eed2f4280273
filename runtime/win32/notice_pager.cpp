#include "win32/notice_pager.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

#include "system/failure.h"
#include "text/display_text.h"
#include "win32/guarded_callback.h"
#include "windows/windows_text.h"

namespace zprava {
namespace {

// The edit control lays out every line of its text whenever it is given
// text, and wrapping makes that much slower still (figures in
// bench/README.md): a notice of more than a few pages is shown unwrapped,
// and the control is given a text window of at most about this many code
// units, which it lays out quickly enough to move on at a key press.
constexpr std::size_t kMostWrappedUnits = std::size_t{1} << 15;
constexpr std::size_t kHeldUnits = std::size_t{1} << 18;

bool ControlDown() { return GetKeyState(VK_CONTROL) < 0; }

}  // namespace

NoticePager::NoticePager(NoticeText notice, std::exception_ptr& failure)
    : notice_(std::move(notice)), failure_(failure) {}

DWORD NoticePager::EditStyle() const {
  // Read-only, so that Enter goes to OK.
  const DWORD wrapping = notice_.size() <= kMostWrappedUnits ? 0 : WS_HSCROLL | ES_AUTOHSCROLL;
  return WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | wrapping;
}

void NoticePager::Attach(HWND body) {
  body_ = body;
  SendMessageW(body_, EM_SETLIMITTEXT, 0, 0);
  held_ = TextWindowFrom(notice_, 0, kHeldUnits);
  SetHeldText();
  if (held_.end - held_.begin < notice_.size() &&
      !SetWindowSubclass(body_, BodyProcedure, 0, reinterpret_cast<DWORD_PTR>(this))) {
    throw RuntimeFailure(FailureNumber::kInternal);
  }
  // Posted, so that they come after the dialog manager has shown the dialog.
  PostMessageW(body_, EM_SETSEL, 0, 0);
  PostMessageW(body_, WM_VSCROLL, SB_TOP, 0);
}

std::u16string_view NoticePager::HeldText() const {
  return std::u16string_view(notice_).substr(held_.begin, held_.end - held_.begin);
}

void NoticePager::SetHeldText() {
  const std::u16string text = ToDisplayUtf16(HeldText(), DisplayTarget::kDialog);
  if (!SetWindowTextW(body_, AsWide(text))) throw RuntimeFailure(FailureNumber::kOutOfMemory);
}

// Between the control's character positions and the notice's: the control
// holds display text, where every line end is a CR LF.
std::size_t NoticePager::UnitOfControlUnit(LRESULT control_unit) const {
  return held_.begin + UnitOfDisplayUnit(HeldText(), static_cast<std::size_t>(
                                                         std::max<LRESULT>(control_unit, 0)));
}

WPARAM NoticePager::ControlUnitOfUnit(std::size_t unit) const {
  const std::size_t in_held = std::clamp(unit, held_.begin, held_.end) - held_.begin;
  return static_cast<WPARAM>(DisplayUnitOfUnit(HeldText(), in_held));
}

LRESULT NoticePager::Caret() const {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(body_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<LRESULT>(end);
}

LRESULT NoticePager::FirstVisibleLine() const {
  return SendMessageW(body_, EM_GETFIRSTVISIBLELINE, 0, 0);
}

std::size_t NoticePager::FirstVisibleUnit() const {
  return UnitOfControlUnit(SendMessageW(body_, EM_LINEINDEX, FirstVisibleLine(), 0));
}

bool NoticePager::ScrolledToTop() const { return FirstVisibleLine() == 0; }

bool NoticePager::ScrolledToBottom() const {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(body_, SB_VERT, &info)) return true;
  return info.nPos + std::max<int>(static_cast<int>(info.nPage), 1) > info.nMax;
}

// A key that would take the caret past the end or the start of the text
// window held.
WindowMove NoticePager::MoveForKey(WPARAM key) const {
  const LRESULT caret_line = SendMessageW(body_, EM_LINEFROMCHAR, -1, 0);
  switch (key) {
    case VK_DOWN:
    case VK_NEXT:
      return caret_line + 1 >= SendMessageW(body_, EM_GETLINECOUNT, 0, 0) ? WindowMove::kOn
                                                                          : WindowMove::kNone;
    case VK_UP:
    case VK_PRIOR:
      return caret_line == 0 ? WindowMove::kBack : WindowMove::kNone;
    case VK_RIGHT:
      return Caret() >= SendMessageW(body_, WM_GETTEXTLENGTH, 0, 0) ? WindowMove::kOn
                                                                    : WindowMove::kNone;
    case VK_LEFT:
      return Caret() == 0 ? WindowMove::kBack : WindowMove::kNone;
    case VK_END:
      return ControlDown() ? WindowMove::kToEnd : WindowMove::kNone;
    case VK_HOME:
      return ControlDown() ? WindowMove::kToStart : WindowMove::kNone;
    default:
      return WindowMove::kNone;
  }
}

// Scrolling on from the last line held, or back from the first.
WindowMove NoticePager::MoveForScroll(bool down) const {
  if (down) return ScrolledToBottom() ? WindowMove::kOn : WindowMove::kNone;
  return ScrolledToTop() ? WindowMove::kBack : WindowMove::kNone;
}

WindowMove NoticePager::MoveForScrollBar(WORD request) const {
  switch (request) {
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
    case SB_BOTTOM:
      return MoveForScroll(true);
    case SB_LINEUP:
    case SB_PAGEUP:
    case SB_TOP:
      return MoveForScroll(false);
    default:
      return WindowMove::kNone;
  }
}

// Gives the control another text window, keeping the caret and the first
// visible line at the same places in the notice where the new window holds
// them.
void NoticePager::Hold(TextSpan window) {
  const std::size_t caret = UnitOfControlUnit(Caret());
  const std::size_t first_visible = FirstVisibleUnit();
  held_ = window;
  SetHeldText();
  const WPARAM caret_unit = ControlUnitOfUnit(caret);
  SendMessageW(body_, EM_SETSEL, caret_unit, static_cast<LPARAM>(caret_unit));
  const LRESULT first_line =
      SendMessageW(body_, EM_LINEFROMCHAR, ControlUnitOfUnit(first_visible), 0);
  SendMessageW(body_, EM_LINESCROLL, 0, first_line - FirstVisibleLine());
}

void NoticePager::Move(WindowMove move, Keep keep) {
  if (move == WindowMove::kNone) return;
  const std::size_t kept = keep == Keep::kCaret ? UnitOfControlUnit(Caret()) : FirstVisibleUnit();
  const TextSpan next = WindowAfterMove(notice_, held_, move, kept, kHeldUnits);
  if (next != held_) Hold(next);
}

// Moves the window before the control acts on a key, wheel turn or scroll
// bar request that would go past it, so that the control then acts on it
// as usual.
LRESULT NoticePager::Follow(UINT message, WPARAM wparam, LPARAM lparam) {
  const HWND dialog = GetParent(body_);
  switch (message) {
    case WM_KEYDOWN:
      RunGuarded(dialog, failure_, [&] { Move(MoveForKey(wparam), Keep::kCaret); });
      break;
    case WM_MOUSEWHEEL:
      RunGuarded(dialog, failure_, [&] {
        Move(MoveForScroll(GET_WHEEL_DELTA_WPARAM(wparam) < 0), Keep::kFirstVisibleLine);
      });
      break;
    case WM_VSCROLL:
      if (LOWORD(wparam) == SB_THUMBPOSITION) {
        // A thumb let go at either end asks for more of the notice there.
        const LRESULT result = DefSubclassProc(body_, message, wparam, lparam);
        RunGuarded(dialog, failure_, [&] {
          const WindowMove move = ScrolledToBottom() ? WindowMove::kOn
                                  : ScrolledToTop()  ? WindowMove::kBack
                                                     : WindowMove::kNone;
          Move(move, Keep::kFirstVisibleLine);
        });
        return result;
      }
      RunGuarded(dialog, failure_,
                 [&] { Move(MoveForScrollBar(LOWORD(wparam)), Keep::kFirstVisibleLine); });
      break;
    default:
      break;
  }
  return DefSubclassProc(body_, message, wparam, lparam);
}

LRESULT CALLBACK NoticePager::BodyProcedure(HWND body, UINT message, WPARAM wparam, LPARAM lparam,
                                            UINT_PTR id, DWORD_PTR data) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(body, BodyProcedure, id);
    return DefSubclassProc(body, message, wparam, lparam);
  }
  return reinterpret_cast<NoticePager*>(data)->Follow(message, wparam, lparam);
}

}  // namespace zprava
