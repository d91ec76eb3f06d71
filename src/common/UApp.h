// The application object: its title (the caption of every box) and the run's end.
#pragma once

#include <string>

namespace tolvex {

struct AppState {
  std::string title;
};
AppState& App();
void ResetApp();
void SetAppTitle(const std::string& title);

}  // namespace tolvex
