#include "framework/dlgtemplate.h"
#include <objbase.h>
#include <cstring>
#include "framework/text.h"

namespace fw {
namespace {

// A bounds-checked reader over the template's bytes.
class Reader {
public:
    Reader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}
    bool ok() const { return m_ok; }
    size_t pos() const { return m_pos; }
    void Align4() { Seek((m_pos + 3) & ~size_t(3)); }
    void Seek(size_t pos)
    {
        if (pos > m_size) m_ok = false;
        else m_pos = pos;
    }
    template <class T> T Get()
    {
        T value{};
        if (m_pos + sizeof(T) > m_size) {
            m_ok = false;
            return value;
        }
        std::memcpy(&value, m_data + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    // A name or ordinal (0xFFFF then a WORD), or a zero-terminated wide string.
    std::wstring SzOrOrd(bool* isOrdinal = nullptr)
    {
        if (isOrdinal) *isOrdinal = false;
        WORD first = Get<WORD>();
        if (first == 0xFFFF) {
            Get<WORD>();
            if (isOrdinal) *isOrdinal = true;
            return std::wstring();
        }
        std::wstring s;
        for (WORD c = first; m_ok && c != 0; c = Get<WORD>()) s.push_back(static_cast<wchar_t>(c));
        return s;
    }
    void SkipSz()
    {
        while (m_ok && Get<WORD>() != 0) {
        }
    }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

bool ParseClsid(const std::wstring& name, CLSID* clsid)
{
    if (name.size() != 38 || name[0] != L'{') return false;
    return SUCCEEDED(CLSIDFromString(const_cast<wchar_t*>(name.c_str()), clsid));
}

}  // namespace

bool PrepareDialogTemplate(const BYTE* data, size_t size, PreparedTemplate* out)
{
    *out = PreparedTemplate();
    Reader r(data, size);
    WORD dlgVer = r.Get<WORD>();
    WORD signature = r.Get<WORD>();
    const bool ex = dlgVer == 1 && signature == 0xFFFF;
    r.Seek(0);

    DWORD style;
    size_t countOffset;
    if (ex) {
        r.Get<DWORD>();  // version and signature
        r.Get<DWORD>();  // help id
        r.Get<DWORD>();  // extended style
        style = r.Get<DWORD>();
        countOffset = r.pos();
    } else {
        style = r.Get<DWORD>();
        r.Get<DWORD>();  // extended style
        countOffset = r.pos();
    }
    WORD count = r.Get<WORD>();
    r.Get<short>();
    r.Get<short>();
    r.Get<short>();
    r.Get<short>();  // x, y, cx, cy
    r.SzOrOrd();     // menu
    r.SzOrOrd();     // window class
    r.SkipSz();      // title
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        r.Get<WORD>();  // point size
        if (ex) {
            r.Get<WORD>();
            r.Get<BYTE>();
            r.Get<BYTE>();
        }            // weight, italic, charset
        r.SkipSz();  // face name
    }
    if (!r.ok()) return false;

    out->bytes.assign(data, data + r.pos());
    WORD kept = 0;
    for (int i = 0; i < count; ++i) {
        r.Align4();
        size_t start = r.pos();
        DWORD itemStyle, itemExStyle, id;
        short x, y, cx, cy;
        if (ex) {
            r.Get<DWORD>();  // help id
            itemExStyle = r.Get<DWORD>();
            itemStyle = r.Get<DWORD>();
        } else {
            itemStyle = r.Get<DWORD>();
            itemExStyle = r.Get<DWORD>();
        }
        x = r.Get<short>();
        y = r.Get<short>();
        cx = r.Get<short>();
        cy = r.Get<short>();
        id = ex ? r.Get<DWORD>() : r.Get<WORD>();
        bool ordinal = false;
        std::wstring cls = r.SzOrOrd(&ordinal);
        std::wstring title = r.SzOrOrd();
        WORD extra = r.Get<WORD>();
        size_t extraStart = r.pos();
        r.Seek(extraStart + extra);
        if (!r.ok()) return false;

        CLSID clsid;
        if (!ordinal && ParseClsid(cls, &clsid)) {
            OleControlItem item;
            item.nID = id;
            item.clsid = clsid;
            item.rcDialogUnits = {x, y, x + cx, y + cy};
            item.dwStyle = itemStyle;
            item.dwExStyle = itemExStyle;
            item.text = Narrow(title);
            item.state.assign(data + extraStart, data + extraStart + extra);
            item.nIndex = i;
            out->controls.push_back(std::move(item));
            continue;
        }
        while (out->bytes.size() % 4) out->bytes.push_back(0);
        out->bytes.insert(out->bytes.end(), data + start, data + r.pos());
        ++kept;
    }
    std::memcpy(out->bytes.data() + countOffset, &kept, sizeof kept);
    while (out->bytes.size() % 4) out->bytes.push_back(0);
    return true;
}

bool LoadDialogTemplate(HINSTANCE hInstance, UINT nID, PreparedTemplate* out)
{
    HRSRC res = FindResourceA(hInstance, MAKEINTRESOURCEA(nID), reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (!res) return false;
    HGLOBAL mem = LoadResource(hInstance, res);
    const BYTE* data = mem ? static_cast<const BYTE*>(LockResource(mem)) : nullptr;
    if (!data) return false;
    return PrepareDialogTemplate(data, SizeofResource(hInstance, res), out);
}

}  // namespace fw
