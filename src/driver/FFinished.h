// The dialog that ends a successful install.
#pragma once

namespace tolvex {

// Returns when the user closes it.
void ShowFinishDialog();

}  // namespace tolvex
