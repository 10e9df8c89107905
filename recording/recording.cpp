#include "recording/recording.h"

#include "recording/avidate.h"
#include "recording/bytes.h"
#include "recording/source.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>

namespace rec {

namespace {

// Bounds on what one file may make us hold, whatever its headers claim.
constexpr uint64_t kMaxHeaderList = 16u << 20;  // 'hdrl'
constexpr uint64_t kMaxDvrx = 1u << 20;
constexpr uint64_t kMaxInfo = 64u << 10;
constexpr size_t kMaxStreams = 100;  // stream numbers are two digits
constexpr size_t kMaxDamage = 200;
constexpr uint32_t kIdx1Keyframe = 0x10;

bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool isAlnum(uint8_t c) { return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// '00dc', '01db', ...: the stream number, or -1.
int streamOfChunk(uint32_t id)
{
    uint8_t a = uint8_t(id), b = uint8_t(id >> 8), c = uint8_t(id >> 16), d = uint8_t(id >> 24);
    if (!isDigit(a) || !isDigit(b) || !isAlnum(c) || !isAlnum(d)) return -1;
    return (a - '0') * 10 + (b - '0');
}

bool isPictureChunk(uint32_t id)
{
    uint8_t c = uint8_t(id >> 16), d = uint8_t(id >> 24);
    return streamOfChunk(id) >= 0 && (c == 'd' || c == 'D') && (d == 'c' || d == 'b');
}

// Any four printable characters: a chunk of some kind that we may skip over.
bool isTag(uint32_t id)
{
    for (int i = 0; i < 4; i++) {
        uint8_t c = uint8_t(id >> (8 * i));
        if (!isAlnum(c) && c != ' ' && c != '_') return false;
    }
    return true;
}

bool isIndexChunk(uint32_t id)
{
    uint8_t a = uint8_t(id), b = uint8_t(id >> 8);
    return a == 'i' && b == 'x';
}

bool isMjpeg(uint32_t cc)
{
    char s[4];
    for (int i = 0; i < 4; i++) s[i] = char(std::toupper(uint8_t(cc >> (8 * i))));
    return std::memcmp(s, "MJPG", 4) == 0;
}

std::string hex(uint64_t v)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(v));
    return buf;
}

std::string tagText(uint32_t id)
{
    std::string s;
    for (int i = 0; i < 4; i++) {
        uint8_t c = uint8_t(id >> (8 * i));
        s += (c >= 32 && c < 127) ? char(c) : '?';
    }
    return s;
}

// "Camera N": N, or 0 when the name is not of that form (-1 when it is but N is out of range).
int cameraOfName(const std::string& name)
{
    static const char kWord[] = "camera";
    size_t i = 0;
    while (i < name.size() && name[i] == ' ') i++;
    for (size_t k = 0; k < 6; k++, i++)
        if (i >= name.size() || std::tolower(uint8_t(name[i])) != kWord[k]) return 0;
    while (i < name.size() && name[i] == ' ') i++;
    long n = 0;
    size_t digits = 0;
    while (i < name.size() && isDigit(uint8_t(name[i])) && digits < 6) n = n * 10 + (name[i++] - '0'), digits++;
    if (digits == 0) return 0;
    while (i < name.size() && (name[i] == ' ' || name[i] == '\0')) i++;
    if (i != name.size()) return 0;
    return (n >= 1 && n <= long(kMaxCameras)) ? int(n) : -1;
}

// One chunk inside a buffer that was read whole.
struct Chunk {
    uint32_t id;
    uint32_t listType;    // for 'LIST' / 'RIFF', else 0
    const uint8_t* data;  // content (past the list type for lists)
    size_t size;          // content size, clipped to the buffer
    uint64_t fileOffset;  // of the chunk header
    bool clipped;
};

}  // namespace

// What the headers say about one stream, before frames are attached.
struct StreamInfo {
    int aviStream = 0;
    bool video = false;
    bool mjpeg = false;
    bool damaged = false;
    uint32_t handler = 0, compression = 0;
    uint32_t rate = 0, scale = 0;
    uint32_t width = 0, height = 0;
    std::string name;
    bool hasName = false;
    std::vector<uint8_t> superIndex;  // 'indx' content
    uint64_t superIndexOffset = 0;
};

class AviParser {
public:
    AviParser(Recording& r) : m_r(r), m_src(*r.m_src), m_size(r.m_fileSize) {}
    Status run();

private:
    Recording& m_r;
    const Source& m_src;
    uint64_t m_size;
    bool m_haveHdrl = false;
    bool m_avih = false;
    bool m_hdrlDamaged = false;
    uint32_t m_usPerFrame = 0;
    std::vector<StreamInfo> m_info;
    struct Range {
        uint64_t listFourcc, start, end;
    };  // 'movi' fourcc offset, content range
    std::vector<Range> m_movi;
    size_t m_riffs = 0;
    uint64_t m_idx1Off = 0;
    uint32_t m_idx1Size = 0;
    bool m_haveIdx1 = false;
    StartTime m_aviDate;
    bool m_haveAviDate = false;
    std::vector<int> m_slotOfAvi;  // AVI stream number -> index in m_r.m_streams, or -1
    std::set<uint64_t> m_ixSeen;
    uint64_t m_ixBytes = 0;

    void damage(DamageKind k, uint64_t off, const std::string& what);
    bool readAt(uint64_t off, std::vector<uint8_t>& buf, uint64_t n);
    void walkRiff(uint64_t pos, uint64_t end, bool first);
    void forEachChunk(const uint8_t* p, size_t n, uint64_t base, const char* where,
                      const std::function<void(const Chunk&)>& f);
    void parseHdrl(const uint8_t* p, size_t n, uint64_t base);
    void parseStrl(const uint8_t* p, size_t n, uint64_t base);
    void parseInfo(const uint8_t* p, size_t n, uint64_t base);
    void takeDate(const uint8_t* p, size_t n);
    void parseDvrx(const uint8_t* p, size_t n, uint64_t base);
    Status acceptStreams();
    bool framesFromOdml(size_t slot, const StreamInfo& info);
    bool framesFromIdx1(const std::vector<size_t>& slots);
    void framesFromScan(const std::vector<size_t>& slots);
    void addFrame(size_t slot, uint64_t dataOff, uint32_t size, bool key, size_t& pastEof,
                  size_t& cutOff);
};

void AviParser::damage(DamageKind k, uint64_t off, const std::string& what)
{
    auto& d = m_r.m_damage;
    if (d.size() < kMaxDamage) d.push_back({k, off, what});
    else if (d.size() == kMaxDamage) d.push_back({k, off, "further damage not listed"});
}

bool AviParser::readAt(uint64_t off, std::vector<uint8_t>& buf, uint64_t n)
{
    if (off > m_size || n > m_size - off) return false;
    buf.resize(size_t(n));
    return m_src.read(off, buf.data(), size_t(n));
}

void AviParser::forEachChunk(const uint8_t* p, size_t n, uint64_t base, const char* where,
                             const std::function<void(const Chunk&)>& f)
{
    size_t pos = 0;
    while (pos + 8 <= n) {
        Chunk c{};
        c.id = rd32(p + pos);
        uint32_t size = rd32(p + pos + 4);
        c.fileOffset = base + pos;
        size_t avail = n - pos - 8;
        c.clipped = size > avail;
        size_t take = c.clipped ? avail : size;
        c.data = p + pos + 8;
        c.size = take;
        if (c.clipped)
            damage(DamageKind::TruncatedChunk, c.fileOffset,
                   "chunk '" + tagText(c.id) + "' in " + where + " runs past its end");
        if (c.id == fourcc("LIST")) {
            if (take < 4) {
                damage(DamageKind::BadChunk, c.fileOffset, std::string("short LIST in ") + where);
                break;
            }
            c.listType = rd32(c.data);
            c.data += 4;
            c.size -= 4;
        }
        f(c);
        if (c.clipped) break;
        pos += 8 + size_t(size) + (size & 1);
    }
}

Status AviParser::run()
{
    uint8_t h[12];
    if (m_size < 12 || !m_src.read(0, h, 12))
        return {Error::NotRecording, "too short to be an AVI file"};
    if (rd32(h) != fourcc("RIFF") || rd32(h + 8) != fourcc("AVI "))
        return {Error::NotRecording, "not an AVI file (no RIFF 'AVI ' header)"};

    // The first RIFF, then any 'AVIX' RIFFs of the OpenDML extension.
    uint64_t pos = 0;
    while (pos + 12 <= m_size) {
        if (!m_src.read(pos, h, 12)) break;
        uint32_t id = rd32(h), size = rd32(h + 4), type = rd32(h + 8);
        uint64_t end = pos + 8 + uint64_t(size);
        bool isRiff = id == fourcc("RIFF") && (type == fourcc("AVI ") || type == fourcc("AVIX"));
        if (!isRiff) {
            if (pos == 0) break;
            // Anything else after the RIFFs: junk that a writer left, or damage.
            if (id != fourcc("JUNK"))
                damage(DamageKind::BadChunk, pos, "unexpected '" + tagText(id) + "' after the RIFF lists");
            if (end > m_size) break;
            pos = end + (size & 1);
            continue;
        }
        if (pos == 0 && type != fourcc("AVI ")) break;
        if (pos != 0 && type != fourcc("AVIX")) {
            damage(DamageKind::BadChunk, pos, "a second RIFF 'AVI ' ignored");
            pos = end > m_size ? m_size : end + (size & 1);
            continue;
        }
        if (size < 4 || end > m_size) {
            // A writer that stopped early leaves the size short or zero: read to the end.
            damage(DamageKind::TruncatedChunk, pos,
                   std::string("RIFF '") + (pos == 0 ? "AVI " : "AVIX") + "' runs past the end of the file");
            end = m_size;
        }
        m_riffs++;
        walkRiff(pos + 12, end, pos == 0);
        if (end >= m_size) break;
        pos = end + (size & 1);
    }

    if (!m_haveHdrl) return {Error::Damaged, "damaged: no stream headers (LIST 'hdrl')"};
    Status s = acceptStreams();
    if (!s) return s;
    if (m_movi.empty()) return {Error::Damaged, "damaged: no picture data (LIST 'movi')"};

    // Frames: OpenDML index per stream, else idx1 (one RIFF only, it covers nothing else),
    // else a scan.
    std::vector<size_t> toScan;
    std::vector<size_t> noOdml;
    for (size_t i = 0; i < m_r.m_streams.size(); i++) {
        const StreamInfo& info = m_info[size_t(m_r.m_streams[i].aviStream)];
        if (!framesFromOdml(i, info)) noOdml.push_back(i);
    }
    if (!noOdml.empty()) {
        bool idx1 = false;
        if (m_haveIdx1 && m_riffs == 1) {
            idx1 = framesFromIdx1(noOdml);
        } else if (m_haveIdx1) {
            // idx1 only reaches into the first RIFF.
            damage(DamageKind::BadIndex, m_idx1Off, "idx1 does not cover the AVIX parts; frames found by scanning");
        }
        if (!idx1) toScan = noOdml;
    }
    if (!toScan.empty()) {
        if (!m_haveIdx1)
            damage(DamageKind::IndexRebuilt, m_movi.front().start, "no index; frames found by scanning 'movi'");
        for (size_t i : toScan) m_r.m_streams[i].frames.clear();
        framesFromScan(toScan);
    }

    size_t total = 0;
    for (Stream& st : m_r.m_streams) {
        for (size_t i = 0; i < st.frames.size(); i++) st.frames[i].timeMs = st.timeOf(i);
        total += st.frames.size();
    }
    if (total == 0 && !m_r.m_damage.empty())
        return {Error::Damaged, "damaged: no readable frames"};

    if (m_r.m_startSource == Recording::StartSource::None && m_haveAviDate) {
        m_r.m_start = m_aviDate;
        m_r.m_startSource = Recording::StartSource::AviDate;
    }
    return {};
}

void AviParser::walkRiff(uint64_t pos, uint64_t end, bool first)
{
    uint8_t h[12];
    std::vector<uint8_t> buf;
    while (pos + 8 <= end) {
        if (!m_src.read(pos, h, 8)) break;
        uint32_t id = rd32(h), size = rd32(h + 4);
        uint64_t cend = pos + 8 + uint64_t(size);
        bool clipped = cend > end;
        if (clipped) cend = end;
        uint32_t type = 0;
        if (id == fourcc("LIST")) {
            if (pos + 12 > cend || !m_src.read(pos + 8, h + 8, 4)) {
                damage(DamageKind::BadChunk, pos, "short LIST");
                break;
            }
            type = rd32(h + 8);
        }
        std::string name = type ? "LIST '" + tagText(type) + "'" : "'" + tagText(id) + "'";
        if (clipped)
            damage(DamageKind::TruncatedChunk, pos,
                   name + " runs past the end of its RIFF");
        if (type == fourcc("hdrl") && first && !m_haveHdrl) {
            uint64_t n = cend - (pos + 12);
            if (n > kMaxHeaderList) {
                damage(DamageKind::BadHeader, pos, "header list too large, cut short");
                n = kMaxHeaderList;
            }
            if (readAt(pos + 12, buf, n)) {
                m_haveHdrl = true;
                size_t before = m_r.m_damage.size();
                parseHdrl(buf.data(), buf.size(), pos + 12);
                m_hdrlDamaged = m_r.m_damage.size() > before || clipped;
            }
        } else if (type == fourcc("movi")) {
            m_movi.push_back({pos + 8, pos + 12, cend});
        } else if (type == fourcc("dvrx") && first) {
            uint64_t n = cend - (pos + 12);
            if (n > kMaxDvrx) {
                damage(DamageKind::BadDvrx, pos, "dvrx list too large");
                n = kMaxDvrx;
            }
            if (readAt(pos + 12, buf, n)) parseDvrx(buf.data(), buf.size(), pos + 12);
        } else if (type == fourcc("INFO")) {
            uint64_t n = std::min<uint64_t>(cend - (pos + 12), kMaxInfo);
            if (readAt(pos + 12, buf, n)) parseInfo(buf.data(), buf.size(), pos + 12);
        } else if (id == fourcc("idx1") && first) {
            if (!m_haveIdx1) {
                m_haveIdx1 = true;
                m_idx1Off = pos;
                m_idx1Size = uint32_t(cend - (pos + 8));
            }
        } else if (id == fourcc("IDIT")) {
            uint64_t n = std::min<uint64_t>(cend - (pos + 8), 256);
            if (readAt(pos + 8, buf, n)) takeDate(buf.data(), buf.size());
        }
        if (clipped) break;
        pos = cend + (size & 1);
    }
}

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
            takeDate(c.data, std::min<size_t>(c.size, 256));
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
            takeDate(c.data, std::min<size_t>(c.size, 256));
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

void AviParser::parseDvrx(const uint8_t* p, size_t n, uint64_t base)
{
    m_r.m_hasDvrx = true;
    bool start = false, src = false, mot = false, gpi = false;
    auto block = [&](const Chunk& c, uint8_t* dst, size_t cap, size_t slots, bool& seen, const char* what) {
        if (seen) return;
        seen = true;
        if (c.size != cap)
            damage(DamageKind::BadDvrx, c.fileOffset,
                   std::string(what) + " block is " + std::to_string(c.size) + " bytes, not " +
                       std::to_string(cap));
        std::memcpy(dst, c.data, std::min(c.size, cap));
        if (blockCount(dst) > slots) {
            damage(DamageKind::CountClamped, c.fileOffset,
                   std::string(what) + " block count " + std::to_string(blockCount(dst)) +
                       " above " + std::to_string(slots));
            setBlockCount(dst, uint16_t(slots));
        }
    };
    forEachChunk(p, n, base, "dvrx", [&](const Chunk& c) {
        if (c.id == fourcc("dvst") && !start) {
            start = true;
            if (c.size != 8) {
                damage(DamageKind::BadDvrx, c.fileOffset, "start time chunk has the wrong size");
                return;
            }
            StartTime t;
            t.year = rd16(c.data);
            t.month = c.data[2];
            t.day = c.data[3];
            uint32_t ms = rd32(c.data + 4);
            if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || ms >= 86400000u) {
                damage(DamageKind::BadDvrx, c.fileOffset, "start time out of range");
                return;
            }
            t.msOfDay = int32_t(ms);
            m_r.m_start = t;
            m_r.m_startSource = Recording::StartSource::Dvrx;
        } else if (c.id == fourcc("dvsr")) {
            block(c, m_r.m_source.data(), kSourceBlockSize, kSourceSlots, src, "Source");
        } else if (c.id == fourcc("dvmo")) {
            block(c, m_r.m_motion.data(), kMotionBlockSize, kMotionSlots, mot, "Motion");
        } else if (c.id == fourcc("dvgp")) {
            block(c, m_r.m_gpi.data(), kGpiBlockSize, kGpiSlots, gpi, "GPI");
        }
    });
    if (!start) damage(DamageKind::BadDvrx, base, "dvrx has no start time");
    if (!src) damage(DamageKind::BadDvrx, base, "dvrx has no Source block");
    if (!mot) damage(DamageKind::BadDvrx, base, "dvrx has no Motion block");
    if (!gpi) damage(DamageKind::BadDvrx, base, "dvrx has no GPI block");
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
        int cam = s.hasName ? cameraOfName(s.name) : 0;
        if (cam == 0) cam = s.aviStream + 1;
        if (cam < 1 || cam > int(kMaxCameras)) {
            damage(DamageKind::BadStream, 0,
                   "stream " + std::to_string(s.aviStream) + " has no camera number in 1..16; dropped");
            sawDamaged = true;
            continue;
        }
        if (taken & (1u << (cam - 1))) {
            damage(DamageKind::BadStream, 0,
                   "stream " + std::to_string(s.aviStream) + " repeats camera " + std::to_string(cam) + "; dropped");
            continue;
        }
        // A frame rate must be usable for times: at least one frame per hour.
        if (s.rate == 0 || s.scale == 0 || uint64_t(s.scale) > uint64_t(s.rate) * 3600) {
            damage(DamageKind::BadHeader, 0,
                   "stream " + std::to_string(s.aviStream) + " has an unusable frame rate");
            if (m_usPerFrame > 0 && m_usPerFrame <= 3600000000u) {
                s.rate = 1000000;
                s.scale = m_usPerFrame;
            } else {
                s.rate = 25;
                s.scale = 1;
            }
        }
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

void AviParser::addFrame(size_t slot, uint64_t dataOff, uint32_t size, bool key, size_t& pastEof,
                         size_t& cutOff)
{
    if (dataOff > m_size) {
        pastEof++;
        return;
    }
    if (uint64_t(size) > m_size - dataOff) {
        cutOff++;
        return;
    }
    m_r.m_streams[slot].frames.push_back({dataOff, size, 0, key});
}

bool AviParser::framesFromOdml(size_t slot, const StreamInfo& info)
{
    const std::vector<uint8_t>& sx = info.superIndex;
    if (sx.size() < 24) return false;
    uint16_t longs = rd16(sx.data());
    uint8_t type = sx[3];
    uint32_t inUse = rd32(sx.data() + 4);
    if (type != 0 || longs != 4) {
        // A 'indx' of another kind (a single-level index): not what writers of such files use.
        damage(DamageKind::BadIndex, info.superIndexOffset, "stream super index of an unknown form");
        return false;
    }
    if (inUse == 0) return false;  // space kept, never filled: the file has one RIFF
    if (inUse > (sx.size() - 24) / 16) {
        damage(DamageKind::BadIndex, info.superIndexOffset, "stream super index claims more entries than it holds");
        return false;
    }
    Stream& st = m_r.m_streams[slot];
    // Frames cannot outnumber chunk headers the file could hold.
    const uint64_t maxFrames = m_size / 8;
    size_t pastEof = 0, cutOff = 0;
    std::vector<uint8_t> ix;
    for (uint32_t e = 0; e < inUse; e++) {
        const uint8_t* ent = sx.data() + 24 + 16 * size_t(e);
        uint64_t off = rd64(ent);
        uint8_t h[8];
        if (off > m_size || m_size - off < 8 + 24 || !m_src.read(off, h, 8)) {
            damage(DamageKind::BadIndex, info.superIndexOffset, "super index points past the end of the file");
            st.frames.clear();
            return false;
        }
        uint32_t id = rd32(h), size = rd32(h + 4);
        if (!isIndexChunk(id) || size < 24 || !m_ixSeen.insert(off).second) {
            damage(DamageKind::BadIndex, off, "super index entry does not point at a fresh 'ix##' chunk");
            st.frames.clear();
            return false;
        }
        uint64_t n = std::min<uint64_t>(size, m_size - off - 8);
        // Index chunks may overlap in a hostile file: all of them together may not read more
        // than the file holds.
        m_ixBytes += n;
        if (m_ixBytes > m_size) {
            damage(DamageKind::BadIndex, off, "'ix##' chunks overlap");
            st.frames.clear();
            return false;
        }
        if (!readAt(off + 8, ix, n)) {
            st.frames.clear();
            return false;
        }
        uint16_t ixLongs = rd16(ix.data());
        uint8_t ixType = ix[3];
        uint32_t count = rd32(ix.data() + 4);
        uint64_t baseOff = rd64(ix.data() + 12);
        if (ixLongs != 2 || ixType != 1) {
            damage(DamageKind::BadIndex, off, "'ix##' chunk of an unknown form");
            st.frames.clear();
            return false;
        }
        if (count > (ix.size() - 24) / 8) {
            damage(DamageKind::IndexEntry, off, "'ix##' chunk cut short; its missing entries are lost");
            count = uint32_t((ix.size() - 24) / 8);
        }
        for (uint32_t k = 0; k < count; k++) {
            if (st.frames.size() >= maxFrames) break;
            const uint8_t* q = ix.data() + 24 + 8 * size_t(k);
            uint32_t rel = rd32(q), sz = rd32(q + 4);
            uint64_t data = baseOff + rel;
            if (data < baseOff) {  // wrapped
                pastEof++;
                continue;
            }
            addFrame(slot, data, sz & 0x7fffffffu, (sz & 0x80000000u) == 0, pastEof, cutOff);
        }
    }
    if (pastEof)
        damage(DamageKind::IndexEntry, info.superIndexOffset,
               "camera " + std::to_string(st.camera) + ": " + std::to_string(pastEof) +
                   " index entries point past the end of the file; dropped");
    if (cutOff)
        damage(DamageKind::TruncatedFrame, info.superIndexOffset,
               "camera " + std::to_string(st.camera) + ": " + std::to_string(cutOff) +
                   " frames cut off by the end of the file; dropped");
    return true;
}

bool AviParser::framesFromIdx1(const std::vector<size_t>& slots)
{
    std::vector<bool> want(m_r.m_streams.size(), false);
    for (size_t s : slots) want[s] = true;
    const Range& movi = m_movi.front();
    uint64_t count = m_idx1Size / 16;
    if (count == 0) return false;
    std::vector<uint8_t> idx;
    if (!readAt(m_idx1Off + 8, idx, count * 16)) return false;

    // Offsets are from the 'movi' fourcc or, in some writers, from the start of the file;
    // the first picture entry tells which by the chunk id found there.
    uint64_t base = UINT64_MAX;
    for (uint64_t i = 0; i < count && base == UINT64_MAX; i++) {
        const uint8_t* e = idx.data() + 16 * i;
        uint32_t id = rd32(e);
        if (!isPictureChunk(id)) continue;
        uint32_t off = rd32(e + 8);
        uint8_t h[4];
        for (uint64_t b : {movi.listFourcc, uint64_t(0)}) {
            if (m_src.read(b + off, h, 4) && rd32(h) == id) {
                base = b;
                break;
            }
        }
        if (base == UINT64_MAX) {
            damage(DamageKind::BadIndex, m_idx1Off, "idx1 entries do not point at frames; frames found by scanning");
            return false;
        }
    }
    if (base == UINT64_MAX) return false;

    size_t pastEof = 0, cutOff = 0;
    for (uint64_t i = 0; i < count; i++) {
        const uint8_t* e = idx.data() + 16 * i;
        int sn = streamOfChunk(rd32(e));
        if (sn < 0 || size_t(sn) >= m_slotOfAvi.size() || m_slotOfAvi[size_t(sn)] < 0) continue;
        if (!isPictureChunk(rd32(e)) || !want[size_t(m_slotOfAvi[size_t(sn)])]) continue;
        uint64_t data = base + rd32(e + 8) + 8;
        addFrame(size_t(m_slotOfAvi[size_t(sn)]), data, rd32(e + 12), (rd32(e + 4) & kIdx1Keyframe) != 0,
                 pastEof, cutOff);
    }
    if (pastEof)
        damage(DamageKind::IndexEntry, m_idx1Off,
               std::to_string(pastEof) + " idx1 entries point past the end of the file; dropped");
    if (cutOff)
        damage(DamageKind::TruncatedFrame, m_idx1Off,
               std::to_string(cutOff) + " frames cut off by the end of the file; dropped");
    return true;
}

void AviParser::framesFromScan(const std::vector<size_t>& slots)
{
    std::vector<bool> want(m_r.m_streams.size(), false);
    for (size_t s : slots) want[s] = true;
    size_t pastEof = 0, cutOff = 0;
    std::vector<uint8_t> buf;
    for (const Range& r : m_movi) {
        uint64_t pos = r.start;
        while (pos + 8 <= r.end) {
            uint8_t h[12];
            if (!m_src.read(pos, h, 8)) break;
            uint32_t id = rd32(h), size = rd32(h + 4);
            uint64_t end = pos + 8 + uint64_t(size);
            if (id == fourcc("LIST")) {
                // 'rec ' groups are read through as if flat; no nesting to follow.
                if (pos + 12 <= r.end && m_src.read(pos + 8, h + 8, 4) && rd32(h + 8) == fourcc("rec ")) {
                    pos += 12;
                    continue;
                }
            }
            int sn = streamOfChunk(id);
            bool known = isTag(id);
            if (known && end <= r.end) {
                if (sn >= 0 && isPictureChunk(id) && size_t(sn) < m_slotOfAvi.size() &&
                    m_slotOfAvi[size_t(sn)] >= 0 && want[size_t(m_slotOfAvi[size_t(sn)])])
                    addFrame(size_t(m_slotOfAvi[size_t(sn)]), pos + 8, size, true, pastEof, cutOff);
                pos = end + (size & 1);
                continue;
            }
            if (known && end > m_size) {
                if (isPictureChunk(id)) cutOff++;
                else damage(DamageKind::TruncatedChunk, pos, "'" + tagText(id) + "' cut off by the end of the file");
                break;
            }
            // Garbage or a chunk overrunning its list: look for the next picture chunk header.
            // Small reads first: garbage between frames is usually short, and a long read for
            // every resync would make a hostile file slow.
            uint64_t from = pos + 1;
            uint64_t found = UINT64_MAX;
            size_t step = 512;
            while (from + 8 <= r.end && found == UINT64_MAX) {
                const size_t kStep = step;
                step = std::min<size_t>(step * 2, 64 * 1024);
                uint64_t n = std::min<uint64_t>(kStep + 7, r.end - from);
                if (!readAt(from, buf, n)) break;
                for (size_t i = 0; i + 8 <= buf.size(); i++) {
                    uint32_t cid = rd32(buf.data() + i);
                    int csn = streamOfChunk(cid);
                    if (!isPictureChunk(cid) || size_t(csn) >= m_slotOfAvi.size() || m_slotOfAvi[size_t(csn)] < 0)
                        continue;
                    if (from + i + 8 + rd32(buf.data() + i + 4) > r.end) continue;
                    found = from + i;
                    break;
                }
                from += kStep;
            }
            damage(DamageKind::BadChunk, pos,
                   found == UINT64_MAX ? "unreadable data in 'movi' up to its end"
                                       : "unreadable data in 'movi' up to " + hex(found));
            if (found == UINT64_MAX) break;
            pos = found;
        }
    }
    if (cutOff)
        damage(DamageKind::TruncatedFrame, m_size, std::to_string(cutOff) + " frame cut off by the end of the file; dropped");
    (void)pastEof;
}

// ---- Stream and Recording ----

int64_t Stream::timeOf(uint64_t index) const
{
    if (rate == 0) return 0;
    // Split so that nothing overflows: index < 2^32, scale/rate <= 3600.
    uint64_t is = index * uint64_t(scale);
    return int64_t((is / rate) * 1000 + (is % rate) * 1000 / rate);
}

long Stream::frameAt(int64_t t) const
{
    auto it = std::upper_bound(frames.begin(), frames.end(), t,
                               [](int64_t v, const Frame& f) { return v < f.timeMs; });
    return long(it - frames.begin()) - 1;
}

Recording::Recording() = default;
Recording::~Recording() = default;
Recording::Recording(Recording&&) noexcept = default;
Recording& Recording::operator=(Recording&&) noexcept = default;

void Recording::close()
{
    m_src.reset();
    m_fileSize = 0;
    m_streams.clear();
    m_start = StartTime();
    m_startSource = StartSource::None;
    m_hasDvrx = false;
    m_source.fill(0);
    m_motion.fill(0);
    m_gpi.fill(0);
    m_damage.clear();
}

bool Recording::isOpen() const { return m_src != nullptr; }

Status Recording::open(const std::string& path)
{
    close();
    auto f = std::make_unique<FileSource>();
    Status s = f->open(path);
    if (!s) return s;
    m_src = std::move(f);
    return parse();
}

Status Recording::openMemory(const void* data, size_t size)
{
    close();
    m_src = std::make_unique<MemorySource>(data, size);
    return parse();
}

Status Recording::parse()
{
    m_fileSize = m_src->size();
    AviParser p(*this);
    Status s = p.run();
    if (!s) close();
    return s;
}

const Stream* Recording::streamForCamera(int camera) const
{
    for (const Stream& s : m_streams)
        if (s.camera == camera) return &s;
    return nullptr;
}

uint32_t Recording::cameraMask() const
{
    uint32_t m = 0;
    for (const Stream& s : m_streams) m |= 1u << (s.camera - 1);
    return m;
}

int64_t Recording::durationMs() const
{
    int64_t d = 0;
    for (const Stream& s : m_streams) d = std::max(d, s.durationMs());
    return d;
}

size_t Recording::readFrame(const Frame& frame, uint8_t* buf, size_t capacity) const
{
    if (!m_src || frame.offset >= m_fileSize) return 0;
    uint64_t n = std::min<uint64_t>({frame.size, capacity, m_fileSize - frame.offset});
    if (n == 0 || !m_src->read(frame.offset, buf, size_t(n))) return 0;
    return size_t(n);
}

bool Recording::readFrame(const Frame& frame, std::vector<uint8_t>& out) const
{
    out.clear();
    if (!m_src || frame.offset > m_fileSize || frame.size > m_fileSize - frame.offset) return false;
    out.resize(frame.size);
    return frame.size == 0 || readFrame(frame, out.data(), out.size()) == frame.size;
}

const char* errorName(Error e)
{
    switch (e) {
    case Error::Ok: return "ok";
    case Error::FileMissing: return "file missing";
    case Error::FileUnreadable: return "file unreadable";
    case Error::NotRecording: return "not a recording";
    case Error::Damaged: return "damaged";
    }
    return "unknown";
}

std::string formatStartTime(const StartTime& t)
{
    int32_t ms = t.msOfDay < 0 ? 0 : t.msOfDay;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d\t%02d:%02d:%02d.%03d", t.year, t.month, t.day,
                  int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000));
    return buf;
}

}  // namespace rec
