#include "ShellLink.h"

namespace {

// Gives back a text the way the shell does: cut to the buffer, always ended.
HRESULT CopyOut(const std::wstring& str, LPWSTR pszBuffer, int cch) {
    if (!pszBuffer || cch <= 0) return E_INVALIDARG;
    const size_t cchCopy = str.size() < static_cast<size_t>(cch) ? str.size() : static_cast<size_t>(cch) - 1;
    str.copy(pszBuffer, cchCopy);
    pszBuffer[cchCopy] = L'\0';
    return S_OK;
}

std::wstring Text(LPCWSTR psz) { return psz ? std::wstring(psz) : std::wstring(); }

bool SameKey(const PROPERTYKEY& a, const PROPERTYKEY& b) { return a.fmtid == b.fmtid && a.pid == b.pid; }

bool IsSlash(wchar_t ch) { return ch == L'\\' || ch == L'/'; }

// "C:\..." or "\\server\...".
bool IsFullPath(const std::wstring& s) {
    return (s.size() >= 3 && iswalpha(s[0]) && s[1] == L':' && IsSlash(s[2])) ||
           (s.size() >= 2 && IsSlash(s[0]) && IsSlash(s[1]));
}

// "https://..." or "mailto:...": more than a drive letter before the colon.
bool HasScheme(const std::wstring& s) {
    const size_t colon = s.find(L':');
    return colon != std::wstring::npos && colon >= 2 && s.find_first_of(L"\\/") > colon;
}

}  // namespace

HRESULT CShellLink::Create(REFIID riid, void** ppv) { return CreateObject(riid, ppv); }

CShellLink::~CShellLink() {
    ClearAll(m_pending);
    ClearAll(m_committed);
}

STDMETHODIMP CShellLink::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IShellLinkW) {
        *ppv = static_cast<IShellLinkW*>(this);
    } else if (riid == IID_IPropertyStore) {
        *ppv = static_cast<IPropertyStore*>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP CShellLink::GetPath(LPWSTR pszFile, int cch, WIN32_FIND_DATAW* pfd, DWORD) {
    if (pfd) ZeroMemory(pfd, sizeof(*pfd));
    const HRESULT hr = CopyOut(m_strPath, pszFile, cch);
    if (FAILED(hr)) return hr;
    return m_strPath.empty() ? S_FALSE : S_OK;
}

STDMETHODIMP CShellLink::GetIDList(PIDLIST_ABSOLUTE* ppidl) {
    if (!ppidl) return E_POINTER;
    *ppidl = nullptr;
    return S_FALSE;
}

STDMETHODIMP CShellLink::SetIDList(PCIDLIST_ABSOLUTE) { return E_NOTIMPL; }

STDMETHODIMP CShellLink::GetDescription(LPWSTR pszName, int cch) { return CopyOut(m_strDescription, pszName, cch); }

STDMETHODIMP CShellLink::SetDescription(LPCWSTR pszName) {
    m_strDescription = Text(pszName);
    return S_OK;
}

STDMETHODIMP CShellLink::GetWorkingDirectory(LPWSTR pszDir, int cch) {
    return CopyOut(m_strWorkingDirectory, pszDir, cch);
}

STDMETHODIMP CShellLink::SetWorkingDirectory(LPCWSTR pszDir) {
    m_strWorkingDirectory = Text(pszDir);
    return S_OK;
}

STDMETHODIMP CShellLink::GetArguments(LPWSTR pszArgs, int cch) { return CopyOut(m_strArguments, pszArgs, cch); }

STDMETHODIMP CShellLink::SetArguments(LPCWSTR pszArgs) {
    m_strArguments = Text(pszArgs);
    return S_OK;
}

STDMETHODIMP CShellLink::GetHotkey(WORD* pwHotkey) {
    if (!pwHotkey) return E_POINTER;
    *pwHotkey = m_wHotkey;
    return S_OK;
}

STDMETHODIMP CShellLink::SetHotkey(WORD wHotkey) {
    m_wHotkey = wHotkey;
    return S_OK;
}

STDMETHODIMP CShellLink::GetShowCmd(int* piShowCmd) {
    if (!piShowCmd) return E_POINTER;
    *piShowCmd = m_nShowCmd;
    return S_OK;
}

STDMETHODIMP CShellLink::SetShowCmd(int iShowCmd) {
    m_nShowCmd = iShowCmd;
    return S_OK;
}

STDMETHODIMP CShellLink::GetIconLocation(LPWSTR pszIconPath, int cch, int* piIcon) {
    if (!piIcon) return E_POINTER;
    *piIcon = m_nIconIndex;
    return CopyOut(m_strIconPath, pszIconPath, cch);
}

STDMETHODIMP CShellLink::SetIconLocation(LPCWSTR pszIconPath, int iIcon) {
    m_strIconPath = Text(pszIconPath);
    m_nIconIndex = iIcon;
    return S_OK;
}

STDMETHODIMP CShellLink::SetRelativePath(LPCWSTR, DWORD) { return S_OK; }

STDMETHODIMP CShellLink::Resolve(HWND, DWORD) { return S_OK; }

STDMETHODIMP CShellLink::SetPath(LPCWSTR pszFile) {
    if (!pszFile) return E_INVALIDARG;
    const std::wstring file = pszFile;
    if (file.empty() || IsFullPath(file) || HasScheme(file)) {
        m_strPath = file;
        return S_OK;
    }
    // Windows looks a relative name up where SearchPath does, with ".exe" as
    // the extension it tries; App Paths, PATHEXT and the like are not its business.
    wchar_t szFound[MAX_PATH] = {};
    const DWORD cch = SearchPathW(nullptr, pszFile, L".exe", MAX_PATH, szFound, nullptr);
    if (cch == 0 || cch >= MAX_PATH) return E_INVALIDARG;
    m_strPath = szFound;
    return S_OK;
}

STDMETHODIMP CShellLink::GetCount(DWORD* cProps) {
    if (!cProps) return E_POINTER;
    *cProps = static_cast<DWORD>(m_committed.size());
    return S_OK;
}

STDMETHODIMP CShellLink::GetAt(DWORD iProp, PROPERTYKEY* pkey) {
    if (!pkey) return E_POINTER;
    if (iProp >= m_committed.size()) return E_INVALIDARG;
    *pkey = m_committed[iProp].m_key;
    return S_OK;
}

STDMETHODIMP CShellLink::GetValue(REFPROPERTYKEY key, PROPVARIANT* pv) {
    if (!pv) return E_POINTER;
    PropVariantInit(pv);
    for (const CProperty& property : m_committed)
        if (SameKey(property.m_key, key)) return PropVariantCopy(pv, &property.m_value);
    return S_OK;  // an unknown key reads as VT_EMPTY
}

STDMETHODIMP CShellLink::SetValue(REFPROPERTYKEY key, REFPROPVARIANT propvar) {
    PROPVARIANT copy;
    PropVariantInit(&copy);
    const HRESULT hr = PropVariantCopy(&copy, &propvar);
    if (FAILED(hr)) return hr;
    Store(m_pending, key, copy);
    return S_OK;
}

STDMETHODIMP CShellLink::Commit() {
    for (CProperty& property : m_pending) Store(m_committed, property.m_key, property.m_value);
    m_pending.clear();  // the values now belong to m_committed
    return S_OK;
}

// Takes ownership of value, replacing an earlier value of key.
void CShellLink::Store(std::vector<CProperty>& properties, const PROPERTYKEY& key, const PROPVARIANT& value) {
    for (CProperty& property : properties) {
        if (SameKey(property.m_key, key)) {
            PropVariantClear(&property.m_value);
            property.m_value = value;
            return;
        }
    }
    properties.push_back(CProperty{key, value});
}

void CShellLink::ClearAll(std::vector<CProperty>& properties) {
    for (CProperty& property : properties) PropVariantClear(&property.m_value);
    properties.clear();
}
