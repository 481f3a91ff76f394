// Zembro.exe's entry point and its one application object.
#include <windows.h>

#include "app/DllSearch.h"
#include "app/ZembroApp.h"

// Constructed before wWinMain runs; AfxWinMain finds it through AfxGetApp.
CZembroApp theApp;

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow) {
    RestrictDllSearchToSystemFolder();
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
