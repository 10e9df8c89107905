// The decoder's members for reviewing, which a control may lack: an older
// build or another control that keeps only the contract. They are asked for by
// name once, the first time one is wanted; a missing one is never called.
#pragma once
#include "framework/olecontrol.h"
#include "host/review_messages.h"

class CReviewMembers {
public:
    // Runs one request on the bound control; 0 when the control lacks the
    // member or the call failed, whatever the failure.
    LRESULT Run(COleControlWnd& decoder, WPARAM code, LPARAM arg);

private:
    enum Member {
        kStepBack,
        kPlayBackward,
        kDuration,
        kProbeFile,
        kProbedStart,
        kMarkStart,
        kMarkEnd,
        kExportClip,
        kMemberCount
    };
    static Member MethodOf(WPARAM code);
    void Resolve(COleControlWnd& decoder);
    bool Has(Member member) const { return m_ids[member] != DISPID_UNKNOWN; }
    LRESULT ProbeStart(COleControlWnd& decoder, RECORDING_START* pStart);

    bool m_bResolved = false;
    DISPID m_ids[kMemberCount] = {DISPID_UNKNOWN, DISPID_UNKNOWN, DISPID_UNKNOWN, DISPID_UNKNOWN,
                                  DISPID_UNKNOWN, DISPID_UNKNOWN, DISPID_UNKNOWN, DISPID_UNKNOWN};
};
