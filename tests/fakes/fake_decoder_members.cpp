// FakeDecoder: the contract's members, checked strictly, logged, then applied.
#include "tests/fakes/fake_decoder.h"
#include "framework/text.h"

namespace fakes {
namespace {

enum class Shape { PutLong, PutString, GetLong, GetPutLong, Method, MethodLong, MethodOutString };

struct Member {
    DISPID dispid;
    Shape shape;
    const char* pszName;     // the get's or the method's or the put's name
    const char* pszPutName;  // for a get/put property, the put's
};

const Member kMembers[] = {
    {DVR_SPEED, Shape::PutLong, "SetSpeed", nullptr},
    {DVR_CAMERA_MASK, Shape::GetLong, "GetCameraMask", nullptr},
    {DVR_OPEN_MODE, Shape::PutLong, "SetOpenMode", nullptr},
    {DVR_PAUSE, Shape::Method, "Pause", nullptr},
    {DVR_STOP, Shape::Method, "Stop", nullptr},
    {DVR_PLAY, Shape::Method, "Play", nullptr},
    {DVR_PLAY_AGAIN, Shape::Method, "PlayAgain", nullptr},
    {DVR_STEP, Shape::Method, "Step", nullptr},
    {DVR_SELECT_SOURCE, Shape::MethodLong, "SelectSource", nullptr},
    {DVR_FILE_NAME, Shape::PutString, "SetFileName", nullptr},
    {DVR_START_OFFSET, Shape::PutLong, "SetStartOffset", nullptr},
    {DVR_SOURCE_EVENTS, Shape::MethodOutString, "GetSourceEvents", nullptr},
    {DVR_GPI_EVENTS, Shape::MethodOutString, "GetGpiEvents", nullptr},
    {DVR_MOTION_EVENTS, Shape::MethodOutString, "GetMotionEvents", nullptr},
    {DVR_VIEW_SPLIT, Shape::GetPutLong, "GetViewSplit", "SetViewSplit"},
    {DVR_VIEW_GROUP, Shape::GetPutLong, "GetViewGroup", "SetViewGroup"},
    {DVR_START_TIME, Shape::MethodOutString, "GetStartTime", nullptr},
};

const Member* FindMember(DISPID dispid)
{
    for (const Member& member : kMembers) {
        if (member.dispid == dispid)
            return &member;
    }
    return nullptr;
}

const char* ErrorText(HRESULT hr)
{
    switch (hr) {
    case DISP_E_MEMBERNOTFOUND: return "wrong kind";
    case DISP_E_BADPARAMCOUNT: return "bad parameter count";
    case DISP_E_TYPEMISMATCH: return "type mismatch";
    case DISP_E_PARAMNOTFOUND: return "parameter not found";
    default: return "bad call";
    }
}

}  // namespace

struct FakeDecoder::Decoded {
    const Member* pMember = nullptr;
    bool bPut = false;
    LONG nValue = 0;
    BSTR bstrValue = nullptr;  // borrowed from the caller
    BSTR* pOut = nullptr;

    const char* Name() const
    {
        return bPut && pMember->pszPutName ? pMember->pszPutName : pMember->pszName;
    }
    std::string LogText() const
    {
        switch (pMember->shape) {
        case Shape::PutLong:
        case Shape::MethodLong:
            return std::string(Name()) + "(" + std::to_string(nValue) + ")";
        case Shape::GetPutLong:
            return bPut ? std::string(Name()) + "(" + std::to_string(nValue) + ")" : Name();
        case Shape::PutString:
            return std::string(Name()) + "(" + fw::BstrToAnsi(bstrValue) + ")";
        default:
            return Name();
        }
    }
};

HRESULT FakeDecoder::InvokeMember(const AxInvocation& call)
{
    Decoded decoded;
    decoded.pMember = FindMember(call.dispid);
    if (!decoded.pMember) {
        m_calls.push_back("dispid " + std::to_string(call.dispid));
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT hr = Decode(call, &decoded);
    if (FAILED(hr)) {
        m_calls.push_back(std::string(decoded.Name()) + ": " + ErrorText(hr));
        return hr;
    }
    m_calls.push_back(decoded.LogText());
    hr = InjectedFailure(call);
    if (FAILED(hr))
        return hr;
    Apply(call, decoded);
    auto action = m_actions.find(call.dispid);
    if (action != m_actions.end())
        action->second(*this);
    return S_OK;
}

HRESULT FakeDecoder::Decode(const AxInvocation& call, Decoded* pOut)
{
    HRESULT hr = S_OK;
    switch (pOut->pMember->shape) {
    case Shape::GetPutLong:
        if (!(call.wFlags & DISPATCH_PROPERTYPUT))
            return AxGetProperty(call);
        [[fallthrough]];  // a put
    case Shape::PutLong:
        pOut->bPut = true;
        return AxPutLong(call, &pOut->nValue);
    case Shape::PutString:
        pOut->bPut = true;
        return AxPutString(call, &pOut->bstrValue);
    case Shape::GetLong:
        return AxGetProperty(call);
    case Shape::Method:
        return AxMethod(call, 0);
    case Shape::MethodLong:
        hr = AxMethod(call, 1);
        return FAILED(hr) ? hr : AxMethodLong(call, 0, &pOut->nValue);
    case Shape::MethodOutString:
        hr = AxMethod(call, 1);
        return FAILED(hr) ? hr : AxMethodOutString(call, 0, &pOut->pOut);
    }
    return E_UNEXPECTED;
}

HRESULT FakeDecoder::InjectedFailure(const AxInvocation& call)
{
    auto it = m_failures.find(call.dispid);
    if (it == m_failures.end())
        return S_OK;
    Failure& failure = it->second;
    ++failure.nSeen;
    if (failure.nthCall != 0 && failure.nSeen != failure.nthCall)
        return S_OK;
    if (failure.bRaise)
        return AxRaise(call, L"DVR Control", failure.description.c_str());
    return failure.hr;
}

void FakeDecoder::Apply(const AxInvocation& call, const Decoded& decoded)
{
    switch (call.dispid) {
    case DVR_SPEED: m_nSpeed = decoded.nValue; break;
    case DVR_CAMERA_MASK: AxReturnLong(call, m_nCameraMask); break;
    case DVR_OPEN_MODE: m_nOpenMode = decoded.nValue; break;
    case DVR_SELECT_SOURCE: m_nSource = decoded.nValue; break;
    case DVR_FILE_NAME: m_szFileName = fw::BstrToAnsi(decoded.bstrValue); break;
    case DVR_START_OFFSET: m_nStartOffset = decoded.nValue; break;
    case DVR_VIEW_SPLIT:
        if (decoded.bPut)
            m_nViewSplit = decoded.nValue;
        else
            AxReturnLong(call, m_nViewSplit);
        break;
    case DVR_VIEW_GROUP:
        if (decoded.bPut)
            m_nViewGroup = decoded.nValue;
        else
            AxReturnLong(call, m_nViewGroup);
        break;
    case DVR_SOURCE_EVENTS:
    case DVR_GPI_EVENTS:
    case DVR_MOTION_EVENTS: {
        // An out parameter: whatever the caller's BSTR held is not ours to free.
        auto block = m_eventBlocks.find(call.dispid);
        *decoded.pOut = block == m_eventBlocks.end()
                            ? nullptr
                            : SysAllocStringByteLen(reinterpret_cast<LPCSTR>(block->second.data()),
                                                    static_cast<UINT>(block->second.size()));
        break;
    }
    case DVR_START_TIME:
        *decoded.pOut = m_startTime ? SysAllocString(m_startTime->c_str()) : nullptr;
        break;
    default:
        break;  // the transport methods only leave their trace in the log
    }
}

}  // namespace fakes
