// The player's keys: one row a key, read by the keyboard hook and by the card
// that lists them. A new key is a new action and a new row.
#pragma once
#include <windows.h>
#include <cstddef>

enum class KeyAction {
    PlayPause,
    StepForward,
    StepBack,
    Back5s,
    Forward5s,
    Back60s,
    Forward60s,
    Home,
    End,
    Backward,  // J: backward; again, one speed faster
    Pause,     // K
    Forward,   // L: forward; again, one speed faster
    Slower,
    Faster,
    NextEvent,
    PreviousEvent,
    NextRecording,
    PreviousRecording,
    TimeEntry,
    Open,
    KeyCard,
    MarkStart,
    MarkEnd,
    ExportClip,
};

struct KeyBinding {
    UINT vk;     // the key, as WM_KEYDOWN gives it; 0 for a character key
    char ch;     // the character, as WM_CHAR gives it; 0 for a virtual key
    bool bCtrl;  // with Ctrl held
    KeyAction action;
    const char* pszKey;   // as the card names it
    const char* pszWhat;  // what it does
};

extern const KeyBinding kKeyTable[];
extern const size_t kKeyCount;

// The row of a key pressed (WM_KEYDOWN) or typed (WM_CHAR), or null.
const KeyBinding* FindKeyDown(UINT vk, bool bCtrl);
const KeyBinding* FindKeyChar(char ch);
