// The DVR decoder control's contract: its identifiers and dispatch members.
// Everything that talks to the control (the player, the test fakes) and the
// control itself take the numbers from here and from nowhere else.
#pragma once
#include <windows.h>
#include <oleauto.h>

// {8FCBB820-D2AD-4929-8B7D-3C3BC408E4FD}
static const CLSID CLSID_DvrControl =
    {0x8FCBB820, 0xD2AD, 0x4929, {0x8B, 0x7D, 0x3C, 0x3B, 0xC4, 0x08, 0xE4, 0xFD}};
// {29BC0CF1-18C0-43B0-A34B-A452FE238889}: the control's dispatch interface.
static const IID IID_IDvrControl =
    {0x29BC0CF1, 0x18C0, 0x43B0, {0xA3, 0x4B, 0xA4, 0x52, 0xFE, 0x23, 0x88, 0x89}};
// {6E1A5F3B-2C4D-4B8E-9A71-3D5C2B9E4F10}: the control's event (source) dispinterface.
static const IID DIID_DvrControlEvents =
    {0x6E1A5F3B, 0x2C4D, 0x4B8E, {0x9A, 0x71, 0x3D, 0x5C, 0x2B, 0x9E, 0x4F, 0x10}};

// Dispatch ids of the control's members.
// clang-format off
enum DvrDispId : DISPID {
    DVR_SPEED         = 1,   // put long: 0 full, 2, 1, -2, -4, -8
    DVR_CAMERA_MASK   = 2,   // get long: bit k for camera k+1
    DVR_OPEN_MODE     = 4,   // put long: 1 opens the file at the start offset and plays
    DVR_PAUSE         = 5,   // method
    DVR_STOP          = 7,   // method
    DVR_PLAY          = 8,   // method: play on from pause
    DVR_PLAY_AGAIN    = 9,   // method: Play pressed while playing, or after the end
    DVR_STEP          = 12,  // method: one picture, then paused
    DVR_SELECT_SOURCE = 15,  // method (long camera, 0-based, or -1)
    DVR_FILE_NAME     = 16,  // put BSTR
    DVR_START_OFFSET  = 17,  // put long: ms from the start of the file
    DVR_SOURCE_EVENTS = 19,  // method (BSTR* out): the 12008-byte Source block
    DVR_GPI_EVENTS    = 20,  // method (BSTR* out): the 8008-byte GPI block
    DVR_MOTION_EVENTS = 21,  // method (BSTR* out): the 16008-byte Motion block
    DVR_VIEW_SPLIT    = 26,  // get/put long: cameras per view, 1, 4, 8, 16
    DVR_VIEW_GROUP    = 27,  // get/put long: 0-based group on view
    DVR_START_TIME    = 32,  // method (BSTR* out): "YYYY-MM-DD\tHH:MM:SS.mmm"
    // Review members. A container asks for them by name and does without them
    // when a control lacks them.
    DVR_STEP_BACK     = 40,  // method: the picture before, then paused
    DVR_PLAY_BACKWARD = 41,  // method: play backward at the speed set; pauses at the first picture
    DVR_DURATION      = 42,  // get long: ms of the open recording; 0 with none
    DVR_PROBE_FILE    = 43,  // put BSTR: a recording whose start time DVR_PROBED_START reads
    DVR_PROBED_START  = 44,  // method (BSTR* out): the probed file's start as DVR_START_TIME gives it; null if none
    // Clips of the open recording (methods): the marks at the picture on view,
    // and the marked stretch written as a lossless clip after a save dialog.
    DVR_MARK_START    = 60,
    DVR_MARK_END      = 61,
    DVR_CLEAR_MARKS   = 62,
    DVR_EXPORT_CLIP   = 63,
};

// Events, on DIID_DvrControlEvents.
enum DvrEventId : DISPID {
    DVR_EVENT_STATE_CHANGE    = 1,  // (long type, long value): a DvrStateType and its value
    DVR_EVENT_POSITION_CHANGE = 2,  // (long ms from the start of the file)
};
// clang-format on

enum DvrStateType : long {
    DVR_STATE_END_OF_FILE = 3,
    DVR_STATE_PAUSE_CLICK = 4,
    DVR_STATE_VIEW_CHANGED = 5,  // the control changed its split and group itself (a double-click); value: the split
    DVR_STATE_SEEK_ASKED = 6,    // a motion search's hit chosen; value: ms from the file's start, where the container seeks
};

// Size of the persisted property stream the player's dialog template carries.
enum {
    DVR_PERSISTED_STREAM_SIZE = 76
};
