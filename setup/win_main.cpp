#include <windows.h>

#include <exception>

#include "setup/finish_dialog.h"
#include "setup/setup_state.h"
#include "setup/welcome_dialog.h"

namespace {

// An installer runs elevated from a downloads folder: DLLs that the system
// loads on demand (theme, input method) must come from the system folder,
// never from beside the program. Systems without SetDefaultDllDirectories
// keep their default search order.
void RestrictDllSearch() {
  typedef BOOL(WINAPI * SetDefaultDllDirectoriesFunction)(DWORD);
  FARPROC function = GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
  if (!function) return;
  reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(function))(
      LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  RestrictDllSearch();
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
