#include "UComponentSupport.h"

#include <windows.h>

#include "UText.h"

namespace tolvex {

namespace {

// A version range of one family; an empty range (first > last) means none of that family.
struct Range {
  unsigned firstMajor, firstMinor, lastMajor, lastMinor;
};
const Range kNone = {1, 0, 0, 0};

struct Row {
  Component component;
  const char* name;
  Range windows9x;  // Windows 95 4.0, 98 4.10, ME 4.90
  Range nt;         // NT 4.0, 2000 5.0, XP 5.1, Server 2003 5.2, Vista 6.0, 7 6.1
  const char* made;  // the versions in words
};

// From the components' own system requirements; each ends where Windows itself began to
// carry the component (or a newer one), or where its maker stopped supporting it.
const Row kRows[] = {
    // Internet Explorer 4.01 installs on Windows 95 and NT 4.0 and came with Windows 98;
    // ME and 2000 came with version 5 and its setup would only be turned away there.
    {Component::Browser, "the browser engine update", {4, 0, 4, 10}, {4, 0, 4, 0}, "Windows 95, 98 and NT 4.0"},
    // The 4.72 common-controls package is for Windows 95, 98 and NT 4.0; ME came with 5.81.
    {Component::CommonControls, "the common controls update", {4, 0, 4, 10}, {4, 0, 4, 0},
     "Windows 95, 98 and NT 4.0"},
    {Component::HtmlHelp, "the HTML Help update", {4, 0, 4, 90}, {4, 0, 5, 0}, "Windows 95, 98, ME, NT 4.0 and 2000"},
    {Component::MediaPlayer9Codecs, "the Windows Media Player 9 codecs package", {4, 10, 4, 90}, {5, 0, 5, 1},
     "Windows 98, ME, 2000 and XP"},
    {Component::MediaPlayer10, "Windows Media Player 10", kNone, {5, 1, 5, 1}, "Windows XP"},
    {Component::MediaPlayer11, "Windows Media Player 11", kNone, {5, 1, 5, 1}, "Windows XP"},
    {Component::FlashPlayer, "the Flash player", {4, 10, 4, 90}, {5, 0, 6, 1}, "Windows 98, ME, 2000, XP, Vista and 7"},
    {Component::AgentCore, "the agent core", {4, 0, 4, 90}, {4, 0, 5, 0}, "Windows 95, 98, ME, NT 4.0 and 2000"},
    {Component::AgentCharacter, "the agent characters", {4, 0, 4, 90}, {4, 0, 6, 0},
     "Windows 95, 98, ME, NT 4.0, 2000, XP and Vista"},
    {Component::SpeechEngine, "the speech engine", {4, 0, 4, 90}, {4, 0, 5, 1}, "Windows 95, 98, ME, NT 4.0, 2000 and XP"},
    {Component::SpeechInterface, "the speech interface", {4, 0, 4, 90}, {4, 0, 5, 1},
     "Windows 95, 98, ME, NT 4.0, 2000 and XP"},
};

bool InRange(const Range& r, unsigned major, unsigned minor) {
  unsigned v = major * 1000 + minor, first = r.firstMajor * 1000 + r.firstMinor, last = r.lastMajor * 1000 + r.lastMinor;
  return first <= last && v >= first && v <= last;
}

}  // namespace

WindowsVersion CurrentWindowsVersion() {
  OSVERSIONINFOA vi{};
  vi.dwOSVersionInfoSize = sizeof vi;
  WindowsVersion v;
  if (!GetVersionExA(&vi)) return v;
  v.nt = vi.dwPlatformId == VER_PLATFORM_WIN32_NT;
  v.major = vi.dwMajorVersion;
  v.minor = vi.dwMinorVersion;
  return v;
}

bool ComponentSupported(Component c, const WindowsVersion& v, std::string& why) {
  for (const Row& row : kRows) {
    if (row.component != c) continue;
    if (InRange(v.nt ? row.nt : row.windows9x, v.major, v.minor)) return true;
    why = Format("%s is made for %s, not for Windows %s %d.%d", {row.name, row.made, v.nt ? "NT" : "9x",
                                                                  static_cast<long>(v.major), static_cast<long>(v.minor)});
    return false;
  }
  return true;
}

bool ComponentSupportedHere(Component c, std::string& why) { return ComponentSupported(c, CurrentWindowsVersion(), why); }

}  // namespace tolvex
