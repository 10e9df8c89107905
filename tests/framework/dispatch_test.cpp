// The dispatch driver against a small automation object that records its calls.
#include <gtest/gtest.h>
#include "framework/dispatch.h"
#include "framework/exceptions.h"
#include "owners/bstr.h"

namespace {

struct RecordedCall {
    DISPID dispid;
    WORD flags;
    std::vector<VARTYPE> types;  // in the caller's order
    std::vector<long> longs;
    std::wstring text;
    bool putNamed;
};

class CRecorder : public IDispatch {
public:
    std::vector<RecordedCall> calls;
    HRESULT status = S_OK;
    const wchar_t* raise = nullptr;
    long result = 0;
    const wchar_t* outText = nullptr;
    LONG refs = 1;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override
    {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT* out, EXCEPINFO* info,
                        UINT*) override
    {
        RecordedCall c{id, flags, {}, {}, L"", p->cNamedArgs == 1 && p->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT};
        for (UINT i = p->cArgs; i-- > 0;) {
            VARIANTARG& v = p->rgvarg[i];
            c.types.push_back(v.vt);
            if (v.vt == VT_I4) c.longs.push_back(v.lVal);
            if (v.vt == VT_I2) c.longs.push_back(v.iVal);
            if (v.vt == VT_BSTR) c.text = v.bstrVal ? v.bstrVal : L"";
            if (v.vt == (VT_BSTR | VT_BYREF) && outText) *v.pbstrVal = SysAllocString(outText);
        }
        calls.push_back(c);
        if (raise) {
            info->bstrDescription = SysAllocString(raise);
            info->scode = E_FAIL;
            return DISP_E_EXCEPTION;
        }
        if (FAILED(status)) return status;
        if (out) {
            out->vt = VT_I4;
            out->lVal = result;
        }
        return S_OK;
    }
};

class DispatchDriver : public ::testing::Test {
protected:
    void SetUp() override { driver.AttachDispatch(&object); }
    CRecorder object;
    COleDispatchDriver driver;
};

TEST_F(DispatchDriver, PutPassesItsValueAsThePropertyPutArgument)
{
    driver.InvokeHelper(17, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4, -8L);
    ASSERT_EQ(1u, object.calls.size());
    const RecordedCall& c = object.calls[0];
    EXPECT_EQ(17, c.dispid);
    EXPECT_EQ(DISPATCH_PROPERTYPUT, c.flags);
    EXPECT_TRUE(c.putNamed);
    EXPECT_EQ((std::vector<VARTYPE>{VT_I4}), c.types);
    EXPECT_EQ((std::vector<long>{-8}), c.longs);
}

TEST_F(DispatchDriver, StringsGoAsAutomationStringsAndArgumentsKeepTheirOrder)
{
    driver.InvokeHelper(40, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4 VTS_BSTR VTS_I2, 5L, "C:\\rec 1.d01", 3);
    const RecordedCall& c = object.calls.at(0);
    EXPECT_FALSE(c.putNamed);
    EXPECT_EQ((std::vector<VARTYPE>{VT_I4, VT_BSTR, VT_I2}), c.types);
    EXPECT_EQ((std::vector<long>{5, 3}), c.longs);
    EXPECT_EQ(L"C:\\rec 1.d01", c.text);
}

TEST_F(DispatchDriver, GetReturnsTheValueAndOutStringsComeBack)
{
    object.result = 0xFFFF;
    long value = 0;
    driver.InvokeHelper(2, DISPATCH_PROPERTYGET, VT_I4, &value, VTS_NONE);
    EXPECT_EQ(0xFFFF, value);
    object.outText = L"2005-03-07\t13:45:30.250";
    CScopedBstr text;
    driver.InvokeHelper(32, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_PBSTR, text.Out());
    ASSERT_TRUE(text.IsHeld());
    EXPECT_STREQ(L"2005-03-07\t13:45:30.250", text);
}

TEST_F(DispatchDriver, RaisedErrorThrowsWithTheDescription)
{
    object.raise = L"The file is not a recording.";
    try {
        driver.InvokeHelper(4, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4, 1L);
        FAIL() << "no exception";
    } catch (const COleDispatchException& e) {
        EXPECT_EQ("The file is not a recording.", e.m_strDescription);
    }
}

TEST_F(DispatchDriver, StatusFailureThrowsItsStatus)
{
    object.status = DISP_E_MEMBERNOTFOUND;
    try {
        driver.InvokeHelper(99, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
        FAIL() << "no exception";
    } catch (const COleException& e) {
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND, e.m_sc);
    }
}

TEST(DispatchDriverUnbound, EveryCallDoesNothingAndReadsYieldZero)
{
    COleDispatchDriver driver;
    long value = 77;
    EXPECT_NO_THROW(driver.InvokeHelper(2, DISPATCH_PROPERTYGET, VT_I4, &value, VTS_NONE));
    EXPECT_EQ(0, value);
    BSTR text = reinterpret_cast<BSTR>(1);
    driver.InvokeHelper(19, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_PBSTR, &text);
    EXPECT_EQ(reinterpret_cast<BSTR>(1), text) << "an out argument of an unbound call is not touched";
}

TEST_F(DispatchDriver, ReferenceIsHeldAndGivenBack)
{
    EXPECT_EQ(2, object.refs);
    driver.ReleaseDispatch();
    EXPECT_EQ(1, object.refs);
}

}  // namespace
