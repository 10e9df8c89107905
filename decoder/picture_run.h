// A run of pictures the control's thread takes one after another (see
// CDvrControl::OnPictureDecoded), and the picture that a request made inside
// the run was answered with at once.
//
// Only the control's thread reads or writes it. The worker's deliver callback
// runs on any thread and offers every picture here; the thread is tested before
// the run is looked at, so that a decoding thread never reads what the
// control's thread writes, and no lock is needed.
#pragma once
#include <windows.h>
#include <memory>
#include <utility>
#include "decoder/decode_worker.h"

class CPictureRun {
public:
    // True when this starts a run; false inside one (a request made in the
    // run took a picture back at once), which the outer caller ends.
    bool Begin() { return !std::exchange(m_bTakingPictures, true); }
    void End() { m_bTakingPictures = false; }

    // The run keeps the picture (true) when offered on the owner's thread while
    // it is on; otherwise the picture is left to the caller to post.
    bool Keep(DWORD dwOwnerThreadId, std::shared_ptr<DecodedPicture>& picture)
    {
        if (GetCurrentThreadId() != dwOwnerThreadId || !m_bTakingPictures)
            return false;
        m_kept = std::move(picture);
        return true;
    }
    std::shared_ptr<DecodedPicture> TakeKept() { return std::move(m_kept); }

private:
    bool m_bTakingPictures = false;
    std::shared_ptr<DecodedPicture> m_kept;  // not taken up yet
};
