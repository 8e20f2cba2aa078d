#include <windows.h>

#include <cstdlib>
#include <new>

#include "common/kernel_handle.h"
#include "payload/payload_resource.h"
#include "resources/resource.h"
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

// Out of memory ends the process at once, without a message and without
// rollback: what an uncaught std::bad_alloc would do, without the exception
// machinery in the program.
void* Allocate(size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) ExitProcess(3);
  return block;
}

// Another copy of the installer runs, in this session or another: the name
// exists already, or exists with a right this copy lacks. A copy that cannot
// tell (the mutex cannot be made for another reason) goes ahead.
bool AnotherCopyRuns(KernelHandle& mutex) {
  mutex.Reset(CreateMutexA(nullptr, FALSE, "Global\\QVSetup"));
  const DWORD error = GetLastError();
  return mutex ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

// Brings the running copy's dialog in front: the welcome dialog, or the
// dialog or message box it shows at the moment. A copy started a moment ago
// checks its payload before its first dialog, so it is looked for during 2 s.
// False when none is found: a copy in another session cannot be reached from
// this desktop.
bool ShowRunningCopy() {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (const HWND dialog = FindWindowA("#32770", "QV Setup")) {
      SetForegroundWindow(GetLastActivePopup(dialog));
      return true;
    }
    Sleep(100);
  }
  return false;
}

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  RestrictDllSearch();
  // One installer at a time: two runs into one folder would move aside and
  // delete each other's files. The handle is held until the process ends.
  KernelHandle singleCopy;
  if (AnotherCopyRuns(singleCopy)) {
    // Ending silently would leave the user wondering where the installer is.
    if (!ShowRunningCopy()) {
      MessageBoxA(nullptr, "QV Setup l\xE4uft bereits in einer anderen Sitzung dieses Computers.",
                  "QV Setup", MB_OK);
    }
    return 0;
  }
  // A file damaged on its way (download, copy) would unpack wrong bytes and
  // report success; it is refused before any dialog, file or registry key.
  // After RestrictDllSearch: the hash loads the system's provider DLL.
  if (!PayloadIsIntact()) {
    MessageBoxA(nullptr,
                "Die Installationsdatei ist besch\xE4"
                "digt. Bitte laden Sie QV Setup erneut herunter.",
                "QV Setup", MB_OK);
    return 0;
  }
  g_setupState.moduleInstance = instance;
  CoInitialize(nullptr);
  HINSTANCE module = GetModuleHandleA(nullptr);
  if (DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_WELCOME), nullptr, WelcomeDialogProc, 0) == 0) {
    DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_FINISH), nullptr, FinishDialogProc, 0);
  }
  CoUninitialize();
  return 0;
}
