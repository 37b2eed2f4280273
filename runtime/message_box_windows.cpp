#include <windows.h>
// windows.h renames MessageBox to MessageBoxW, which would rename our class here.
#undef MessageBox

#include "runtime/failure.h"
#include "runtime/message_box.h"
#include "runtime/unicode.h"

namespace zprava {
namespace {

std::wstring WideDisplayText(std::u16string_view text) {
  const std::string utf8 = ToDisplayUtf8(text, DisplayTarget::kToolkit);
  if (utf8.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

// The system's own message box: the style values are Windows' own, brought
// to the front and modal to every window of the program.
class WindowsMessageBox final : public MessageBox {
 public:
  int Show(std::u16string prompt, int style, std::u16string_view caption) override {
    const std::wstring text = WideDisplayText(prompt);
    const std::wstring title = WideDisplayText(caption);
    const int result = ::MessageBoxW(nullptr, text.c_str(), title.c_str(),
                                     static_cast<UINT>(style) | MB_SETFOREGROUND | MB_TASKMODAL);
    if (result == 0) throw RuntimeFailure(FailureNumber::kInternal);
    return kResultOk;  // only OK is offered: Escape and the close control answer it too
  }
};

}  // namespace

std::unique_ptr<MessageBox> TryOpenToolkitMessageBox(int) {
  return std::make_unique<WindowsMessageBox>();
}

std::unique_ptr<MessageBox> MakeSystemMessageBox(int exit_status_on_lost_display) {
  return TryOpenToolkitMessageBox(exit_status_on_lost_display);
}

}  // namespace zprava
