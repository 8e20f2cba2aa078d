#include "ui/folder_dialog.h"

#include "setup/setup_state.h"

// Placeholder until the folder dialog lands: takes the default folders.
INT_PTR ShowFolderDialog(HWND) {
  g_setupState.installFolder.Assign("C:\\DO-Dazuvazav");
  if (!CreateDirectoryA(g_setupState.installFolder.data, nullptr) &&
      GetLastError() != ERROR_ALREADY_EXISTS)
    return 1;
  g_setupState.userFolder.Assign("C:\\DO-Dazuvazav");
  return 0;
}
