// Test helper run under wine beside zprava.exe: waits for the dialog captioned
// by the first argument and prints its text as UTF-8 (a message box's text, or
// the header and body of the program's own dialog), then lines telling
// whether it shows an icon and where the dialog, its first line and OK are.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static control holding a message box's text
constexpr int kBodyId = 0xFFFE;         // the edit control of the program's own dialog

BOOL CALLBACK FindIcon(HWND child, LPARAM found) {
  if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

bool ShowsIcon(HWND box) {
  bool found = false;
  EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string ToUtf8(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length,
                      nullptr, nullptr);
  return utf8;
}

// Asked of the control itself: GetWindowText gives only a title kept aside
// for windows of other processes, which an edit control does not have.
std::wstring ControlText(HWND control) {
  const LRESULT length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

std::string Bounds(const char* name, HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return std::string(name) + ": " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
         std::to_string(r.right) + " " + std::to_string(r.bottom) + "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::wstring caption(argv[1], argv[1] + std::strlen(argv[1]));
  for (int attempt = 0; attempt < 300; ++attempt) {
    if (HWND box = FindWindowW(L"#32770", caption.c_str())) {
      std::wstring text = ControlText(GetDlgItem(box, kMessageTextId));
      if (HWND body = GetDlgItem(box, kBodyId)) text += L"\r\n" + ControlText(body);
      const std::string out = ToUtf8(text) + "\nicon: " + (ShowsIcon(box) ? "yes" : "no") + "\n" +
                              Bounds("window", box) +
                              Bounds("first line", GetDlgItem(box, kMessageTextId)) +
                              Bounds("ok", GetDlgItem(box, IDOK));
      _setmode(_fileno(stdout), _O_BINARY);  // the text's own line ends, unchanged
      std::fwrite(out.data(), 1, out.size(), stdout);
      return 0;
    }
    Sleep(100);
  }
  return 1;
}
