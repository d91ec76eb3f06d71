#include "UApp.h"

#include "UInstallParams.h"
#include "URunState.h"

namespace tolvex {

static AppState g_app;
static InstallParams g_params;

AppState& App() { return g_app; }
void ResetApp() { g_app = AppState(); }
void SetAppTitle(const std::string& title) { g_app.title = title; }

std::string SetupTitle(const std::string& suffix) {
  const std::string& product = g_params.productname;
  return product.empty() ? suffix : product + " " + suffix;
}
static const bool kResetAppRegistered = RegisterStateReset(&ResetApp);

void MarkRunDeclined() { g_app.declined = true; }
void MarkRunFailed() { g_app.failed = true; }
void NoteItemFailed() { ++g_app.itemsFailed; }

int RunExitCode() {
  if (g_app.declined) return kExitDeclined;
  if (g_app.failed || g_app.itemsFailed > 0) return kExitFailed;
  if (g_app.restartNeeded) return kExitRestartNeeded;
  return g_app.exitCode;
}

InstallParams& Params() { return g_params; }
void ResetParams() { g_params = InstallParams(); }

const std::vector<RequiredInstallKey>& RequiredInstallKeys() {
  static const std::vector<RequiredInstallKey> keys = {{"Productname", &InstallParams::productname},
                                                       {"SrchDir", &InstallParams::SrchDir},
                                                       {"ExeAssoc", &InstallParams::ExeAssoc},
                                                       {"DefaultGroup", &InstallParams::DefaultGroup},
                                                       {"IdFile", &InstallParams::IdFile}};
  return keys;
}
static const bool kResetParamsRegistered = RegisterStateReset(&ResetParams);

}  // namespace tolvex
