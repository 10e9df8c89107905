// The decoder control as the player sees it: one automation call per operation.
// Until the control is bound (when the video window initialises), every call
// does nothing and every read yields 0.
#pragma once
#include "framework/olecontrol.h"

class CStreamDecoder : public COleControlWnd {
public:
    void SetSpeed(long speed);
    long GetCameraMask();
    void SetOpenMode(long mode);
    void Pause();
    void Stop();
    void Play();
    void PlayAgain();
    void Step();
    void SelectSource(long camera);
    void SetFileName(const char* path);
    void SetStartOffset(long ms);
    // Each fills *out with a string the caller frees (SysFreeString); null allowed.
    void GetSourceEvents(BSTR* out);
    void GetMotionEvents(BSTR* out);
    void GetGpiEvents(BSTR* out);
    void GetStartTime(BSTR* out);
    long GetViewSplit();
    void SetViewSplit(long cameras);
    long GetViewGroup();
    void SetViewGroup(long group);

private:
    long GetLong(DISPID dispid);
    void PutLong(DISPID dispid, long value);
    void Call(DISPID dispid);
    void CallOutString(DISPID dispid, BSTR* out);
};
