// The PC checks: administrator rights, display, system components.
#pragma once

namespace tolvex {

bool RunAdministratorCheck();
bool RunDisplayCheck();
// Everything /check does; false when the PC does not meet the product's needs.
bool RunFullSystemCheck();

}  // namespace tolvex
