// The results of a motion search: a small window owned by the player's top
// window, with the hits in a list (time of day, length, peak), a progress bar
// and a button that cancels the search (then closes the window). Choosing a hit
// (double-click, or Enter) and closing the window are told to the owner, which
// seeks, or ends the search.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "decoder/motion_scan.h"

class CSearchWindow {
public:
    struct Events {
        std::function<void(const MotionHit& hit)> choose;
        std::function<void()> cancel;  // the button, while searching
        std::function<void()> close;   // the window was closed; the owner destroys this
    };

    static constexpr const wchar_t* kClassName = L"VorplexMotionSearch";

    CSearchWindow() = default;
    ~CSearchWindow();  // the window goes, without telling close
    CSearchWindow(const CSearchWindow&) = delete;
    CSearchWindow& operator=(const CSearchWindow&) = delete;

    // Made and shown beside the owner's top-right corner; false when it could not be made.
    // startOfDayMs: the recording's start, for the hits' times of day.
    bool Create(HWND hwndOwner, const std::wstring& title, int64_t startOfDayMs, Events events);
    HWND Window() const { return m_hWnd; }

    void SetHits(const std::vector<MotionHit>& hits);
    void SetProgress(double share);  // 0..1
    // The search ended: the bar full, the button now closes, a summary.
    void Finish(const MotionResult& result);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateChildren();
    void Layout();
    void OnNotify(const NMHDR& header);
    void ChooseSelected();
    void SetStatus(const std::wstring& text);

    HWND m_hWnd = nullptr;
    HWND m_hList = nullptr, m_hProgress = nullptr, m_hButton = nullptr, m_hStatus = nullptr;
    std::vector<MotionHit> m_hits;
    int64_t m_startOfDayMs = 0;
    bool m_bFinished = false;
    Events m_events;
};
