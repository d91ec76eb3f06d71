// The Windows versions each component installer of a product CD was made for. The CDs
// carry installers from the days of Windows 95 to XP; run on a later Windows they refuse,
// hang or replace what the system itself keeps up to date. An installer step asks here
// only once its installer is due, after it has logged what it found on the PC; a due
// installer that does not belong on this Windows is logged with the reason and not run.
#pragma once

#include <string>

namespace tolvex {

enum class Component {
  Browser,             // browser engine update (IE4Install)
  CommonControls,      // common controls update (CC32Upgrade)
  HtmlHelp,            // HTML Help engine update (HHUpgrade)
  MediaPlayer9Codecs,  // WMP9Codecs
  MediaPlayer10,       // WMP10Installer
  MediaPlayer11,       // WMP11Installer
  FlashPlayer,         // SWF6InstallerPath, SWF8InstallerPath, SWFInstallerPath(2)
  AgentCore,           // the agent core run item ("\msagent.exe")
  AgentCharacter,      // the character run items (Merlin, Genie, Robby, Peedy)
  SpeechEngine,        // the speech engine run item ("\tv_enua.exe")
  SpeechInterface,     // the speech interface run item ("\spchapi.exe")
};

// A Windows version as the system reports it.
struct WindowsVersion {
  bool nt = true;
  unsigned major = 0, minor = 0;
};
WindowsVersion CurrentWindowsVersion();

// True when the component's installer belongs on that Windows; otherwise why names the
// component and the versions it was made for, for the log.
bool ComponentSupported(Component c, const WindowsVersion& v, std::string& why);
bool ComponentSupportedHere(Component c, std::string& why);

}  // namespace tolvex
