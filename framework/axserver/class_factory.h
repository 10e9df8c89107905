// The class object of a control: creates T (default-constructible, with the
// reference count at 1) and answers DllGetClassObject.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include "framework/axserver/ax_module.h"

template <class T>
class CAxClassFactory : public IClassFactory {
public:
    CAxClassFactory() { AxLockModule(); }
    virtual ~CAxClassFactory() { AxUnlockModule(); }
    CAxClassFactory(const CAxClassFactory&) = delete;
    CAxClassFactory& operator=(const CAxClassFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_nRefs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG n = InterlockedDecrement(&m_nRefs);
        if (n == 0)
            delete this;
        return n;
    }

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
    LONG m_nRefs = 1;
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
