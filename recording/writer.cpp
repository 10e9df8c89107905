#include "recording/writer.h"

#include "recording/avi_headers.h"
#include "recording/bytes.h"
#include "recording/file64.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace rec {

namespace {

constexpr uint32_t kDmlhSize = 248;
constexpr uint32_t kIdx1Keyframe = 0x10;  // AVIIF_KEYFRAME
constexpr uint32_t kDvrxSize = 4 + (8 + 8) + (8 + kSourceBlockSize) + (8 + kMotionBlockSize) + (8 + kGpiBlockSize);
// Offsets stored in 'ix##' entries are 32-bit, relative to the RIFF's movi list.
constexpr uint64_t kMaxRiffLimit = 0x7fff0000u;

void streamTag(char out[5], const char* kind, size_t stream)
{
    out[0] = kind[0] == 'i' ? 'i' : char('0' + stream / 10);
    out[1] = kind[0] == 'i' ? 'x' : char('0' + stream % 10);
    out[2] = kind[0] == 'i' ? char('0' + stream / 10) : kind[0];
    out[3] = kind[0] == 'i' ? char('0' + stream % 10) : kind[1];
    out[4] = 0;
}

}  // namespace

Writer::~Writer()
{
    if (m_f) close();
}

bool Writer::put(const void* p, size_t n)
{
    if (m_failed) return false;
    if (n && std::fwrite(p, 1, n, m_f) != n) {
        m_failed = true;
        m_error = std::string("write failed: ") + std::strerror(errno);
        return false;
    }
    m_pos += n;
    return true;
}

bool Writer::put32(uint32_t v)
{
    uint8_t b[4];
    wr32(b, v);
    return put(b, 4);
}

bool Writer::put16(uint16_t v)
{
    uint8_t b[2];
    wr16(b, v);
    return put(b, 2);
}

bool Writer::putTag(const char* t) { return put(t, 4); }

uint64_t Writer::putChunk(const char* tag, const std::vector<uint8_t>& content)
{
    putTag(tag);
    put32(uint32_t(content.size()));
    const uint64_t at = m_pos;
    put(content.data(), content.size());
    if (content.size() & 1) put("", 1);
    return at;
}

uint64_t Writer::beginList(const char* type)
{
    const uint64_t at = m_pos;
    putTag("LIST");
    put32(0);
    putTag(type);
    return at;
}

void Writer::endList(uint64_t at) { patch32(at + 4, uint32_t(m_pos - at - 8)); }

bool Writer::patch(uint64_t pos, const void* p, size_t n)
{
    if (m_failed) return false;
    bool ok = seek64(m_f, pos) && std::fwrite(p, 1, n, m_f) == n && seek64(m_f, m_pos);
    if (!ok) {
        m_failed = true;
        m_error = "write failed";
    }
    return ok;
}

bool Writer::patch32(uint64_t pos, uint32_t v)
{
    uint8_t b[4];
    wr32(b, v);
    return patch(pos, b, 4);
}

Status Writer::fail(const std::string& why)
{
    if (m_f) {
        std::fclose(m_f);
        m_f = nullptr;
    }
    m_failed = true;
    return {Error::FileUnreadable, why};
}

Status Writer::open(const std::string& path, const std::vector<StreamFormat>& streams,
                    const WriterOptions& options)
{
    if (m_f) return {Error::FileUnreadable, "writer already open"};
    if (streams.empty() || streams.size() > kMaxCameras) return {Error::NotRecording, "need 1 to 16 streams"};
    uint32_t seen = 0;
    for (const StreamFormat& s : streams) {
        if (s.camera < 1 || s.camera > int(kMaxCameras) || (seen & (1u << (s.camera - 1))))
            return {Error::NotRecording, "camera numbers must be distinct, 1 to 16"};
        seen |= 1u << (s.camera - 1);
    }
    if (options.rate == 0 || options.scale == 0) return {Error::NotRecording, "frame rate must be positive"};
    m_f = openFile(path, "wb");
    if (!m_f) return {Error::FileUnreadable, "cannot create " + path};
    // Frames are a few KB each: a large buffer makes one write of many. The buffer is given,
    // not left to the C library: glibc takes the size only with a buffer and otherwise writes
    // in pieces of 4 KB.
    if (!m_buffer) m_buffer.reset(new char[kBufferSize]);
    std::setvbuf(m_f, m_buffer.get(), _IOFBF, kBufferSize);
    m_failed = false;
    m_error.clear();
    m_streams = streams;
    m_opt = options;
    m_opt.riffLimit = std::min(std::max<uint64_t>(m_opt.riffLimit, 1), kMaxRiffLimit);
    if (m_opt.superIndexEntries == 0) m_opt.superIndexEntries = 1;
    size_t n = streams.size();
    m_pos = 0;
    m_riffs = 0;
    m_riffEntries.assign(n, {});
    m_idx1.clear();
    m_idx1Stream.clear();
    m_ix.assign(n, {});
    m_indxPos.assign(n, 0);
    m_strhPos.assign(n, 0);
    m_frames.assign(n, 0);
    m_maxFrame = 0;
    m_firstRiffFrames = 0;
    writeHeader();
    if (m_failed) return fail(m_error);
    return {};
}

void Writer::writeHeader()
{
    // RIFF 'AVI ' and LIST 'hdrl'; sizes are patched when known.
    m_riffStart = m_pos;
    putTag("RIFF");
    put32(0);
    putTag("AVI ");
    const uint64_t hdrl = beginList("hdrl");

    const StreamFormat& first = m_streams.front();
    MainHeader avih;
    avih.microSecPerFrame = uint32_t(uint64_t(1000000) * m_opt.scale / m_opt.rate);
    avih.flags = kAvifIsInterleaved | (m_opt.writeIdx1 ? kAvifHasIndex : 0);
    avih.streams = uint32_t(m_streams.size());
    avih.width = first.width;
    avih.height = first.height;
    m_avihPos = putChunk("avih", encode(avih));

    for (size_t i = 0; i < m_streams.size(); i++) writeStreamList(i);
    if (m_opt.writeOdml) {
        const uint64_t odml = beginList("odml");
        // dwTotalFrames, patched at close; the rest is reserved.
        m_dmlhPos = putChunk("dmlh", std::vector<uint8_t>(kDmlhSize, 0));
        endList(odml);
    }
    endList(hdrl);

    if (m_opt.writeDvrx) {
        m_dvrxPos = m_pos;
        writeDvrx();
    }
    m_riffs = 1;
    m_moviStart = m_pos;
    putTag("LIST");
    put32(0);
    putTag("movi");
}

// LIST 'strl' of stream i: its header, its format, its name "Camera N" and, for
// OpenDML, its super index with room for superIndexEntries RIFFs.
void Writer::writeStreamList(size_t i)
{
    const StreamFormat& s = m_streams[i];
    const uint64_t strl = beginList("strl");

    StreamHeader strh;
    setTag(strh.fccType, "vids");
    setTag(strh.fccHandler, "MJPG");
    const bool own = s.rate != 0 && s.scale != 0;
    strh.scale = own ? s.scale : m_opt.scale;
    strh.rate = own ? s.rate : m_opt.rate;
    strh.frameRight = uint16_t(s.width);
    strh.frameBottom = uint16_t(s.height);
    m_strhPos[i] = putChunk("strh", encode(strh));

    BitmapInfoHeader strf;
    strf.width = s.width;
    strf.height = s.height;
    setTag(strf.compression, "MJPG");
    strf.sizeImage = s.width * s.height * 3;
    putChunk("strf", encode(strf));

    const std::string name = "Camera " + std::to_string(s.camera);
    putChunk("strn", std::vector<uint8_t>(name.c_str(), name.c_str() + name.size() + 1));

    if (m_opt.writeOdml) {
        SuperIndexHeader indx;
        char id[5];
        streamTag(id, "dc", i);
        setTag(indx.chunkId, id);
        std::vector<uint8_t> content = encode(indx);
        content.resize(content.size() + 16 * size_t(m_opt.superIndexEntries), 0);
        m_indxPos[i] = putChunk("indx", content);
    }
    endList(strl);
}

void Writer::writeDvrx()
{
    std::vector<uint8_t> b;
    b.reserve(8 + kDvrxSize);
    auto tag = [&](const char* t) { b.insert(b.end(), t, t + 4); };
    auto u32 = [&](uint32_t v) { uint8_t x[4]; wr32(x, v); b.insert(b.end(), x, x + 4); };
    tag("LIST");
    u32(kDvrxSize);
    tag("dvrx");
    tag("dvst");
    u32(8);
    b.push_back(uint8_t(m_start.year));
    b.push_back(uint8_t(m_start.year >> 8));
    b.push_back(uint8_t(m_start.month));
    b.push_back(uint8_t(m_start.day));
    u32(uint32_t(m_start.msOfDay));
    tag("dvsr");
    u32(kSourceBlockSize);
    b.insert(b.end(), m_source.begin(), m_source.end());
    tag("dvmo");
    u32(kMotionBlockSize);
    b.insert(b.end(), m_motion.begin(), m_motion.end());
    tag("dvgp");
    u32(kGpiBlockSize);
    b.insert(b.end(), m_gpi.begin(), m_gpi.end());
    if (m_pos == m_dvrxPos) put(b.data(), b.size());
    else patch(m_dvrxPos, b.data(), b.size());
}

void Writer::beginRiff()
{
    m_riffStart = m_pos;
    putTag("RIFF");
    put32(0);
    putTag("AVIX");
    m_moviStart = m_pos;
    putTag("LIST");
    put32(0);
    putTag("movi");
    m_riffs++;
}

void Writer::endRiff()
{
    if (m_opt.writeOdml && !writeStdIndexes()) return;
    patch32(m_moviStart + 4, uint32_t(m_pos - m_moviStart - 8));
    if (m_riffs == 1) {
        m_firstRiffFrames = uint32_t(m_riffEntries[0].size());
        if (m_opt.writeIdx1) writeIdx1();
    }
    patch32(m_riffStart + 4, uint32_t(m_pos - m_riffStart - 8));
    for (auto& es : m_riffEntries) es.clear();
}

// One standard index per stream for this RIFF, at the end of its movi list; false
// when the super index has no room left for it.
bool Writer::writeStdIndexes()
{
    for (size_t i = 0; i < m_streams.size(); i++) {
        const std::vector<Entry>& es = m_riffEntries[i];
        if (es.empty()) continue;
        if (m_ix[i].size() >= m_opt.superIndexEntries) {
            m_failed = true;
            m_error = "too many RIFF parts for the super index";
            return false;
        }
        char ix[5], dc[5];
        streamTag(ix, "ix", i);
        streamTag(dc, "dc", i);
        uint32_t size = uint32_t(24 + 8 * es.size());
        uint64_t at = m_pos;
        putTag(ix);
        put32(size);
        put16(2);
        uint8_t sub[2] = {0, 1};
        put(sub, 2);  // longs per entry, index of chunks
        put32(uint32_t(es.size()));
        putTag(dc);
        uint8_t base[8];
        wr64(base, m_moviStart);
        put(base, 8);
        put32(0);
        for (const Entry& e : es) {
            put32(uint32_t(e.offset + 8 - m_moviStart));
            put32(e.size);  // bit 31 clear: every MJPEG frame is a keyframe
        }
        m_ix[i].push_back({at, 8 + size, uint32_t(es.size())});
    }
    return true;
}

// The legacy index of the first RIFF, every stream's frames in file order.
void Writer::writeIdx1()
{
    putTag("idx1");
    put32(uint32_t(16 * m_idx1.size()));
    uint64_t movi = m_moviStart + 8;  // offsets count from the 'movi' fourcc
    for (size_t k = 0; k < m_idx1.size(); k++) {
        char dc[5];
        streamTag(dc, "dc", m_idx1Stream[k]);
        putTag(dc);
        put32(kIdx1Keyframe);  // every MJPEG frame is a keyframe
        put32(uint32_t(m_idx1[k].offset - movi));
        put32(m_idx1[k].size);
    }
}

Status Writer::addFrame(size_t stream, const uint8_t* jpeg, size_t size)
{
    if (!m_f) return {Error::FileUnreadable, "writer not open"};
    if (stream >= m_streams.size()) return {Error::NotRecording, "no such stream"};
    if (size > 0x7fffffffu) return {Error::NotRecording, "frame too large"};
    bool any = false;
    for (auto& es : m_riffEntries) any |= !es.empty();
    // Index chunks and idx1 still to come count towards the RIFF's size.
    if (any && m_pos - m_riffStart + 8 + size > m_opt.riffLimit) {
        endRiff();
        beginRiff();
    }
    char dc[5];
    streamTag(dc, "dc", stream);
    uint64_t at = m_pos;
    putTag(dc);
    put32(uint32_t(size));
    put(jpeg, size);
    if (size & 1) put("", 1);
    if (m_failed) return fail(m_error);
    m_riffEntries[stream].push_back({at, uint32_t(size)});
    if (m_riffs == 1) {
        m_idx1.push_back({at, uint32_t(size)});
        m_idx1Stream.push_back(uint32_t(stream));
    }
    m_frames[stream]++;
    m_maxFrame = std::max(m_maxFrame, uint32_t(size));
    return {};
}

Status Writer::close()
{
    if (!m_f) return {Error::FileUnreadable, m_failed ? m_error : "writer not open"};
    endRiff();
    // Totals and indexes, now that they are known.
    patch32(m_avihPos + offsetof(MainHeader, totalFrames), m_firstRiffFrames);
    patch32(m_avihPos + offsetof(MainHeader, suggestedBufferSize), m_maxFrame);
    for (size_t i = 0; i < m_streams.size(); i++) {
        patch32(m_strhPos[i] + offsetof(StreamHeader, length), m_frames[i]);
        patch32(m_strhPos[i] + offsetof(StreamHeader, suggestedBufferSize), m_maxFrame);
        if (m_opt.writeOdml) {
            patch32(m_indxPos[i] + offsetof(SuperIndexHeader, entriesInUse), uint32_t(m_ix[i].size()));
            for (size_t k = 0; k < m_ix[i].size(); k++) {
                uint8_t e[16];  // offset of the 'ix##' chunk, its size, its frames
                wr64(e, m_ix[i][k].offset);
                wr32(e + 8, m_ix[i][k].size);
                wr32(e + 12, m_ix[i][k].frames);
                patch(m_indxPos[i] + sizeof(SuperIndexHeader) + 16 * k, e, 16);
            }
        }
    }
    if (m_opt.writeOdml) patch32(m_dmlhPos, m_frames.empty() ? 0 : *std::max_element(m_frames.begin(), m_frames.end()));
    if (m_opt.writeDvrx) writeDvrx();
    bool ok = !m_failed;
    std::string err = m_error;
    if (std::fclose(m_f) != 0) ok = false;
    m_f = nullptr;
    if (!ok) return {Error::FileUnreadable, err.empty() ? "write failed" : err};
    return {};
}

}  // namespace rec
