// The decoder control's identity as an ActiveX control: its ids and the names a
// script may ask for. The control and its test stand-in are the same control to
// their callers, so they take it from here.
#pragma once
#include "decoder/dvrctl.h"
#include "framework/axserver/ax_control.h"

inline constexpr AxMemberName kDvrMemberNames[] = {
    {L"Speed", DVR_SPEED},
    {L"CameraMask", DVR_CAMERA_MASK},
    {L"OpenMode", DVR_OPEN_MODE},
    {L"Pause", DVR_PAUSE},
    {L"Stop", DVR_STOP},
    {L"Play", DVR_PLAY},
    {L"PlayAgain", DVR_PLAY_AGAIN},
    {L"Step", DVR_STEP},
    {L"SelectSource", DVR_SELECT_SOURCE},
    {L"FileName", DVR_FILE_NAME},
    {L"StartOffset", DVR_START_OFFSET},
    {L"GetSourceEvents", DVR_SOURCE_EVENTS},
    {L"GetGpiEvents", DVR_GPI_EVENTS},
    {L"GetMotionEvents", DVR_MOTION_EVENTS},
    {L"ViewSplit", DVR_VIEW_SPLIT},
    {L"ViewGroup", DVR_VIEW_GROUP},
    {L"GetStartTime", DVR_START_TIME},
};

inline AxControlInfo DvrControlInfo() {
    AxControlInfo info;
    info.clsid = CLSID_DvrControl;
    info.iidDispatch = IID_IDvrControl;
    info.iidEvents = DIID_DvrControlEvents;
    info.pNames = kDvrMemberNames;
    info.nNames = sizeof(kDvrMemberNames) / sizeof(kDvrMemberNames[0]);
    return info;
}
