#include <clocale>

#include "main_procedure.h"
#include "system/memory.h"
#include "system_dialog.h"

int main() {
  // Weekday and month names and case rules follow the user's regional settings.
  std::setlocale(LC_ALL, "");
  const auto dialog =
      zprava::MakeSystemDialog({.exit_status_on_lost_display = zprava::kEndedSilently});
  return zprava::Main(*dialog, zprava::AvailableMemory());
}
