// What a container sets through the control's members. The control plays by
// it; its test stand-in keeps it to show what the player set.
#pragma once
#include <string>

struct DvrSettings {
    long nSpeed = 1;        // as DVR_SPEED takes it; 1x until one is put
    long nStartOffset = 0;  // ms from the start of the file
    std::string fileName;   // UTF-8, as the reader takes it: any name, whatever the host's code page
    long nSplit = 16;       // cameras per view: 1, 4, 8 or 16
    long nGroup = 0;        // 0-based group on view, or -1
    long nSource = -1;      // 0-based camera, or -1
};
