#pragma once
// Where the process may load DLLs from.

// Restricts every later load by bare name to the system folder, so that a DLL
// planted next to the program (a downloads folder, say) is never loaded. Call
// first thing, before anything loads a DLL. False when the system offers no
// such restriction; the current folder is then at least taken out of the search.
bool RestrictDllSearchToSystemFolder();
