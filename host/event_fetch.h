// Fills an event index from the decoder: the three event blocks and the start
// time of the open recording. The video window runs it for WM_FETCH_INDEX.
#pragma once
#include <windows.h>
#include "host/event_index.h"
#include "host/stream_decoder.h"

// 1 when the record was filled; 0 for a null record or a failed call (status
// error), the record then untouched. An error the decoder raises is not caught
// here: it goes on to the window's failure handling, the record untouched.
LRESULT FetchEventIndex(CStreamDecoder& decoder, EVENT_INDEX* pIndex);
