// Benchmarks of the decoder control, run under Wine. The real control (the
// objects dvrctl.dll is made of) is created through COM by the framework's own
// control container, in place in a real window, and driven through IDispatch as
// the player drives it. Each mode prints "key=value" lines for scripts/bench.sh.
//
//   decoder_bench throughput FILE [SPLIT]  the view of cameras 1..SPLIT (16, 4 or 1) at full
//                                          speed, start to end
//   decoder_bench codec FILE        one thread decoding camera 1's frames into 160 x 120 tiles
//   decoder_bench seek FILE         20 opens at varied offsets
//   decoder_bench cpu FILE [S]      process CPU time while playing at 1x for S s (20)
//   decoder_bench memory FILE       peak working set: open, full speed, seeks
//   decoder_bench search FILE [S]   16 cameras at 1x for S s (20) without, then with motion
//                                   searches of camera 1's bottom-right quarter back to back:
//                                   late pictures, working set, the searches' pace
//   decoder_bench review FILE       step back and forward to the picture, backward against
//                                   forward at 1x (CPU) and at full speed, event hops
//   decoder_bench zoom FILE DIR     one tile at 4x against the view unzoomed (CPU at 1x,
//                                   pictures a second at Full), a double-click to one camera's
//                                   picture; in DIR the zoomed tile, the tile's own picture
//                                   enlarged, and the frame they show, for bench.sh's PSNR
#include "bench/timing.h"
#include <windows.h>
#include <ole2.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "decoder/dvr_control.h"
#include "decoder/dvrctl.h"
#include "decoder/frame_decoder.h"
#include "decoder/resample.h"
#include "framework/app.h"
#include "framework/olecontrol.h"
#include "framework/wnd.h"
#include "recording/recording.h"

namespace {

// The view the measurements are made in: 4 x 4 tiles of 160 x 120.
const int kClientWidth = 640;
const int kClientHeight = 480;
const UINT kDecoderId = 1001;

double ProcessCpuMs()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    auto ms = [](const FILETIME& ft) {
        return static_cast<double>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

PROCESS_MEMORY_COUNTERS MemoryCounters()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

// Creates controls and remembers the last one, so that the bench can ask it
// whether the picture it requested has been composed.
class CBenchFactory final : public IClassFactory {
public:
    CDvrControl* pLast = nullptr;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // static lifetime
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        if (pOuter)
            return CLASS_E_NOAGGREGATION;
        CDvrControl* pControl = new CDvrControl();
        HRESULT hr = pControl->QueryInterface(riid, ppv);
        pControl->Release();
        if (SUCCEEDED(hr))
            pLast = pControl;
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

CBenchFactory g_factory;

// A plain top-level window, taken over by the framework so that it hosts the
// control and receives its events through an event table.
class CBenchHost : public CWnd {
public:
    COleControlWnd m_decoder;
    CDvrControl* m_pControl = nullptr;

    // Events since the last Reset.
    std::vector<long> positions;
    std::vector<double> positionTimes;
    bool bEnded = false;

    bool Create()
    {
        RECT rc = {0, 0, kClientWidth, kClientHeight};
        AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
        HWND hwnd = CreateWindowExA(0, "STATIC", "decoder bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                    0, 0, rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        if (!hwnd || !SubclassWindow(hwnd))
            return false;
        ::ShowWindow(hwnd, SW_SHOW);
        const RECT rcControl = {0, 0, kClientWidth, kClientHeight};
        if (!m_decoder.CreateControl(CLSID_DvrControl, nullptr, WS_VISIBLE, rcControl, this, kDecoderId))
            return false;
        m_pControl = g_factory.pLast;
        return m_pControl != nullptr;
    }

    void Reset()
    {
        positions.clear();
        positionTimes.clear();
        bEnded = false;
    }

    void PutLong(DISPID dispid, long value)
    {
        m_decoder.InvokeHelper(dispid, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4, value);
    }
    void PutString(DISPID dispid, const char* text)
    {
        m_decoder.InvokeHelper(dispid, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_BSTR, text);
    }
    // SetFileName, SetStartOffset, SetOpenMode(1): the open the player makes.
    void Open(const char* path, long nOffsetMs)
    {
        PutString(DVR_FILE_NAME, path);
        PutLong(DVR_START_OFFSET, nOffsetMs);
        PutLong(DVR_OPEN_MODE, 1);
    }

    void OnStateChange(long type, long)
    {
        if (type == DVR_STATE_END_OF_FILE)
            bEnded = true;
    }
    void OnPositionChange(long ms)
    {
        positions.push_back(ms);
        positionTimes.push_back(NowMs());
    }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CBenchHost, CWnd)
    ON_EVENT(kDecoderId, DVR_EVENT_STATE_CHANGE, OnStateChange)
    ON_EVENT(kDecoderId, DVR_EVENT_POSITION_CHANGE, OnPositionChange)
END_EVENTSINK_MAP()

// Runs the message loop until done() or the deadline (ms of NowMs); false on the deadline.
template <class F>
bool PumpUntil(F done, double nDeadline)
{
    while (!done()) {
        if (NowMs() > nDeadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}

void PumpFor(double nMs)
{
    const double nEnd = NowMs() + nMs;
    PumpUntil([] { return false; }, nEnd);
}

int Throughput(CBenchHost& host, const char* path, long nSplit)
{
    host.PutLong(DVR_VIEW_GROUP, 0);
    host.PutLong(DVR_VIEW_SPLIT, nSplit);
    host.PutLong(DVR_SPEED, 0);
    host.Reset();
    const double c0 = ProcessCpuMs(), t0 = NowMs();
    host.Open(path, 0);
    if (!PumpUntil([&] { return host.bEnded; }, t0 + 300000)) {
        fprintf(stderr, "throughput: no end of file within 300 s\n");
        return 1;
    }
    const double elapsed = NowMs() - t0;
    printf("cores=%.2f\n", (ProcessCpuMs() - c0) / elapsed);
    const size_t n = host.positions.size();
    printf("pictures=%zu\n", n);
    printf("seconds=%.3f\n", elapsed / 1000.0);
    printf("pictures_per_second=%.1f\n", n / (elapsed / 1000.0));
    // The spacing of the pictures: at a timer-paced full speed it sits on the tick.
    std::vector<double> gaps;
    for (size_t i = 1; i < host.positionTimes.size(); ++i)
        gaps.push_back(host.positionTimes[i] - host.positionTimes[i - 1]);
    printf("median_gap_ms=%.1f\n", Median(gaps));
    return 0;
}

// One frame after another of camera 1 through the tile decoder, on this thread
// alone: what a tile costs, and so the most a 16-tile view could reach.
int Codec(const char* path)
{
    rec::Recording recording;
    const rec::Status status = recording.open(path);
    if (!status) {
        fprintf(stderr, "codec: %s\n", status.reason.c_str());
        return 1;
    }
    const rec::Stream* pStream = recording.streamForCamera(1);
    CFrameDecoder decoder;
    if (!pStream || pStream->frames.empty()) {
        fprintf(stderr, "codec: no frames of camera 1\n");
        return 1;
    }
    std::vector<std::vector<uint8_t>> frames;
    for (size_t i = 0; i < pStream->frames.size() && frames.size() < 200; ++i) {
        frames.emplace_back();
        if (!recording.readFrame(pStream->frames[i], frames.back()))
            frames.pop_back();
    }
    std::vector<uint32_t> pixels;
    const int kRounds = 5;
    const double t0 = NowMs();
    for (int round = 0; round < kRounds; ++round)
        for (const std::vector<uint8_t>& jpeg : frames)
            if (decoder.DecodeToTile(jpeg.data(), jpeg.size(), 160, 120, &pixels) != FrameResult::Decoded)
                return fprintf(stderr, "codec: a frame did not decode: %s\n", decoder.LastMessage().c_str()), 1;
    printf("library=%s\n", JpegLibraryVersion());
    printf("frames=%zu\n", frames.size() * kRounds);
    printf("ms_per_tile=%.3f\n", (NowMs() - t0) / (frames.size() * kRounds));
    return 0;
}

int Seek(CBenchHost& host, const char* path)
{
    // Offsets over the file in a scattered order, each on a 200 ms frame of a
    // 5 fps recording, so that the picture at the offset is the offset itself.
    const long kOffsets[20] = {31000, 7400, 52200, 18600, 44000, 2200, 57800, 25400, 39600, 12000,
                               49400, 4600, 35800, 21200, 55000, 9800, 28600, 46600, 15400, 41200};
    host.PutLong(DVR_SPEED, 1);
    host.Open(path, 0);
    PumpFor(500);
    std::vector<double> toEvent, toPicture;
    for (long nOffset : kOffsets) {
        host.Reset();
        host.PutLong(DVR_START_OFFSET, nOffset);
        const double t0 = NowMs();
        host.PutLong(DVR_OPEN_MODE, 1);
        bool bFired = PumpUntil([&] {
            return std::any_of(host.positions.begin(), host.positions.end(), [&](long p) { return p >= nOffset; });
        },
                                t0 + 10000);
        const double tEvent = NowMs();
        // The event is fired when the picture is asked for; it is on view once composed.
        bool bComposed = bFired && PumpUntil([&] { return !host.m_pControl->IsPicturePending(); }, t0 + 10000);
        const double tPicture = NowMs();
        if (!bFired || !bComposed) {
            fprintf(stderr, "seek to %ld: no picture within 10 s\n", nOffset);
            return 1;
        }
        toEvent.push_back(tEvent - t0);
        toPicture.push_back(tPicture - t0);
        PumpFor(150);
    }
    printf("seeks=%zu\n", toEvent.size());
    printf("median_to_position_ms=%.1f\n", Median(toEvent));
    printf("median_to_picture_ms=%.1f\n", Median(toPicture));
    printf("max_to_picture_ms=%.1f\n", *std::max_element(toPicture.begin(), toPicture.end()));
    return 0;
}

int Cpu(CBenchHost& host, const char* path, double nSeconds)
{
    host.PutLong(DVR_SPEED, 1);
    host.Reset();
    host.Open(path, 0);
    PumpFor(1000);  // past the open and the first pictures
    const double c0 = ProcessCpuMs(), t0 = NowMs();
    const size_t n0 = host.positions.size();
    PumpFor(nSeconds * 1000);
    const double c1 = ProcessCpuMs(), t1 = NowMs();
    const long nPlayedMs = host.positions.empty() ? 0 : host.positions.back() - host.positions[n0 ? n0 - 1 : 0];
    printf("wall_seconds=%.2f\n", (t1 - t0) / 1000.0);
    printf("played_seconds=%.2f\n", nPlayedMs / 1000.0);
    printf("cpu_seconds=%.2f\n", (c1 - c0) / 1000.0);
    printf("cores=%.3f\n", (c1 - c0) / (t1 - t0));
    return host.bEnded ? (fprintf(stderr, "cpu: the file ended during the measurement\n"), 1) : 0;
}

int Memory(CBenchHost& host, const char* path)
{
    const SIZE_T nBefore = MemoryCounters().WorkingSetSize;
    host.PutLong(DVR_SPEED, 0);
    host.Open(path, 0);
    PumpFor(5000);
    host.PutLong(DVR_SPEED, 1);
    const long kOffsets[] = {3300000, 600000, 1800000, 2400000, 1200000, 3590000};
    for (long nOffset : kOffsets) {
        host.PutLong(DVR_START_OFFSET, nOffset);
        host.PutLong(DVR_OPEN_MODE, 1);
        PumpFor(500);
    }
    const PROCESS_MEMORY_COUNTERS counters = MemoryCounters();
    printf("before_open_mb=%.1f\n", nBefore / 1048576.0);
    printf("peak_working_set_mb=%.1f\n", counters.PeakWorkingSetSize / 1048576.0);
    printf("working_set_mb=%.1f\n", counters.WorkingSetSize / 1048576.0);
    printf("private_mb=%.1f\n", counters.PagefileUsage / 1048576.0);
    return 0;
}

// What playing showed over a stretch of time: pictures late (asked for and not
// composed within a frame's time), the largest working set, whole searches.
struct PlayWatch {
    int late = 0;
    double peakMb = 0;
    int searches = 0;
    double cores = 0;
};

PlayWatch WatchPlaying(CBenchHost& host, double nMs, double frameMs, const FrameRegion* pSearch)
{
    PlayWatch watch;
    CDvrControl& control = *host.m_pControl;
    double pendingSince = -1, lastSample = 0;
    bool bCounted = false;
    const double c0 = ProcessCpuMs(), t0 = NowMs();
    PumpUntil([&] {
        const double now = NowMs();
        if (!control.IsPicturePending()) {
            pendingSince = -1, bCounted = false;
        } else if (pendingSince < 0) {
            pendingSince = now;
        } else if (!bCounted && now - pendingSince > frameMs) {
            ++watch.late, bCounted = true;
        }
        if (pSearch && !control.IsSearchRunning()) {
            ++watch.searches;
            control.SearchRegion(1, *pSearch);
        }
        if (now - lastSample >= 50) {
            watch.peakMb = std::max(watch.peakMb, MemoryCounters().WorkingSetSize / 1048576.0);
            lastSample = now;
        }
        return false;
    },
              t0 + nMs);
    watch.cores = (ProcessCpuMs() - c0) / (NowMs() - t0);
    if (pSearch)
        --watch.searches;  // the first was started, not ended, by the watch
    return watch;
}

int SearchWhilePlaying(CBenchHost& host, const char* path, double nSeconds)
{
    rec::Recording probe;
    const rec::Stream* pStream = probe.open(path) ? probe.streamForCamera(1) : nullptr;
    if (!pStream || pStream->rate == 0) {
        fprintf(stderr, "search: no camera 1 in %s\n", path);
        return 1;
    }
    const double frameMs = 1000.0 * pStream->scale / pStream->rate;
    const FrameRegion quarter = {pStream->width / 2, pStream->height / 2, pStream->width - pStream->width / 2,
                                 pStream->height - pStream->height / 2};
    host.PutLong(DVR_VIEW_GROUP, 0);
    host.PutLong(DVR_VIEW_SPLIT, 16);
    host.PutLong(DVR_SPEED, 1);
    host.Reset();
    host.Open(path, 0);
    PumpFor(1000);
    const PlayWatch alone = WatchPlaying(host, nSeconds * 1000, frameMs, nullptr);
    const PlayWatch searching = WatchPlaying(host, nSeconds * 1000, frameMs, &quarter);
    printf("late_without=%d\nlate_with=%d\n", alone.late, searching.late);
    printf("working_set_without_mb=%.1f\nworking_set_with_mb=%.1f\n", alone.peakMb, searching.peakMb);
    printf("cores_without=%.2f\ncores_with=%.2f\n", alone.cores, searching.cores);
    printf("searches=%d\nsearch_frames_per_second=%.0f\n", searching.searches,
           searching.searches * double(pStream->frameCount()) / nSeconds);
    return host.bEnded ? (fprintf(stderr, "search: the file ended during the measurement\n"), 1) : 0;
}

// ms from the call to the picture composed, for n calls of a method while paused.
std::vector<double> TimeCalls(CBenchHost& host, DISPID dispid, int n)
{
    std::vector<double> times;
    for (int i = 0; i < n; ++i) {
        host.Reset();
        const double t0 = NowMs();
        host.m_decoder.InvokeHelper(dispid, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
        if (PumpUntil([&] { return !host.positions.empty() && !host.m_pControl->IsPicturePending(); }, t0 + 5000))
            times.push_back(NowMs() - t0);
        PumpFor(30);
    }
    return times;
}

// CPU (cores) and pictures a second over nMs of playing, forward or backward.
void PlayFor(CBenchHost& host, DISPID how, double nMs, double* pCores, double* pPictures)
{
    host.Reset();
    host.m_decoder.InvokeHelper(how, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
    const double c0 = ProcessCpuMs(), t0 = NowMs();
    PumpFor(nMs);
    const double elapsed = NowMs() - t0;
    *pCores = (ProcessCpuMs() - c0) / elapsed;
    *pPictures = host.positions.size() / (elapsed / 1000.0);
    host.m_decoder.InvokeHelper(DVR_PAUSE, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
}

// Seeks to slot starts (3.6 s apart), as a hop is: stop, the offset, open.
std::vector<double> TimeHops(CBenchHost& host)
{
    std::vector<double> times;
    for (long slot : {5, 17, 9, 25, 2, 30, 13, 21, 7, 28}) {
        host.Reset();
        const double t0 = NowMs();
        host.m_decoder.InvokeHelper(DVR_STOP, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
        host.PutLong(DVR_START_OFFSET, slot * 3600);
        host.PutLong(DVR_OPEN_MODE, 1);
        if (PumpUntil([&] { return !host.positions.empty() && !host.m_pControl->IsPicturePending(); }, t0 + 5000))
            times.push_back(NowMs() - t0);
        PumpFor(100);
    }
    return times;
}

int Review(CBenchHost& host, const char* path)
{
    host.PutLong(DVR_SPEED, 1);
    host.Open(path, 60000);
    PumpFor(500);
    host.m_decoder.InvokeHelper(DVR_PAUSE, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
    printf("step_forward_median_ms=%.1f\n", Median(TimeCalls(host, DVR_STEP, 20)));
    printf("step_back_median_ms=%.1f\n", Median(TimeCalls(host, DVR_STEP_BACK, 20)));
    double cores[2], pictures[2];
    PlayFor(host, DVR_PLAY, 5000, &cores[0], &pictures[0]);
    PlayFor(host, DVR_PLAY_BACKWARD, 5000, &cores[1], &pictures[1]);
    printf("forward_1x_cores=%.3f\nbackward_1x_cores=%.3f\n", cores[0], cores[1]);
    host.PutLong(DVR_SPEED, 0);
    host.Open(path, 30000);
    host.m_decoder.InvokeHelper(DVR_PAUSE, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
    PlayFor(host, DVR_PLAY, 1500, &cores[0], &pictures[0]);
    PlayFor(host, DVR_PLAY_BACKWARD, 1500, &cores[1], &pictures[1]);
    printf("forward_full_pps=%.1f\nbackward_full_pps=%.1f\n", pictures[0], pictures[1]);
    host.PutLong(DVR_SPEED, 1);
    printf("hop_median_ms=%.1f\n", Median(TimeHops(host)));
    return 0;
}

// --- Looking closer

// Turns the wheel by nNotches over the first tile, where synth draws its clock: detail to zoom into.
void WheelOverFirstTile(CBenchHost& host, int nNotches)
{
    POINT pt = {kClientWidth / 4 * 3 / 10, kClientHeight / 4 * 88 / 100};
    HWND hwnd = host.m_pControl->Window();
    ClientToScreen(hwnd, &pt);
    SendMessageA(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, nNotches * WHEEL_DELTA), MAKELPARAM(pt.x, pt.y));
}

// Cores over nMs at 1x, and pictures a second over nFullMs at Full, each from an open at 0.
void MeasureView(CBenchHost& host, const char* path, double* pCores, double* pPictures)
{
    host.PutLong(DVR_SPEED, 1);
    host.Open(path, 0);
    PumpFor(1000);
    double c0 = ProcessCpuMs(), t0 = NowMs();
    PumpFor(8000);
    *pCores = (ProcessCpuMs() - c0) / (NowMs() - t0);
    host.PutLong(DVR_SPEED, 0);
    host.Reset();
    host.Open(path, 0);
    t0 = NowMs();
    PumpFor(3000);
    *pPictures = host.positions.size() / ((NowMs() - t0) / 1000.0);
}

bool WriteFile(const std::string& path, const void* p, size_t n)
{
    FILE* f = fopen(path.c_str(), "wb");
    const bool bWritten = f && fwrite(p, 1, n, f) == n;
    return (f ? fclose(f) == 0 : false) && bWritten;
}

// The zoomed first tile and its frame, then the same tile unzoomed with the
// same part of it enlarged by the resampler: what a zoom would be without
// decoding the frame again.
int WriteSharpness(CBenchHost& host, const char* path, const std::string& dir)
{
    host.m_decoder.InvokeHelper(DVR_PAUSE, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
    PumpUntil([&] { return !host.m_pControl->IsPicturePending(); }, NowMs() + 5000);
    const TilePicture zoomed = host.m_pControl->Shown()->tiles.at(0);
    rec::Recording recording;
    std::vector<uint8_t> jpeg;
    if (!recording.open(path) || !zoomed.pFrame || !zoomed.pixels || !recording.readFrame(*zoomed.pFrame, jpeg))
        return fprintf(stderr, "zoom: no zoomed picture\n"), 1;
    WheelOverFirstTile(host, -ZoomView::kMaxStep);
    PumpUntil([&] { return !host.m_pControl->IsPicturePending(); }, NowMs() + 5000);
    const TilePicture tile = host.m_pControl->Shown()->tiles.at(0);
    unsigned w = 0, h = 0;
    CFrameDecoder decoder;
    std::vector<uint32_t> whole;
    decoder.DecodeWhole(jpeg.data(), jpeg.size(), &w, &h, &whole);
    const FrameRegion& crop = zoomed.crop;
    const auto at = [](unsigned v, unsigned from, unsigned to) { return unsigned(double(v) * to / from + 0.5); };
    const unsigned x = at(crop.x, w, tile.cx), y = at(crop.y, h, tile.cy);
    const unsigned cx = at(crop.w, w, tile.cx), cy = at(crop.h, h, tile.cy);
    std::vector<uint32_t> enlarged(size_t(zoomed.cx) * zoomed.cy);
    CPictureResampler resampler;
    resampler.Resample(reinterpret_cast<const uint8_t*>(tile.pixels->data() + size_t(y) * tile.cx + x), cx, cy,
                       size_t(tile.cx) * 4, enlarged.data(), zoomed.cx, zoomed.cy);
    const size_t nBytes = enlarged.size() * 4;
    if (!WriteFile(dir + "\\zoom-frame.jpg", jpeg.data(), jpeg.size()) ||
        !WriteFile(dir + "\\zoom-decoded.bgra", zoomed.pixels->data(), nBytes) ||
        !WriteFile(dir + "\\zoom-enlarged.bgra", enlarged.data(), nBytes))
        return fprintf(stderr, "zoom: could not write into %s\n", dir.c_str()), 1;
    printf("tile=%ux%u\ncrop=%u:%u:%u:%u\n", zoomed.cx, zoomed.cy, crop.w, crop.h, crop.x, crop.y);
    return 0;
}

// ms from a double-click on a tile to that camera's whole-view picture composed and drawn, while paused.
std::vector<double> TimeDoubleClicks(CBenchHost& host)
{
    std::vector<double> times;
    HWND hwnd = host.m_pControl->Window();
    for (int i = 0; i < 16; ++i) {
        const LPARAM tile = MAKELPARAM(kClientWidth / 4 * (i % 4) + 20, kClientHeight / 4 * (i / 4) + 20);
        const double t0 = NowMs();
        SendMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, tile);
        const auto whole = [&] {
            const DecodedPicture* pShown = host.m_pControl->Shown();
            return !host.m_pControl->IsPicturePending() && pShown && pShown->tiles.size() == 1 &&
                   pShown->tiles[0].cx == unsigned(kClientWidth) && pShown->tiles[0].pixels;
        };
        if (PumpUntil(whole, t0 + 5000))
            times.push_back(NowMs() - t0);
        SendMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, tile);  // back to the 16
        PumpUntil([&] { return !host.m_pControl->IsPicturePending(); }, NowMs() + 5000);
        PumpFor(50);
    }
    return times;
}

int Zoom(CBenchHost& host, const char* path, const std::string& dir)
{
    host.PutLong(DVR_VIEW_GROUP, 0);
    host.PutLong(DVR_VIEW_SPLIT, 16);
    double cores[2], pictures[2];
    MeasureView(host, path, &cores[0], &pictures[0]);
    WheelOverFirstTile(host, 4);  // 4x; the zoom stays through the opens of the same file
    MeasureView(host, path, &cores[1], &pictures[1]);
    printf("unzoomed_1x_cores=%.3f\nzoomed_1x_cores=%.3f\n", cores[0], cores[1]);
    printf("unzoomed_full_pps=%.1f\nzoomed_full_pps=%.1f\n", pictures[0], pictures[1]);
    if (WriteSharpness(host, path, dir) != 0)
        return 1;
    const std::vector<double> clicks = TimeDoubleClicks(host);
    if (clicks.empty())
        return fprintf(stderr, "zoom: no double-click showed one camera\n"), 1;
    printf("double_click_median_ms=%.1f\n", Median(clicks));
    return 0;
}

int Usage()
{
    fprintf(stderr,
            "usage: decoder_bench throughput FILE [SPLIT] | codec|seek|memory|review FILE | cpu|search FILE [SECONDS]"
            " | zoom FILE DIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    const std::string mode = argv[1];
    const char* path = argv[2];
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    AfxEnableControlContainer();
    DWORD dwCookie = 0;
    if (FAILED(CoRegisterClassObject(CLSID_DvrControl, &g_factory, CLSCTX_INPROC_SERVER,
                                     REGCLS_MULTIPLEUSE, &dwCookie))) {
        fprintf(stderr, "could not register the control's class\n");
        return 1;
    }
    if (mode == "codec") {
        const int status = Codec(path);
        OleUninitialize();
        return status;
    }
    int status = 1;
    {
        CBenchHost host;
        if (!host.Create()) {
            fprintf(stderr, "could not create the control in place\n");
        } else if (mode == "throughput") {
            status = Throughput(host, path, argc > 3 ? atol(argv[3]) : 16);
        } else if (mode == "seek") {
            status = Seek(host, path);
        } else if (mode == "cpu") {
            status = Cpu(host, path, argc > 3 ? atof(argv[3]) : 20.0);
        } else if (mode == "search") {
            status = SearchWhilePlaying(host, path, argc > 3 ? atof(argv[3]) : 20.0);
        } else if (mode == "review") {
            status = Review(host, path);
        } else if (mode == "zoom" && argc > 3) {
            status = Zoom(host, path, argv[3]);
        } else if (mode == "memory") {
            status = Memory(host, path);
        } else {
            status = Usage();
        }
        fflush(stdout);
        if (host.IsWindow()) {
            host.m_decoder.InvokeHelper(DVR_STOP, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE);
            host.m_decoder.DestroyControl();
            host.DestroyWindow();
        }
    }
    CoRevokeClassObject(dwCookie);
    OleUninitialize();
    return status;
}
