#include "framework/axserver/server_registration.h"
#include <cstdio>
#include <string>
#include "owners/handle.h"

namespace {

// Creates HKCR\<path> and sets one value (the default when pszName is null).
HRESULT SetKeyValue(const std::string& path, const char* pszName, const std::string& value)
{
    CScopedKey key;
    LONG rc = RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              key.Out(), nullptr);
    if (rc != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(rc);
    rc = RegSetValueExA(key, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
    return HRESULT_FROM_WIN32(rc);
}

HRESULT CreateKey(const std::string& path)
{
    CScopedKey key;
    LONG rc = RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              key.Out(), nullptr);
    return HRESULT_FROM_WIN32(rc);
}

HRESULT DeleteTree(const std::string& path)
{
    LONG rc = RegDeleteTreeA(HKEY_CLASSES_ROOT, path.c_str());
    if (rc == ERROR_FILE_NOT_FOUND)
        return S_OK;
    return HRESULT_FROM_WIN32(rc);
}

std::string ModulePath(HMODULE hModule)
{
    char sz[MAX_PATH] = "";
    DWORD n = GetModuleFileNameA(hModule, sz, sizeof(sz));
    return n && n < sizeof(sz) ? std::string(sz, n) : std::string();
}

}  // namespace

void AxClsidString(REFCLSID clsid, char (&sz)[40])
{
    snprintf(sz, sizeof(sz), "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             static_cast<unsigned long>(clsid.Data1), clsid.Data2, clsid.Data3, clsid.Data4[0],
             clsid.Data4[1], clsid.Data4[2], clsid.Data4[3], clsid.Data4[4], clsid.Data4[5],
             clsid.Data4[6], clsid.Data4[7]);
}

HRESULT AxRegisterServer(const AxServerInfo& info, HMODULE hModule)
{
    std::string path = ModulePath(hModule);
    if (path.empty())
        return E_FAIL;
    char szClsid[40];
    AxClsidString(info.clsid, szClsid);
    const std::string clsidKey = std::string("CLSID\\") + szClsid;
    const std::string description = info.pszDescription ? info.pszDescription : "";

    // Each step only if the one before succeeded; a half-written entry is removed.
    HRESULT hr = SetKeyValue(clsidKey, nullptr, description);
    if (SUCCEEDED(hr))
        hr = SetKeyValue(clsidKey + "\\InprocServer32", nullptr, path);
    if (SUCCEEDED(hr))
        hr = SetKeyValue(clsidKey + "\\InprocServer32", "ThreadingModel", "Apartment");
    if (SUCCEEDED(hr))
        hr = CreateKey(clsidKey + "\\Control");
    if (SUCCEEDED(hr))
        hr = SetKeyValue(clsidKey + "\\MiscStatus", nullptr, "0");
    if (SUCCEEDED(hr))
        hr = SetKeyValue(clsidKey + "\\MiscStatus\\1", nullptr, std::to_string(info.dwMiscStatus));
    if (SUCCEEDED(hr) && info.pszProgId) {
        hr = SetKeyValue(clsidKey + "\\ProgID", nullptr, info.pszProgId);
        if (SUCCEEDED(hr))
            hr = SetKeyValue(info.pszProgId, nullptr, description);
        if (SUCCEEDED(hr))
            hr = SetKeyValue(std::string(info.pszProgId) + "\\CLSID", nullptr, szClsid);
    }
    if (FAILED(hr))
        AxUnregisterServer(info);
    return hr;
}

HRESULT AxUnregisterServer(const AxServerInfo& info)
{
    char szClsid[40];
    AxClsidString(info.clsid, szClsid);
    HRESULT hr = DeleteTree(std::string("CLSID\\") + szClsid);
    if (info.pszProgId) {
        HRESULT hrProgId = DeleteTree(info.pszProgId);
        if (SUCCEEDED(hr))
            hr = hrProgId;
    }
    return hr;
}
