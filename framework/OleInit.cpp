#include "framework/OleInit.h"

namespace {
thread_local bool t_bOleInitialised = false;
}

BOOL AfxOleInit() {
    if (t_bOleInitialised) return TRUE;
    // S_FALSE (already initialised here) still takes a reference to release later.
    if (FAILED(OleInitialize(nullptr))) return FALSE;
    t_bOleInitialised = true;
    return TRUE;
}

void AfxOleTerm(BOOL bJustRevoke) {
    if (bJustRevoke || !t_bOleInitialised) return;
    t_bOleInitialised = false;
    OleUninitialize();
}
