// The instrument bus driver: a kernel driver service the full system check installs on
// the NT family when the user is an administrator.
#pragma once

namespace tolvex {

void InstallBusDriver();

}  // namespace tolvex
