// The persisted stream: what it must look like, and CDvrControl's load and save.
#include "decoder/control_stream.h"
#include "decoder/dvr_control.h"

namespace {

const VARTYPE kShape[] = {VT_I4, VT_I4, VT_I4, VT_BSTR, VT_I4, VT_I4, VT_BSTR, VT_BSTR, VT_BSTR};
const size_t kValueCount = sizeof(kShape) / sizeof(kShape[0]);

CPersistedValue Long(LONG n)
{
    CPersistedValue value;
    value.vt = VT_I4;
    value.nValue = n;
    return value;
}

CPersistedValue Text(size_t nBytes)
{
    CPersistedValue value;
    value.vt = VT_BSTR;
    value.text.assign(nBytes, 0);
    return value;
}

}  // namespace

bool IsDvrStreamShape(const CPersistedProperties& props)
{
    if (props.values.size() != kValueCount)
        return false;
    for (size_t i = 0; i < kValueCount; ++i) {
        if (props.values[i].vt != kShape[i])
            return false;
    }
    return true;
}

std::vector<BYTE> DefaultDvrStream()
{
    CPersistedProperties props;
    props.extent = {8890, 6509};
    props.values = {Long(1), Long(0), Long(1), Text(2), Long(4), Long(0), Text(0), Text(2), Text(2)};
    return SerializePersistedProperties(props);
}

HRESULT CDvrControl::LoadProperties(const std::vector<BYTE>& bytes)
{
    CPersistedProperties props;
    if (!ParsePersistedProperties(bytes.data(), bytes.size(), &props) || !IsDvrStreamShape(props))
        return E_INVALIDARG;
    // The values only round-trip; the extent is the size the container gives us.
    m_persisted = bytes;
    SetExtent(DVASPECT_CONTENT, &props.extent);
    return S_OK;
}

HRESULT CDvrControl::SaveProperties(std::vector<BYTE>* pBytes)
{
    *pBytes = m_persisted.empty() ? DefaultDvrStream() : m_persisted;
    return S_OK;
}
