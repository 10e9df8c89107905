// The DVR decoder control: opens a recording, plays it in a view of 1, 4, 8 or
// 16 camera tiles, and reports position and state to its container.
//
// Split of concerns: the automation members (dvr_control_members.cpp), the
// window and drawing (dvr_control_window.cpp), playback and its events
// (dvr_control_playback.cpp), stepping and playing backward
// (dvr_control_review.cpp), the picture's menu (dvr_control_menu.cpp), the
// mouse: double-click, wheel zoom and pan (dvr_control_mouse.cpp), the
// persisted stream (control_stream.cpp).
// Everything here runs on the creating thread; decoding runs on the worker,
// whose results come back through m_queue.
#pragma once
#include <windows.h>
#include <ole2.h>  // DISPID, which dvrctl.h uses
#include <memory>
#include <string>
#include <vector>
#include "decoder/clip_marks.h"
#include "decoder/clock.h"
#include "decoder/compositor.h"
#include "decoder/decode_worker.h"
#include "decoder/dvr_settings.h"
#include "decoder/dvrctl.h"
#include "decoder/motion_search_session.h"
#include "decoder/pacing.h"
#include "decoder/picture_run.h"
#include "decoder/search_region.h"
#include "decoder/snapshot.h"
#include "framework/axserver/ax_control.h"
#include "framework/axserver/thread_queue.h"
#include "recording/recording.h"

class CDvrControl final : public CAxControl {
public:
    CDvrControl();

    // The window timer that drives playback.
    static const UINT_PTR kPlaybackTimer = 1;
    // A click asks for a pause when this timer, set for the double-click time, runs out first.
    static const UINT_PTR kClickTimer = 2;
    static const UINT kPlaybackTimerMs = 20;
    // Pictures decoded ahead while playing at full speed (at other speeds one).
    static const unsigned kPicturesAheadAtFullSpeed = 6;
    // At full speed, the most pictures taken one after another in one turn of
    // the message loop (see OnPictureDecoded).
    static const unsigned kPicturesATurn = 8;
    // Posted to the window to tick at once rather than at the timer's next turn.
    static const UINT kTickNowMessage = WM_APP + 1;
    // At full speed pictures come back far faster than a screen can show them
    // (thousands a second), and putting each one on screen would cost more
    // than decoding it. Every picture is decoded, composed and reported, but
    // the window is drawn at most once in this time; a picture held back is
    // drawn by the next one, or at the timer's next turn at the latest.
    static const int64_t kFullSpeedScreenMs = 10;

    enum class State {
        Idle,
        Playing,
        Paused,
        Stopped,
        Ended
    };
    State PlayState() const { return m_state; }
    // What the window shows, for tests in the same process.
    const CBackBuffer& BackBuffer() const { return m_backBuffer; }
    // True while a submitted picture has not come back from the worker.
    bool IsPicturePending() const { return m_nShownSerial != m_nRequestedSerial; }
    const std::wstring& Message() const { return m_message; }
    // The tiles of the view with their zooms, and the last picture back from the worker (may be null).
    const std::vector<TileSlot>& Slots() const { return m_slots; }
    const DecodedPicture* Shown() const { return m_shown.get(); }
    // For benches and tests in the same process: a motion search of a camera's
    // region, started as if chosen on its tile, and whether it still runs.
    void SearchRegion(int camera, const FrameRegion& region) { StartSearch(camera, region); }
    bool IsSearchRunning() const { return m_search.session && !m_search.bDone; }

protected:
    HRESULT InvokeMember(const AxInvocation& call) override;
    HRESULT LoadProperties(const std::vector<BYTE>& bytes) override;
    HRESULT SaveProperties(std::vector<BYTE>* pBytes) override;
    bool OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    ~CDvrControl() override;
    void StartDecoding();  // once the window is made

    // Members (dvr_control_members.cpp): the puts that check their values
    HRESULT PutSpeed(LONG nSpeed);
    HRESULT PutOpenMode(const AxInvocation& call, LONG nMode);
    HRESULT SelectSource(LONG nCamera);
    HRESULT PutStartOffset(LONG nOffset);
    HRESULT PutViewSplit(LONG nSplit);
    HRESULT PutViewGroup(LONG nGroup);

    // Playback (dvr_control_playback.cpp)
    bool OpenAndPlay();
    void Pause();
    void Stop();
    void Play();
    void PlayAgain();
    void Step();
    void OnTick();
    void ShowPicture(int64_t nTimeMs);
    void ReachEnd();
    // Stops at the picture of nTimeMs, shown and told to the container.
    void HoldAt(State state, int64_t nTimeMs);
    void FirePosition(int64_t nMs);

    // Review (dvr_control_review.cpp): backward, and what a container asks of other files
    void StepBack();
    void PlayBackward();
    void OnTickBackward();
    void ReachStart();
    HRESULT ProbedStart(BSTR* pOut) const;

    // Window and drawing (dvr_control_window.cpp)
    void OnCreate();
    void OnSize();
    void OnPaint();
    void OnClick();
    void Relayout();
    void RequestPicture();
    void PostPicture(std::shared_ptr<DecodedPicture> picture);
    void OnPictureDecoded(std::shared_ptr<DecodedPicture> picture);
    void TakePicture(std::shared_ptr<DecodedPicture> picture);
    void Recompose();  // the view into the back buffer, then on screen
    void Present();    // the back buffer on screen, unless held back at full speed
    void PresentNow();
    void CatchUpScreen();  // draws what was held back, if anything

    // The mouse on the picture (dvr_control_mouse.cpp): a click, a double-click
    // for one camera alone and back, the wheel's zoom and the drag that pans it
    bool OnMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnButtonDown(POINT pt);
    void OnClickTimer();
    void OnDoubleClick(POINT pt);
    void SetViewItself(LONG nSplit, LONG nGroup);
    void OnWheel(POINT ptClient, int nDelta);
    void OnPointerMove(POINT pt);
    void EndDrag();
    int SlotAt(POINT ptClient) const;  // the index of the slot with a camera there, or -1
    void ShowZoom(size_t nSlot, const ZoomView& zoom);

    // The picture's menu (dvr_control_menu.cpp)
    void OnContextMenu(LPARAM lParam);
    bool HasPicture() const;
    const TilePicture* PictureAt(POINT ptClient) const;  // the tile there with a picture, or null
    bool AskSavePath(const std::wstring& suggested, std::wstring* pPath) const;
    void TellFailure(const std::wstring& what, const std::wstring& reason) const;
    PictureBits ViewBits() const;
    void SaveView();
    void SaveCamera(int camera, const ZoomView& zoom);  // the whole frame, or the zoom's part of it
    void CopyView();

    // Clips (dvr_control_clip.cpp)
    void Mark(bool bStart);  // at the picture on view
    void ClearMarks();
    void ExportClip();  // the marked stretch, after the save dialog
    bool AskClipPath(std::wstring* pPath, bool* pEveryCamera) const;
    uint32_t CamerasOnView() const;
    uint32_t ReviewCameras() const;

    // Motion search: choosing its region (dvr_control_region_pick.cpp), the
    // search and its window (dvr_control_search.cpp)
    bool OnSearchMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    void BeginRegionPick(int camera);
    void OnPickPress(POINT pt);
    void OnPickRelease(POINT pt);
    void PickWholePicture();
    void CancelRegionPick();
    const TileSlot* SlotOfCamera(int camera) const;  // the slot on view showing camera, or null
    const RECT* SearchTile(int camera) const;        // its tile
    // What that tile shows of the camera's cx x cy picture: all of it, or its zoom's part.
    FrameRegion ShownPart(int camera, unsigned cx, unsigned cy) const;
    void StartSearch(int camera, const FrameRegion& region);
    CMotionSearchSession::Listener SearchListener(uint64_t serial);
    void EndSearch(bool bRedraw = true);
    void AskSeek(int64_t nMs);
    void DrawSearchRegion();

    IPlaybackClock& m_clock;
    CPlaybackPacer m_pacer;

    DvrSettings m_settings;   // what the container set
    std::string m_probePath;  // UTF-8: the file whose start ProbedStart reads

    // The open recording and where playback is in it.
    std::shared_ptr<const rec::Recording> m_recording;
    std::wstring m_message;  // why the last open failed; drawn instead of the view
    State m_state = State::Idle;
    int64_t m_nPictureMs = -1;    // time of the picture on view; -1 none yet
    int64_t m_nLastFiredMs = -1;  // last PositionChange; -1 none since the open

    // The view.
    std::vector<TileSlot> m_slots;
    std::shared_ptr<DecodedPicture> m_shown;  // the last picture back from the worker
    uint64_t m_nRequestedSerial = 0;
    uint64_t m_nShownSerial = 0;
    CPictureRun m_run;  // OnPictureDecoded's run of pictures
    CBackBuffer m_backBuffer;
    bool m_bScreenBehind = false;   // the window does not show the back buffer yet
    int64_t m_nLastPresentMs = -1;  // playback clock when the window was last drawn; -1 never
    CViewText m_text;
    CClipMarks m_marks;  // of m_marksFile, kept while the same file is opened again
    std::string m_marksFile;
    std::vector<BYTE> m_persisted;  // the stream we were loaded from
    std::string m_zoomFile;         // the file the tiles' zooms belong to
    // The split and group a double-click to one camera left, for the next to go back to.
    struct ViewBefore {
        bool bHeld = false;
        LONG nSplit = 16, nGroup = 0;
    } m_viewBefore;
    // A press on a zoomed tile: a drag from it pans that tile.
    struct Drag {
        int nSlot = -1;  // none
        POINT ptStart = {}, ptLast = {};
        bool bPanning = false;
    } m_drag;

    SearchState m_search;  // ended in the destructor, before the queue its threads post to closes

    // Last: the worker stops before the queue its results go through is destroyed.
    CAxThreadQueue m_queue;
    std::unique_ptr<CDecodeWorker> m_worker;  // from the window's creation on
};
