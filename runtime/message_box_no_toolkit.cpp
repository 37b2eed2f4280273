#include "runtime/message_box.h"

namespace zprava {

// Built when no GUI toolkit is available: every dialog goes to the terminal.
std::unique_ptr<MessageBox> TryOpenToolkitMessageBox(int) { return nullptr; }

}  // namespace zprava
