#pragma once

#include <windows.h>

#include <cstddef>
#include <exception>
#include <string_view>

#include "text/text.h"
#include "text/text_window.h"

namespace zprava {

// A notice of any length in a read-only edit control. The control lays out
// all of its text at once, so it holds one text window of the notice at a
// time, converted for display when given, and the window moves on or back
// as the user goes past its ends by key, wheel or scroll bar, and to the
// notice's end or start on Ctrl+End and Ctrl+Home.
class NoticePager {
 public:
  // What goes wrong while the control handles a message is kept in
  // `failure` and ends the dialog, as no exception may leave a window
  // procedure.
  NoticePager(NoticeText notice, std::exception_ptr& failure);
  NoticePager(const NoticePager&) = delete;
  NoticePager& operator=(const NoticePager&) = delete;

  // The edit control's styles of its own for this notice: wrapped at the
  // control's width where that is quick enough, scrolled sideways otherwise.
  DWORD EditStyle() const;

  // Gives the edit control `body` the notice's first text window, shown
  // from the top, and moves the window as the user asks where the notice is
  // longer than one. Called once the control has its font and size, so that
  // its lines are laid out once. Throws RuntimeFailure.
  void Attach(HWND body);

 private:
  // What stays in place when the window moves on or back: the caret for
  // keys, the first visible line for scrolling.
  enum class Keep { kCaret, kFirstVisibleLine };

  std::u16string_view HeldText() const;
  // The control counts display units of the held window.
  std::size_t UnitOfControlUnit(LRESULT control_unit) const;
  WPARAM ControlUnitOfUnit(std::size_t unit) const;
  LRESULT Caret() const;
  LRESULT FirstVisibleLine() const;
  std::size_t FirstVisibleUnit() const;
  bool ScrolledToTop() const;
  bool ScrolledToBottom() const;
  WindowMove MoveForKey(WPARAM key) const;
  WindowMove MoveForScroll(bool down) const;
  WindowMove MoveForScrollBar(WORD request) const;
  void SetHeldText();
  void Hold(TextSpan window);
  void Move(WindowMove move, Keep keep);
  LRESULT Follow(UINT message, WPARAM wparam, LPARAM lparam);

  static LRESULT CALLBACK BodyProcedure(HWND body, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR id, DWORD_PTR data);

  NoticeText notice_;  // whole, as read
  TextSpan held_{};    // the text window the control holds
  HWND body_ = nullptr;
  std::exception_ptr& failure_;
};

}  // namespace zprava
