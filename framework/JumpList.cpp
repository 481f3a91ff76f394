#include "framework/JumpList.h"

#include <propkey.h>
#include <propvarutil.h>

using Microsoft::WRL::ComPtr;

namespace {

class ScopedPropVariant {
public:
    ScopedPropVariant() { PropVariantInit(&m_pv); }
    ~ScopedPropVariant() { PropVariantClear(&m_pv); }
    ScopedPropVariant(const ScopedPropVariant&) = delete;
    ScopedPropVariant& operator=(const ScopedPropVariant&) = delete;

    PROPVARIANT* Receive() {
        PropVariantClear(&m_pv);
        return &m_pv;
    }
    const PROPVARIANT& get() const { return m_pv; }

private:
    PROPVARIANT m_pv;
};

// Sets one property on a link and commits it, so that the shell can read it back.
bool SetLinkProperty(IShellLinkW* pLink, const PROPERTYKEY& key, const ScopedPropVariant& value) {
    ComPtr<IPropertyStore> pProperties;
    if (FAILED(pLink->QueryInterface(IID_PPV_ARGS(&pProperties)))) return false;
    if (FAILED(pProperties->SetValue(key, value.get()))) return false;
    return SUCCEEDED(pProperties->Commit());
}

}  // namespace

CJumpList::CJumpList(bool bAutoCommit) : m_bAutoCommit(bAutoCommit) {}

CJumpList::~CJumpList() {
    if (!m_bBegun) return;
    if (m_bAutoCommit)
        CommitList();
    else
        AbortList();
}

bool CJumpList::InitializeList() {
    AbortList();
    // The collection comes first: once the shell has begun a list, every
    // failure has to abort it again.
    ComPtr<IObjectCollection> pTasks;
    if (FAILED(CoCreateInstance(CLSID_EnumerableObjectCollection, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&pTasks))))
        return false;
    if (!m_pDestinationList &&
        FAILED(CoCreateInstance(CLSID_DestinationList, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&m_pDestinationList))))
        return false;

    // The shell insists on handing out its slot count and the items the user
    // removed; tasks cannot be removed by the user, so neither matters here.
    UINT cMinSlots = 0;
    ComPtr<IObjectArray> pRemoved;
    if (FAILED(m_pDestinationList->BeginList(&cMinSlots, IID_PPV_ARGS(&pRemoved)))) return false;
    m_pTasks = pTasks;
    m_bBegun = true;
    return true;
}

bool CJumpList::AddTask(const wchar_t* pszPath, const wchar_t* pszArguments, const wchar_t* pszTitle,
                        const wchar_t* pszIconLocation, int nIconIndex) {
    if (!m_bBegun) return false;
    ComPtr<IShellLinkW> pLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&pLink)))) return false;
    if (FAILED(pLink->SetPath(pszPath)) || FAILED(pLink->SetArguments(pszArguments)) ||
        FAILED(pLink->SetIconLocation(pszIconLocation, nIconIndex)))
        return false;
    // The shell shows a task by its title property, not by the link's description.
    ScopedPropVariant title;
    if (FAILED(InitPropVariantFromString(pszTitle, title.Receive()))) return false;
    if (!SetLinkProperty(pLink.Get(), PKEY_Title, title)) return false;
    return AddLink(pLink);
}

bool CJumpList::AddTaskSeparator() {
    if (!m_bBegun) return false;
    ComPtr<IShellLinkW> pLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&pLink)))) return false;
    ScopedPropVariant separator;
    InitPropVariantFromBoolean(TRUE, separator.Receive());
    if (!SetLinkProperty(pLink.Get(), PKEY_AppUserModel_IsDestListSeparator, separator)) return false;
    return AddLink(pLink);
}

bool CJumpList::AddLink(const ComPtr<IShellLinkW>& pLink) { return SUCCEEDED(m_pTasks->AddObject(pLink.Get())); }

bool CJumpList::CommitList() {
    if (!m_bBegun) return false;
    UINT cTasks = 0;
    if (FAILED(m_pTasks->GetCount(&cTasks))) {
        AbortList();
        return false;
    }
    // With no tasks the commit alone gives the empty list that replaces the old one.
    if (cTasks > 0) {
        ComPtr<IObjectArray> pTaskArray;
        if (FAILED(m_pTasks.As(&pTaskArray)) || FAILED(m_pDestinationList->AddUserTasks(pTaskArray.Get()))) {
            AbortList();
            return false;
        }
    }
    if (FAILED(m_pDestinationList->CommitList())) {
        AbortList();
        return false;
    }
    m_bBegun = false;
    m_pTasks.Reset();
    return true;
}

void CJumpList::AbortList() {
    if (!m_bBegun) return;
    m_bBegun = false;
    m_pTasks.Reset();
    m_pDestinationList->AbortList();
}
