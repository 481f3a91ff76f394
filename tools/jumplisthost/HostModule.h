#pragma once
// Shared pieces of the stand-in Jump List host: object counting for
// DllCanUnloadNow, the switches that make calls fail, and the files it writes.
//
// Everything lives in the Wine prefix of the process that uses the host:
//   %LOCALAPPDATA%\ZembroJumpListHost\jumplist.json  the last committed list
//   %LOCALAPPDATA%\ZembroJumpListHost\calls.log      one line per list call
//   HKCU\Software\ZembroJumpListHost  "FailBeginList", "FailAddUserTasks",
//       "FailCommitList": DWORD, nonzero makes that call fail with E_FAIL
#include <windows.h>

#include <new>
#include <string>
#include <utility>

namespace host {

void ObjectCreated();
void ObjectDestroyed();
bool HasLiveObjects();

// True when HKCU\Software\ZembroJumpListHost holds a nonzero DWORD pszSwitch.
bool IsSwitchOn(const wchar_t* pszSwitch);

// The folder of the host's files, created when missing. Empty when the local
// application data folder is unknown.
std::wstring DataFolder();

// Appends one line to calls.log.
void LogCall(const char* pszLine);

// Replaces pszName in the data folder with bytes as a whole: a reader sees the
// old file or the new one, never a part. False (and the old file) on failure.
bool ReplaceDataFile(const wchar_t* pszName, const std::string& bytes);

}  // namespace host

// The one IUnknown implementation of the host's objects: a reference count
// that deletes the object and keeps the module loaded while it lives.
template <typename Derived>
class CRefCounted {
public:
    CRefCounted() { host::ObjectCreated(); }
    virtual ~CRefCounted() { host::ObjectDestroyed(); }
    CRefCounted(const CRefCounted&) = delete;
    CRefCounted& operator=(const CRefCounted&) = delete;

    // A new object's interface riid for the caller. The object is born with
    // one reference, which is dropped here once the caller holds its own, so
    // that a failed query deletes it again. (MinGW's ComPtr::Attach adds a
    // reference of its own, so it cannot take over the one it was born with.)
    template <typename... Args>
    static HRESULT CreateObject(REFIID riid, void** ppv, Args&&... args) {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        Derived* pObject = new (std::nothrow) Derived(std::forward<Args>(args)...);
        if (!pObject) return E_OUTOFMEMORY;
        const HRESULT hr = pObject->QueryInterface(riid, ppv);
        pObject->Release();
        return hr;
    }

protected:
    ULONG AddRefImpl() { return static_cast<ULONG>(InterlockedIncrement(&m_cRef)); }
    ULONG ReleaseImpl() {
        const LONG cRef = InterlockedDecrement(&m_cRef);
        if (cRef == 0) delete this;
        return static_cast<ULONG>(cRef);
    }

private:
    LONG m_cRef = 1;
};

#define HOST_IUNKNOWN_METHODS                                                                   \
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;                              \
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }                             \
    STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }
