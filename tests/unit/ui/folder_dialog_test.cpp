#include "ui/folder_dialog.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include "common/shell_link.h"
#include "dialog_driver.h"
#include "setup/setup_state.h"
#include "support/com_scope.h"
#include "support/test_files.h"

namespace {

const int kOk = 116;
const int kCancel = 117;
const int kInstallEdit = 112;
const int kUserEdit = 113;
const int kInstallBrowse = 114;
const int kUserBrowse = 115;
const int kInstallStandard = 119;
const int kUserStandard = 120;
const char kInvalid[] = "Ung\xFCltiger Ordner";

std::string DocumentsPSpice() {
  char documents[MAX_PATH] = {};
  if (SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, documents) != S_OK) return "";
  return std::string(documents) + "\\PSpice";
}

std::string Stored(const TextString& folder) {
  return folder.data ? std::string(folder.data, folder.length) : "<empty>";
}

LONG ButtonType(HWND dialog, int id) {
  return GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & 0xF;
}

// The selection of an edit field as "start-end".
std::string Selection(HWND dialog, int id) {
  DWORD start = 0, end = 0;
  SendDlgItemMessageA(dialog, id, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                      reinterpret_cast<LPARAM>(&end));
  return std::to_string(start) + "-" + std::to_string(end);
}

class FolderDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    g_setupState.moduleInstance = GetModuleHandleA(nullptr);
    g_setupState.installFolder.SetLength(0);
    g_setupState.userFolder.SetLength(0);
  }

  INT_PTR Run() {
    return driver_.Run([] { return ShowFolderDialog(nullptr); });
  }

  // Waits for the dialog, types both folders and presses OK.
  void EnterFoldersAndOk(const std::string& install, const std::string& user) {
    driver_.Then(WaitForDialog(dialog_)).Then([this, install, user](HWND) {
      SetDlgItemTextA(dialog_, kInstallEdit, install.c_str());
      SetDlgItemTextA(dialog_, kUserEdit, user.c_str());
      Click(dialog_, kOk);
      return true;
    });
  }

  // Back in the dialog after a message box: note focus and selection, then
  // go on with `next` (which ends the dialog).
  void AfterMessage(std::function<void()> next) {
    driver_.Then(CloseMessageBox(dialog_, message_)).Then([this, next](HWND front) {
      // Under load the dialog's reactivation can leave the thread without a
      // focus for a moment; wait for it to settle.
      if (front != dialog_ || !GetFocus()) return false;
      focus_ = GetDlgCtrlID(GetFocus());
      next();
      return true;
    });
  }

  // First OK: `first` is accepted and stored, the empty user row rejected.
  // The stored folder is then removed and OK pressed again with `install`.
  void AcceptRemoveAndRetry(const std::string& first, const std::string& install) {
    EnterFoldersAndOk(first, "");
    driver_.Then(CloseMessageBox(dialog_, message_)).Then([this, first, install](HWND front) {
      if (front != dialog_) return false;
      EXPECT_TRUE(FolderExists(first));
      EXPECT_TRUE(RemoveTree(first));
      SetDlgItemTextA(dialog_, kInstallEdit, install.c_str());
      SetDlgItemTextA(dialog_, kUserEdit, temp_.path().c_str());
      Click(dialog_, kOk);
      return true;
    });
  }

  ComScope com_;
  TempFolder temp_;
  DialogDriver driver_;
  HWND dialog_ = nullptr;
  SeenMessage message_;
  int focus_ = 0;
};

TEST_F(FolderDialog, OpensWithTheDefaultFoldersInTheGermanTemplate) {
  const std::string documents = DocumentsPSpice();
  ASSERT_NE(documents, "");
  const ExpectedControl expected[] = {
      {116, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, "OK"},
      {117, "Button", BS_PUSHBUTTON | WS_TABSTOP, "Abbrechen"},
      {0xFFFF, "Static", SS_LEFT | WS_GROUP, "Ordner f\xFCr die Simulationsbeispiele"},
      {112, "Edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, "C:\\DO-Dazuvazav"},
      {114, "Button", BS_PUSHBUTTON | WS_TABSTOP, "Suchen"},
      {119, "Button", BS_PUSHBUTTON | WS_TABSTOP, "Standard"},
      {0xFFFF, "Static", SS_LEFT | WS_GROUP, "Voreingestellter Ordner f\xFCr eigene Simulationen"},
      {113, "Edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, documents.c_str()},
      {115, "Button", BS_PUSHBUTTON | WS_TABSTOP, "Suchen"},
      {120, "Button", BS_PUSHBUTTON | WS_TABSTOP, "Standard"},
  };
  DialogSnapshot seen;
  driver_.Then(WaitForDialog(dialog_)).Then([&](HWND) {
    seen = Snapshot(dialog_);
    Click(dialog_, kCancel);
    return true;
  });
  EXPECT_EQ(Run(), 1);
  ExpectTemplate(seen, "QV Setup", expected, 10);
  ASSERT_EQ(seen.controls.size(), 10u);
  // The label reaches the window as U+00FC, whatever the process's code page.
  EXPECT_EQ(seen.controls[2].textW, L"Ordner f\u00FCr die Simulationsbeispiele");
  EXPECT_EQ(seen.controls[6].textW, L"Voreingestellter Ordner f\u00FCr eigene Simulationen");
}

TEST_F(FolderDialog, StandardRestoresItsRowAndGivesTheDefaultBackToOk) {
  std::string install, user, userAfter;
  LONG standardType = -1, okType = -1;
  int focus = 0;
  driver_.Then(WaitForDialog(dialog_))
      .Then([&](HWND) {
        SetDlgItemTextA(dialog_, kInstallEdit, "D:\\anders");
        SetDlgItemTextA(dialog_, kUserEdit, "D:\\auch anders");
        // Tabbing to a push button makes it the default button.
        SendMessageA(dialog_, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(GetDlgItem(dialog_, kInstallStandard)), TRUE);
        Click(dialog_, kInstallStandard);
        return true;
      })
      .Then([&](HWND) {
        install = ItemText(dialog_, kInstallEdit);
        user = ItemText(dialog_, kUserEdit);
        standardType = ButtonType(dialog_, kInstallStandard);
        okType = ButtonType(dialog_, kOk);
        focus = GetDlgCtrlID(GetFocus());
        Click(dialog_, kUserStandard);
        return true;
      })
      .Then([&](HWND) {
        userAfter = ItemText(dialog_, kUserEdit);
        Click(dialog_, kCancel);
        return true;
      });
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(install, "C:\\DO-Dazuvazav");
  EXPECT_EQ(user, "D:\\auch anders") << "the other row stays";
  EXPECT_EQ(userAfter, DocumentsPSpice());
  EXPECT_EQ(standardType, BS_PUSHBUTTON);
  EXPECT_EQ(okType, BS_DEFPUSHBUTTON);
  EXPECT_EQ(focus, kOk);
  EXPECT_EQ(Stored(g_setupState.installFolder), "<empty>") << "Standard stores nothing";
}

TEST_F(FolderDialog, EnterInAnEditFieldActsAsOk) {
  const std::string install = temp_ / "Neu mit Leerzeichen\\";
  const std::string user = temp_.path();
  driver_.Then(WaitForDialog(dialog_)).Then([&](HWND) {
    SetDlgItemTextA(dialog_, kInstallEdit, install.c_str());
    SetDlgItemTextA(dialog_, kUserEdit, user.c_str());
    SetFocus(GetDlgItem(dialog_, kUserEdit));
    PressKey(GetDlgItem(dialog_, kUserEdit), VK_RETURN);
    return true;
  });
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(driver_.sentCommands(), std::vector<int>{kOk});
  EXPECT_EQ(Stored(g_setupState.installFolder), install) << "stored exactly as typed";
  EXPECT_EQ(Stored(g_setupState.userFolder), user);
  EXPECT_TRUE(FolderExists(install));
}

TEST_F(FolderDialog, EscapeAndCancelCommandAreIgnoredAbbrechenReturnsOne) {
  bool stillOpen = false;
  driver_.Then(WaitForDialog(dialog_))
      .Then([&](HWND) {
        SetFocus(GetDlgItem(dialog_, kInstallEdit));
        PressKey(GetDlgItem(dialog_, kInstallEdit), VK_ESCAPE);
        Click(dialog_, IDCANCEL);
        return true;
      })
      .Then([&](HWND front) {
        stillOpen = front == dialog_;
        Click(dialog_, kCancel);
        return true;
      });
  EXPECT_EQ(Run(), 1);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(driver_.sentCommands(), std::vector<int>{IDCANCEL}) << "Escape reached the dialog";
  EXPECT_EQ(Stored(g_setupState.installFolder), "<empty>");
  EXPECT_EQ(Stored(g_setupState.userFolder), "<empty>");
  EXPECT_FALSE(FolderExists("C:\\DO-Dazuvazav"));
}

TEST_F(FolderDialog, EmptyInstallFolderIsRejectedAndTheUserRowNotValidated) {
  const std::string user = temp_ / "nicht angelegt";
  g_setupState.userFolder.Assign("vorher");
  EnterFoldersAndOk("", user);
  std::string selection;
  AfterMessage([&] {
    selection = Selection(dialog_, kInstallEdit);
    Click(dialog_, kCancel);
  });
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(message_.text, kInvalid) << Printable(message_.text);
  EXPECT_EQ(message_.caption, "QV Setup");
  EXPECT_EQ(message_.buttons, 1) << "MB_OK";
  EXPECT_EQ(message_.owner, dialog_);
  EXPECT_EQ(focus_, kInstallEdit);
  EXPECT_EQ(selection, "0-0");
  EXPECT_FALSE(FolderExists(user)) << "the user row was not validated";
  EXPECT_EQ(Stored(g_setupState.userFolder), "vorher");
}

TEST_F(FolderDialog, RelativeUserFolderIsRejectedTheAcceptedInstallRowStaysStored) {
  const std::string install = temp_ / "Programme";
  EnterFoldersAndOk(install, "relativ\\Ordner");
  std::string selection;
  AfterMessage([&] {
    selection = Selection(dialog_, kUserEdit);
    Click(dialog_, kCancel);
  });
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(message_.text, kInvalid) << Printable(message_.text);
  EXPECT_EQ(focus_, kUserEdit);
  EXPECT_EQ(selection, "0-14") << "the whole text is selected";
  EXPECT_EQ(Stored(g_setupState.installFolder), install);
  EXPECT_TRUE(FolderExists(install));
  EXPECT_EQ(Stored(g_setupState.userFolder), "<empty>");
  EXPECT_FALSE(FolderExists("relativ"));
}

TEST_F(FolderDialog, ExistingFolderAndNestedNewFolderAreAccepted) {
  const std::string nested = temp_ / "a\\b c\\d";
  EnterFoldersAndOk(temp_.path(), nested);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Stored(g_setupState.installFolder), temp_.path());
  EXPECT_EQ(Stored(g_setupState.userFolder), nested);
  EXPECT_TRUE(FolderExists(nested));
}

TEST_F(FolderDialog, ExistingFileIsNoFolder) {
  const std::string file = temp_ / "datei";
  ASSERT_TRUE(WriteFileBytes(file, "x"));
  EnterFoldersAndOk(file, temp_.path());
  AfterMessage([&] { Click(dialog_, kCancel); });
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(message_.text, kInvalid) << Printable(message_.text);
  EXPECT_EQ(Stored(g_setupState.installFolder), "<empty>");
}

TEST_F(FolderDialog, NewFolderOutsideTheCodePageIsMadeAndStoredByItsShortName) {
  const std::wstring made = std::wstring(WideText(temp_.path().c_str()).get()) + L"\\\u0141";
  // Wine names each "Ł" by 8 letters: 24 more below it outgrow the 247 allowed.
  std::wstring deep = made;
  for (int i = 0; i < 24; ++i) deep += L"\\\u0141";
  driver_.Then(WaitForDialog(dialog_)).Then([&](HWND) {
    SetDlgItemTextW(dialog_, kInstallEdit, deep.c_str());
    Click(dialog_, kOk);
    return true;
  });
  AfterMessage([&] {
    SetDlgItemTextW(dialog_, kInstallEdit, made.c_str());
    SetDlgItemTextA(dialog_, kUserEdit, temp_.path().c_str());
    Click(dialog_, kOk);
  });
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(message_.text.substr(0, 26), "Der Ordnername ist zu lang") << Printable(message_.text);
  EXPECT_EQ(GetFileAttributesW((made + L"\\\u0141").c_str()), INVALID_FILE_ATTRIBUTES)
      << "made for the refused text, then removed";
  ASSERT_TRUE(WriteFileBytes(Stored(g_setupState.installFolder) + "\\probe", "x"));
  EXPECT_NE(GetFileAttributesW((made + L"\\probe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FolderDialog, OnlyTheFirst999CharactersAreRead) {
  // A relative text is rejected whenever it is validated; equal to the stored
  // folder, it is accepted without validation.
  const std::string stored = "relativ\\" + std::string(991, 'x');
  ASSERT_EQ(stored.size(), 999u);
  g_setupState.installFolder.Assign(stored.c_str());
  EnterFoldersAndOk(stored + "zu lang", temp_.path());
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Stored(g_setupState.installFolder), stored);
  EXPECT_FALSE(FolderExists("relativ"));
}

TEST_F(FolderDialog, TextEqualToTheStoredFolderIsAcceptedWithoutCreatingIt) {
  const std::string first = temp_ / "Fall";
  AcceptRemoveAndRetry(first, first);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Stored(g_setupState.installFolder), first);
  EXPECT_FALSE(FolderExists(first));
}

TEST_F(FolderDialog, ComparisonWithTheStoredFolderHeedsLetterCase) {
  const std::string first = temp_ / "Fall";
  const std::string upper = temp_ / "FALL";
  AcceptRemoveAndRetry(first, upper);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Stored(g_setupState.installFolder), upper);
  EXPECT_TRUE(FolderExists(upper)) << "validated by creating it again";
}

TEST_F(FolderDialog, SuchenShowsTheRowTitleAndTakesTheChosenFolder) {
  std::string installTitle, userTitle, afterCancel, afterChoice;
  int focus = 0;
  driver_.Then(WaitForDialog(dialog_)).Then([&](HWND) {
    SetDlgItemTextA(dialog_, kInstallEdit, "vorher");
    Click(dialog_, kInstallBrowse);
    return true;
  });
  // Wine's folder browser shows the title in a static text; Cancel closes it.
  driver_
      .Then([&](HWND front) {
        if (!front || front == dialog_) return false;
        installTitle = MessageBoxText(front);
        PostMessageA(front, WM_COMMAND, IDCANCEL, 0);
        return true;
      })
      .Then([&](HWND front) {
        if (front != dialog_) return false;
        afterCancel = ItemText(dialog_, kInstallEdit);
        Click(dialog_, kUserBrowse);
        return true;
      })
      .Then([&](HWND front) {
        if (!front || front == dialog_) return false;
        userTitle = MessageBoxText(front);
        PostMessageA(front, WM_COMMAND, IDOK, 0);
        return true;
      })
      .Then([&](HWND front) {
        if (front != dialog_) return false;
        afterChoice = ItemText(dialog_, kUserEdit);
        focus = GetDlgCtrlID(GetFocus());
        Click(dialog_, kCancel);
        return true;
      });
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(installTitle, "Ordner f\xFCr die PSpice-Programme und die Simulationsbeispiele")
      << Printable(installTitle);
  EXPECT_EQ(userTitle, "Voreingestellter Ordner f\xFCr eigene Simulationen")
      << Printable(userTitle);
  EXPECT_EQ(afterCancel, "vorher");
  // The browser starts at the desktop, not at the folder in the edit field.
  char desktop[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop), S_OK);
  EXPECT_EQ(afterChoice, desktop);
  EXPECT_EQ(focus, kOk);
}

}  // namespace
