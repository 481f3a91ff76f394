// The DLL's entry points: class objects for the three classes the host stands
// in for, and their registration in the prefix's machine-wide classes (Wine 8
// does not look at per-user registrations).
#include "HostModule.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "DestinationList.h"
#include "ObjectCollection.h"
#include "ShellLink.h"

namespace {

HMODULE g_hModule = nullptr;
LONG g_cObjects = 0;
LONG g_cServerLocks = 0;

constexpr wchar_t kSwitchKey[] = L"Software\\ZembroJumpListHost";

using CreateFn = HRESULT (*)(REFIID, void**);

struct CHostedClass {
    const CLSID* m_pClsid;
    const wchar_t* m_pszName;
    CreateFn m_pfnCreate;
};

const CHostedClass kClasses[] = {
    {&CLSID_DestinationList, L"Zembro stand-in: custom destination list", &CDestinationList::Create},
    {&CLSID_EnumerableObjectCollection, L"Zembro stand-in: enumerable object collection", &CObjectCollection::Create},
    {&CLSID_ShellLink, L"Zembro stand-in: shell link", &CShellLink::Create},
};

class CClassFactory : public IClassFactory, public CRefCounted<CClassFactory> {
public:
    explicit CClassFactory(CreateFn pfnCreate) : m_pfnCreate(pfnCreate) {}

    HOST_IUNKNOWN_METHODS

    STDMETHODIMP CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (pUnkOuter) return CLASS_E_NOAGGREGATION;
        return m_pfnCreate(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL fLock) override {
        if (fLock) InterlockedIncrement(&g_cServerLocks);
        else InterlockedDecrement(&g_cServerLocks);
        return S_OK;
    }

private:
    CreateFn m_pfnCreate;
};

STDMETHODIMP CClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

std::wstring ClsidText(const CLSID& clsid) {
    wchar_t szClsid[40] = {};
    StringFromGUID2(clsid, szClsid, ARRAYSIZE(szClsid));
    return szClsid;
}

LSTATUS SetString(HKEY hKey, const wchar_t* pszName, const std::wstring& strValue) {
    return RegSetValueExW(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strValue.c_str()),
                          static_cast<DWORD>((strValue.size() + 1) * sizeof(wchar_t)));
}

LSTATUS RegisterHostedClass(const CHostedClass& hosted, const std::wstring& strModule) {
    const std::wstring strKey = L"Software\\Classes\\CLSID\\" + ClsidText(*hosted.m_pClsid);
    HKEY hClass = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, strKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hClass,
                                     nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = SetString(hClass, nullptr, hosted.m_pszName);
    HKEY hServer = nullptr;
    if (status == ERROR_SUCCESS)
        status = RegCreateKeyExW(hClass, L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, &hServer, nullptr);
    RegCloseKey(hClass);
    if (status != ERROR_SUCCESS) return status;
    status = SetString(hServer, nullptr, strModule);
    if (status == ERROR_SUCCESS) status = SetString(hServer, L"ThreadingModel", L"Apartment");
    RegCloseKey(hServer);
    return status;
}

}  // namespace

namespace host {

void ObjectCreated() { InterlockedIncrement(&g_cObjects); }
void ObjectDestroyed() { InterlockedDecrement(&g_cObjects); }
bool HasLiveObjects() { return g_cObjects > 0 || g_cServerLocks > 0; }

bool IsSwitchOn(const wchar_t* pszSwitch) {
    DWORD dwValue = 0;
    DWORD cbValue = sizeof(dwValue);
    return RegGetValueW(HKEY_CURRENT_USER, kSwitchKey, pszSwitch, RRF_RT_REG_DWORD, nullptr, &dwValue, &cbValue) ==
               ERROR_SUCCESS &&
           dwValue != 0;
}

std::wstring DataFolder() {
    wchar_t szFolder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder)) || !szFolder[0])
        return {};
    std::wstring strFolder = std::wstring(szFolder) + L"\\ZembroJumpListHost";
    CreateDirectoryW(strFolder.c_str(), nullptr);
    return strFolder;
}

void LogCall(const char* pszLine) {
    const std::wstring strFolder = DataFolder();
    if (strFolder.empty()) return;
    const HANDLE hFile = CreateFileW((strFolder + L"\\calls.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return;
    const std::string line = std::string(pszLine) + "\n";
    DWORD cbWritten = 0;
    WriteFile(hFile, line.data(), static_cast<DWORD>(line.size()), &cbWritten, nullptr);
    CloseHandle(hFile);
}

bool ReplaceDataFile(const wchar_t* pszName, const std::string& bytes) {
    const std::wstring strFolder = DataFolder();
    if (strFolder.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    const std::wstring strPath = strFolder + L"\\" + pszName;
    const std::wstring strTemp = strPath + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    const HANDLE hFile =
        CreateFileW(strTemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return false;
    DWORD cbWritten = 0;
    bool bOk = WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &cbWritten, nullptr) &&
               cbWritten == bytes.size() && FlushFileBuffers(hFile);
    DWORD dwError = bOk ? ERROR_SUCCESS : GetLastError();
    CloseHandle(hFile);
    if (bOk && !MoveFileExW(strTemp.c_str(), strPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        bOk = false;
        dwError = GetLastError();
    }
    if (!bOk) {
        DeleteFileW(strTemp.c_str());
        SetLastError(dwError);
    }
    return bOk;
}

}  // namespace host

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_hModule = hInstance;
        DisableThreadLibraryCalls(hInstance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const CHostedClass& hosted : kClasses) {
        if (*hosted.m_pClsid != rclsid) continue;
        return CClassFactory::CreateObject(riid, ppv, hosted.m_pfnCreate);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return host::HasLiveObjects() ? S_FALSE : S_OK; }

// Points the three classes at this DLL, where it lies now. Running it again
// only rewrites the same values.
STDAPI DllRegisterServer() {
    wchar_t szModule[MAX_PATH] = {};
    const DWORD cch = GetModuleFileNameW(g_hModule, szModule, ARRAYSIZE(szModule));
    if (cch == 0 || cch >= ARRAYSIZE(szModule)) return E_FAIL;
    for (const CHostedClass& hosted : kClasses) {
        const LSTATUS status = RegisterHostedClass(hosted, szModule);
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    }
    return S_OK;
}
