// Media and agent components: whether an installer of the agent core, its speech parts or
// one of its characters still has something to install.
#pragma once

#include <string>

namespace tolvex {

// True when the program (a [RUN] item's installer) is to run. The agent, speech and
// character installers it knows by name run only while their component is missing or too
// old; any other program is always needed. Reads the PC afresh on every call, so a
// component an earlier item installed counts.
bool RunItemNeeded(const std::string& programPath);
// <windir>\MSAgent\Chars\<fileName> when that file exists, else empty.
std::string FindAgentCharacter(const std::string& fileName);
// The NT platform at version 5.0, where the agent core and Merlin come with the system.
bool IsWindows2000();

// The media-player steps (codecs, player 10, player 11) and the Flash steps of the
// component update stage, each in its place there.
void UpdateMediaPlayer();
void UpdateFlashPlayer();

}  // namespace tolvex
