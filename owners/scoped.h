// The one shape of every owner in this folder: it holds a handle, frees it when
// it goes, and hands it on by move, so that an owner can be a local or a class
// member alike. A policy says what "nothing held" is and how a handle is freed.
#pragma once
#include <utility>

namespace own {

template <class Policy>
class CScoped {
public:
    using Handle = typename Policy::Handle;

    CScoped() = default;
    explicit CScoped(Handle h) : m_h(h) {}
    ~CScoped() { Reset(); }
    CScoped(CScoped&& other) noexcept : m_h(other.Detach()) {}
    CScoped& operator=(CScoped&& other) noexcept
    {
        Reset(other.Detach());
        return *this;
    }
    CScoped(const CScoped&) = delete;
    CScoped& operator=(const CScoped&) = delete;

    // Frees what is held, and holds h from now on.
    void Reset(Handle h = Policy::Empty())
    {
        Handle old = std::exchange(m_h, h);
        if (Policy::IsHeld(old)) Policy::Free(old);
    }
    // Gives the handle up unfreed: whoever takes it frees it.
    Handle Detach() { return std::exchange(m_h, Policy::Empty()); }
    // For a call that fills a handle through a pointer: what was held is freed first.
    Handle* Out()
    {
        Reset();
        return &m_h;
    }
    Handle Get() const { return m_h; }
    operator Handle() const { return m_h; }
    bool IsHeld() const { return Policy::IsHeld(m_h); }

private:
    Handle m_h = Policy::Empty();
};

// The common case: a null handle is none. A policy derives from it and adds
// `static void Free(Handle)`.
template <class T>
struct NullIsEmpty {
    using Handle = T;
    static T Empty() { return T(); }
    static bool IsHeld(T h) { return h != T(); }
};

}  // namespace own
