// Creation through COM, the object's identity, and what it says about itself.
#include "framework/axserver/ax_module.h"
#include "framework/axserver/class_factory.h"
#include "tests/axserver/com_fixture.h"

using fakes::FakeDecoder;

namespace {

IUnknown* IdentityOf(IUnknown* p, REFIID riid)
{
    ComPtr<IUnknown> iface, identity;
    EXPECT_EQ(S_OK, p->QueryInterface(riid, reinterpret_cast<void**>(iface.GetAddressOf())));
    if (!iface)
        return nullptr;
    iface->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf()));
    return identity.Get();
}

}  // namespace

using Identity = ComTest;

TEST_F(Identity, CreatedThroughTheRegisteredClassObjectAndFreedOnLastRelease)
{
    int nCreated = FakeDecoder::CreatedCount();
    LONG nLocks = AxModuleLockCount();
    FakeDecoder* pFake = nullptr;
    ComPtr<IDispatch> decoder = CreateDecoder(&pFake);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(nCreated + 1, FakeDecoder::CreatedCount());
    EXPECT_EQ(1, FakeDecoder::LiveCount());
    EXPECT_NE(nullptr, pFake);
    EXPECT_GT(AxModuleLockCount(), nLocks);
    EXPECT_EQ(S_FALSE, AxCanUnloadNow());

    decoder.Reset();
    EXPECT_EQ(0, FakeDecoder::LiveCount());
    EXPECT_EQ(nullptr, FakeDecoder::Last());
    EXPECT_EQ(nLocks, AxModuleLockCount());
}

TEST_F(Identity, LastIsTheNewestLiveInstance)
{
    FakeDecoder *pFirst = nullptr, *pSecond = nullptr;
    ComPtr<IDispatch> first = CreateDecoder(&pFirst);
    ComPtr<IDispatch> second = CreateDecoder(&pSecond);
    EXPECT_NE(pFirst, pSecond);
    EXPECT_EQ(2, FakeDecoder::LiveCount());
    second.Reset();
    EXPECT_EQ(pFirst, FakeDecoder::Last());
}

TEST_F(Identity, EveryInterfaceLeadsBackToOneUnknown)
{
    ComPtr<IDispatch> decoder = CreateDecoder();
    IUnknown* pIdentity = IdentityOf(decoder.Get(), IID_IUnknown);
    ASSERT_NE(nullptr, pIdentity);
    for (REFIID riid : {IID_IDvrControl, IID_IDispatch, IID_IOleObject, IID_IOleWindow,
                        IID_IOleInPlaceObject, IID_IOleInPlaceActiveObject, IID_IOleControl,
                        IID_IPersist, IID_IPersistStreamInit, IID_IConnectionPointContainer,
                        IID_IProvideClassInfo, IID_IProvideClassInfo2})
        EXPECT_EQ(pIdentity, IdentityOf(decoder.Get(), riid));
}

TEST_F(Identity, DispatchInterfaceIsTheSameObjectAsIDispatch)
{
    ComPtr<IDispatch> decoder = CreateDecoder();
    ComPtr<IUnknown> viaContract, viaDispatch;
    decoder->QueryInterface(IID_IDvrControl, reinterpret_cast<void**>(viaContract.GetAddressOf()));
    decoder->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(viaDispatch.GetAddressOf()));
    EXPECT_EQ(viaDispatch.Get(), viaContract.Get());
}

TEST_F(Identity, AnInterfaceItDoesNotHaveIsRefusedWithNull)
{
    ComPtr<IDispatch> decoder = CreateDecoder();
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, decoder->QueryInterface(IID_IClassFactory, &p));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(E_NOINTERFACE, decoder->QueryInterface(DIID_DvrControlEvents, &p));
}

TEST_F(Identity, ClassInformationNamesTheEventInterface)
{
    ComPtr<IProvideClassInfo2> info;
    CreateDecoder().As(&info);
    ASSERT_TRUE(info);
    GUID guid = GUID_NULL;
    EXPECT_EQ(S_OK, info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &guid));
    EXPECT_EQ(DIID_DvrControlEvents, guid);
    EXPECT_EQ(E_INVALIDARG, info->GetGUID(2, &guid));

    ComPtr<IPersistStreamInit> persist;
    info.As(&persist);
    CLSID clsid = GUID_NULL;
    EXPECT_EQ(S_OK, persist->GetClassID(&clsid));
    EXPECT_EQ(CLSID_DvrControl, clsid);
}

TEST_F(Identity, MiscStatusAsksForInsideOutActivationWithTheSiteFirst)
{
    ComPtr<IOleObject> object;
    CreateDecoder().As(&object);
    DWORD dwStatus = 0;
    EXPECT_EQ(S_OK, object->GetMiscStatus(DVASPECT_CONTENT, &dwStatus));
    EXPECT_EQ(static_cast<DWORD>(OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE |
                                 OLEMISC_RECOMPOSEONRESIZE | OLEMISC_INSIDEOUT |
                                 OLEMISC_CANTLINKINSIDE),
              dwStatus);
}

TEST_F(Identity, NamesMapToDispatchIdsWithoutRegardToCase)
{
    ComPtr<IDispatch> decoder = CreateDecoder();
    UINT nInfo = 99;
    EXPECT_EQ(S_OK, decoder->GetTypeInfoCount(&nInfo));
    EXPECT_EQ(0u, nInfo);

    wchar_t szSplit[] = L"viewsplit";
    LPOLESTR names[] = {szSplit};
    DISPID id = 0;
    EXPECT_EQ(S_OK, decoder->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    EXPECT_EQ(DVR_VIEW_SPLIT, id);

    wchar_t szUnknown[] = L"Rewind";
    names[0] = szUnknown;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, decoder->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    EXPECT_EQ(DISPID_UNKNOWN, id);
}

TEST_F(Identity, ClassFactoryRefusesAggregationAndOtherClasses)
{
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
              AxGetClassObject<FakeDecoder>(CLSID_DvrControl, IID_IDvrControl, IID_IClassFactory,
                                            reinterpret_cast<void**>(factory.GetAddressOf())));
    ASSERT_EQ(S_OK,
              AxGetClassObject<FakeDecoder>(CLSID_DvrControl, CLSID_DvrControl, IID_IClassFactory,
                                            reinterpret_cast<void**>(factory.GetAddressOf())));
    ComPtr<IDispatch> outer = CreateDecoder();
    ComPtr<IUnknown> object;
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              factory->CreateInstance(outer.Get(), IID_IUnknown,
                                      reinterpret_cast<void**>(object.GetAddressOf())));
    EXPECT_EQ(nullptr, object.Get());
}
