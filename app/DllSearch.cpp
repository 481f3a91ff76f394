#include "app/DllSearch.h"

#include <windows.h>

bool RestrictDllSearchToSystemFolder() {
    // Looked up, not imported: Windows 7 without its loader update lacks it,
    // and the program must still start there.
    using PfnSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    const HMODULE hKernel = GetModuleHandleW(L"kernel32.dll");
    const auto pfnSet = hKernel ? reinterpret_cast<PfnSetDefaultDllDirectories>(
                                      reinterpret_cast<void*>(GetProcAddress(hKernel, "SetDefaultDllDirectories")))
                                : nullptr;
    if (pfnSet && pfnSet(LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
    SetDllDirectoryW(L"");
    return false;
}
