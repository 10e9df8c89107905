// FakeDecoder: the contract's members, checked against their shapes as the
// real control checks them (decoder/dvrctl_info.h), logged, then applied.
#include "decoder/dvrctl_info.h"
#include "framework/text.h"
#include "tests/fakes/fake_decoder.h"

namespace fakes {
namespace {

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

const char* NameOf(const DvrMember& member, const AxArguments& args)
{
    return args.bPut && member.pszPutName ? member.pszPutName : member.pszName;
}

// "SetSpeed(-8)", "SetFileName(C:\x.d01)", "GetViewSplit", "Play".
std::string LogText(const DvrMember& member, const AxArguments& args)
{
    const std::string name = NameOf(member, args);
    switch (member.shape) {
    case AxShape::PutLong:
    case AxShape::MethodLong: return name + "(" + std::to_string(args.nValue) + ")";
    case AxShape::GetPutLong: return args.bPut ? name + "(" + std::to_string(args.nValue) + ")" : name;
    case AxShape::PutString: return name + "(" + fw::BstrToAnsi(args.bstrValue) + ")";
    default: return name;
    }
}

}  // namespace

HRESULT FakeDecoder::InvokeMember(const AxInvocation& call)
{
    const DvrMember* pMember = IsDvrContractMember(call.dispid) ? FindDvrMember(call.dispid) : nullptr;
    if (!pMember) {
        m_calls.push_back("dispid " + std::to_string(call.dispid));
        return DISP_E_MEMBERNOTFOUND;
    }
    AxArguments args;
    HRESULT hr = AxCheckShape(call, pMember->shape, &args);
    if (FAILED(hr)) {
        m_calls.push_back(std::string(NameOf(*pMember, args)) + ": " + ErrorText(hr));
        return hr;
    }
    m_calls.push_back(LogText(*pMember, args));
    hr = InjectedFailure(call);
    if (FAILED(hr))
        return hr;
    Apply(call, args);
    auto action = m_actions.find(call.dispid);
    if (action != m_actions.end())
        action->second(*this);
    return S_OK;
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

void FakeDecoder::Apply(const AxInvocation& call, const AxArguments& args)
{
    switch (call.dispid) {
    case DVR_SPEED: m_settings.nSpeed = args.nValue; break;
    case DVR_CAMERA_MASK: AxReturnLong(call, m_nCameraMask); break;
    case DVR_OPEN_MODE: m_nOpenMode = args.nValue; break;
    case DVR_SELECT_SOURCE: m_settings.nSource = args.nValue; break;
    case DVR_FILE_NAME: m_settings.fileName = fw::BstrToAnsi(args.bstrValue); break;
    case DVR_START_OFFSET: m_settings.nStartOffset = args.nValue; break;
    case DVR_VIEW_SPLIT:
        if (args.bPut)
            m_settings.nSplit = args.nValue;
        else
            AxReturnLong(call, m_settings.nSplit);
        break;
    case DVR_VIEW_GROUP:
        if (args.bPut)
            m_settings.nGroup = args.nValue;
        else
            AxReturnLong(call, m_settings.nGroup);
        break;
    case DVR_SOURCE_EVENTS:
    case DVR_GPI_EVENTS:
    case DVR_MOTION_EVENTS: {
        // An out parameter: whatever the caller's BSTR held is not ours to free.
        auto block = m_eventBlocks.find(call.dispid);
        *args.pOut = block == m_eventBlocks.end()
                         ? nullptr
                         : SysAllocStringByteLen(reinterpret_cast<LPCSTR>(block->second.data()),
                                                 static_cast<UINT>(block->second.size()));
        break;
    }
    case DVR_START_TIME:
        *args.pOut = m_startTime ? SysAllocString(m_startTime->c_str()) : nullptr;
        break;
    default:
        break;  // the transport methods only leave their trace in the log
    }
}

}  // namespace fakes
