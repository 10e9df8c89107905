#include "host/stream_decoder.h"
#include "decoder/dvrctl.h"

long CStreamDecoder::GetLong(DISPID dispid)
{
    long value = 0;
    InvokeHelper(dispid, DISPATCH_PROPERTYGET, VT_I4, &value, VTS_NONE);
    return value;
}

void CStreamDecoder::PutLong(DISPID dispid, long value)
{
    InvokeHelper(dispid, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4, value);
}

void CStreamDecoder::Call(DISPID dispid)
{
    InvokeHelper(dispid, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
}

void CStreamDecoder::CallOutString(DISPID dispid, BSTR* out)
{
    InvokeHelper(dispid, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_PBSTR, out);
}

void CStreamDecoder::SetSpeed(long speed) { PutLong(DVR_SPEED, speed); }
long CStreamDecoder::GetCameraMask() { return GetLong(DVR_CAMERA_MASK); }
void CStreamDecoder::SetOpenMode(long mode) { PutLong(DVR_OPEN_MODE, mode); }
void CStreamDecoder::Pause() { Call(DVR_PAUSE); }
void CStreamDecoder::Stop() { Call(DVR_STOP); }
void CStreamDecoder::Play() { Call(DVR_PLAY); }
void CStreamDecoder::PlayAgain() { Call(DVR_PLAY_AGAIN); }
void CStreamDecoder::Step() { Call(DVR_STEP); }

void CStreamDecoder::SelectSource(long camera)
{
    InvokeHelper(DVR_SELECT_SOURCE, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4, camera);
}

void CStreamDecoder::SetFileName(const char* path)
{
    InvokeHelper(DVR_FILE_NAME, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_BSTR, path);
}

void CStreamDecoder::SetStartOffset(long ms) { PutLong(DVR_START_OFFSET, ms); }
void CStreamDecoder::GetSourceEvents(BSTR* out) { CallOutString(DVR_SOURCE_EVENTS, out); }
void CStreamDecoder::GetMotionEvents(BSTR* out) { CallOutString(DVR_MOTION_EVENTS, out); }
void CStreamDecoder::GetGpiEvents(BSTR* out) { CallOutString(DVR_GPI_EVENTS, out); }
void CStreamDecoder::GetStartTime(BSTR* out) { CallOutString(DVR_START_TIME, out); }
long CStreamDecoder::GetViewSplit() { return GetLong(DVR_VIEW_SPLIT); }
void CStreamDecoder::SetViewSplit(long cameras) { PutLong(DVR_VIEW_SPLIT, cameras); }
long CStreamDecoder::GetViewGroup() { return GetLong(DVR_VIEW_GROUP); }
void CStreamDecoder::SetViewGroup(long group) { PutLong(DVR_VIEW_GROUP, group); }
