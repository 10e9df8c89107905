// The walk over the file's RIFF lists: the first RIFF 'AVI ', then the 'AVIX' ones of the
// OpenDML extension, and the chunks at their top level. Lists are entered only where they
// belong, so nesting is bounded by construction.
#include "recording/avi_parser.h"

#include "recording/bytes.h"
#include "recording/riff_tags.h"

#include <algorithm>

namespace rec {

namespace {

// Bounds on what one file may make us hold, whatever its headers claim.
constexpr uint64_t kMaxHeaderList = 16u << 20;  // 'hdrl'
constexpr uint64_t kMaxDvrx = 1u << 20;
constexpr uint64_t kMaxInfo = 64u << 10;
constexpr uint64_t kMaxDate = 256;
constexpr size_t kMaxDamage = 200;

}  // namespace

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

Status AviParser::run()
{
    Status s = walkFile();
    if (!s) return s;
    if (!m_haveHdrl) return {Error::Damaged, "damaged: no stream headers"};
    s = acceptStreams();
    if (!s) return s;
    if (m_movi.empty()) return {Error::Damaged, "damaged: no picture data"};

    findFrames();
    size_t total = 0;
    for (Stream& st : m_r.m_streams) {
        for (size_t i = 0; i < st.frames.size(); i++) st.frames[i].timeMs = st.timeOf(i);
        total += st.frames.size();
    }
    if (total == 0 && !m_r.m_damage.empty()) return {Error::Damaged, "damaged: no readable frames"};

    if (m_r.m_startSource == Recording::StartSource::None && m_haveAviDate) {
        m_r.m_start = m_aviDate;
        m_r.m_startSource = Recording::StartSource::AviDate;
    }
    return {};
}

Status AviParser::walkFile()
{
    uint8_t h[12];
    if (m_size < 12 || !m_src.read(0, h, 12)) return {Error::NotRecording, "not a recording (too short for an AVI header)"};
    if (rd32(h) != fourcc("RIFF") || rd32(h + 8) != fourcc("AVI "))
        return {Error::NotRecording, "not a recording (no AVI header)"};

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
    return {};
}

void AviParser::walkRiff(uint64_t pos, uint64_t end, bool first)
{
    uint8_t h[12];
    std::vector<uint8_t> buf;
    while (pos + 8 <= end) {
        if (!m_src.read(pos, h, 8)) break;
        TopChunk c{pos, pos + 8 + uint64_t(rd32(h + 4)), rd32(h), 0, false};
        const uint32_t size = rd32(h + 4);
        c.clipped = c.end > end;
        if (c.clipped) c.end = end;
        if (c.id == fourcc("LIST")) {
            if (pos + 12 > c.end || !m_src.read(pos + 8, h + 8, 4)) {
                damage(DamageKind::BadChunk, pos, "short LIST");
                break;
            }
            c.type = rd32(h + 8);
        }
        if (c.clipped) {
            std::string name = c.type ? "LIST '" + tagText(c.type) + "'" : "'" + tagText(c.id) + "'";
            damage(DamageKind::TruncatedChunk, pos, name + " runs past the end of its RIFF");
        }
        takeTopChunk(c, first, buf);
        if (c.clipped) break;
        pos = c.end + (size & 1);
    }
}

// The lists and chunks the parser needs, read whole (within bounds) and handed on.
void AviParser::takeTopChunk(const TopChunk& c, bool first, std::vector<uint8_t>& buf)
{
    const uint64_t list = c.pos + 12;  // content of a list, past its type
    if (c.type == fourcc("hdrl") && first && !m_haveHdrl) {
        uint64_t n = c.end - list;
        if (n > kMaxHeaderList) {
            damage(DamageKind::BadHeader, c.pos, "header list too large, cut short");
            n = kMaxHeaderList;
        }
        if (readAt(list, buf, n)) {
            m_haveHdrl = true;
            size_t before = m_r.m_damage.size();
            parseHdrl(buf.data(), buf.size(), list);
            m_hdrlDamaged = m_r.m_damage.size() > before || c.clipped;
        }
    } else if (c.type == fourcc("movi")) {
        m_movi.push_back({c.pos + 8, list, c.end});
    } else if (c.type == fourcc("dvrx") && first) {
        uint64_t n = c.end - list;
        if (n > kMaxDvrx) {
            damage(DamageKind::BadDvrx, c.pos, "dvrx list too large");
            n = kMaxDvrx;
        }
        if (readAt(list, buf, n)) parseDvrx(buf.data(), buf.size(), list);
    } else if (c.type == fourcc("INFO")) {
        if (readAt(list, buf, std::min(c.end - list, kMaxInfo))) parseInfo(buf.data(), buf.size(), list);
    } else if (c.id == fourcc("idx1") && first) {
        if (!m_haveIdx1) {
            m_haveIdx1 = true;
            m_idx1Off = c.pos;
            m_idx1Size = uint32_t(c.end - (c.pos + 8));
        }
    } else if (c.id == fourcc("IDIT")) {
        if (readAt(c.pos + 8, buf, std::min(c.end - (c.pos + 8), kMaxDate))) takeDate(buf.data(), buf.size());
    }
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

}  // namespace rec
