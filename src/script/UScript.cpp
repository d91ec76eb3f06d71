#include "UScript.h"

#include "ULog.h"
#include "UMessages.h"

namespace tolvex {

static ScriptLists g_lists;

ScriptLists& Lists() { return g_lists; }

void CreateScriptLists() {
  g_lists = ScriptLists();
  g_lists.exist = true;
}

void FreeScriptLists() { g_lists = ScriptLists(); }

bool InitScript() {
  LogLine("Start InitScript()");
  ReportNotBuilt("Loading the install script's file sections");
  return false;
}

}  // namespace tolvex
