// COM on the calling thread for the life of the object, so that every way out
// of a scope uninitialises it, and only after what was declared below it.
#pragma once
#include <windows.h>
#include <objbase.h>

namespace fw {

class CComScope {
public:
    CComScope() : m_hr(CoInitialize(nullptr)) {}
    // S_FALSE (COM was on already) counts too and is balanced as well.
    ~CComScope()
    {
        if (SUCCEEDED(m_hr)) CoUninitialize();
    }
    CComScope(const CComScope&) = delete;
    CComScope& operator=(const CComScope&) = delete;

    HRESULT Status() const { return m_hr; }

private:
    HRESULT m_hr;
};

}  // namespace fw
