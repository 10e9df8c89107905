// The one guard every message and event handler runs in: a failure that leaves
// a handler is shown to the user in a box with the stop icon, and the message's
// result becomes 0.
#pragma once
#include "framework/exceptions.h"

namespace fw {

void ReportFailure(const std::string& text);

template <class R, class F> R RunGuarded(F&& f)
{
    try {
        return f();
    } catch (const COleDispatchException& e) {
        ReportFailure(e.GetErrorMessage());
    } catch (const COleException& e) {
        ReportFailure(e.GetErrorMessage());
    } catch (...) {
        ReportFailure(kInternalErrorText);
    }
    return R();
}

}  // namespace fw
