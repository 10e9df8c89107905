#include "framework/cmdtarget.h"

namespace fw {

const MessageMap* CCmdTarget::GetThisMessageMap()
{
    static const MessageEntry entries[] = {{0, 0, 0, 0, nullptr}};
    static const MessageMap map = {nullptr, entries};
    return &map;
}

const EventMap* CCmdTarget::GetThisEventMap()
{
    static const EventEntry entries[] = {{0, 0, nullptr}};
    static const EventMap map = {nullptr, entries};
    return &map;
}

static bool Matches(const MessageEntry& e, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (e.nMessage != message) return false;
    if (message == WM_COMMAND) {
        UINT id = LOWORD(wParam), code = HIWORD(wParam);
        return e.nID != 0 && code == e.nCode && id >= e.nID && id <= e.nLastID;
    }
    if (message == WM_NOTIFY && e.nID != 0) {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
        return hdr && hdr->code == e.nCode && hdr->idFrom >= e.nID && hdr->idFrom <= e.nLastID;
    }
    return e.nID == 0;
}

bool CCmdTarget::DispatchMessageEntry(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    for (const MessageMap* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const MessageEntry* e = map->lpEntries; e->pfn; ++e) {
            if (Matches(*e, message, wParam, lParam)) {
                *pResult = e->pfn(this, wParam, lParam);
                return true;
            }
        }
    }
    return false;
}

HRESULT CCmdTarget::DispatchEvent(UINT nCtrlID, DISPID dispid, DISPPARAMS* params)
{
    for (const EventMap* map = GetEventMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const EventEntry* e = map->lpEntries; e->pfn; ++e) {
            if (e->nCtrlID == nCtrlID && e->dispid == dispid) return e->pfn(this, params);
        }
    }
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace fw
