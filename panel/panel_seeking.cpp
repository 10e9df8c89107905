// The time display and everything that moves playback to another point of the
// file: position events, the position control (slider or scroll bar), page
// steps, the thumb, and the typed minutes and seconds. Every seek stops the
// decoder and lets Play open the file again at the new start offset.
#include "panel/panel_dlg.h"
#include <commctrl.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include "domain/time_of_day.h"
#include "host/messages.h"
#include "framework/gdi.h"
#include "res/resource.h"
#include "widgets/digit_edit.h"

namespace {

constexpr int32_t kPageMs = domain::kMinuteMs;
constexpr int kEditHeight = 17;

int32_t ClampToInt32(int64_t value)
{
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// The leading decimal number of a time-entry field, as "%d" reads it. The edit
// lets ".", "%" and "'" through; a field without a leading number counts 0.
int LeadingNumber(const char* text)
{
    int value = 0;
    if (sscanf(text, "%d", &value) != 1) return 0;
    return value;
}

// The typed minutes and seconds are those of the time text, a time of day: the
// offset is where the file shows them. A file spans one hour, so each minute
// and second it shows comes once; a second the start lies inside is the start,
// one before it comes in the next hour. On a file that starts on the hour the
// typed time is the offset itself. Beyond that neither clamped nor checked
// against the file (the decoder decides); the sum wraps as 32-bit arithmetic
// does rather than overflowing.
int32_t TypedOffset(int minutes, int seconds, int32_t startMs)
{
    const uint32_t typed = static_cast<uint32_t>(minutes) * uint32_t{domain::kMinuteMs} +
                           static_cast<uint32_t>(seconds) * uint32_t{domain::kSecondMs};
    const int32_t intoHour = static_cast<int32_t>((int64_t{startMs} % domain::kHourMs + domain::kHourMs) % domain::kHourMs);
    if (intoHour == 0) return static_cast<int32_t>(typed);
    int64_t offset = int64_t{static_cast<int32_t>(typed)} - intoHour;
    if (offset <= -domain::kSecondMs)
        offset += domain::kHourMs;
    else if (offset < 0)
        offset = 0;
    return ClampToInt32(offset);
}

}  // namespace

void CPanelDlg::ShowTimeEdits(BOOL bShow)
{
    const int how = bShow ? SW_SHOW : SW_HIDE;
    ::ShowWindow(GetDlgItem(IDC_MINUTES), how);
    ::ShowWindow(GetDlgItem(IDC_SECONDS), how);
}

// m_szTime has room for 11 characters: "HH:MM:SS.hh" up to 99:59:59.99, the
// hours not reduced to the day. A time of 100 hours or more, or before
// midnight (a negative sum), has no such form and shows as "--:--:--.--"
// rather than as a longer or signed text.
void CPanelDlg::FormatPositionTime(int32_t shownMs)
{
    domain::FormatClock(shownMs, domain::Precision::Hundredths, m_szTime, sizeof m_szTime);
}

// Painted at once, so that the text keeps pace with the position events.
void CPanelDlg::RepaintTime()
{
    ::InvalidateRect(m_hWnd, &m_rcTime, TRUE);
    ::UpdateWindow(m_hWnd);
}

LRESULT CPanelDlg::OnDecoderPosition(WPARAM wParam, LPARAM)
{
    // While dragging the user's place wins; while stopped a reopen is pending.
    if (m_bDragging || m_nPlayState == PLAY_STOPPED) return 0;
    const int32_t offset = static_cast<int32_t>(wParam);
    // The first picture after an open: the transport controls come on.
    if (m_nControlSet == CTRL_OPENING && offset != 0) EnableControls(CTRL_PLAYING);
    m_nLastOffset = offset;

    // Summed wide: a sum past the 32-bit range must not wrap into a valid time.
    const int64_t shown = static_cast<int64_t>(m_index.lStartTimeMs) + offset;
    FormatPositionTime(ClampToInt32(shown));
    RepaintTime();
    if (offset == 0) return 0;

    // The control counts the hour from the file's start, as every seek does,
    // so that the thumb lands where it stood; the tooltip tells the time of day.
    m_positionCtrl.SetStartTime(m_index.lStartTimeMs);
    m_positionCtrl.SetPosition(std::clamp(offset / domain::kSecondMs, 0, domain::kHourSeconds));
    return 0;
}

void CPanelDlg::SeekTo(int32_t offset)
{
    m_nStartOffset = offset;
    m_nPlayState = PLAY_STOPPED;
    SendCommand(PCMD_STOP);
    // Play finds state 2 and opens the file again at the new offset.
    PostClick(IDC_PLAY);
}

void CPanelDlg::OnSliderMouseDown(short, short, long, long) { m_bDragging = 1; }

void CPanelDlg::OnSliderMouseUp(short, short, long, long)
{
    SeekTo(m_positionCtrl.GetPosition() * domain::kSecondMs);
    m_bDragging = 0;
}

void CPanelDlg::OnHScroll(UINT nSBCode, UINT nPos, HWND)
{
    switch (nSBCode) {
    // A minute from the last position shown, computed wide so that it cannot
    // wrap; kept from going before the start or past the hour.
    case SB_PAGELEFT:
        SeekTo(static_cast<int32_t>(std::max<int64_t>(int64_t{m_nLastOffset} - kPageMs, 0)));
        break;
    case SB_PAGERIGHT:
        SeekTo(static_cast<int32_t>(std::min<int64_t>(int64_t{m_nLastOffset} + kPageMs, domain::kHourMs)));
        break;
    case SB_THUMBPOSITION:
        SeekTo(static_cast<int32_t>(nPos) * domain::kSecondMs);
        break;
    case SB_THUMBTRACK: {
        // The time of day the release will go to; no position event
        // overwrites it while the thumb is held.
        m_bDragging = 1;
        const int64_t thumbMs = int64_t{m_index.lStartTimeMs} + int64_t{nPos} * domain::kSecondMs;
        domain::FormatClock(thumbMs, domain::Precision::Seconds, m_szTime, sizeof m_szTime);
        RepaintTime();
        return;
    }
    default:
        // The arrows, the ends and the end of scrolling move nothing.
        return;
    }
    m_bDragging = 0;
    Default();
}

void CPanelDlg::OnMouseMove(UINT nFlags, POINT point)
{
    TrackGraphTip(nFlags, point);
    if (PtInRect(&m_rcTimeClick, point)) {
        if (!m_bCursorSwapped && m_hHandCursor && m_nPlayState != PLAY_IDLE && m_nPlayState != PLAY_STOPPED) {
            m_hSavedCursor = reinterpret_cast<HCURSOR>(
                SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(m_hHandCursor)));
            m_bCursorSwapped = 1;
        }
        return;
    }
    if (m_bCursorSwapped && m_hSavedCursor)
        SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(m_hSavedCursor));
    m_bCursorSwapped = 0;
}

void CPanelDlg::OnLButtonUp(UINT, POINT point)
{
    if (OnGraphClick(point)) return;
    if (!m_hFont || m_nPlayState == PLAY_IDLE || m_nPlayState == PLAY_STOPPED) return;
    if (!PtInRect(&m_rcTimeClick, point)) {
        ShowTimeEdits(FALSE);
        return;
    }

    // Without a device context there is nothing to place the edits by: the
    // click is then ignored and the edits stay as they are.
    ABC digits[10] = {}, colon = {};
    {
        CClientDC dc(m_hWnd);
        if (!dc) return;
        CScopedSelect font(dc, m_hFont);
        if (!GetCharABCWidthsA(dc, '0', '9', digits)) memset(digits, 0, sizeof digits);
        if (!GetCharABCWidthsA(dc, ':', ':', &colon)) memset(&colon, 0, sizeof colon);
    }

    auto width = [&](char c) -> int {
        const ABC* abc = c >= '0' && c <= '9' ? &digits[c - '0'] : c == ':' ? &colon
                                                                            : nullptr;
        return abc ? abc->abcA + static_cast<int>(abc->abcB) + abc->abcC : 0;
    };

    // "HH:MM:SS.hh" and the thumb's "HH:MM:SS" alike: 3-4 the minutes, 6-7 the seconds.
    char text[sizeof m_szTime] = {};
    memcpy(text, m_szTime, sizeof text - 1);
    const char minutes[3] = {text[3], text[3] ? text[4] : '\0', '\0'};
    const char seconds[3] = {text[6], text[6] ? text[7] : '\0', '\0'};
    const int x0 = m_rcTimeClick.left, y = m_rcTimeClick.top - 1;
    const int w = width(text[3]) + width(text[4]) + width(text[5]);

    HWND editMinutes = GetDlgItem(IDC_MINUTES), editSeconds = GetDlgItem(IDC_SECONDS);
    ::SetWindowTextA(editMinutes, minutes);
    ::SetWindowTextA(editSeconds, seconds);
    ::MoveWindow(editMinutes, x0, y, w, kEditHeight, TRUE);
    ::MoveWindow(editSeconds, x0 + w, y, w, kEditHeight, TRUE);
    ShowTimeEdits(TRUE);
    ::SetFocus(editMinutes);
    ::SendMessageA(editMinutes, EM_SETSEL, 0, -1);
}

BOOL CPanelDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && (header->idFrom == IDC_MINUTES || header->idFrom == IDC_SECONDS) &&
        header->code == TEN_ENTER) {
        ShowTimeEdits(FALSE);
        char text[10];
        ::GetDlgItemTextA(m_hWnd, IDC_MINUTES, text, sizeof text);
        const int minutes = LeadingNumber(text);
        ::GetDlgItemTextA(m_hWnd, IDC_SECONDS, text, sizeof text);
        const int seconds = LeadingNumber(text);
        SeekTo(TypedOffset(minutes, seconds, m_index.lStartTimeMs));
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}
