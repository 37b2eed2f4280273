#include "terminal/terminfo.h"

#include <utility>

// Last: it defines many short names as macros.
#include <term.h>

namespace zprava {
namespace {

std::string Capability(const char* name) {
  const char* value = tigetstr(name);
  if (value == nullptr || value == reinterpret_cast<const char*>(-1)) return {};
  return value;
}

// tputs hands its output a character at a time to a function of no context.
thread_local std::string* tputs_target = nullptr;
int AppendToTarget(int c) {
  tputs_target->push_back(static_cast<char>(c));
  return c;
}

// A string with its padding applied as the terminal asks, for one line.
std::string Padded(const std::string& value) {
  if (value.empty()) return value;
  std::string out;
  tputs_target = &out;
  tputs(value.c_str(), 1, AppendToTarget);
  tputs_target = nullptr;
  return out;
}

}  // namespace

std::optional<Terminfo> Terminfo::ForTerminal(int fd) {
  int error = 0;
  TERMINAL* const before = cur_term;
  if (setupterm(nullptr, fd, &error) != 0) return std::nullopt;
  Terminfo terminfo(cur_term);
  TerminalStrings& s = terminfo.strings_;
  terminfo.cursor_address_ = Capability("cup");
  s.clear = Padded(Capability("clear"));
  s.clear_to_line_end = Padded(Capability("el"));
  s.alternate = !Capability("smcup").empty();
  s.enter_screen = Padded(Capability("smcup")) + Padded(Capability("smkx"));
  s.leave_screen = Padded(Capability("rmkx")) + Padded(Capability("rmcup"));
  s.hide_cursor = Padded(Capability("civis"));
  s.show_cursor = Padded(Capability("cnorm"));
  s.keys.down = Capability("kcud1");
  s.keys.up = Capability("kcuu1");
  s.keys.page_down = Capability("knp");
  s.keys.page_up = Capability("kpp");
  s.keys.home = Capability("khome");
  s.keys.end = Capability("kend");
  s.described_rows = tigetnum("lines");
  s.described_columns = tigetnum("cols");
  set_curterm(before);
  if (terminfo.cursor_address_.empty() || s.clear.empty()) return std::nullopt;
  return terminfo;
}

Terminfo::Terminfo(Terminfo&& other) noexcept
    : description_(std::exchange(other.description_, nullptr)),
      cursor_address_(std::move(other.cursor_address_)),
      strings_(std::move(other.strings_)) {}

Terminfo::~Terminfo() {
  if (description_ != nullptr) del_curterm(static_cast<TERMINAL*>(description_));
}

std::string Terminfo::MoveTo(int row, int column) const {
  TERMINAL* const before = set_curterm(static_cast<TERMINAL*>(description_));
  std::string out = Padded(tiparm(cursor_address_.c_str(), row, column));
  set_curterm(before);
  return out;
}

}  // namespace zprava
