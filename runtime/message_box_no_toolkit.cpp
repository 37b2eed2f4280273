#include "runtime/message_box.h"

namespace zprava {

// Built when no GUI toolkit is available: every dialog goes to the terminal.
std::unique_ptr<MessageBox> TryOpenToolkitMessageBox() { return nullptr; }

}  // namespace zprava
