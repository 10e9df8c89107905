// Failures of automation calls, as the framework reports them.
#pragma once
#include <windows.h>
#include <string>

namespace fw {

// A call that failed with a status (no such member, wrong type, RPC failure...).
class COleException {
public:
    explicit COleException(HRESULT sc) : m_sc(sc) {}
    HRESULT m_sc;
    // The system's text for the status, or "Internal application error." when it has none.
    std::string GetErrorMessage() const;
};

// An error the control raised itself (DISP_E_EXCEPTION), with its own description.
class COleDispatchException {
public:
    COleDispatchException(std::string description, WORD wCode, HRESULT sc)
        : m_strDescription(std::move(description)), m_wCode(wCode), m_scError(sc) {}
    std::string m_strDescription;
    WORD m_wCode;
    HRESULT m_scError;
    std::string GetErrorMessage() const;
};

extern const char* const kInternalErrorText;

}  // namespace fw

using fw::COleDispatchException;
using fw::COleException;
