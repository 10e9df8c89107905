// A recording path that does not fit the buffer it must go into is refused with
// a message, never cut: a shortened path could open another file.
#pragma once
#include <cstddef>

// Removes one pair of double quotes that encloses the whole path, in place:
// the shell quotes the paths it starts us with.
void StripQuotes(char* path);

// Whether path fits a buffer of bufferSize bytes with its terminator; when it
// does not, tells the user so.
bool PathFitsOrRefuse(const char* path, size_t bufferSize);

// Copies src into dst (of dstSize bytes) when it fits with its terminator.
// Otherwise tells the user, leaves dst empty and returns false.
bool CopyPathOrRefuse(char* dst, size_t dstSize, const char* src);
