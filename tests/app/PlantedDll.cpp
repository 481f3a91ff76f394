// A DLL that sits beside the test program, as a planted one would sit beside a
// downloaded Zembro.exe.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

extern "C" __declspec(dllexport) int ZembroPlanted() { return 1; }
