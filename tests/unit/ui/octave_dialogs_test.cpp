#include "ui/octave_dialogs.h"

#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "setup/setup_state.h"
#include "support/test_files.h"

namespace {

const int kOk = 116;
const int kAbortOption = 108;
const int kContinueOption = 109;
const int kTargetList = 123;

class OctaveDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    g_setupState.moduleInstance = GetModuleHandleA(nullptr);
    g_setupState.octaveLocator.targets.Clear();
  }
  void TearDown() override { g_setupState.octaveLocator.targets.Clear(); }

  // Waits for the dialog and takes its snapshot.
  void Inspect() {
    driver_.Then(WaitForDialog(dialog_)).Then([=](HWND) {
      seen_ = Snapshot(dialog_);
      return true;
    });
  }

  // Sets the targets, runs the choice dialog with OK at once and returns the
  // texts of its list.
  std::vector<std::string> ListedTexts(const std::vector<std::string>& targets) {
    for (const std::string& target : targets)
      g_setupState.octaveLocator.targets.PushBack(target.c_str());
    std::vector<std::string> listed;
    driver_.Then(WaitForDialog(dialog_)).Then([&](HWND) {
      HWND list = GetDlgItem(dialog_, kTargetList);
      const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
      for (LRESULT i = 0; i < count; ++i) {
        std::string text(SendMessageA(list, CB_GETLBTEXTLEN, i, 0), '\0');
        SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        listed.push_back(text);
      }
      Click(dialog_, kOk);
      return true;
    });
    EXPECT_EQ(driver_.Run([] { return ShowOctaveChoiceDialog(nullptr); }), 0);
    return listed;
  }

  DialogDriver driver_;
  HWND dialog_ = nullptr;
  DialogSnapshot seen_;
};

const ExpectedControl kMissingControls[] = {
    {116, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, "OK"},
    {0xFFFF, "Static", SS_LEFT | WS_GROUP,
     "Das Programm GNU Octave (Version >= 3.2.4) wurde nicht gefunden. Wenn Sie die"},
    {0xFFFF, "Static", SS_LEFT | WS_GROUP,
     "Beispiele f\xFCr Octave nutzen m\xF6"
     "chten, m\xFCssen Sie zun\xE4"
     "chst das Programm installieren."},
    {108, "Button", BS_AUTORADIOBUTTON,
     "Installation abbrechen und zun\xE4"
     "chst GNU Octave (>= 3.2.4) installieren"},
    {109, "Button", BS_AUTORADIOBUTTON,
     "Installation ohne Verkn\xFCpfung der Beispiele mit GNU Octave fortsetzen"},
};

TEST_F(OctaveDialogs, MissingDialogConfirmedAtOnceAbortsInItsGermanTemplate) {
  LRESULT abortMarked = 0, continueMarked = 0;
  Inspect();
  driver_.Then([&](HWND) {
    abortMarked = SendDlgItemMessageA(dialog_, kAbortOption, BM_GETCHECK, 0, 0);
    continueMarked = SendDlgItemMessageA(dialog_, kContinueOption, BM_GETCHECK, 0, 0);
    Click(dialog_, kOk);
    return true;
  });
  EXPECT_EQ(driver_.Run([] { return ShowOctaveMissingDialog(nullptr); }), 0);
  ExpectTemplate(seen_, "QV Setup", kMissingControls, 5);
  ASSERT_EQ(seen_.controls.size(), 5u);
  EXPECT_EQ(seen_.controls[2].textW,
            L"Beispiele f\u00FCr Octave nutzen m\u00F6chten, m\u00FCssen Sie zun\u00E4chst das "
            L"Programm installieren.");
  EXPECT_EQ(abortMarked, BST_CHECKED);
  EXPECT_EQ(continueMarked, BST_UNCHECKED);
}

TEST_F(OctaveDialogs, MissingDialogContinuesWhenTheUserMarksTheSecondOption) {
  LRESULT abortMarked = -1;
  driver_.Then(WaitForDialog(dialog_)).Then([&](HWND) {
    // A click on an automatic radio button, as the mouse makes it.
    SendDlgItemMessageA(dialog_, kContinueOption, BM_CLICK, 0, 0);
    abortMarked = SendDlgItemMessageA(dialog_, kAbortOption, BM_GETCHECK, 0, 0);
    Click(dialog_, kOk);
    return true;
  });
  EXPECT_EQ(driver_.Run([] { return ShowOctaveMissingDialog(nullptr); }), 1);
  EXPECT_EQ(abortMarked, BST_UNCHECKED) << "the options form one group";
}

TEST_F(OctaveDialogs, EscapeAndOtherCommandsLeaveBothDialogsOpen) {
  g_setupState.octaveLocator.targets.PushBack("C:\\Octave\\bin\\octave.exe");
  g_setupState.octaveLocator.targets.PushBack("D:\\Octave\\bin\\octave.exe");
  const std::function<INT_PTR()> dialogs[] = {[] { return ShowOctaveMissingDialog(nullptr); },
                                              [] { return ShowOctaveChoiceDialog(nullptr); }};
  for (const auto& show : dialogs) {
    DialogDriver driver;
    HWND dialog = nullptr;
    bool stillOpen = false;
    driver.Then(WaitForDialog(dialog))
        .Then([&](HWND) {
          PressKey(GetFocus(), VK_ESCAPE);
          Click(dialog, IDCANCEL);
          Click(dialog, kContinueOption);
          Click(dialog, 117);
          return true;
        })
        .Then([&](HWND front) {
          stillOpen = front == dialog;
          Click(dialog, kOk);
          return true;
        });
    EXPECT_EQ(driver.Run(show), 0);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(driver.sentCommands(), std::vector<int>{IDCANCEL}) << "Escape reached the dialog";
  }
}

const ExpectedControl kChoiceControls[] = {
    {116, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, "OK"},
    // The combo box hands WS_VSCROLL on to its list (see below).
    {123, "ComboBox", CBS_DROPDOWNLIST | WS_TABSTOP, "octave-3.2.4.exe (D:\\Apps\\Octave\\bin)"},
};

TEST_F(OctaveDialogs, ChoiceDialogListsTheTargetsInFoundOrderAndReturnsTheChosenIndex) {
  g_setupState.octaveLocator.targets.PushBack("D:\\Apps\\Octave\\bin\\octave-3.2.4.exe");
  g_setupState.octaveLocator.targets.PushBack("C:\\Octave\\3.6.4\\bin\\octave.exe");
  g_setupState.octaveLocator.targets.PushBack("C:\\Octave\\3.2.4_gcc-4.4.0\\bin\\octave.exe");
  Inspect();
  LRESULT selected = -2;
  driver_.Then([&](HWND) {
    selected = SendDlgItemMessageA(dialog_, kTargetList, CB_GETCURSEL, 0, 0);
    SendDlgItemMessageA(dialog_, kTargetList, CB_SETCURSEL, 2, 0);
    Click(dialog_, kOk);
    return true;
  });
  EXPECT_EQ(driver_.Run([] { return ShowOctaveChoiceDialog(nullptr); }), 2);
  ExpectTemplate(seen_, "Octave-Programm ausw\xE4hlen", kChoiceControls, 2);
  EXPECT_EQ(selected, 0) << "the first target is selected at start";
  EXPECT_EQ(g_setupState.octaveLocator.targets.count, 3) << "the list is not changed";
}

// Common Controls 6 open the list for up to 30 entries.
TEST_F(OctaveDialogs, ChoiceDialogListScrollsWhenTheTargetsDoNotFit) {
  for (int i = 0; i < 31; ++i)
    g_setupState.octaveLocator.targets.PushBack(("C:\\Octave\\" + std::to_string(i)).c_str());
  LONG listStyle = 0;
  driver_.Then(WaitForDialog(dialog_)).Then([&](HWND) {
    SendDlgItemMessageA(dialog_, kTargetList, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO combo = {};
    combo.cbSize = sizeof combo;
    if (GetComboBoxInfo(GetDlgItem(dialog_, kTargetList), &combo))
      listStyle = GetWindowLongA(combo.hwndList, GWL_STYLE);
    SendDlgItemMessageA(dialog_, kTargetList, CB_SHOWDROPDOWN, FALSE, 0);
    Click(dialog_, kOk);
    return true;
  });
  EXPECT_EQ(driver_.Run([] { return ShowOctaveChoiceDialog(nullptr); }), 0);
  EXPECT_TRUE(listStyle & WS_VSCROLL) << std::hex << listStyle;
}

TEST_F(OctaveDialogs, ChoiceDialogShowsFileNameAndFolderSplitAtTheLastBackslash) {
  const std::vector<std::string> listed = ListedTexts({
      "C:\\Octave\\3.2.4\\bin\\octave.exe",
      "D:\\Octave\\bin\\",
      "\\octave.exe",
      "octave.exe",
      "D:\\Octave\\3.6.4\\bin\\octave.exe",
  });
  const std::vector<std::string> expected = {
      "octave.exe (C:\\Octave\\3.2.4\\bin)", " (D:\\Octave\\bin)", "octave.exe ()", "octave.exe",
      "octave.exe (D:\\Octave\\3.6.4\\bin)",
  };
  EXPECT_EQ(listed, expected);
}

TEST_F(OctaveDialogs, ChoiceDialogGivesZeroWithoutASelection) {
  EXPECT_EQ(ListedTexts({}), std::vector<std::string>{}) << "an empty list stays empty";

  g_setupState.octaveLocator.targets.PushBack("C:\\a\\octave.exe");
  g_setupState.octaveLocator.targets.PushBack("C:\\b\\octave.exe");
  DialogDriver driver;
  HWND dialog = nullptr;
  driver.Then(WaitForDialog(dialog)).Then([&](HWND) {
    SendDlgItemMessageA(dialog, kTargetList, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Click(dialog, kOk);
    return true;
  });
  EXPECT_EQ(driver.Run([] { return ShowOctaveChoiceDialog(nullptr); }), 0);
}

}  // namespace
