// The IUnknown every COM object of ours takes from framework/com_object.h:
// what QueryInterface answers, one identity, the count and the object's end.
#include <gtest/gtest.h>
#include <ole2.h>
#include "framework/com_object.h"

namespace {

// Two interfaces of one object, and a third IID it answers only through QueryOther.
const IID kOtherName = {0x3c2d1a4e, 0x0f3b, 0x4d55, {0x9a, 0x10, 0x22, 0x6b, 0x8e, 0x41, 0x77, 0x02}};

class CObject final : public fw::CComObject<IPersist, IOleWindow> {
public:
    explicit CObject(bool* pGone) : m_pGone(pGone) {}
    STDMETHODIMP GetClassID(CLSID* pClsid) override
    {
        *pClsid = GUID_NULL;
        return S_OK;
    }
    STDMETHODIMP GetWindow(HWND* phwnd) override
    {
        *phwnd = nullptr;
        return E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    ULONG Count()
    {
        AddRef();
        return Release();
    }

protected:
    void* QueryOther(REFIID riid) override { return riid == kOtherName ? static_cast<IOleWindow*>(this) : nullptr; }

private:
    ~CObject() override { *m_pGone = true; }
    bool* m_pGone;
};

TEST(ComObject, EveryInterfaceListedOrNamedLeadsToOneIdentity)
{
    bool gone = false;
    CObject* object = new CObject(&gone);
    IPersist* persist = nullptr;
    IOleWindow* window = nullptr;
    IUnknown* other = nullptr;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)));
    ASSERT_EQ(S_OK, object->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)));
    ASSERT_EQ(S_OK, object->QueryInterface(kOtherName, reinterpret_cast<void**>(&other)));
    EXPECT_EQ(static_cast<IPersist*>(object), persist);
    EXPECT_EQ(static_cast<IOleWindow*>(object), window);
    EXPECT_EQ(static_cast<IUnknown*>(window), other);
    EXPECT_EQ(4u, object->Count()) << "each answer counted";

    IUnknown* fromPersist = nullptr;
    IUnknown* fromWindow = nullptr;
    persist->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromPersist));
    window->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromWindow));
    EXPECT_EQ(fromPersist, fromWindow);
    EXPECT_EQ(static_cast<IUnknown*>(static_cast<IPersist*>(object)), fromPersist) << "the first listed";
    EXPECT_EQ(object->GetIdentity(), fromPersist);

    for (IUnknown* p : {static_cast<IUnknown*>(persist), static_cast<IUnknown*>(window), other, fromPersist,
                        fromWindow})
        p->Release();
    EXPECT_FALSE(gone);
    EXPECT_EQ(0u, object->Release());
    EXPECT_TRUE(gone) << "the last Release deletes it";
}

TEST(ComObject, AnInterfaceNotAnsweredIsRefusedWithNullAndNotCounted)
{
    bool gone = false;
    CObject* object = new CObject(&gone);
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(IID_IDispatch, &p));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(E_POINTER, object->QueryInterface(IID_IPersist, nullptr));
    EXPECT_EQ(1u, object->Count());
    object->Release();
    EXPECT_TRUE(gone);
}

// A part of another object: its interfaces are its own, its count the owner's.
class CPart final : public fw::CComInterfaces<IPersist> {
public:
    explicit CPart(IUnknown* pOwner) : m_pOwner(pOwner) {}
    STDMETHODIMP_(ULONG) AddRef() override { return m_pOwner->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_pOwner->Release(); }
    STDMETHODIMP GetClassID(CLSID* pClsid) override
    {
        *pClsid = GUID_NULL;
        return S_OK;
    }

private:
    IUnknown* m_pOwner;
};

TEST(ComObject, APartCountsOnItsOwner)
{
    bool gone = false;
    CObject* owner = new CObject(&gone);
    {
        CPart part(owner->GetIdentity());
        IPersist* persist = nullptr;
        ASSERT_EQ(S_OK, part.QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)));
        EXPECT_EQ(static_cast<IPersist*>(&part), persist);
        EXPECT_EQ(2u, owner->Count());
        persist->Release();
    }
    EXPECT_EQ(0u, owner->Release());
    EXPECT_TRUE(gone);
}

}  // namespace
