#pragma once

#include <optional>
#include <string>

namespace zprava {

// What the terminal description in terminfo says of the terminal on one
// file: the strings that move and clear, and those its keys send. Kept
// apart, since the description's header defines names (lines, columns) as
// macros that no other code must see.
struct TerminalStrings {
  std::string clear;  // the whole screen, cursor home
  std::string clear_to_line_end;
  std::string enter_screen;  // the alternate screen, and the keypad's keys
  std::string leave_screen;
  bool alternate = false;  // whether there is an alternate screen to enter
  std::string hide_cursor;
  std::string show_cursor;
  struct Keys {
    std::string down, up, page_down, page_up, home, end;
  } keys;
  // The size in the description, where the system cannot tell it.
  int described_rows = 0;
  int described_columns = 0;
};

class Terminfo {
 public:
  // The description of $TERM, or nothing where there is none or it cannot
  // move the cursor and clear the screen.
  static std::optional<Terminfo> ForTerminal(int fd);

  Terminfo(Terminfo&& other) noexcept;
  Terminfo& operator=(Terminfo&&) = delete;
  ~Terminfo();

  const TerminalStrings& Strings() const { return strings_; }
  // Moves the cursor to `row` and `column`, counted from 0.
  std::string MoveTo(int row, int column) const;

 private:
  explicit Terminfo(void* description) : description_(description) {}
  void* description_;  // the library's TERMINAL
  std::string cursor_address_;
  TerminalStrings strings_;
};

}  // namespace zprava
