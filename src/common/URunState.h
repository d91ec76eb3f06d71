// Run-wide state: each module that keeps some registers how to reset it, so that one call
// resets them all (the tests between runs) and a new module cannot be missed.
#pragma once

namespace tolvex {

using StateReset = void (*)();

// Registers reset and returns true, so that a module registers from its own unit:
//   static const bool kStateRegistered = RegisterStateReset(&ResetCopyEngine);
bool RegisterStateReset(StateReset reset);
// Runs every registered reset, in the order of registration.
void ResetRegisteredState();

}  // namespace tolvex
