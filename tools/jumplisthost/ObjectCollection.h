#pragma once
// The enumerable object collection: an ordered list of COM objects, handed
// out again through IObjectArray.
#include <windows.h>
#include <objectarray.h>
#include <wrl/client.h>

#include <vector>

#include "HostModule.h"

class CObjectCollection : public IObjectCollection, public CRefCounted<CObjectCollection> {
public:
    // A new, empty collection, asked for riid.
    static HRESULT Create(REFIID riid, void** ppv);

    HOST_IUNKNOWN_METHODS

    // IObjectArray
    STDMETHODIMP GetCount(UINT* pcObjects) override;
    STDMETHODIMP GetAt(UINT uiIndex, REFIID riid, void** ppv) override;
    // IObjectCollection
    STDMETHODIMP AddObject(IUnknown* punk) override;
    STDMETHODIMP AddFromArray(IObjectArray* poaSource) override;
    STDMETHODIMP RemoveObjectAt(UINT uiIndex) override;
    STDMETHODIMP Clear() override;

private:
    std::vector<Microsoft::WRL::ComPtr<IUnknown>> m_objects;
};
