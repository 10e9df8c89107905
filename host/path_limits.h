// A recording path that does not fit the buffer it must go into is refused with
// a message, never cut: a shortened path could open another file.
#pragma once
#include <cstddef>

// Copies src into dst (of dstSize bytes) when it fits with its terminator.
// Otherwise tells the user, leaves dst empty and returns false.
bool CopyPathOrRefuse(char* dst, size_t dstSize, const char* src);
