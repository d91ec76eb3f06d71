#include "URunState.h"

#include <vector>

namespace tolvex {

// Built on first use: the modules register while the program's statics are made, in an
// order no one chooses.
static std::vector<StateReset>& Registered() {
  static std::vector<StateReset> resets;
  return resets;
}

bool RegisterStateReset(StateReset reset) {
  Registered().push_back(reset);
  return true;
}

void ResetRegisteredState() {
  for (StateReset reset : Registered()) reset();
}

}  // namespace tolvex
