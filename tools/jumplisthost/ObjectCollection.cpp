#include "ObjectCollection.h"


HRESULT CObjectCollection::Create(REFIID riid, void** ppv) { return CreateObject(riid, ppv); }

STDMETHODIMP CObjectCollection::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IObjectArray || riid == IID_IObjectCollection) {
        *ppv = static_cast<IObjectCollection*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CObjectCollection::GetCount(UINT* pcObjects) {
    if (!pcObjects) return E_POINTER;
    *pcObjects = static_cast<UINT>(m_objects.size());
    return S_OK;
}

STDMETHODIMP CObjectCollection::GetAt(UINT uiIndex, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (uiIndex >= m_objects.size()) return E_INVALIDARG;
    return m_objects[uiIndex]->QueryInterface(riid, ppv);
}

STDMETHODIMP CObjectCollection::AddObject(IUnknown* punk) {
    if (!punk) return E_INVALIDARG;
    m_objects.emplace_back(punk);
    return S_OK;
}

STDMETHODIMP CObjectCollection::AddFromArray(IObjectArray* poaSource) {
    if (!poaSource) return E_INVALIDARG;
    UINT cObjects = 0;
    HRESULT hr = poaSource->GetCount(&cObjects);
    if (FAILED(hr)) return hr;
    std::vector<Microsoft::WRL::ComPtr<IUnknown>> added;
    for (UINT i = 0; i < cObjects; ++i) {
        Microsoft::WRL::ComPtr<IUnknown> pObject;
        hr = poaSource->GetAt(i, IID_PPV_ARGS(&pObject));
        if (FAILED(hr)) return hr;
        added.push_back(pObject);
    }
    m_objects.insert(m_objects.end(), added.begin(), added.end());
    return S_OK;
}

STDMETHODIMP CObjectCollection::RemoveObjectAt(UINT uiIndex) {
    if (uiIndex >= m_objects.size()) return E_INVALIDARG;
    m_objects.erase(m_objects.begin() + uiIndex);
    return S_OK;
}

STDMETHODIMP CObjectCollection::Clear() {
    m_objects.clear();
    return S_OK;
}
