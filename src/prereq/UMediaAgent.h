// Media and agent components: whether an installer of the agent core, its speech parts or
// one of its characters still has something to install.
#pragma once

#include <string>

#include "UVersionText.h"

namespace tolvex {

// True when the program (a [RUN] item's installer) is to run. The agent, speech and
// character installers it knows by name run only while their component is missing or too
// old, and then only on a Windows they were made for; any other program is always needed. Reads the PC afresh on every call, so a
// component an earlier item installed counts.
bool RunItemNeeded(const std::string& programPath);
// <windir>\MSAgent\Chars\<fileName> when that file exists, else empty.
std::string FindAgentCharacter(const std::string& fileName);
// The NT platform at version 5.0, where the agent core and Merlin come with the system.
bool IsWindows2000();

// The media-player steps (codecs, player 10, player 11) and the Flash steps of the
// component update stage, each in its place there. An installer is due where its
// component is missing or too old, and a due one runs only on a Windows it was made for
// (otherwise the log says why); a configured installer file that is missing is reported,
// and the install goes on. The media-player steps log nothing else.
void UpdateMediaPlayer();
void UpdateFlashPlayer();

// The media player: the first of the system folder's wmp.dll, wmp.ocx and msdxm.ocx
// that exists, else empty.
std::string FindMediaPlayerFile();
// -1, 0 or 1: the player's version against the required one; -1 without a player file
// or without a readable version.
int CompareMediaPlayerVersion(const VersionParts& required);

// The Flash ActiveX control: the in-process server of its COM class, when that file
// exists; else empty.
std::string GetFlashActiveXPath();
// The Flash plug-in: the system folder's Macromed\Flash\NPSWF32.dll, else NPSWF32.dll
// in the folder the plug-in's registry key names; empty when neither exists.
std::string GetFlashPluginPath();
// The ActiveX (true) or plug-in (false) file's version against a required one, given as
// parts or as a script's text (see ParseWantedVersion); -1 when the file is missing or
// has no version.
int CompareFlashVersion(bool activeX, const VersionParts& required);
int CompareFlashVersion(bool activeX, const std::string& wanted);
// The ActiveX or plug-in file's version text for the log, empty when missing.
std::string FlashVersionText(bool activeX);
// Runs the Flash installer (an .msi package through msiexec, else the program with "/q")
// when the installed ActiveX (true) or plug-in (false) player is older than SWFVersion.
// True when an installer ran.
bool InstallFlashPlayer(const std::string& installer, bool activeX);

}  // namespace tolvex
