#include "panel/key_table.h"
#include <cctype>

// Characters are matched as typed, so that '?' and '[' follow the keyboard's
// layout; letters in either case. Escape, Enter, Tab and Alt+F4 are not here:
// they keep the dialogs' own meaning.
const KeyBinding kKeyTable[] = {
    {VK_SPACE, 0, false, KeyAction::PlayPause, "Space", "Play or pause"},
    {0, '.', false, KeyAction::StepForward, ".", "One picture forward"},
    {0, ',', false, KeyAction::StepBack, ",", "One picture back"},
    {VK_LEFT, 0, false, KeyAction::Back5s, "Left", "Back 5 seconds"},
    {VK_RIGHT, 0, false, KeyAction::Forward5s, "Right", "Forward 5 seconds"},
    {VK_DOWN, 0, false, KeyAction::Back60s, "Down", "Back 60 seconds"},
    {VK_UP, 0, false, KeyAction::Forward60s, "Up", "Forward 60 seconds"},
    {VK_HOME, 0, false, KeyAction::Home, "Home", "The first picture"},
    {VK_END, 0, false, KeyAction::End, "End", "The last picture"},
    {0, 'j', false, KeyAction::Backward, "J", "Play backward; again: faster"},
    {0, 'k', false, KeyAction::Pause, "K", "Pause"},
    {0, 'l', false, KeyAction::Forward, "L", "Play forward; again: faster"},
    {0, '[', false, KeyAction::Slower, "[", "One speed slower"},
    {0, ']', false, KeyAction::Faster, "]", "One speed faster"},
    {VK_NEXT, 0, false, KeyAction::NextEvent, "Page Down", "The next event of the chosen type"},
    {VK_PRIOR, 0, false, KeyAction::PreviousEvent, "Page Up", "The previous event of the chosen type"},
    {VK_NEXT, 0, true, KeyAction::NextRecording, "Ctrl+Page Down", "The next recording in the folder"},
    {VK_PRIOR, 0, true, KeyAction::PreviousRecording, "Ctrl+Page Up", "The previous recording in the folder"},
    {0, 't', false, KeyAction::TimeEntry, "T", "Type a minute and second"},
    {'O', 0, true, KeyAction::Open, "Ctrl+O", "Open a recording"},
    {0, 'i', false, KeyAction::MarkStart, "I", "Mark the clip's start here"},
    {0, 'o', false, KeyAction::MarkEnd, "O", "Mark the clip's end here"},
    {'E', 0, true, KeyAction::ExportClip, "Ctrl+E", "Export the marked clip"},
    {0, '?', false, KeyAction::KeyCard, "?", "This list of keys"},
};
const size_t kKeyCount = sizeof kKeyTable / sizeof kKeyTable[0];

const KeyBinding* FindKeyDown(UINT vk, bool bCtrl)
{
    for (const KeyBinding& key : kKeyTable)
        if (key.vk != 0 && key.vk == vk && key.bCtrl == bCtrl) return &key;
    return nullptr;
}

const KeyBinding* FindKeyChar(char ch)
{
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (const KeyBinding& key : kKeyTable)
        if (key.ch != 0 && key.ch == lower) return &key;
    return nullptr;
}
