// The terminal dialog: whatever the notice holds, the terminal receives plain
// UTF-8 text with no control character but "\n" and tab.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "terminal/terminal_dialog.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

std::string ShowOnTerminal(const std::u16string& body) {
  static FILE* output = std::tmpfile();
  static FILE* input = std::fopen("/dev/null", "r");
  Require(output != nullptr && input != nullptr);
  Require(::ftruncate(fileno(output), 0) == 0 && ::lseek(fileno(output), 0, SEEK_SET) == 0);
  zprava::MakeTerminalDialog(fileno(input), fileno(output))
      ->Show({.caption = u"Tibrel", .header = u"Zpráva: Úterý 8.prosince 2026", .body = body});
  std::string written(static_cast<std::size_t>(::lseek(fileno(output), 0, SEEK_CUR)), '\0');
  Require(::pread(fileno(output), written.data(), written.size(), 0) ==
          static_cast<ssize_t>(written.size()));
  return written;
}

// Line breaks in a body: CR LF, a lone CR and a lone LF count once each.
std::size_t CountLineBreaks(const std::u16string& text) {
  std::size_t breaks = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) ++breaks;
    if (text[i] == u'\r') ++breaks;
  }
  return breaks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string body(size / 2, u'\0');
  for (std::size_t i = 0; i < body.size(); ++i) {
    body[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  }
  const std::string screen = ShowOnTerminal(body);
  Require(screen.rfind("[?] Tibrel\nZpráva: Úterý 8.prosince 2026\n", 0) == 0);
  Require(screen.ends_with("\n[ OK ]\n"));
  std::size_t newlines = 0;
  for (const char c : screen) {
    const auto byte = static_cast<unsigned char>(c);
    Require(byte >= 0x20 || byte == '\n' || byte == '\t');
    Require(byte != 0x7F);
    newlines += byte == '\n';
  }
  Require(newlines == CountLineBreaks(body) + 4);
  return 0;
}
