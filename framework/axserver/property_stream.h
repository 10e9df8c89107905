// The persisted-property stream a control receives from IPersistStreamInit::Load,
// as a dialog template carries it. All numbers are little-endian:
//
//   offset  size  field
//   0       4     zero
//   4       4     version (0x0300)
//   8       4     extent cx, HIMETRIC
//   12      4     extent cy, HIMETRIC
//   16      ...   values, back to back until the end of the stream, each
//                   2  variant type: VT_I4 (3) or VT_BSTR (8)
//                   VT_I4:   4 bytes, signed
//                   VT_BSTR: 4 bytes byte length n, then n bytes (wide text, no
//                            terminator; n may be 0)
//
// The stream names no property: a value's meaning is its position. The decoder's
// stream has nine values, long 1, long 0, long 1, string of one zero wide
// character, long 4, long 0, empty string, and two strings of one zero wide
// character: 16 + 5 * 6 + 3 * 8 + 6 = 76 bytes.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <cstddef>
#include <vector>

struct CPersistedValue {
    VARTYPE vt = VT_I4;
    LONG nValue = 0;         // VT_I4
    std::vector<BYTE> text;  // VT_BSTR: the bytes as stored
};

struct CPersistedProperties {
    DWORD dwVersion = 0x0300;
    SIZEL extent = {0, 0};
    std::vector<CPersistedValue> values;
};

// False for anything that is not exactly a header and whole values: a short
// header, a nonzero first word, an unknown type, a value or a string length that
// runs past the end. *pOut is left unchanged then.
bool ParsePersistedProperties(const BYTE* pData, size_t nSize, CPersistedProperties* pOut);
std::vector<BYTE> SerializePersistedProperties(const CPersistedProperties& props);
