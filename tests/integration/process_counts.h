// What the process holds: GDI and USER objects, kernel handles, private bytes.
// Where the system's own counters answer 0 (Wine does for all four), each is
// counted another way: the process's GDI handle table, a probe of the handle
// and USER handle spaces, and a walk of the committed private memory.
#pragma once
#include <windows.h>
#include <string>

struct ProcessCounts {
    long gdi = 0;
    long user = 0;
    long handles = 0;
    long long privateBytes = 0;
    std::string how;  // which way each figure was taken
};

ProcessCounts TakeProcessCounts();
