// The DVR's 'dvrx' list (layout in dvrx.h): the start time and the three event blocks.
// A block of the wrong size is taken as far as it goes; a count above the block's slots
// is clamped.
#include "recording/avi_parser.h"
#include "domain/hour.h"

#include "recording/bytes.h"

#include <algorithm>
#include <cstring>

namespace rec {

void AviParser::parseDvrx(const uint8_t* p, size_t n, uint64_t base)
{
    m_r.m_hasDvrx = true;
    bool start = false, src = false, mot = false, gpi = false;
    forEachChunk(p, n, base, "dvrx", [&](const Chunk& c) {
        if (c.id == fourcc("dvst") && !start) {
            start = true;
            if (takeStartTime(c)) m_r.m_startSource = Recording::StartSource::Dvrx;
        } else if (c.id == fourcc("dvsr") && !src) {
            src = true;
            takeBlock(c, m_r.m_source.data(), kSourceBlockSize, kSourceSlots, "Source");
        } else if (c.id == fourcc("dvmo") && !mot) {
            mot = true;
            takeBlock(c, m_r.m_motion.data(), kMotionBlockSize, kMotionSlots, "Motion");
        } else if (c.id == fourcc("dvgp") && !gpi) {
            gpi = true;
            takeBlock(c, m_r.m_gpi.data(), kGpiBlockSize, kGpiSlots, "GPI");
        }
    });
    if (!start) damage(DamageKind::BadDvrx, base, "dvrx has no start time");
    if (!src) damage(DamageKind::BadDvrx, base, "dvrx has no Source block");
    if (!mot) damage(DamageKind::BadDvrx, base, "dvrx has no Motion block");
    if (!gpi) damage(DamageKind::BadDvrx, base, "dvrx has no GPI block");
}

// 'dvst': year (16 bits), month, day, milliseconds of the day (32 bits).
bool AviParser::takeStartTime(const Chunk& c)
{
    if (c.size != 8) {
        damage(DamageKind::BadDvrx, c.fileOffset, "start time chunk has the wrong size");
        return false;
    }
    StartTime t;
    t.year = rd16(c.data);
    t.month = c.data[2];
    t.day = c.data[3];
    uint32_t ms = rd32(c.data + 4);
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || ms >= uint32_t{domain::kDayMs}) {
        damage(DamageKind::BadDvrx, c.fileOffset, "start time out of range");
        return false;
    }
    t.msOfDay = int32_t(ms);
    m_r.m_start = t;
    return true;
}

void AviParser::takeBlock(const Chunk& c, uint8_t* dst, size_t cap, size_t slots, const char* what)
{
    if (c.size != cap)
        damage(DamageKind::BadDvrx, c.fileOffset,
               std::string(what) + " block is " + std::to_string(c.size) + " bytes, not " + std::to_string(cap));
    std::memcpy(dst, c.data, std::min(c.size, cap));
    if (blockCount(dst) > slots) {
        damage(DamageKind::CountClamped, c.fileOffset,
               std::string(what) + " block count " + std::to_string(blockCount(dst)) + " above " +
                   std::to_string(slots));
        setBlockCount(dst, uint16_t(slots));
    }
}

}  // namespace rec
