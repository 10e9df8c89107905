// The header list 'hdrl': the main header, each stream's 'strl', dates from 'INFO' and
// 'IDIT'; then which streams are cameras, and which camera each is.
#include "recording/avi_parser.h"

#include "recording/avidate.h"
#include "recording/bytes.h"
#include "recording/riff_tags.h"

#include <algorithm>

namespace rec {

namespace {

constexpr size_t kMaxStreams = 100;  // stream numbers are two digits
constexpr size_t kMaxDate = 256;

}  // namespace

void AviParser::parseHdrl(const uint8_t* p, size_t n, uint64_t base)
{
    forEachChunk(p, n, base, "hdrl", [&](const Chunk& c) {
        if (c.id == fourcc("avih")) {
            if (c.size < 40) {
                damage(DamageKind::BadHeader, c.fileOffset, "main header (avih) too short");
                return;
            }
            m_avih = true;
            m_usPerFrame = rd32(c.data);
        } else if (c.id == fourcc("LIST") && c.listType == fourcc("strl")) {
            if (m_info.size() >= kMaxStreams) {
                damage(DamageKind::BadHeader, c.fileOffset, "more than 100 streams; the rest ignored");
                return;
            }
            parseStrl(c.data, c.size, c.fileOffset + 12);
        } else if (c.id == fourcc("LIST") && c.listType == fourcc("INFO")) {
            parseInfo(c.data, c.size, c.fileOffset + 12);
        } else if (c.id == fourcc("IDIT")) {
            takeDate(c.data, std::min(c.size, kMaxDate));
        }
        // 'odml' (total frames) and anything else: nothing we need.
    });
    if (!m_avih) damage(DamageKind::BadHeader, base, "no main header (avih)");
}

void AviParser::parseStrl(const uint8_t* p, size_t n, uint64_t base)
{
    StreamInfo s;
    s.aviStream = int(m_info.size());
    bool strh = false;
    forEachChunk(p, n, base, "strl", [&](const Chunk& c) {
        if (c.id == fourcc("strh") && !strh) {
            strh = true;
            if (c.size < 36) {
                s.damaged = true;
                damage(DamageKind::BadHeader, c.fileOffset, "stream header (strh) too short");
                return;
            }
            s.video = rd32(c.data) == fourcc("vids");
            s.handler = rd32(c.data + 4);
            s.scale = rd32(c.data + 20);
            s.rate = rd32(c.data + 24);
        } else if (c.id == fourcc("strf")) {
            if (c.size >= 20) {
                int32_t w = int32_t(rd32(c.data + 4)), h = int32_t(rd32(c.data + 8));
                s.width = w > 0 ? uint32_t(w) : 0;
                s.height = h < 0 ? uint32_t(-int64_t(h)) : uint32_t(h);
                s.compression = rd32(c.data + 16);
            }
        } else if (c.id == fourcc("strn")) {
            size_t len = 0;
            while (len < c.size && len < 256 && c.data[len]) len++;
            s.name.assign(reinterpret_cast<const char*>(c.data), len);
            s.hasName = true;
        } else if (c.id == fourcc("indx")) {
            s.superIndex.assign(c.data, c.data + c.size);
            s.superIndexOffset = c.fileOffset;
        }
    });
    if (!strh && !s.damaged) {
        s.damaged = true;
        damage(DamageKind::BadHeader, base, "stream " + std::to_string(s.aviStream) + " has no header (strh)");
    }
    s.mjpeg = s.video && (isMjpeg(s.handler) || isMjpeg(s.compression));
    m_info.push_back(std::move(s));
}

void AviParser::parseInfo(const uint8_t* p, size_t n, uint64_t base)
{
    forEachChunk(p, n, base, "INFO", [&](const Chunk& c) {
        if (c.id == fourcc("ICRD") || c.id == fourcc("IDIT") || c.id == fourcc("ISFT"))
            takeDate(c.data, std::min(c.size, kMaxDate));
    });
}

void AviParser::takeDate(const uint8_t* p, size_t n)
{
    if (m_haveAviDate) return;
    size_t len = 0;
    while (len < n && p[len]) len++;
    StartTime t;
    if (parseAviDate(std::string(reinterpret_cast<const char*>(p), len), t)) {
        m_aviDate = t;
        m_haveAviDate = true;
    }
}

Status AviParser::acceptStreams()
{
    bool sawDamaged = false, sawVideo = false;
    uint32_t taken = 0;
    m_slotOfAvi.assign(m_info.size(), -1);
    for (StreamInfo& s : m_info) {
        if (s.damaged) {
            sawDamaged = true;
            continue;
        }
        if (!s.mjpeg) {
            sawVideo |= s.video;
            continue;
        }
        const int cam = cameraOf(s, taken, sawDamaged);
        if (cam == 0) continue;
        keepUsableRate(s);
        taken |= 1u << (cam - 1);
        Stream st;
        st.camera = cam;
        st.aviStream = s.aviStream;
        st.width = s.width;
        st.height = s.height;
        st.rate = s.rate;
        st.scale = s.scale;
        m_r.m_streams.push_back(std::move(st));
    }
    if (m_r.m_streams.empty()) {
        if (sawDamaged || m_hdrlDamaged) return {Error::Damaged, "damaged: no readable Motion-JPEG stream header"};
        return {Error::NotRecording, sawVideo ? "not a recording: the video is not Motion-JPEG"
                                              : "not a recording: no Motion-JPEG video stream"};
    }
    std::sort(m_r.m_streams.begin(), m_r.m_streams.end(),
              [](const Stream& a, const Stream& b) { return a.camera < b.camera; });
    for (size_t i = 0; i < m_r.m_streams.size(); i++) m_slotOfAvi[size_t(m_r.m_streams[i].aviStream)] = int(i);
    return {};
}

// The stream's camera, 1..16, from its name or else its number; 0 when the stream is
// dropped (out of range, or a camera already taken).
int AviParser::cameraOf(const StreamInfo& s, uint32_t taken, bool& sawDamaged)
{
    int cam = s.hasName ? cameraOfName(s.name) : 0;
    if (cam == 0) cam = s.aviStream + 1;
    if (cam < 1 || cam > int(kMaxCameras)) {
        damage(DamageKind::BadStream, 0,
               "stream " + std::to_string(s.aviStream) + " has no camera number in 1..16; dropped");
        sawDamaged = true;
        return 0;
    }
    if (taken & (1u << (cam - 1))) {
        damage(DamageKind::BadStream, 0,
               "stream " + std::to_string(s.aviStream) + " repeats camera " + std::to_string(cam) + "; dropped");
        return 0;
    }
    return cam;
}

// A frame rate must be usable for times: at least one frame per hour. Else the main
// header's frame time, else 25 frames a second.
void AviParser::keepUsableRate(StreamInfo& s)
{
    if (s.rate != 0 && s.scale != 0 && uint64_t(s.scale) <= uint64_t(s.rate) * 3600) return;
    damage(DamageKind::BadHeader, 0, "stream " + std::to_string(s.aviStream) + " has an unusable frame rate");
    if (m_usPerFrame > 0 && m_usPerFrame <= 3600000000u) {
        s.rate = 1000000;
        s.scale = m_usPerFrame;
    } else {
        s.rate = 25;
        s.scale = 1;
    }
}

}  // namespace rec
