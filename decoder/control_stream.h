// The decoder's persisted-property stream, as the player's dialog template
// carries it (layout in framework/axserver/property_stream.h).
#pragma once
#include <windows.h>
#include <vector>
#include "framework/axserver/property_stream.h"

// True for exactly the decoder's shape: the header and nine values of the
// types long, long, long, string, long, long, string, string, string.
bool IsDvrStreamShape(const CPersistedProperties& props);
// The stream a new control saves: the template's values, extent 8890 x 6509.
std::vector<BYTE> DefaultDvrStream();
