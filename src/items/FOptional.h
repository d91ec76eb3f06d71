// The optional components of one LIST section, offered in their own dialog.
#pragma once

#include "UScript.h"

namespace tolvex {

// False when the install is to stop.
bool InstallOptionalItems(const ScriptSectionList& lines);

}  // namespace tolvex
