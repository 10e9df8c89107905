// The GDI owners live in the layer below the framework; this name stays for
// the code that includes it from here.
#pragma once
#include "owners/gdi.h"
