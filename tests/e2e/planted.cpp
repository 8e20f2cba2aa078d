// A DLL planted beside the installer under the name of a system DLL: when any
// process loads it, it leaves the marker file C:\planted\<its file name>.
// Built without the C runtime; it exports nothing.
#include <windows.h>

extern "C" BOOL WINAPI PlantedMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char path[MAX_PATH] = "";
  GetModuleFileNameA(self, path, MAX_PATH);
  const char* name = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\') name = p + 1;
  }
  char marker[MAX_PATH + 16];
  wsprintfA(marker, "C:\\planted\\%s", name);
  CreateDirectoryA("C:\\planted", nullptr);
  HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}
