// A scripted stand-in for the DVR decoder control: a real ActiveX control (window,
// in-place activation, persisted stream, connection point) registered in the test
// process under CLSID_DvrControl, so that the real hosting code and
// CoCreateInstance(CLSID_DvrControl, ..., IID_IDvrControl) reach it.
//
// It records every automation call in order, in the contract's names:
// "SetSpeed(-8)", "GetCameraMask", "SelectSource(5)", "SetFileName(C:\x.d01)",
// "dispid 99" for an unknown id. It is strict about the contract's shapes; a call
// of the wrong kind, count or type fails (DISP_E_MEMBERNOTFOUND,
// DISP_E_BADPARAMCOUNT, DISP_E_TYPEMISMATCH, DISP_E_PARAMNOTFOUND) and is logged
// as "SetSpeed: type mismatch", "Stop: wrong kind", "Play: bad parameter count",
// "SetViewSplit: parameter not found" (a put without DISPID_PROPERTYPUT), so
// that a test catches a wrong wrapper.
//
// Everything runs on the test's thread (its apartment); the fake is not for
// use from other threads.
#pragma once
#include <windows.h>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>
#include <ole2.h>  // DISPID, which dvrctl.h uses
#include "decoder/dvr_settings.h"
#include "decoder/dvrctl.h"
#include "framework/axserver/ax_control.h"
#include "framework/axserver/thread_queue.h"
#include "tests/fakes/decoder_stream.h"

namespace fakes {

class FakeDecoder final : public CAxControl {
public:
    FakeDecoder();

    // The most recently created instance still alive, or null.
    static FakeDecoder* Last();
    static int LiveCount();
    static int CreatedCount();

    const std::vector<std::string>& Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }

    // Scripted values. Gets of the view split and group return what was last put.
    void SetCameraMask(LONG nMask) { m_nCameraMask = nMask; }
    void SetViewSplit(LONG n) { m_settings.nSplit = n; }
    void SetViewGroup(LONG n) { m_settings.nGroup = n; }
    // The out string of GetSourceEvents (19), GetMotionEvents (21) or
    // GetGpiEvents (20), byte for byte; std::nullopt gives a null BSTR (the default).
    void SetEventBlock(DISPID dispid, std::optional<std::vector<BYTE>> bytes);
    // GetStartTime's text; null gives a null BSTR (the default).
    void SetStartTime(const wchar_t* pszText);

    // What the calls left behind.
    LONG Speed() const { return m_settings.nSpeed; }
    LONG OpenMode() const { return m_nOpenMode; }
    LONG StartOffset() const { return m_settings.nStartOffset; }
    LONG SelectedSource() const { return m_settings.nSource; }
    LONG ViewSplit() const { return m_settings.nSplit; }
    LONG ViewGroup() const { return m_settings.nGroup; }
    const std::string& FileName() const { return m_settings.fileName; }

    // Failure injection, per dispatch id. A well-formed call is logged as usual,
    // then fails without effect. nthCall 0: every call; n: only the nth call
    // from now on (1 is the next).
    void RaiseOn(DISPID dispid, const wchar_t* pszDescription, int nthCall = 0);
    void FailOn(DISPID dispid, HRESULT hr, int nthCall = 0);
    void ClearFailures() { m_failures.clear(); }

    // Runs after every successful call of dispid, inside the call: e.g. fire a
    // StateChange from inside Stop, as a real control may.
    void OnCall(DISPID dispid, std::function<void(FakeDecoder&)> action);

    // Events, synchronously to every sink.
    HRESULT FireStateChange(LONG nType, LONG nValue);
    HRESULT FirePositionChange(LONG nMs);
    // Posts a StateChange from a worker thread; it is fired on the creating thread
    // once that thread pumps its messages. Returns when the worker has posted.
    void FireStateChangeFromWorker(LONG nType, LONG nValue);

    // Exactly what IPersistStreamInit::Load received (empty if never loaded).
    const std::vector<BYTE>& PersistedStream() const { return m_persisted; }
    bool WasLoaded() const { return m_bLoaded; }
    // Left clicks on the window; each also fires StateChange(4, 0), the pause
    // the real decoder asks for when the picture is clicked.
    int Clicks() const { return m_nClicks; }

protected:
    HRESULT InvokeMember(const AxInvocation& call) override;
    HRESULT LoadProperties(const std::vector<BYTE>& bytes) override;
    HRESULT SaveProperties(std::vector<BYTE>* pBytes) override;
    bool OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    ~FakeDecoder() override;

    struct Failure {
        HRESULT hr;
        bool bRaise;  // raise description instead of returning hr
        std::wstring description;
        int nthCall;
        int nSeen;
    };
    HRESULT InjectedFailure(const AxInvocation& call);
    void Apply(const AxInvocation& call, const AxArguments& args);

    std::vector<std::string> m_calls;
    std::map<DISPID, Failure> m_failures;
    std::map<DISPID, std::function<void(FakeDecoder&)>> m_actions;
    std::map<DISPID, std::vector<BYTE>> m_eventBlocks;  // absent: null BSTR
    std::optional<std::wstring> m_startTime;

    // As the real control keeps them, but for a speed of 0 (not 1x) until
    // one is put, which the fake's own tests take as "never put".
    DvrSettings m_settings{0};
    LONG m_nCameraMask = 0x0001;
    LONG m_nOpenMode = 0;

    std::vector<BYTE> m_persisted;
    bool m_bLoaded = false;
    int m_nClicks = 0;
    CAxThreadQueue m_queue;
};

// Registers FakeDecoder's class object under CLSID_DvrControl for the life of
// this object. The thread must have COM initialised.
class FakeDecoderRegistration {
public:
    FakeDecoderRegistration();
    ~FakeDecoderRegistration();
    FakeDecoderRegistration(const FakeDecoderRegistration&) = delete;
    FakeDecoderRegistration& operator=(const FakeDecoderRegistration&) = delete;

    HRESULT Status() const { return m_hr; }

private:
    HRESULT m_hr;
    DWORD m_dwCookie = 0;
};

}  // namespace fakes
