#include "tests/fakes/decoder_stream.h"
#include "framework/axserver/property_stream.h"

namespace fakes {

const BYTE kDecoderPersistedStream[DVR_PERSISTED_STREAM_SIZE] = {
    0x00, 0x00, 0x00, 0x00,                          // zero
    0x00, 0x03, 0x00, 0x00,                          // version 0x0300
    0xBA, 0x22, 0x00, 0x00,                          // extent cx 8890
    0x6D, 0x19, 0x00, 0x00,                          // extent cy 6509
    0x03, 0x00, 0x01, 0x00, 0x00, 0x00,              // long 1
    0x03, 0x00, 0x00, 0x00, 0x00, 0x00,              // long 0
    0x03, 0x00, 0x01, 0x00, 0x00, 0x00,              // long 1
    0x08, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,  // string: one zero wide character
    0x03, 0x00, 0x04, 0x00, 0x00, 0x00,              // long 4
    0x03, 0x00, 0x00, 0x00, 0x00, 0x00,              // long 0
    0x08, 0x00, 0x00, 0x00, 0x00, 0x00,              // empty string
    0x08, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,  // string: one zero wide character
    0x08, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,  // string: one zero wide character
};

bool IsDecoderStreamShape(const BYTE* pData, size_t nSize)
{
    static const VARTYPE kTypes[] = {VT_I4, VT_I4, VT_I4, VT_BSTR, VT_I4,
                                     VT_I4, VT_BSTR, VT_BSTR, VT_BSTR};
    CPersistedProperties props;
    if (!ParsePersistedProperties(pData, nSize, &props))
        return false;
    if (props.values.size() != sizeof(kTypes) / sizeof(kTypes[0]))
        return false;
    for (size_t i = 0; i < props.values.size(); ++i) {
        if (props.values[i].vt != kTypes[i])
            return false;
    }
    return true;
}

}  // namespace fakes
