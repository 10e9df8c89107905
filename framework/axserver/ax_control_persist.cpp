// CAxControl: the persisted-property stream (IPersistStreamInit).
#include "framework/axserver/ax_control.h"

namespace {

// A template's stream is a few dozen bytes; anything near this is not one of ours.
const size_t kMaxStreamBytes = 1 << 20;

// Reads from the stream's position to its end.
HRESULT ReadToEnd(IStream* pStm, std::vector<BYTE>* pBytes)
{
    BYTE chunk[4096];
    for (;;) {
        ULONG nRead = 0;
        HRESULT hr = pStm->Read(chunk, sizeof(chunk), &nRead);
        if (FAILED(hr))
            return hr;
        if (pBytes->size() + nRead > kMaxStreamBytes)
            return E_OUTOFMEMORY;
        pBytes->insert(pBytes->end(), chunk, chunk + nRead);
        if (nRead < sizeof(chunk))
            return S_OK;
    }
}

}  // namespace

STDMETHODIMP CAxControl::GetClassID(CLSID* pClassID)
{
    if (!pClassID)
        return E_POINTER;
    *pClassID = m_info.clsid;
    return S_OK;
}

STDMETHODIMP CAxControl::IsDirty() { return m_bDirty ? S_OK : S_FALSE; }

STDMETHODIMP CAxControl::Load(LPSTREAM pStm)
{
    if (!pStm)
        return E_POINTER;
    std::vector<BYTE> bytes;
    HRESULT hr = ReadToEnd(pStm, &bytes);
    if (FAILED(hr))
        return hr;
    hr = LoadProperties(bytes);
    if (SUCCEEDED(hr))
        m_bDirty = false;
    return hr;
}

STDMETHODIMP CAxControl::Save(LPSTREAM pStm, BOOL fClearDirty)
{
    if (!pStm)
        return E_POINTER;
    std::vector<BYTE> bytes;
    HRESULT hr = SaveProperties(&bytes);
    if (FAILED(hr))
        return hr;
    ULONG nWritten = 0;
    hr = pStm->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &nWritten);
    if (FAILED(hr))
        return hr;
    if (nWritten != bytes.size())
        return STG_E_MEDIUMFULL;
    if (fClearDirty)
        m_bDirty = false;
    return S_OK;
}

STDMETHODIMP CAxControl::GetSizeMax(ULARGE_INTEGER* pCbSize)
{
    if (!pCbSize)
        return E_POINTER;
    std::vector<BYTE> bytes;
    HRESULT hr = SaveProperties(&bytes);
    if (FAILED(hr))
        return hr;
    pCbSize->QuadPart = bytes.size();
    return S_OK;
}

STDMETHODIMP CAxControl::InitNew()
{
    HRESULT hr = InitNewProperties();
    if (SUCCEEDED(hr))
        m_bDirty = false;
    return hr;
}
