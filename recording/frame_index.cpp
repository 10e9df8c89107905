// Where each stream's frames are. Three sources, best first: the OpenDML index ('indx'
// super index and its 'ix##' chunks), the legacy 'idx1' (it reaches only into the first
// RIFF), and a scan of the 'movi' lists when there is no usable index. Entries that point
// outside the file are dropped and noted as damage.
#include "recording/avi_parser.h"

#include "recording/bytes.h"
#include "recording/riff_tags.h"

#include <algorithm>

namespace rec {

namespace {

constexpr uint32_t kIdx1Keyframe = 0x10;

}  // namespace

void AviParser::findFrames()
{
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
            damage(DamageKind::BadIndex, m_idx1Off, "idx1 does not cover the AVIX parts; frames found by scanning");
        }
        if (!idx1) toScan = noOdml;
    }
    if (toScan.empty()) return;
    if (!m_haveIdx1)
        damage(DamageKind::IndexRebuilt, m_movi.front().start, "no index; frames found by scanning the picture data");
    for (size_t i : toScan) m_r.m_streams[i].frames.clear();
    framesFromScan(toScan);
}

void AviParser::addFrame(size_t slot, uint64_t dataOff, uint32_t size, bool key, DroppedFrames& dropped)
{
    if (dataOff > m_size) {
        dropped.pastEof++;
        return;
    }
    if (uint64_t(size) > m_size - dataOff) {
        dropped.cutOff++;
        return;
    }
    m_r.m_streams[slot].frames.push_back({dataOff, size, 0, key});
}

// The slot of the stream whose picture chunk id is, or -1 (not a picture, or a stream
// that is not one of ours).
int AviParser::slotOfPicture(uint32_t id) const
{
    if (!isPictureChunk(id)) return -1;
    size_t sn = size_t(streamOfChunk(id));
    return sn < m_slotOfAvi.size() ? m_slotOfAvi[sn] : -1;
}

// ---- OpenDML ----

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
    DroppedFrames dropped;
    for (uint32_t e = 0; e < inUse; e++) {
        if (!readStdIndex(slot, info, rd64(sx.data() + 24 + 16 * size_t(e)), dropped)) {
            st.frames.clear();
            return false;
        }
    }
    if (dropped.pastEof)
        damage(DamageKind::IndexEntry, info.superIndexOffset,
               "camera " + std::to_string(st.camera) + ": " + std::to_string(dropped.pastEof) +
                   " index entries point past the end of the file; dropped");
    if (dropped.cutOff)
        damage(DamageKind::TruncatedFrame, info.superIndexOffset,
               "camera " + std::to_string(st.camera) + ": " + std::to_string(dropped.cutOff) +
                   " frames cut off by the end of the file; dropped");
    return true;
}

// One 'ix##' standard index at off; false when it cannot be used (the stream's OpenDML
// index is then given up as a whole).
bool AviParser::readStdIndex(size_t slot, const StreamInfo& info, uint64_t off, DroppedFrames& dropped)
{
    uint8_t h[8];
    if (off > m_size || m_size - off < 8 + 24 || !m_src.read(off, h, 8)) {
        damage(DamageKind::BadIndex, info.superIndexOffset, "super index points past the end of the file");
        return false;
    }
    uint32_t id = rd32(h), size = rd32(h + 4);
    if (!isIndexChunk(id) || size < 24 || !m_ixSeen.insert(off).second) {
        damage(DamageKind::BadIndex, off, "super index entry does not point at a fresh 'ix##' chunk");
        return false;
    }
    uint64_t n = std::min<uint64_t>(size, m_size - off - 8);
    // Index chunks may overlap in a hostile file: all of them together may not read more
    // than the file holds.
    m_ixBytes += n;
    if (m_ixBytes > m_size) {
        damage(DamageKind::BadIndex, off, "'ix##' chunks overlap");
        return false;
    }
    std::vector<uint8_t> ix;
    if (!readAt(off + 8, ix, n)) return false;
    if (rd16(ix.data()) != 2 || ix[3] != 1) {  // longs per entry, index of chunks
        damage(DamageKind::BadIndex, off, "'ix##' chunk of an unknown form");
        return false;
    }
    uint32_t count = rd32(ix.data() + 4);
    const uint64_t baseOff = rd64(ix.data() + 12);
    if (count > (ix.size() - 24) / 8) {
        damage(DamageKind::IndexEntry, off, "'ix##' chunk cut short; its missing entries are lost");
        count = uint32_t((ix.size() - 24) / 8);
    }
    // Frames cannot outnumber chunk headers the file could hold.
    const uint64_t maxFrames = m_size / 8;
    std::vector<Frame>& frames = m_r.m_streams[slot].frames;
    for (uint32_t k = 0; k < count && frames.size() < maxFrames; k++) {
        const uint8_t* q = ix.data() + 24 + 8 * size_t(k);
        uint32_t rel = rd32(q), sz = rd32(q + 4);
        uint64_t data = baseOff + rel;
        if (data < baseOff) {  // wrapped
            dropped.pastEof++;
            continue;
        }
        addFrame(slot, data, sz & 0x7fffffffu, (sz & 0x80000000u) == 0, dropped);
    }
    return true;
}

// ---- idx1 ----

bool AviParser::framesFromIdx1(const std::vector<size_t>& slots)
{
    std::vector<bool> want(m_r.m_streams.size(), false);
    for (size_t s : slots) want[s] = true;
    uint64_t count = m_idx1Size / 16;
    if (count == 0) return false;
    std::vector<uint8_t> idx;
    if (!readAt(m_idx1Off + 8, idx, count * 16)) return false;
    const uint64_t base = idx1Base(idx, count);
    if (base == UINT64_MAX) return false;

    DroppedFrames dropped;
    for (uint64_t i = 0; i < count; i++) {
        const uint8_t* e = idx.data() + 16 * i;
        int slot = slotOfPicture(rd32(e));
        if (slot < 0 || !want[size_t(slot)]) continue;
        uint64_t data = base + rd32(e + 8) + 8;
        addFrame(size_t(slot), data, rd32(e + 12), (rd32(e + 4) & kIdx1Keyframe) != 0, dropped);
    }
    if (dropped.pastEof)
        damage(DamageKind::IndexEntry, m_idx1Off,
               std::to_string(dropped.pastEof) + " idx1 entries point past the end of the file; dropped");
    if (dropped.cutOff)
        damage(DamageKind::TruncatedFrame, m_idx1Off,
               std::to_string(dropped.cutOff) + " frames cut off by the end of the file; dropped");
    return true;
}

// Offsets are from the 'movi' fourcc or, in some writers, from the start of the file; the
// first picture entry tells which by the chunk id found there. UINT64_MAX when neither.
uint64_t AviParser::idx1Base(const std::vector<uint8_t>& idx, uint64_t count)
{
    for (uint64_t i = 0; i < count; i++) {
        const uint8_t* e = idx.data() + 16 * i;
        uint32_t id = rd32(e);
        if (!isPictureChunk(id)) continue;
        uint32_t off = rd32(e + 8);
        uint8_t h[4];
        for (uint64_t b : {m_movi.front().listFourcc, uint64_t(0)})
            if (m_src.read(b + off, h, 4) && rd32(h) == id) return b;
        damage(DamageKind::BadIndex, m_idx1Off, "idx1 entries do not point at frames; frames found by scanning");
        return UINT64_MAX;
    }
    return UINT64_MAX;
}

// ---- Scan ----

void AviParser::framesFromScan(const std::vector<size_t>& slots)
{
    std::vector<bool> want(m_r.m_streams.size(), false);
    for (size_t s : slots) want[s] = true;
    DroppedFrames dropped;
    for (const Range& r : m_movi) scanMovi(r, want, dropped);
    if (dropped.cutOff)
        damage(DamageKind::TruncatedFrame, m_size,
               std::to_string(dropped.cutOff) + " frame cut off by the end of the file; dropped");
}

void AviParser::scanMovi(const Range& r, const std::vector<bool>& want, DroppedFrames& dropped)
{
    uint64_t pos = r.start;
    while (pos + 8 <= r.end) {
        uint8_t h[12];
        if (!m_src.read(pos, h, 8)) return;
        uint32_t id = rd32(h), size = rd32(h + 4);
        uint64_t end = pos + 8 + uint64_t(size);
        // 'rec ' groups are read through as if flat; no nesting to follow.
        if (id == fourcc("LIST") && pos + 12 <= r.end && m_src.read(pos + 8, h + 8, 4) &&
            rd32(h + 8) == fourcc("rec ")) {
            pos += 12;
            continue;
        }
        bool known = isTag(id);
        if (known && end <= r.end) {
            int slot = slotOfPicture(id);
            if (slot >= 0 && want[size_t(slot)]) addFrame(size_t(slot), pos + 8, size, true, dropped);
            pos = end + (size & 1);
            continue;
        }
        if (known && end > m_size) {
            if (isPictureChunk(id)) dropped.cutOff++;
            else damage(DamageKind::TruncatedChunk, pos, "'" + tagText(id) + "' cut off by the end of the file");
            return;
        }
        // Garbage or a chunk overrunning its list: go on at the next picture chunk.
        uint64_t found = nextPictureChunk(pos + 1, r.end);
        damage(DamageKind::BadChunk, pos,
               found == UINT64_MAX ? "unreadable picture data up to the end"
                                   : "unreadable picture data up to " + hex(found));
        if (found == UINT64_MAX) return;
        pos = found;
    }
}

// The next header of one of our streams' picture chunks that fits before end, from
// from on; UINT64_MAX when there is none. Small reads first: garbage between frames is
// usually short, and a long read for every resync would make a hostile file slow.
uint64_t AviParser::nextPictureChunk(uint64_t from, uint64_t end)
{
    std::vector<uint8_t> buf;
    size_t step = 512;
    while (from + 8 <= end) {
        const size_t kStep = step;
        step = std::min<size_t>(step * 2, 64 * 1024);
        uint64_t n = std::min<uint64_t>(kStep + 7, end - from);
        if (!readAt(from, buf, n)) return UINT64_MAX;
        for (size_t i = 0; i + 8 <= buf.size(); i++) {
            if (slotOfPicture(rd32(buf.data() + i)) < 0) continue;
            if (from + i + 8 + rd32(buf.data() + i + 4) > end) continue;
            return from + i;
        }
        from += kStep;
    }
    return UINT64_MAX;
}

}  // namespace rec
