// CPanelDlg: the reviewer's moves through time. Each goes through the panel, so
// that its play state, control sets and time text stay true; every jump is a
// seek (SeekTo). What the decoder may lack is asked for with WM_REVIEW_COMMAND,
// which replies 0 when it cannot: then the action does nothing.
#include "panel/panel_dlg.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "domain/event_type.h"
#include "domain/file_path.h"
#include "domain/hour.h"
#include "host/review_messages.h"

namespace {

// A recording's start as the decoder reads it, and its path.
struct Candidate {
    std::string start;
    std::string path;
};

bool IsRecordingName(const char* name)
{
    const char* dot = std::strrchr(name, '.');
    return dot && (!_stricmp(dot, ".nwv") || !_stricmp(dot, ".d00") || !_stricmp(dot, ".d01"));
}

// The other recordings of the folder that the decoder can read a start of.
template <typename Probe>
std::vector<Candidate> ProbeFolder(const std::string& folder, const char* pszExclude, Probe probe)
{
    std::vector<Candidate> all;
    WIN32_FIND_DATAA find;
    HANDLE hFind = FindFirstFileA((folder + "*").c_str(), &find);
    if (hFind == INVALID_HANDLE_VALUE) return all;
    do {
        const std::string path = folder + find.cFileName;
        if ((find.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsRecordingName(find.cFileName) ||
            !_stricmp(path.c_str(), pszExclude))
            continue;
        RECORDING_START start = {path.c_str(), {}};
        if (probe(&start)) all.push_back({start.szStart, path});
    } while (FindNextFileA(hFind, &find));
    FindClose(hFind);
    return all;
}

bool Earlier(const Candidate& a, const Candidate& b) { return a.start < b.start || (a.start == b.start && a.path < b.path); }

}  // namespace

bool CPanelDlg::CanMove() const { return m_nPlayState == PLAY_PLAYING || m_nPlayState == PLAY_PAUSED; }

LRESULT CPanelDlg::SendReview(UINT code, LPARAM arg) { return SendToVideo(WM_REVIEW_COMMAND, code, arg); }

void CPanelDlg::OnStepBack()
{
    if (!CanMove()) return;
    ShowTimeEdits(FALSE);
    if (!SendReview(RCMD_STEP_BACK)) return;
    m_bBackward = FALSE;
    m_nPlayState = PLAY_PAUSED;
    EnableControls(CTRL_PAUSED);
}

void CPanelDlg::OnPlayBackward()
{
    if (!CanMove()) return;
    ShowTimeEdits(FALSE);
    if (!SendReview(RCMD_PLAY_BACKWARD)) return;
    m_bBackward = TRUE;
    m_nPlayState = PLAY_PLAYING;
    EnableControls(CTRL_PLAYING);
}

// One place along the speed list: -1 faster (the list runs from Full down), +1 slower.
void CPanelDlg::MoveSpeed(int nStep)
{
    const int sel = m_cbSpeed.GetCurSel() + nStep;
    if (sel < 0 || sel >= m_cbSpeed.GetCount()) return;
    m_cbSpeed.SetCurSel(sel);
    OnSelchangeSpeed();
}

void CPanelDlg::SeekBy(int32_t nDeltaMs)
{
    if (!CanMove()) return;
    const LRESULT duration = SendReview(RCMD_DURATION);
    const int64_t limit = duration > 0 ? duration : domain::kHourMs;
    SeekTo(static_cast<int32_t>(std::clamp<int64_t>(int64_t(m_nLastOffset) + nDeltaMs, 0, limit)));
}

void CPanelDlg::SeekToEnd()
{
    if (!CanMove()) return;
    const LRESULT duration = SendReview(RCMD_DURATION);
    if (duration > 0) SeekTo(static_cast<int32_t>(duration));
}

// The slot after (before) the one playing that the graph shows with an event.
void CPanelDlg::HopEvent(int nDirection)
{
    if (!CanMove()) return;
    domain::EventType type;
    if (!domain::EventTypeAt(m_cbEventType.GetCurSel(), type)) return;
    const int64_t here = domain::SlotOf(type, m_nLastOffset);
    const int count = m_graph.m_nCount;
    for (int64_t slot = here + nDirection; slot >= 0 && slot < count; slot += nDirection) {
        if (m_graph.m_pValues[slot] != 0) {
            SeekTo(static_cast<int32_t>(domain::SlotOffsetMs(type, slot)));
            return;
        }
    }
    char note[64];
    std::snprintf(note, sizeof note, "No %s %s event", nDirection > 0 ? "later" : "earlier",
                  domain::EventTypeName(type));
    ShowNote(note);
}

// The recording of the folder whose start follows (precedes) this one's; by
// the start the decoder reads, never by the name.
void CPanelDlg::OpenAdjacentRecording(int nDirection)
{
    if (m_nPlayState == PLAY_IDLE || !m_szPath[0]) return;
    RECORDING_START own = {m_szPath, {}};
    if (!SendReview(RCMD_PROBE_START, reinterpret_cast<LPARAM>(&own))) return;
    const std::string folder = domain::FolderOf(std::string(m_szPath));
    const Candidate here = {own.szStart, m_szPath};
    const Candidate* pBest = nullptr;
    const std::vector<Candidate> all = ProbeFolder(folder, m_szPath, [this](RECORDING_START* pStart) {
        return SendReview(RCMD_PROBE_START, reinterpret_cast<LPARAM>(pStart)) != 0;
    });
    for (const Candidate& each : all) {
        const bool bBeyond = nDirection > 0 ? Earlier(here, each) : Earlier(each, here);
        const bool bNearer = !pBest || (nDirection > 0 ? Earlier(each, *pBest) : Earlier(*pBest, each));
        if (bBeyond && bNearer) pBest = &each;
    }
    if (!pBest || pBest->path.size() >= sizeof m_szPath) {
        ShowNote(nDirection > 0 ? "No later recording" : "No earlier recording");
        return;
    }
    OnStop();
    std::memcpy(m_szPath, pBest->path.c_str(), pBest->path.size() + 1);
    OnPlay();
}
