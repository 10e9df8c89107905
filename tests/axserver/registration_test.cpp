// Self-registration: the keys regsvr32 leaves behind, and their removal.
#include <gtest/gtest.h>
#include <string>
#include "framework/axserver/ax_control.h"
#include "framework/axserver/server_registration.h"

namespace {

// A class id of no real component, so the test can only ever touch its own keys.
// {5D7E2C11-8A43-4F0B-B6D2-91C3E4F5A607}
const CLSID kThrowawayClsid = {0x5D7E2C11, 0x8A43, 0x4F0B, {0xB6, 0xD2, 0x91, 0xC3, 0xE4, 0xF5, 0xA6, 0x07}};
const char kProgId[] = "Vorplex.AxServerTest.1";
const char kClsidKey[] = "CLSID\\{5D7E2C11-8A43-4F0B-B6D2-91C3E4F5A607}";

// A value under HKCR, or "<missing>".
std::string Value(const std::string& key, const char* pszName = nullptr)
{
    char sz[MAX_PATH] = "";
    DWORD cb = sizeof(sz);
    LONG rc = RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), pszName, RRF_RT_REG_SZ, nullptr, sz, &cb);
    return rc == ERROR_SUCCESS ? std::string(sz) : std::string("<missing>");
}

bool KeyExists(const std::string& key)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

const AxServerInfo kInfo = {kThrowawayClsid, kProgId, "Vorplex test control", kAxMiscStatus};

}  // namespace

TEST(Registration, ClsidStringIsTheRegistryForm)
{
    char sz[40];
    AxClsidString(kThrowawayClsid, sz);
    EXPECT_STREQ("{5D7E2C11-8A43-4F0B-B6D2-91C3E4F5A607}", sz);
}

TEST(Registration, RegisterWritesTheInprocControlEntries)
{
    HMODULE hModule = GetModuleHandleA(nullptr);
    char szPath[MAX_PATH];
    GetModuleFileNameA(hModule, szPath, sizeof(szPath));
    ASSERT_EQ(S_OK, AxRegisterServer(kInfo, hModule));
    const std::string clsid = kClsidKey;

    EXPECT_EQ("Vorplex test control", Value(clsid));
    EXPECT_EQ(szPath, Value(clsid + "\\InprocServer32"));
    EXPECT_EQ("Apartment", Value(clsid + "\\InprocServer32", "ThreadingModel"));
    EXPECT_TRUE(KeyExists(clsid + "\\Control"));
    EXPECT_EQ(kProgId, Value(clsid + "\\ProgID"));
    EXPECT_EQ(std::to_string(kAxMiscStatus), Value(clsid + "\\MiscStatus\\1"));
    EXPECT_EQ("{5D7E2C11-8A43-4F0B-B6D2-91C3E4F5A607}", Value(std::string(kProgId) + "\\CLSID"));

    CLSID fromProgId = GUID_NULL;
    EXPECT_EQ(S_OK, CLSIDFromProgID(L"Vorplex.AxServerTest.1", &fromProgId));
    EXPECT_EQ(kThrowawayClsid, fromProgId);

    EXPECT_EQ(S_OK, AxUnregisterServer(kInfo));
    EXPECT_FALSE(KeyExists(clsid));
    EXPECT_FALSE(KeyExists(kProgId));
}

TEST(Registration, UnregisteringWhatIsNotThereSucceeds)
{
    EXPECT_EQ(S_OK, AxUnregisterServer(kInfo));
    EXPECT_EQ(S_OK, AxUnregisterServer(kInfo));
}
