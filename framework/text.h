// Text between the program's ANSI strings and the wide strings of COM and the
// resources: one conversion, in the system's ANSI code page unless told
// another. Lengths are kept, zeros inside included; text the code page cannot
// say comes out as its default character, as the system converts it.
//
// Header only: the container framework and the control side (dvrctl.dll,
// which links no part of the container) both use it.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <string_view>

namespace fw {

inline std::wstring Widen(std::string_view text, UINT codePage = CP_ACP)
{
    if (text.empty())
        return std::wstring();
    const int nIn = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), nIn, nullptr, 0);
    std::wstring wide(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(codePage, 0, text.data(), nIn, &wide[0], n);
    return wide;
}

inline std::string Narrow(std::wstring_view text, UINT codePage = CP_ACP)
{
    if (text.empty())
        return std::string();
    const int nIn = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(codePage, 0, text.data(), nIn, nullptr, 0, nullptr, nullptr);
    std::string narrow(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, text.data(), nIn, &narrow[0], n, nullptr, nullptr);
    return narrow;
}

// An automation string of ANSI text; the caller frees it. Null only when out of memory.
inline BSTR AnsiToBstr(std::string_view text)
{
    const std::wstring wide = Widen(text);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}
// A null text is an empty one, as automation treats a null BSTR.
inline BSTR AnsiToBstr(const char* text) { return AnsiToBstr(std::string_view(text ? text : "")); }

// ANSI text of an automation string, at its stored length; a null BSTR is empty.
inline std::string BstrToAnsi(BSTR text)
{
    return text ? Narrow(std::wstring_view(text, SysStringLen(text))) : std::string();
}

}  // namespace fw
