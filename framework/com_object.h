// IUnknown, written once for the COM objects of our own: the class objects,
// connection points and enumerators of the control side, the event sink of the
// container side.
//
//   class CEnum final : public fw::CComObject<IEnumConnections> { ... };
//
// CComInterfaces<I...> answers QueryInterface for IID_IUnknown and each listed
// interface's IID (taken with __uuidof); an object that answers more (a
// dispinterface known only at run time, an older name of one listed) says so
// in QueryOther. The first interface listed stands for the object's identity.
// It leaves AddRef and Release to the object: a part of another object counts
// on its owner. CComObject<I...> adds the usual count, from 1 for the creator,
// and deletes the object when it reaches 0.
#pragma once
#include <windows.h>
#include <unknwn.h>

namespace fw {

template <class... Interfaces>
class CComInterfaces : public Interfaces... {
    static_assert(sizeof...(Interfaces) > 0, "a COM object has at least one interface");

public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        void* p = riid == IID_IUnknown ? GetIdentity() : FindListed(riid);
        if (!p)
            p = QueryOther(riid);
        *ppv = p;
        if (!p)
            return E_NOINTERFACE;
        GetIdentity()->AddRef();  // the object's count, whichever base is asked
        return S_OK;
    }

    // The object's IUnknown, the one every QueryInterface for IID_IUnknown answers.
    IUnknown* GetIdentity() { return static_cast<First*>(this); }

protected:
    CComInterfaces() = default;
    virtual ~CComInterfaces() = default;
    CComInterfaces(const CComInterfaces&) = delete;
    CComInterfaces& operator=(const CComInterfaces&) = delete;

    // An interface beyond the listed ones, or null. No AddRef: QueryInterface does it.
    virtual void* QueryOther(REFIID) { return nullptr; }

private:
    template <class I, class...>
    struct FirstOf {
        using Type = I;
    };
    using First = typename FirstOf<Interfaces...>::Type;

    void* FindListed(REFIID riid)
    {
        void* p = nullptr;
        // In the order listed; the first match wins.
        ((p == nullptr && riid == __uuidof(Interfaces) ? (p = static_cast<Interfaces*>(this)) : p), ...);
        return p;
    }
};

template <class... Interfaces>
class CComObject : public CComInterfaces<Interfaces...> {
public:
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_nRefs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG n = InterlockedDecrement(&m_nRefs);
        if (n == 0)
            delete this;
        return n;
    }

protected:
    CComObject() = default;
    ~CComObject() override = default;  // objects go by Release, never by delete

private:
    LONG m_nRefs = 1;
};

}  // namespace fw
