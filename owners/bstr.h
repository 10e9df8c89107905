// The owner of an OLE Automation string (BSTR), freed with SysFreeString.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include "owners/scoped.h"

namespace own {

struct BstrPolicy : NullIsEmpty<BSTR> {
    static void Free(BSTR s) { ::SysFreeString(s); }
};
using CScopedBstr = CScoped<BstrPolicy>;

}  // namespace own

using own::CScopedBstr;
