#include <windows.h>

#include "FSelect.h"
#include "TestSupport.h"
#include "UCorvane.h"
#include "UPaths.h"
#include "URegistry.h"

using namespace tolvex;
using namespace tolvex::test;

class SelectFormTest : public TolvexTest {
 protected:
  std::vector<std::string> lines = {"C:\\Apps\\One", "D:\\Apps\\Two"};
};

TEST_F(SelectFormTest, OkTakesTheSelectedLine) {
  DialogDriver driver(TSelectForm::kCaption, [](HWND dlg) {
    SendDlgItemMessageA(dlg, TSelectForm::kListId, LB_SETCURSEL, 1, 0);
    ClickButton(dlg, IDOK);
  });
  EXPECT_EQ("D:\\Apps\\Two", ChooseInstallPath(lines));
  EXPECT_TRUE(driver.Join());
}

TEST_F(SelectFormTest, EnterTakesTheFirstLineThatStartsSelected) {
  DialogDriver driver(TSelectForm::kCaption, [](HWND dlg) {
    HWND list = GetDlgItem(dlg, TSelectForm::kListId);
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
  });
  EXPECT_EQ("C:\\Apps\\One", ChooseInstallPath(lines));
  EXPECT_TRUE(driver.Join());
}

TEST_F(SelectFormTest, DoubleClickIsOk) {
  DialogDriver driver(TSelectForm::kCaption, [](HWND dlg) {
    HWND list = GetDlgItem(dlg, TSelectForm::kListId);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(TSelectForm::kListId, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
  });
  EXPECT_EQ("D:\\Apps\\Two", ChooseInstallPath(lines));
  EXPECT_TRUE(driver.Join());
}

TEST_F(SelectFormTest, EscapeCancelAndTheCloseBoxStopTheInstall) {
  std::vector<std::function<void(HWND)>> ways = {
      [](HWND dlg) { PostMessageA(GetDlgItem(dlg, TSelectForm::kListId), WM_KEYDOWN, VK_ESCAPE, 0); },
      [](HWND dlg) { ClickButton(dlg, IDCANCEL); },
      [](HWND dlg) { PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0); },
  };
  for (size_t i = 0; i < ways.size(); ++i) {
    DialogDriver driver(TSelectForm::kCaption, ways[i]);
    EXPECT_EQ("-", ChooseInstallPath(lines)) << i;
    EXPECT_TRUE(driver.Join()) << i;
  }
}

TEST_F(SelectFormTest, ResizableCentredWithAMinimumAndItsControls) {
  struct Seen {
    MINMAXINFO mm{};
    RECT window{}, label{}, list{}, ok{};
    LONG style = 0;
    char label_text[128] = "", ok_text[32] = "", cancel_text[32] = "";
    LRESULT defId = 0;
  } seen;
  DialogDriver driver(TSelectForm::kCaption, [&seen](HWND dlg) {
    SendMessageA(dlg, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&seen.mm));
    GetWindowRect(dlg, &seen.window);
    seen.style = GetWindowLongA(dlg, GWL_STYLE);
    GetDlgItemTextA(dlg, TSelectForm::kLabelId, seen.label_text, sizeof seen.label_text);
    GetDlgItemTextA(dlg, IDOK, seen.ok_text, sizeof seen.ok_text);
    GetDlgItemTextA(dlg, IDCANCEL, seen.cancel_text, sizeof seen.cancel_text);
    seen.defId = SendMessageA(dlg, DM_GETDEFID, 0, 0);
    // Grown, the list follows and the buttons stay in the bottom strip.
    SetWindowPos(dlg, nullptr, 0, 0, 700, 400, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(GetDlgItem(dlg, TSelectForm::kListId), &seen.list);
    GetWindowRect(GetDlgItem(dlg, IDOK), &seen.ok);
    ClickButton(dlg, IDCANCEL);
  });
  ChooseInstallPath(lines);
  ASSERT_TRUE(driver.Join());
  EXPECT_EQ(421, seen.mm.ptMinTrackSize.x);
  EXPECT_EQ(155, seen.mm.ptMinTrackSize.y);
  EXPECT_TRUE(seen.style & WS_THICKFRAME);
  EXPECT_TRUE(seen.style & WS_SYSMENU);
  EXPECT_FALSE(seen.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_STREQ("&Select the correct installation path:", seen.label_text);
  EXPECT_STREQ("OK", seen.ok_text);
  EXPECT_STREQ("Cancel", seen.cancel_text);
  EXPECT_EQ(IDOK, LOWORD(seen.defId));
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((work.left + work.right) / 2, (seen.window.left + seen.window.right) / 2, 2);
  EXPECT_NEAR((work.top + work.bottom) / 2, (seen.window.top + seen.window.bottom) / 2, 2);
  EXPECT_GT(seen.list.bottom - seen.list.top, 250);
  EXPECT_GT(seen.ok.top, seen.list.bottom);
}

// The width of a row in the list's own font, as the list would draw it.
static LONG RowWidth(HWND list, const std::string& row) {
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc, row.c_str(), static_cast<int>(row.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  return size.cx;
}

TEST_F(SelectFormTest, ALongPathCanBeScrolledIntoView) {
  std::string deep = "C:\\Program Files\\Tesmora";
  while (deep.size() < 300) deep += "\\Deeper Folder With A Long Name";
  std::vector<std::string> rows = {"C:\\Apps\\One", deep, "D:\\Apps\\Two"};  // not the first row
  LONG width = 0, extent = 0, client = 0;
  DialogDriver driver(TSelectForm::kCaption, [&](HWND dlg) {
    HWND list = GetDlgItem(dlg, TSelectForm::kListId);
    width = RowWidth(list, deep);
    extent = static_cast<LONG>(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0));
    RECT r;
    GetClientRect(list, &r);
    client = r.right;
    ClickButton(dlg, IDCANCEL);
  });
  ChooseInstallPath(rows);
  ASSERT_TRUE(driver.Join());
  EXPECT_GT(width, client);  // the case needs a row wider than the list
  EXPECT_GE(extent, width);
  EXPECT_LE(extent, width + 20);  // measured, not just some large number
}

TEST_F(SelectFormTest, UnattendedAnswersNameALineOrCancel) {
  {
    UnattendedSeam seam("box: select\nanswer: \"d:\\\\apps\\\\two\"\n");  // letter case aside
    EXPECT_EQ("D:\\Apps\\Two", ChooseInstallPath(lines));
  }
  {
    UnattendedSeam seam("box: select\nanswer: \"E:\\\\Elsewhere\"\n");  // not offered: Enter's choice
    EXPECT_EQ("C:\\Apps\\One", ChooseInstallPath(lines));
    EXPECT_EQ("default", seam.Asked().at(0).source);
  }
}

class CorvaneTest : public TolvexTest {};

TEST_F(CorvaneTest, TheFolderWithConfigManagerWinsElseTheFirstThatExists) {
  ScratchDir d;
  ScratchRegistry reg;
  std::string local = d / "local", boot = d / "boot", comm = d / "comm";
  for (const std::string& f : {local, boot, comm}) MakeDirPath(f);
  WriteFileText(boot + "\\BootP.exe", "MZ");
  const char* kLocal = "\\SOFTWARE\\MORVASK\\Domains\\Default";
  const char* kBoot = "\\SOFTWARE\\MORVASK\\CMTools\\Configure_BootP";
  const char* kComm = "\\SOFTWARE\\MORVASK\\CMTools\\CommEngine_Configurator";
  EXPECT_EQ("", GetCorvaneServerDir());  // nothing installed

  WriteRegString(HKEY_LOCAL_MACHINE, kLocal, "LocalPathServer", local);
  EXPECT_EQ(local, GetCorvaneServerDir());

  WriteRegString(HKEY_LOCAL_MACHINE, kComm, "Path", comm + "\\CommEngine.exe");  // a file: its folder
  WriteFileText(comm + "\\ConfigManager.exe", "MZ");
  EXPECT_EQ(comm, GetCorvaneServerDir());
  EXPECT_EQ(comm + "\\ConfigManager.exe", CorvaneConfig().configManager);

  WriteRegString(HKEY_LOCAL_MACHINE, kBoot, "Path", boot + "\\BootP.exe");
  WriteFileText(boot + "\\ConfigManager.exe", "MZ");
  EXPECT_EQ(boot, GetCorvaneServerDir());  // probed before the communication tool

  WriteRegString(HKEY_LOCAL_MACHINE, kLocal, "LocalPathServer", d / "gone");
  DeleteFileA((boot + "\\ConfigManager.exe").c_str());
  DeleteFileA((comm + "\\ConfigManager.exe").c_str());
  EXPECT_EQ(boot, GetCorvaneServerDir());  // a missing folder is passed over
}
