// The help videos: copied from the medium when the user wants them on the PC. Declining
// is normal (the videos then play from the CD), and nothing here stops the install.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tolvex {

struct Question;

// Never stops the install.
void CopyHelpVideos();

// The "Videos" folder of the medium: beside the setup folder, in it, or at the root of
// the setup's drive, the first that holds an .avi, else a .wmv file. Empty when none.
std::string FindVideoSource();

struct VideoFileInfo {
  std::string path;          // relative to the source folder, no leading backslash
  unsigned long long size = 0;
};
// Every file below the source folder, depth first: a folder's files by name (letter case
// aside), then its sub-folders by name, each listed whole before the next.
std::vector<VideoFileInfo> ListVideoFiles(const std::string& source, unsigned long long& total);

// The destination the user chose, or empty when the videos are not to be copied.
std::string ChooseVideoFolder(const std::string& appDir, unsigned long long required);

// Copies with the progress bar and its Cancel; reports the first failure and stops there.
// False when a copy failed or the user stopped it.
bool CopyVideoFiles(const std::string& source, const std::string& destination,
                    const std::vector<VideoFileInfo>& files, unsigned long long total);

// The byte count in the user's number notation ("1.50 KB").
std::string FormatByteSize(long long bytes);

// Free bytes for this user where path is (or would be): on the volume of its deepest
// existing folder, else of its drive or share; false when the drive cannot tell (no
// disk in it, no such drive). Before Windows 95 OSR2: the drive's root, in 32 bits.
bool GetDriveFreeBytes(const std::string& path, unsigned long long& freeBytes);
// "x:\" or "\\server\share\": what the free space is asked of.
std::string RootOf(const std::string& path);

}  // namespace tolvex
