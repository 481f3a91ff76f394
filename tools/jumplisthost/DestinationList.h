#pragma once
// The stand-in for the shell's custom destination list. It reads each task
// the way the shell would, through IShellLinkW and IPropertyStore, and on
// CommitList writes the whole list to jumplist.json (see HostModule.h),
// replacing the previous one.
#include <windows.h>
#include <shobjidl.h>

#include <optional>
#include <string>
#include <vector>

#include "HostModule.h"

// One entry as the shell received it.
struct CRecordedEntry {
    enum EKind { task, separator, other };  // other: not a shell link at all
    EKind m_eKind = other;
    std::wstring m_strPath, m_strArguments, m_strIconLocation;
    std::optional<std::wstring> m_strTitle;  // empty: the link has no title
    int m_nIconIndex = 0;
    // The shell could start it: its path names an existing file or folder. A
    // URL, a missing file or an empty path does not.
    bool m_bLaunchable = false;
};

// The list as JSON text, all non-ASCII characters \u-escaped.
std::string ListToJson(const std::optional<std::wstring>& strAppId, const std::vector<std::wstring>& categories,
                       const std::vector<CRecordedEntry>& entries);

class CDestinationList : public ICustomDestinationList, public CRefCounted<CDestinationList> {
public:
    static HRESULT Create(REFIID riid, void** ppv);

    HOST_IUNKNOWN_METHODS

    STDMETHODIMP SetAppID(LPCWSTR pszAppID) override;
    STDMETHODIMP BeginList(UINT* pcMinSlots, REFIID riid, void** ppv) override;
    STDMETHODIMP AppendCategory(LPCWSTR pszCategory, IObjectArray* poa) override;
    STDMETHODIMP AppendKnownCategory(KNOWNDESTCATEGORY category) override;
    STDMETHODIMP AddUserTasks(IObjectArray* poa) override;
    STDMETHODIMP CommitList() override;
    STDMETHODIMP GetRemovedDestinations(REFIID riid, void** ppv) override;
    STDMETHODIMP DeleteList(LPCWSTR pszAppID) override;
    STDMETHODIMP AbortList() override;

private:
    void Reset();

    bool m_bBegun = false;
    std::optional<std::wstring> m_strAppId;
    std::vector<std::wstring> m_categories;
    std::vector<CRecordedEntry> m_entries;
};
