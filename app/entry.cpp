#include <clocale>

#include "app/main_procedure.h"

int main() {
  // Weekday and month names and case rules follow the user's regional settings.
  std::setlocale(LC_ALL, "");
  auto dialog = zprava::MakeSystemMessageBox(zprava::kEndedSilently);
  return zprava::Main(*dialog);
}
