#include "framework/exceptions.h"

namespace fw {

const char* const kInternalErrorText = "Internal application error.";

std::string COleException::GetErrorMessage() const
{
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(m_sc), 0,
                             reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result;
    if (n && text) {
        result.assign(text, n);
        while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
            result.pop_back();
    }
    if (text) LocalFree(text);
    return result.empty() ? kInternalErrorText : result;
}

std::string COleDispatchException::GetErrorMessage() const
{
    return m_strDescription.empty() ? kInternalErrorText : m_strDescription;
}

}  // namespace fw
