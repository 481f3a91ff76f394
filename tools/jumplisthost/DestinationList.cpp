#include "DestinationList.h"

#include <propkey.h>
#include <wrl/client.h>


#include "ObjectCollection.h"

using Microsoft::WRL::ComPtr;

namespace {

// What the shell reports as the smallest number of slots it will show.
constexpr UINT kMinSlots = 10;

// Texts are read with room for far more than the shell would keep, so that
// the record shows what the program handed over.
constexpr int kTextBuffer = 32768;

void AppendJsonString(std::string& out, const std::wstring& str) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    for (const wchar_t ch : str) {
        switch (ch) {
        case L'"': out += "\\\""; break;
        case L'\\': out += "\\\\"; break;
        case L'\b': out += "\\b"; break;
        case L'\f': out += "\\f"; break;
        case L'\n': out += "\\n"; break;
        case L'\r': out += "\\r"; break;
        case L'\t': out += "\\t"; break;
        default:
            if (ch >= 0x20 && ch < 0x7F) {
                out += static_cast<char>(ch);
            } else {
                // One escape per UTF-16 unit keeps surrogate pairs, and even a
                // lone surrogate, exactly as they were.
                const unsigned u = static_cast<unsigned>(ch);
                out += "\\u";
                for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(u >> shift) & 0xF];
            }
        }
    }
    out += '"';
}

std::optional<std::wstring> StringProperty(IPropertyStore* pProperties, const PROPERTYKEY& key) {
    PROPVARIANT value;
    PropVariantInit(&value);
    std::optional<std::wstring> result;
    if (SUCCEEDED(pProperties->GetValue(key, &value))) {
        if (value.vt == VT_LPWSTR && value.pwszVal) result = value.pwszVal;
        else if (value.vt == VT_BSTR && value.bstrVal) result = std::wstring(value.bstrVal, SysStringLen(value.bstrVal));
    }
    PropVariantClear(&value);
    return result;
}

bool IsSeparator(IPropertyStore* pProperties) {
    PROPVARIANT value;
    PropVariantInit(&value);
    bool bSeparator = false;
    if (SUCCEEDED(pProperties->GetValue(PKEY_AppUserModel_IsDestListSeparator, &value)))
        bSeparator = value.vt == VT_BOOL && value.boolVal != VARIANT_FALSE;
    PropVariantClear(&value);
    return bSeparator;
}

CRecordedEntry ReadEntry(IObjectArray* poa, UINT uiIndex) {
    CRecordedEntry entry;
    ComPtr<IShellLinkW> pLink;
    if (FAILED(poa->GetAt(uiIndex, IID_PPV_ARGS(&pLink)))) return entry;

    ComPtr<IPropertyStore> pProperties;
    if (SUCCEEDED(pLink.As(&pProperties)) && IsSeparator(pProperties.Get())) {
        entry.m_eKind = CRecordedEntry::separator;
        return entry;
    }
    entry.m_eKind = CRecordedEntry::task;
    std::wstring buffer(kTextBuffer, L'\0');
    if (SUCCEEDED(pLink->GetPath(buffer.data(), kTextBuffer, nullptr, SLGP_RAWPATH)))
        entry.m_strPath = buffer.c_str();
    // Only a full path can be launchable; a URL's "https:" is no drive.
    const std::wstring& path = entry.m_strPath;
    const bool bFullPath = (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
                           path.rfind(L"\\\\", 0) == 0;
    entry.m_bLaunchable = bFullPath && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (SUCCEEDED(pLink->GetArguments(buffer.data(), kTextBuffer))) entry.m_strArguments = buffer.c_str();
    int nIcon = 0;
    if (SUCCEEDED(pLink->GetIconLocation(buffer.data(), kTextBuffer, &nIcon))) {
        entry.m_strIconLocation = buffer.c_str();
        entry.m_nIconIndex = nIcon;
    }
    if (pProperties) entry.m_strTitle = StringProperty(pProperties.Get(), PKEY_Title);
    return entry;
}

}  // namespace

std::string ListToJson(const std::optional<std::wstring>& strAppId, const std::vector<std::wstring>& categories,
                       const std::vector<CRecordedEntry>& entries) {
    std::string out = "{\n  \"appId\": ";
    if (strAppId) AppendJsonString(out, *strAppId);
    else out += "null";
    out += ",\n  \"categories\": [";
    for (size_t i = 0; i < categories.size(); ++i) {
        if (i) out += ", ";
        AppendJsonString(out, categories[i]);
    }
    out += "],\n  \"tasks\": [";
    for (size_t i = 0; i < entries.size(); ++i) {
        const CRecordedEntry& entry = entries[i];
        out += i ? ",\n    " : "\n    ";
        switch (entry.m_eKind) {
        case CRecordedEntry::separator: out += "{\"kind\": \"separator\"}"; break;
        case CRecordedEntry::other: out += "{\"kind\": \"other\"}"; break;
        case CRecordedEntry::task:
            out += "{\"kind\": \"task\", \"path\": ";
            AppendJsonString(out, entry.m_strPath);
            out += ", \"arguments\": ";
            AppendJsonString(out, entry.m_strArguments);
            out += ", \"title\": ";
            if (entry.m_strTitle) AppendJsonString(out, *entry.m_strTitle);
            else out += "null";
            out += ", \"iconLocation\": ";
            AppendJsonString(out, entry.m_strIconLocation);
            out += ", \"iconIndex\": " + std::to_string(entry.m_nIconIndex);
            out += entry.m_bLaunchable ? ", \"launchable\": true}" : ", \"launchable\": false}";
            break;
        }
    }
    out += entries.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

HRESULT CDestinationList::Create(REFIID riid, void** ppv) { return CreateObject(riid, ppv); }

STDMETHODIMP CDestinationList::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ICustomDestinationList) {
        *ppv = static_cast<ICustomDestinationList*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

void CDestinationList::Reset() {
    m_bBegun = false;
    m_categories.clear();
    m_entries.clear();
}

STDMETHODIMP CDestinationList::SetAppID(LPCWSTR pszAppID) {
    host::LogCall("SetAppID");
    if (!pszAppID) return E_INVALIDARG;
    m_strAppId = pszAppID;
    return S_OK;
}

STDMETHODIMP CDestinationList::BeginList(UINT* pcMinSlots, REFIID riid, void** ppv) {
    if (!pcMinSlots || !ppv) return E_POINTER;
    *ppv = nullptr;
    if (host::IsSwitchOn(L"FailBeginList")) {
        host::LogCall("BeginList failed");
        return E_FAIL;
    }
    // The user removed nothing: an empty array.
    const HRESULT hr = CObjectCollection::Create(riid, ppv);
    if (FAILED(hr)) return hr;
    host::LogCall("BeginList");
    Reset();
    m_bBegun = true;
    *pcMinSlots = kMinSlots;
    return S_OK;
}

STDMETHODIMP CDestinationList::AppendCategory(LPCWSTR pszCategory, IObjectArray*) {
    host::LogCall("AppendCategory");
    if (!m_bBegun) return E_UNEXPECTED;
    m_categories.push_back(pszCategory ? pszCategory : L"");
    return S_OK;
}

STDMETHODIMP CDestinationList::AppendKnownCategory(KNOWNDESTCATEGORY category) {
    host::LogCall("AppendKnownCategory");
    if (!m_bBegun) return E_UNEXPECTED;
    m_categories.push_back(category == KDC_FREQUENT ? L"<frequent>" : L"<recent>");
    return S_OK;
}

STDMETHODIMP CDestinationList::AddUserTasks(IObjectArray* poa) {
    if (!m_bBegun) {
        host::LogCall("AddUserTasks unexpected");
        return E_UNEXPECTED;
    }
    if (!poa) return E_INVALIDARG;
    if (host::IsSwitchOn(L"FailAddUserTasks")) {
        host::LogCall("AddUserTasks failed");
        return E_FAIL;
    }
    UINT cObjects = 0;
    const HRESULT hr = poa->GetCount(&cObjects);
    if (FAILED(hr)) return hr;
    for (UINT i = 0; i < cObjects; ++i) m_entries.push_back(ReadEntry(poa, i));
    host::LogCall("AddUserTasks");
    return S_OK;
}

STDMETHODIMP CDestinationList::CommitList() {
    if (!m_bBegun) {
        host::LogCall("CommitList unexpected");
        return E_UNEXPECTED;
    }
    if (host::IsSwitchOn(L"FailCommitList")) {
        host::LogCall("CommitList failed");
        return E_FAIL;
    }
    if (!host::ReplaceDataFile(L"jumplist.json", ListToJson(m_strAppId, m_categories, m_entries))) {
        const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
        host::LogCall("CommitList failed to write jumplist.json");
        return FAILED(hr) ? hr : E_FAIL;
    }
    host::LogCall("CommitList");
    Reset();
    return S_OK;
}

STDMETHODIMP CDestinationList::GetRemovedDestinations(REFIID riid, void** ppv) {
    host::LogCall("GetRemovedDestinations");
    return CObjectCollection::Create(riid, ppv);
}

STDMETHODIMP CDestinationList::DeleteList(LPCWSTR) {
    host::LogCall("DeleteList");
    return S_OK;
}

STDMETHODIMP CDestinationList::AbortList() {
    host::LogCall("AbortList");
    Reset();
    return S_OK;
}
