#include "host/event_fetch.h"
#include <cstdio>
#include <cstring>
#include "framework/exceptions.h"
#include "framework/text.h"
#include "owners/bstr.h"

namespace {

// "YYYY-MM-DD<white space>HH:MM:SS.mmm" to ms since midnight. Fields the text
// leaves out count 0; a text that does not fit the buffer counts as no text.
int32_t StartTimeMs(BSTR text)
{
    const std::string narrow = text ? fw::Narrow(std::wstring_view(text), CP_OEMCP) : std::string();
    char buffer[50] = "";
    if (narrow.size() < sizeof buffer) std::memcpy(buffer, narrow.c_str(), narrow.size() + 1);
    short year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    sscanf(buffer, "%hd-%hd-%hd\t%hd:%hd:%hd.%hd", &year, &month, &day, &hour, &minute, &second, &millisecond);
    const uint32_t ms = ((uint32_t(uint16_t(hour)) * 60 + uint16_t(minute)) * 60 + uint16_t(second)) * 1000 +
                        uint16_t(millisecond);
    return static_cast<int32_t>(ms);
}

// A string shorter than its block fills what it holds and zeros the rest:
// reading on past its end would copy whatever lies behind it.
void CopyBlock(void* block, size_t blockSize, BSTR bytes)
{
    const size_t held = SysStringByteLen(bytes);
    const size_t n = held < blockSize ? held : blockSize;
    memcpy(block, bytes, n);
    memset(static_cast<char*>(block) + n, 0, blockSize - n);
}

}  // namespace

LRESULT FetchEventIndex(CStreamDecoder& decoder, EVENT_INDEX* pIndex)
{
    if (!pIndex) return 0;
    // Each string the decoder hands out is freed whatever way the fetch is
    // left: the start time's as soon as it is read, the blocks' on return.
    CScopedBstr source, motion, gpi, start;
    // Nothing is written until all four calls have returned, so a failure
    // leaves the previous file's index whole.
    try {
        decoder.GetSourceEvents(source.Out());
        decoder.GetMotionEvents(motion.Out());
        decoder.GetGpiEvents(gpi.Out());
        decoder.GetStartTime(start.Out());
    } catch (const COleException&) {
        return 0;
    }

    if (start) {
        pIndex->lStartTimeMs = StartTimeMs(start);
        start.Reset();
    } else {
        pIndex->lStartTimeMs = 0;
    }
    // A block the decoder did not deliver keeps what it held.
    if (source) CopyBlock(&pIndex->Source, sizeof pIndex->Source, source);
    if (motion) CopyBlock(&pIndex->Motion, sizeof pIndex->Motion, motion);
    if (gpi) CopyBlock(&pIndex->Gpi, sizeof pIndex->Gpi, gpi);
    return 1;
}
