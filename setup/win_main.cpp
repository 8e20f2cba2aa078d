#include <windows.h>

#include <cstdlib>
#include <exception>

#include "setup/finish_dialog.h"
#include "setup/setup_state.h"
#include "setup/welcome_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // An allocation that fails ends the process at once, without a message.
  std::set_terminate([] { ExitProcess(3); });
  g_setupState.moduleInstance = instance;
  CoInitialize(nullptr);
  HINSTANCE module = GetModuleHandleA(nullptr);
  if (DialogBoxParamA(module, MAKEINTRESOURCEA(101), nullptr, WelcomeDialogProc, 0) == 0) {
    DialogBoxParamA(module, MAKEINTRESOURCEA(102), nullptr, FinishDialogProc, 0);
  }
  CoUninitialize();
  return 0;
}
