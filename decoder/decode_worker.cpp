#include "decoder/decode_worker.h"
#include <windows.h>
#include "decoder/recording_glue.h"
#include "decoder/wic_jpeg.h"

namespace {

TilePicture DecodeTile(CWicJpegDecoder& decoder, const rec::Recording& recording,
                       const TileRequest& tile, int64_t nTimeMs)
{
    TilePicture picture;
    picture.camera = tile.camera;
    picture.cx = tile.cx;
    picture.cy = tile.cy;
    const rec::Stream* pStream = recording.streamForCamera(tile.camera);
    const rec::Frame* pFrame = pStream ? FrameToShow(*pStream, nTimeMs) : nullptr;
    std::vector<uint8_t> jpeg;
    if (pFrame && recording.readFrame(*pFrame, jpeg)) {
        // A frame WIC cannot decode leaves the tile undrawn rather than stopping playback.
        if (FAILED(decoder.DecodeScaled(jpeg.data(), jpeg.size(), tile.cx, tile.cy, &picture.pixels)))
            picture.pixels.clear();
    }
    return picture;
}

}  // namespace

CDecodeWorker::CDecodeWorker(Deliver deliver)
    : m_deliver(std::move(deliver)), m_thread([this] { Run(); })
{
}

CDecodeWorker::~CDecodeWorker()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bStopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void CDecodeWorker::Submit(PictureRequest request)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_next = std::move(request);
        m_bHasNext = true;
    }
    m_wake.notify_one();
}

bool CDecodeWorker::TakeNext(PictureRequest* pRequest)
{
    std::unique_lock<std::mutex> guard(m_lock);
    m_wake.wait(guard, [this] { return m_bStopping || m_bHasNext; });
    if (m_bStopping)
        return false;
    *pRequest = std::move(m_next);
    m_next = PictureRequest();
    m_bHasNext = false;
    return true;
}

void CDecodeWorker::Run()
{
    // WIC's objects live in this thread's apartment, apart from the control's.
    HRESULT hrCom = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    DecodeUntilStopped();  // its WIC objects are gone before COM is
    if (SUCCEEDED(hrCom))
        CoUninitialize();
}

void CDecodeWorker::DecodeUntilStopped()
{
    CWicJpegDecoder decoder;
    const bool bDecoderReady = SUCCEEDED(decoder.Init());
    PictureRequest request;
    while (TakeNext(&request)) {
        auto picture = std::make_shared<DecodedPicture>();
        picture->nSerial = request.nSerial;
        picture->nTimeMs = request.nTimeMs;
        for (const TileRequest& tile : request.tiles) {
            if (bDecoderReady)
                picture->tiles.push_back(DecodeTile(decoder, *request.recording, tile, request.nTimeMs));
        }
        request = PictureRequest();  // let go of the recording before delivering
        m_deliver(std::move(picture));
    }
}
