// The class object of a control: creates T (default-constructible, with the
// reference count at 1) and answers DllGetClassObject.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include "framework/axserver/ax_module.h"
#include "framework/com_object.h"

template <class T>
class CAxClassFactory final : public fw::CComObject<IClassFactory> {
public:
    CAxClassFactory() { AxLockModule(); }

    STDMETHODIMP CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (pOuter)
            return CLASS_E_NOAGGREGATION;
        T* pObject = new T();
        HRESULT hr = pObject->QueryInterface(riid, ppv);
        pObject->Release();  // the caller's reference, if any, now keeps it
        return hr;
    }
    STDMETHODIMP LockServer(BOOL fLock) override
    {
        if (fLock)
            AxLockModule();
        else
            AxUnlockModule();
        return S_OK;
    }

private:
    ~CAxClassFactory() override { AxUnlockModule(); }
};

// For a server's DllGetClassObject: the class object of T when rclsid is clsidT.
template <class T>
HRESULT AxGetClassObject(REFCLSID clsidT, REFCLSID rclsid, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (rclsid != clsidT)
        return CLASS_E_CLASSNOTAVAILABLE;
    auto* pFactory = new CAxClassFactory<T>();
    HRESULT hr = pFactory->QueryInterface(riid, ppv);
    pFactory->Release();
    return hr;
}
