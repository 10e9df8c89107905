// The owner of a VARIANT: cleared (VariantClear) when the owner goes, which
// frees the string, array or interface it holds.
#pragma once
#include <windows.h>
#include <oleauto.h>

namespace own {

class CScopedVariant {
public:
    CScopedVariant() { ::VariantInit(&m_v); }
    ~CScopedVariant() { ::VariantClear(&m_v); }
    CScopedVariant(CScopedVariant&& other) noexcept : m_v(other.Detach()) {}
    CScopedVariant& operator=(CScopedVariant&& other) noexcept
    {
        if (this != &other) {
            ::VariantClear(&m_v);
            m_v = other.Detach();
        }
        return *this;
    }
    CScopedVariant(const CScopedVariant&) = delete;
    CScopedVariant& operator=(const CScopedVariant&) = delete;

    void Reset() { ::VariantClear(&m_v); }
    // Gives up what is held, uncleared: whoever takes it clears it.
    VARIANT Detach()
    {
        VARIANT v = m_v;
        ::VariantInit(&m_v);
        return v;
    }
    VARIANT* Get() { return &m_v; }
    const VARIANT* Get() const { return &m_v; }

private:
    VARIANT m_v;
};

}  // namespace own

using own::CScopedVariant;
