#pragma once
// Puts a test's stand-in into one of this program's import slots (the __imp_
// pointer through which code calls a DLL's function) for the object's life,
// so the code under test reaches the stand-in where the system has nothing a
// test can answer (Wine's PickIconDlg and SHAutoComplete do nothing).
#include <windows.h>

template <class TFunction>
class CImportSwap {
public:
    CImportSwap(TFunction& slot, TFunction standIn) : m_slot(slot), m_original(slot) { Write(standIn); }
    ~CImportSwap() { Write(m_original); }
    CImportSwap(const CImportSwap&) = delete;
    CImportSwap& operator=(const CImportSwap&) = delete;

private:
    // The import table may be read-only once loaded.
    void Write(TFunction value) {
        DWORD dwOld = 0;
        ::VirtualProtect(&m_slot, sizeof(m_slot), PAGE_READWRITE, &dwOld);
        m_slot = value;
        ::VirtualProtect(&m_slot, sizeof(m_slot), dwOld, &dwOld);
    }

    TFunction& m_slot;
    TFunction m_original;
};
