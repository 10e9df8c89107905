// dvrctl.dll registers itself for the path it is loaded from. HKEY_CLASSES_ROOT
// is redirected to a scratch key for the test, so that the prefix's own
// registration (which other tests depend on being absent) is never touched.
#include <windows.h>
#include <ole2.h>
#include <gtest/gtest.h>
#include <string>
#include "decoder/dvrctl.h"

namespace {

const char kScratchKey[] = "Software\\Vorplex\\DecoderRegistrationTest";
const char kClsidKey[] = "CLSID\\{8FCBB820-D2AD-4929-8B7D-3C3BC408E4FD}";

// The DLL's Linux path as Wine sees it on drive Z:.
std::string DllPath()
{
    std::string path = std::string("Z:") + DVRCTL_DLL_PATH;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::string Value(const std::string& key, const char* pszName = nullptr)
{
    char sz[MAX_PATH] = "";
    DWORD cb = sizeof(sz);
    LONG rc = RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), pszName, RRF_RT_REG_SZ, nullptr, sz, &cb);
    return rc == ERROR_SUCCESS ? std::string(sz) : std::string("<missing>");
}

class DllRegistration : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &m_hScratch, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CLASSES_ROOT, m_hScratch));
        m_hDll = LoadLibraryA(DllPath().c_str());
        ASSERT_NE(nullptr, m_hDll) << DllPath();
    }
    void TearDown() override
    {
        if (m_hDll)
            FreeLibrary(m_hDll);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        if (m_hScratch)
            RegCloseKey(m_hScratch);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratchKey);
    }
    HRESULT CallExport(const char* pszName)
    {
        auto pfn = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
            reinterpret_cast<void*>(GetProcAddress(m_hDll, pszName)));
        return pfn ? pfn() : E_NOTIMPL;
    }

    HKEY m_hScratch = nullptr;
    HMODULE m_hDll = nullptr;
};

}  // namespace

TEST_F(DllRegistration, RegisterNamesTheDllsOwnPathAndUnregisterRemovesIt)
{
    ASSERT_EQ(S_OK, CallExport("DllRegisterServer"));
    char szLoaded[MAX_PATH];
    GetModuleFileNameA(m_hDll, szLoaded, MAX_PATH);
    EXPECT_EQ(0, lstrcmpiA(szLoaded, Value(std::string(kClsidKey) + "\\InprocServer32").c_str()));
    EXPECT_EQ("Apartment", Value(std::string(kClsidKey) + "\\InprocServer32", "ThreadingModel"));
    EXPECT_EQ("DVR Control", Value(kClsidKey));

    ASSERT_EQ(S_OK, CallExport("DllUnregisterServer"));
    EXPECT_EQ("<missing>", Value(std::string(kClsidKey) + "\\InprocServer32"));
}

TEST_F(DllRegistration, ClassObjectMakesTheControlOnlyForItsClsid)
{
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto pfn = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(m_hDll, "DllGetClassObject")));
    ASSERT_NE(nullptr, pfn);
    ASSERT_EQ(S_OK, CoInitialize(nullptr));
    IClassFactory* pFactory = nullptr;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, pfn(IID_IDispatch, IID_IClassFactory, reinterpret_cast<void**>(&pFactory)));
    ASSERT_EQ(S_OK, pfn(CLSID_DvrControl, IID_IClassFactory, reinterpret_cast<void**>(&pFactory)));
    IDispatch* pDispatch = nullptr;
    EXPECT_EQ(S_OK, pFactory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&pDispatch)));
    ASSERT_NE(nullptr, pDispatch);
    EXPECT_EQ(S_FALSE, CallExport("DllCanUnloadNow")) << "a live control holds the DLL";
    pDispatch->Release();
    pFactory->Release();
    EXPECT_EQ(S_OK, CallExport("DllCanUnloadNow"));
    CoUninitialize();
}
