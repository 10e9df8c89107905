#include "host/review_members.h"
#include <cstring>
#include "framework/exceptions.h"
#include "owners/bstr.h"

namespace {

// The names the decoder answers, in the order of CReviewMembers::Member.
const wchar_t* const kNames[] = {L"StepBack", L"PlayBackward", L"Duration", L"ProbeFile",
                                 L"GetProbedStart", L"MarkStart", L"MarkEnd", L"ExportClip"};

}  // namespace

void CReviewMembers::Resolve(COleControlWnd& decoder)
{
    IUnknown* pUnknown = decoder.GetControlUnknown();
    if (!pUnknown)
        return;  // not bound yet: ask again next time
    m_bResolved = true;
    IDispatch* pDispatch = nullptr;
    if (FAILED(pUnknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pDispatch))))
        return;
    for (int i = 0; i < kMemberCount; ++i) {
        LPOLESTR name = const_cast<LPOLESTR>(kNames[i]);
        if (FAILED(pDispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &m_ids[i])))
            m_ids[i] = DISPID_UNKNOWN;
    }
    pDispatch->Release();
}

// The member behind a request that is one call with nothing to pass.
CReviewMembers::Member CReviewMembers::MethodOf(WPARAM code)
{
    switch (code) {
    case RCMD_PLAY_BACKWARD: return kPlayBackward;
    case RCMD_MARK_START: return kMarkStart;
    case RCMD_MARK_END: return kMarkEnd;
    case RCMD_EXPORT_CLIP: return kExportClip;
    default: return kStepBack;
    }
}

LRESULT CReviewMembers::Run(COleControlWnd& decoder, WPARAM code, LPARAM arg)
{
    if (!m_bResolved)
        Resolve(decoder);
    try {
        switch (code) {
        case RCMD_STEP_BACK:
        case RCMD_PLAY_BACKWARD:
        case RCMD_MARK_START:
        case RCMD_MARK_END:
        case RCMD_EXPORT_CLIP: {
            const Member member = MethodOf(code);
            if (!Has(member))
                return 0;
            decoder.InvokeHelper(m_ids[member], DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
            return 1;
        }
        case RCMD_DURATION: {
            long ms = 0;
            if (Has(kDuration))
                decoder.InvokeHelper(m_ids[kDuration], DISPATCH_PROPERTYGET, VT_I4, &ms, VTS_NONE);
            return ms > 0 ? ms : 0;
        }
        case RCMD_PROBE_START: return ProbeStart(decoder, reinterpret_cast<RECORDING_START*>(arg));
        default: return 0;
        }
    } catch (const COleDispatchException&) {
        return 0;
    } catch (const COleException&) {
        return 0;  // a review action never shows a box: it just does nothing
    }
}

LRESULT CReviewMembers::ProbeStart(COleControlWnd& decoder, RECORDING_START* pStart)
{
    if (!pStart || !pStart->pszPath || !Has(kProbeFile) || !Has(kProbedStart))
        return 0;
    decoder.InvokeHelper(m_ids[kProbeFile], DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_BSTR, pStart->pszPath);
    CScopedBstr start;
    decoder.InvokeHelper(m_ids[kProbedStart], DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_PBSTR, start.Out());
    if (!start.Get())
        return 0;
    const int n = WideCharToMultiByte(CP_UTF8, 0, start.Get(), -1, pStart->szStart, sizeof pStart->szStart,
                                      nullptr, nullptr);
    return n > 0 ? 1 : 0;
}
