// The decoder control's identity as an ActiveX control: its ids, the names a
// script may ask for, and the shape of each member. The control and its test
// stand-in are the same control to their callers, so they take it from here.
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
    {L"StepBack", DVR_STEP_BACK},
    {L"PlayBackward", DVR_PLAY_BACKWARD},
    {L"Duration", DVR_DURATION},
    {L"ProbeFile", DVR_PROBE_FILE},
    {L"GetProbedStart", DVR_PROBED_START},
    {L"MarkStart", DVR_MARK_START},
    {L"MarkEnd", DVR_MARK_END},
    {L"ClearMarks", DVR_CLEAR_MARKS},
    {L"ExportClip", DVR_EXPORT_CLIP},
};

// Each member's shape, which both check calls against, and its names in the
// player's terms, which the stand-in logs calls by.
struct DvrMember {
    DISPID dispid;
    AxShape shape;
    const char* pszName;     // the get's, the method's or the put's
    const char* pszPutName;  // a get/put property's put; null otherwise
};

inline constexpr DvrMember kDvrMembers[] = {
    {DVR_SPEED, AxShape::PutLong, "SetSpeed", nullptr},
    {DVR_CAMERA_MASK, AxShape::GetLong, "GetCameraMask", nullptr},
    {DVR_OPEN_MODE, AxShape::PutLong, "SetOpenMode", nullptr},
    {DVR_PAUSE, AxShape::Method, "Pause", nullptr},
    {DVR_STOP, AxShape::Method, "Stop", nullptr},
    {DVR_PLAY, AxShape::Method, "Play", nullptr},
    {DVR_PLAY_AGAIN, AxShape::Method, "PlayAgain", nullptr},
    {DVR_STEP, AxShape::Method, "Step", nullptr},
    {DVR_SELECT_SOURCE, AxShape::MethodLong, "SelectSource", nullptr},
    {DVR_FILE_NAME, AxShape::PutString, "SetFileName", nullptr},
    {DVR_START_OFFSET, AxShape::PutLong, "SetStartOffset", nullptr},
    {DVR_SOURCE_EVENTS, AxShape::MethodOutString, "GetSourceEvents", nullptr},
    {DVR_GPI_EVENTS, AxShape::MethodOutString, "GetGpiEvents", nullptr},
    {DVR_MOTION_EVENTS, AxShape::MethodOutString, "GetMotionEvents", nullptr},
    {DVR_VIEW_SPLIT, AxShape::GetPutLong, "GetViewSplit", "SetViewSplit"},
    {DVR_VIEW_GROUP, AxShape::GetPutLong, "GetViewGroup", "SetViewGroup"},
    {DVR_START_TIME, AxShape::MethodOutString, "GetStartTime", nullptr},
    {DVR_STEP_BACK, AxShape::Method, "StepBack", nullptr},
    {DVR_PLAY_BACKWARD, AxShape::Method, "PlayBackward", nullptr},
    {DVR_DURATION, AxShape::GetLong, "GetDuration", nullptr},
    {DVR_PROBE_FILE, AxShape::PutString, "ProbeFile", nullptr},
    {DVR_PROBED_START, AxShape::MethodOutString, "GetProbedStart", nullptr},
    {DVR_MARK_START, AxShape::Method, "MarkStart", nullptr},
    {DVR_MARK_END, AxShape::Method, "MarkEnd", nullptr},
    {DVR_CLEAR_MARKS, AxShape::Method, "ClearMarks", nullptr},
    {DVR_EXPORT_CLIP, AxShape::Method, "ExportClip", nullptr},
};

// The member of that id, or null.
inline const DvrMember* FindDvrMember(DISPID dispid)
{
    for (const DvrMember& member : kDvrMembers)
        if (member.dispid == dispid) return &member;
    return nullptr;
}

// The members every control of this class answers; those after them (ids from
// DVR_STEP_BACK on) are extras a container may find missing.
inline constexpr size_t kDvrContractNameCount = 17;
static_assert(kDvrMemberNames[kDvrContractNameCount - 1].dispid == DVR_START_TIME, "the contract's names first");
inline bool IsDvrContractMember(DISPID dispid) { return dispid < DVR_STEP_BACK; }

inline AxControlInfo DvrControlInfo()
{
    AxControlInfo info;
    info.clsid = CLSID_DvrControl;
    info.iidDispatch = IID_IDvrControl;
    info.iidEvents = DIID_DvrControlEvents;
    info.pNames = kDvrMemberNames;
    info.nNames = sizeof(kDvrMemberNames) / sizeof(kDvrMemberNames[0]);
    return info;
}

// A control of the contract alone, as an older build would be.
inline AxControlInfo DvrContractInfo()
{
    AxControlInfo info = DvrControlInfo();
    info.nNames = kDvrContractNameCount;
    return info;
}
