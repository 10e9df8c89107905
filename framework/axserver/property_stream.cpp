#include "framework/axserver/property_stream.h"

namespace {

// Reads little-endian fields and never past the end.
class CByteReader {
public:
    CByteReader(const BYTE* pData, size_t nSize) : m_pData(pData), m_nLeft(nSize) {}

    bool AtEnd() const { return m_nLeft == 0; }
    size_t Left() const { return m_nLeft; }
    bool Read(void* pOut, size_t n)
    {
        if (n > m_nLeft)
            return false;
        if (n)
            CopyMemory(pOut, m_pData, n);
        m_pData += n;
        m_nLeft -= n;
        return true;
    }
    bool ReadU16(WORD* p) { return ReadLittle(p, 2); }
    bool ReadU32(DWORD* p) { return ReadLittle(p, 4); }

private:
    template <class T>
    bool ReadLittle(T* p, size_t n)
    {
        BYTE bytes[4];
        if (!Read(bytes, n))
            return false;
        *p = 0;
        for (size_t i = n; i-- > 0;)
            *p = static_cast<T>((*p << 8) | bytes[i]);
        return true;
    }

    const BYTE* m_pData;
    size_t m_nLeft;
};

void WriteLittle(std::vector<BYTE>& out, DWORD value, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        out.push_back(static_cast<BYTE>(value >> (8 * i)));
}

bool ReadValue(CByteReader& reader, CPersistedValue* pValue)
{
    WORD vt = 0;
    if (!reader.ReadU16(&vt))
        return false;
    pValue->vt = vt;
    DWORD n = 0;
    if (vt == VT_I4) {
        if (!reader.ReadU32(&n))
            return false;
        pValue->nValue = static_cast<LONG>(n);
        return true;
    }
    if (vt == VT_BSTR) {
        if (!reader.ReadU32(&n))
            return false;
        // Check against what is left before allocating: a bad length must not
        // become a huge allocation.
        if (n > reader.Left())
            return false;
        pValue->text.resize(n);
        return reader.Read(pValue->text.data(), n);
    }
    return false;
}

}  // namespace

bool ParsePersistedProperties(const BYTE* pData, size_t nSize, CPersistedProperties* pOut)
{
    if (!pData && nSize)
        return false;
    CByteReader reader(pData, nSize);
    CPersistedProperties props;
    DWORD dwZero = 0, cx = 0, cy = 0;
    if (!reader.ReadU32(&dwZero) || dwZero != 0 || !reader.ReadU32(&props.dwVersion) ||
        !reader.ReadU32(&cx) || !reader.ReadU32(&cy))
        return false;
    props.extent.cx = static_cast<LONG>(cx);
    props.extent.cy = static_cast<LONG>(cy);
    while (!reader.AtEnd()) {
        CPersistedValue value;
        if (!ReadValue(reader, &value))
            return false;
        props.values.push_back(std::move(value));
    }
    *pOut = std::move(props);
    return true;
}

std::vector<BYTE> SerializePersistedProperties(const CPersistedProperties& props)
{
    std::vector<BYTE> out;
    WriteLittle(out, 0, 4);
    WriteLittle(out, props.dwVersion, 4);
    WriteLittle(out, static_cast<DWORD>(props.extent.cx), 4);
    WriteLittle(out, static_cast<DWORD>(props.extent.cy), 4);
    for (const CPersistedValue& value : props.values) {
        WriteLittle(out, value.vt, 2);
        if (value.vt == VT_I4) {
            WriteLittle(out, static_cast<DWORD>(value.nValue), 4);
        } else {
            WriteLittle(out, static_cast<DWORD>(value.text.size()), 4);
            out.insert(out.end(), value.text.begin(), value.text.end());
        }
    }
    return out;
}
