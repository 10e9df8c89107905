#include "framework/exceptions.h"
#include "owners/handle.h"

namespace fw {

const char* const kInternalErrorText = "Internal application error.";

std::string COleException::GetErrorMessage() const
{
    CScopedLocal text;  // FormatMessage allocates it
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(m_sc), 0,
                             reinterpret_cast<char*>(text.Out()), 0, nullptr);
    std::string result;
    if (n && text) {
        result.assign(static_cast<const char*>(text.Get()), n);
        while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
            result.pop_back();
    }
    return result.empty() ? kInternalErrorText : result;
}

std::string COleDispatchException::GetErrorMessage() const
{
    return m_strDescription.empty() ? kInternalErrorText : m_strDescription;
}

}  // namespace fw
