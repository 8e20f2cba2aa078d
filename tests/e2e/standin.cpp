// A stand-in for a program that the tests and the demo package only need to
// exist (PSpice Schematics, Octave, the package's own starter and uninstaller).
// Started, it says what it is and ends; with a file path among its arguments
// nothing is opened. Built without the C runtime, so it stays a few KB.
#include <windows.h>

extern "C" void __stdcall StandinStart() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  char* name = path;
  for (char* p = path; *p; ++p) {
    if (*p == '\\') name = p + 1;
  }
  char text[MAX_PATH + 160];
  wsprintfA(text, "Platzhalter f\xFCr %s: dieses Programm ersetzt in der Testumgebung das echte Programm.",
            name);
  MessageBoxA(nullptr, text, name, MB_OK);
  ExitProcess(0);
}
