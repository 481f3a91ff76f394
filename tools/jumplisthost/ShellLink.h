#pragma once
// A shell link that gives back what it is given, with SetPath as strict as
// Windows': a relative name is resolved on the search path ("cmd" becomes the
// system folder's cmd.exe) or refused with E_INVALIDARG; a full path, found or
// not, and anything with a scheme ("https://...") are kept as given, and the
// destination list records whether they name an existing file. Its property
// store gives committed values back. Only committed properties are visible,
// as only those would reach the shell.
#include <windows.h>
#include <propsys.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "HostModule.h"

class CShellLink : public IShellLinkW, public IPropertyStore, public CRefCounted<CShellLink> {
public:
    static HRESULT Create(REFIID riid, void** ppv);
    ~CShellLink() override;

    HOST_IUNKNOWN_METHODS

    // IShellLinkW
    STDMETHODIMP GetPath(LPWSTR pszFile, int cch, WIN32_FIND_DATAW* pfd, DWORD fFlags) override;
    STDMETHODIMP GetIDList(PIDLIST_ABSOLUTE* ppidl) override;
    STDMETHODIMP SetIDList(PCIDLIST_ABSOLUTE pidl) override;
    STDMETHODIMP GetDescription(LPWSTR pszName, int cch) override;
    STDMETHODIMP SetDescription(LPCWSTR pszName) override;
    STDMETHODIMP GetWorkingDirectory(LPWSTR pszDir, int cch) override;
    STDMETHODIMP SetWorkingDirectory(LPCWSTR pszDir) override;
    STDMETHODIMP GetArguments(LPWSTR pszArgs, int cch) override;
    STDMETHODIMP SetArguments(LPCWSTR pszArgs) override;
    STDMETHODIMP GetHotkey(WORD* pwHotkey) override;
    STDMETHODIMP SetHotkey(WORD wHotkey) override;
    STDMETHODIMP GetShowCmd(int* piShowCmd) override;
    STDMETHODIMP SetShowCmd(int iShowCmd) override;
    STDMETHODIMP GetIconLocation(LPWSTR pszIconPath, int cch, int* piIcon) override;
    STDMETHODIMP SetIconLocation(LPCWSTR pszIconPath, int iIcon) override;
    STDMETHODIMP SetRelativePath(LPCWSTR pszPathRel, DWORD dwReserved) override;
    STDMETHODIMP Resolve(HWND hwnd, DWORD fFlags) override;
    STDMETHODIMP SetPath(LPCWSTR pszFile) override;

    // IPropertyStore
    STDMETHODIMP GetCount(DWORD* cProps) override;
    STDMETHODIMP GetAt(DWORD iProp, PROPERTYKEY* pkey) override;
    STDMETHODIMP GetValue(REFPROPERTYKEY key, PROPVARIANT* pv) override;
    STDMETHODIMP SetValue(REFPROPERTYKEY key, REFPROPVARIANT propvar) override;
    STDMETHODIMP Commit() override;

private:
    struct CProperty {
        PROPERTYKEY m_key;
        PROPVARIANT m_value;
    };
    static void Store(std::vector<CProperty>& properties, const PROPERTYKEY& key, const PROPVARIANT& value);
    static void ClearAll(std::vector<CProperty>& properties);

    std::wstring m_strPath, m_strArguments, m_strDescription, m_strWorkingDirectory, m_strIconPath;
    int m_nIconIndex = 0;
    WORD m_wHotkey = 0;
    int m_nShowCmd = SW_SHOWNORMAL;
    std::vector<CProperty> m_pending;    // set, not yet committed
    std::vector<CProperty> m_committed;  // what GetValue gives back
};
