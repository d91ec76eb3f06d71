// The install script's list sections, held for the whole run.
#pragma once

#include <string>
#include <vector>

namespace tolvex {

using ScriptSectionList = std::vector<std::string>;

struct ScriptLists {
  bool exist = false;
  ScriptSectionList files, shortcuts, run, customDirs, list1, list2, list3, list4;
};
ScriptLists& Lists();
void CreateScriptLists();
void FreeScriptLists();

// Loads the list sections once the parameters are known; false stops the install.
bool InitScript();

}  // namespace tolvex
