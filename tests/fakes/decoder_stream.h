// The decoder's persisted-property stream as the player's dialog template carries
// it; the layout is described in framework/axserver/property_stream.h.
#pragma once
#include <windows.h>
#include <ole2.h>  // DISPID, which dvrctl.h uses
#include "decoder/dvrctl.h"

namespace fakes {

extern const BYTE kDecoderPersistedStream[DVR_PERSISTED_STREAM_SIZE];

// True when bytes have the decoder's shape: the header and nine values of the
// types long, long, long, string, long, long, string, string, string.
bool IsDecoderStreamShape(const BYTE* pData, size_t nSize);

}  // namespace fakes
