#pragma once
// OLE on the calling thread, as a single-threaded apartment: the shell's COM
// objects (Jump List, shell links, folder views) need it.
#include <windows.h>
#include <ole2.h>

// Initialises OLE once on this thread; later calls do nothing. FALSE when OLE
// could not be initialised (for example the thread is already multithreaded).
BOOL AfxOleInit();
// Undoes a successful AfxOleInit on this thread. bJustRevoke TRUE keeps OLE up
// (the program registers no class objects, so there is nothing else to revoke).
void AfxOleTerm(BOOL bJustRevoke = FALSE);

// OLE for the lifetime of a scope; uninitialised again only if it succeeded.
class CScopedOleInit {
public:
    CScopedOleInit() : m_hr(OleInitialize(nullptr)) {}
    ~CScopedOleInit() {
        if (SUCCEEDED(m_hr)) OleUninitialize();
    }
    CScopedOleInit(const CScopedOleInit&) = delete;
    CScopedOleInit& operator=(const CScopedOleInit&) = delete;

    bool Succeeded() const { return SUCCEEDED(m_hr); }
    HRESULT Result() const { return m_hr; }

private:
    HRESULT m_hr;
};
