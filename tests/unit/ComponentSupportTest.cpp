#include <windows.h>

#include "TestSupport.h"
#include "UComponentSupport.h"

using namespace tolvex;

TEST(ComponentSupport, EachInstallerRunsOnlyOnTheWindowsItWasMadeFor) {
  const WindowsVersion w95{false, 4, 0}, w98{false, 4, 10}, me{false, 4, 90}, nt4{true, 4, 0}, w2k{true, 5, 0},
      xp{true, 5, 1}, vista{true, 6, 0}, w7{true, 6, 1}, w10{true, 10, 0};
  struct Case {
    Component c;
    std::vector<WindowsVersion> yes, no;
  } cases[] = {
      {Component::Browser, {w95, w98, nt4}, {me, w2k, xp, w10}},
      {Component::CommonControls, {w95, w98, nt4}, {me, w2k, xp}},
      {Component::HtmlHelp, {w98, w2k}, {xp, w7}},
      {Component::MediaPlayer9Codecs, {w98, me, w2k, xp}, {w95, nt4, vista}},
      {Component::MediaPlayer10, {xp}, {w98, w2k, vista}},
      {Component::FlashPlayer, {w98, w2k, w7}, {w95, nt4, w10}},
      {Component::AgentCharacter, {w95, xp, vista}, {w7, w10}},
      {Component::SpeechInterface, {w98, nt4, xp}, {vista}},
  };
  for (const Case& c : cases) {
    std::string why;
    for (const WindowsVersion& v : c.yes)
      EXPECT_TRUE(ComponentSupported(c.c, v, why)) << static_cast<int>(c.c) << " " << v.major << "." << v.minor;
    for (const WindowsVersion& v : c.no) {
      why.clear();
      EXPECT_FALSE(ComponentSupported(c.c, v, why)) << static_cast<int>(c.c) << " " << v.major << "." << v.minor;
      EXPECT_NE(std::string::npos, why.find("is made for Windows")) << why;
    }
  }
}

TEST(WinXP, TheSystemReportsXpAndItsComponentsFollow) {
  WindowsVersion v = CurrentWindowsVersion();
  if (!(v.nt && v.major == 5 && v.minor == 1)) GTEST_SKIP() << "runs in the program copy that Wine reports as Windows XP";
  std::string why;
  EXPECT_TRUE(ComponentSupportedHere(Component::MediaPlayer11, why));
  EXPECT_FALSE(ComponentSupportedHere(Component::HtmlHelp, why));
  EXPECT_EQ("the HTML Help update is made for Windows 95, 98, ME, NT 4.0 and 2000, not for Windows NT 5.1", why);
}
