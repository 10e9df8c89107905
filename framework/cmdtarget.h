// Message tables and ActiveX event tables.
//
// Each class that handles messages declares a table, one line per entry:
//
//   BEGIN_MESSAGE_MAP(CPanelDlg, CDialog)
//       ON_WM_PAINT()
//       ON_BN_CLICKED(1007, OnOpen)
//       ON_MESSAGE(WM_DECODER_STATE, OnDecoderState)
//   END_MESSAGE_MAP()
//
// A message that finds no entry in a class's table is looked up in its base
// class's table, and then goes to default processing. The handler's signature
// is checked at compile time by the thunk its entry macro picks.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <tuple>
#include <type_traits>
#include <utility>

namespace fw {

class CCmdTarget;

using MessageThunk = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct MessageEntry {
    UINT nMessage;  // WM_xxx; WM_COMMAND and WM_NOTIFY entries also match nCode and the ids
    UINT nCode;     // notification code of WM_COMMAND (BN_CLICKED...) or WM_NOTIFY
    UINT nID;       // first control id; 0 for plain messages
    UINT nLastID;   // last control id of the range
    MessageThunk pfn;
};

struct MessageMap {
    const MessageMap* (*pfnGetBaseMap)();
    const MessageEntry* lpEntries;  // ends with an entry whose pfn is null
};

using EventThunk = HRESULT (*)(CCmdTarget* target, DISPPARAMS* params);

struct EventEntry {
    UINT nCtrlID;
    DISPID dispid;
    EventThunk pfn;
};

struct EventMap {
    const EventMap* (*pfnGetBaseMap)();
    const EventEntry* lpEntries;  // ends with an entry whose pfn is null
};

// The root of everything that has tables: windows, dialogs, the application.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Finds the entry for the message in this class's table or a base's, and
    // runs it. Returns false when no entry matched.
    bool DispatchMessageEntry(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Finds the handler for an event of control nID; DISP_E_MEMBERNOTFOUND if none.
    HRESULT DispatchEvent(UINT nCtrlID, DISPID dispid, DISPPARAMS* params);

    virtual const MessageMap* GetMessageMap() const { return GetThisMessageMap(); }
    virtual const EventMap* GetEventMap() const { return GetThisEventMap(); }

protected:
    static const MessageMap* GetThisMessageMap();
    static const EventMap* GetThisEventMap();
};

namespace detail {

template <class M> struct MemberClass;
template <class C, class R, class... A> struct MemberClass<R (C::*)(A...)> {
    using type = C;
};

template <auto F> using ClassOf = typename MemberClass<decltype(F)>::type;

template <auto F> ClassOf<F>* Self(CCmdTarget* target) { return static_cast<ClassOf<F>*>(target); }

// void Handler()
template <auto F> LRESULT VoidThunk(CCmdTarget* t, WPARAM, LPARAM)
{
    (Self<F>(t)->*F)();
    return 0;
}
// LRESULT Handler(WPARAM, LPARAM)
template <auto F> LRESULT RawThunk(CCmdTarget* t, WPARAM w, LPARAM l) { return (Self<F>(t)->*F)(w, l); }
// void OnSize(UINT nType, int cx, int cy)
template <auto F> LRESULT SizeThunk(CCmdTarget* t, WPARAM w, LPARAM l)
{
    (Self<F>(t)->*F)(static_cast<UINT>(w), static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
    return 0;
}
// void OnTimer(UINT_PTR nIDEvent)
template <auto F> LRESULT TimerThunk(CCmdTarget* t, WPARAM w, LPARAM)
{
    (Self<F>(t)->*F)(static_cast<UINT_PTR>(w));
    return 0;
}
// void OnHScroll(UINT nSBCode, UINT nPos, HWND hwndScrollBar)
template <auto F> LRESULT ScrollThunk(CCmdTarget* t, WPARAM w, LPARAM l)
{
    (Self<F>(t)->*F)(LOWORD(w), static_cast<short>(HIWORD(w)), reinterpret_cast<HWND>(l));
    return 0;
}
// void OnMouseMove(UINT nFlags, POINT point)
template <auto F> LRESULT MouseThunk(CCmdTarget* t, WPARAM w, LPARAM l)
{
    POINT pt = {static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
    (Self<F>(t)->*F)(static_cast<UINT>(w), pt);
    return 0;
}
// HCURSOR OnQueryDragIcon()
template <auto F> LRESULT HandleThunk(CCmdTarget* t, WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>((Self<F>(t)->*F)());
}

// Event arguments arrive in reverse order; each is converted to the handler's type.
template <class T> constexpr VARTYPE VarTypeOf();
template <> constexpr VARTYPE VarTypeOf<long>() { return VT_I4; }
template <> constexpr VARTYPE VarTypeOf<short>() { return VT_I2; }

template <class T> bool ReadArg(VARIANTARG& in, T* out)
{
    VARIANT v;
    VariantInit(&v);
    if (FAILED(VariantChangeType(&v, &in, 0, VarTypeOf<T>()))) return false;
    if constexpr (std::is_same_v<T, long>) *out = v.lVal;
    else *out = v.iVal;
    return true;
}

template <class C, class... A, size_t... I>
HRESULT CallEvent(C* self, void (C::*f)(A...), DISPPARAMS* p, std::index_sequence<I...>)
{
    if (!p || p->cArgs != sizeof...(A)) return DISP_E_BADPARAMCOUNT;
    std::tuple<std::decay_t<A>...> args;
    bool ok = (ReadArg(p->rgvarg[sizeof...(A) - 1 - I], &std::get<I>(args)) && ... && true);
    if (!ok) return DISP_E_TYPEMISMATCH;
    (self->*f)(std::get<I>(args)...);
    return S_OK;
}

template <class C, class... A>
HRESULT CallEventMember(CCmdTarget* t, void (C::*f)(A...), DISPPARAMS* p)
{
    return CallEvent(static_cast<C*>(t), f, p, std::index_sequence_for<A...>{});
}

template <auto F> HRESULT EventCall(CCmdTarget* t, DISPPARAMS* p) { return CallEventMember(t, F, p); }

}  // namespace detail
}  // namespace fw

// The table macros keep their hand-aligned continuations and columns.
// clang-format off
#define DECLARE_MESSAGE_MAP()                                         \
protected:                                                            \
    static const fw::MessageMap* GetThisMessageMap();                 \
public:                                                               \
    const fw::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                       \
    const fw::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const fw::MessageMap* theClass::GetThisMessageMap() {                            \
        using ThisClass = theClass;                                                  \
        using TheBaseClass = baseClass;                                              \
        static const fw::MessageEntry entries[] = {

#define END_MESSAGE_MAP()                                                          \
            {0, 0, 0, 0, nullptr}};                                                \
        static const fw::MessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                               \
    }

#define FW_ENTRY(msg, thunk, fn) {msg, 0, 0, 0, &fw::detail::thunk<&ThisClass::fn>},
#define ON_WM_PAINT()         FW_ENTRY(WM_PAINT, VoidThunk, OnPaint)
#define ON_WM_DESTROY()       FW_ENTRY(WM_DESTROY, VoidThunk, OnDestroy)
#define ON_WM_CLOSE()         FW_ENTRY(WM_CLOSE, VoidThunk, OnClose)
#define ON_WM_SIZE()          FW_ENTRY(WM_SIZE, SizeThunk, OnSize)
#define ON_WM_TIMER()         FW_ENTRY(WM_TIMER, TimerThunk, OnTimer)
#define ON_WM_HSCROLL()       FW_ENTRY(WM_HSCROLL, ScrollThunk, OnHScroll)
#define ON_WM_MOUSEMOVE()     FW_ENTRY(WM_MOUSEMOVE, MouseThunk, OnMouseMove)
#define ON_WM_LBUTTONUP()     FW_ENTRY(WM_LBUTTONUP, MouseThunk, OnLButtonUp)
#define ON_WM_QUERYDRAGICON() FW_ENTRY(WM_QUERYDRAGICON, HandleThunk, OnQueryDragIcon)
#define ON_MESSAGE(msg, fn)   FW_ENTRY(msg, RawThunk, fn)

#define ON_CONTROL(code, id, fn) {WM_COMMAND, code, id, id, &fw::detail::VoidThunk<&ThisClass::fn>},
#define ON_COMMAND(id, fn)       ON_CONTROL(0, id, fn)
#define ON_BN_CLICKED(id, fn)    ON_CONTROL(BN_CLICKED, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn)    ON_CONTROL(LBN_DBLCLK, id, fn)

#define DECLARE_EVENTSINK_MAP()                                     \
protected:                                                          \
    static const fw::EventMap* GetThisEventMap();                   \
public:                                                             \
    const fw::EventMap* GetEventMap() const override;

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                                  \
    const fw::EventMap* theClass::GetEventMap() const { return GetThisEventMap(); } \
    const fw::EventMap* theClass::GetThisEventMap() {                             \
        using ThisClass = theClass;                                               \
        using TheBaseClass = baseClass;                                           \
        static const fw::EventEntry entries[] = {

#define END_EVENTSINK_MAP()                                                      \
            {0, 0, nullptr}};                                                    \
        static const fw::EventMap map = {&TheBaseClass::GetThisEventMap, entries}; \
        return &map;                                                             \
    }

// The handler's parameter types (long, short) say how the event's arguments are read.
#define ON_EVENT(id, dispid, fn) {id, dispid, &fw::detail::EventCall<&ThisClass::fn>},
// clang-format on
