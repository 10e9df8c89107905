#include "tests/integration/damaged_files.h"
#include <gtest/gtest.h>
#include <cstring>
#include "recording/recording.h"

const COLORREF kCameraColors[3] = {RGB(200, 30, 30), RGB(30, 180, 30), RGB(30, 30, 200)};

TestRecordingPlan GoodRecording()
{
    TestRecordingPlan shape;
    shape.cameras = {{1, kCameraColors[0]}, {3, kCameraColors[1]}, {7, kCameraColors[2]}};
    shape.nFrames = 50;
    shape.nRate = 25;
    for (size_t slot = 0; slot < 20; ++slot) {
        rec::addSourceEvent(shape.source, slot, 1 + static_cast<int>(slot % 3));
        rec::setMotionLevel(shape.motion, slot, 3, static_cast<uint8_t>(10 * slot + 5));
        rec::setGpiValue(shape.gpi, slot * 2, 1);
    }
    return shape;
}

std::vector<size_t> FindChunks(const std::vector<uint8_t>& bytes, const char* fourcc)
{
    std::vector<size_t> found;
    for (size_t i = 0; i + 8 <= bytes.size(); ++i)
        if (memcmp(&bytes[i], fourcc, 4) == 0) found.push_back(i);
    return found;
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void Put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value)
{
    for (int i = 0; i < 2 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void Scramble(std::vector<uint8_t>& bytes, size_t from, size_t to, uint32_t seed)
{
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = from; i < to && i < bytes.size(); ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = static_cast<uint8_t>(x);
    }
}

namespace {

uint32_t Get32(const std::vector<uint8_t>& bytes, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | bytes[at + i];
    return v;
}

// The contents of a chunk found at offset at: [at + 8, at + 8 + size), within the file.
size_t ContentEnd(const std::vector<uint8_t>& bytes, size_t at)
{
    const uint64_t end = static_cast<uint64_t>(at) + 8 + Get32(bytes, at + 4);
    return end < bytes.size() ? static_cast<size_t>(end) : bytes.size();
}

DamagedFile Variant(const std::string& name, const std::vector<uint8_t>& good, Outcome outcome)
{
    return {name, good, outcome};
}

}  // namespace

std::vector<DamagedFile> Truncations(const std::vector<uint8_t>& good)
{
    std::vector<DamagedFile> files;
    for (size_t cut : {size_t(4), size_t(11), size_t(12)})
        files.push_back({"cut to " + std::to_string(cut) + " bytes",
                         std::vector<uint8_t>(good.begin(), good.begin() + cut), Outcome::Refused});
    for (size_t k = 1; k <= 20; ++k) {
        const size_t cut = good.size() * k / 21;
        files.push_back({"cut to " + std::to_string(cut) + " of " + std::to_string(good.size()) + " bytes",
                         std::vector<uint8_t>(good.begin(), good.begin() + cut), Outcome::Either});
    }
    return files;
}

std::vector<DamagedFile> HeaderDamage(const std::vector<uint8_t>& good)
{
    std::vector<DamagedFile> files;
    DamagedFile f = Variant("RIFF tag", good, Outcome::Refused);
    memcpy(&f.bytes[0], "RIFX", 4);
    files.push_back(f);
    f = Variant("AVI form type", good, Outcome::Refused);
    memcpy(&f.bytes[8], "WAVE", 4);
    files.push_back(f);
    for (uint32_t size : {0u, 4u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        f = Variant("RIFF size " + std::to_string(size), good, Outcome::Either);
        Put32(f.bytes, 4, size);
        files.push_back(f);
    }
    for (uint32_t size : {0u, 0xFFFFFFF0u}) {
        f = Variant("hdrl list size " + std::to_string(size), good, Outcome::Either);
        for (size_t at : FindChunks(good, "hdrl")) Put32(f.bytes, at - 4, size);
        files.push_back(f);
    }
    f = Variant("avih filled with 0xFF", good, Outcome::Either);
    for (size_t at : FindChunks(good, "avih")) memset(&f.bytes[at + 8], 0xFF, ContentEnd(good, at) - at - 8);
    files.push_back(f);
    // strh: dwScale at 20, dwRate at 24, dwLength at 32 of the contents.
    const struct {
        const char* name;
        uint32_t scale, rate, length;
    } rates[] = {
        {"zero scale and rate", 0, 0, 50},
        {"rate 0xFFFFFFFF", 1, 0xFFFFFFFFu, 50},
        {"scale 0xFFFFFFFF", 0xFFFFFFFFu, 1, 50},
        {"length 0xFFFFFFFF", 1, 25, 0xFFFFFFFFu},
    };
    for (const auto& r : rates) {
        f = Variant(std::string("strh ") + r.name, good, Outcome::Either);
        for (size_t at : FindChunks(good, "strh")) {
            Put32(f.bytes, at + 8 + 20, r.scale);
            Put32(f.bytes, at + 8 + 24, r.rate);
            Put32(f.bytes, at + 8 + 32, r.length);
        }
        files.push_back(f);
    }
    f = Variant("strh size 2", good, Outcome::Either);
    for (size_t at : FindChunks(good, "strh")) Put32(f.bytes, at + 4, 2);
    files.push_back(f);
    // strf: biSize at 0, biWidth at 4, biHeight at 8.
    f = Variant("strf huge picture", good, Outcome::Either);
    for (size_t at : FindChunks(good, "strf")) {
        Put32(f.bytes, at + 8 + 4, 0x7FFFFFFF);
        Put32(f.bytes, at + 8 + 8, 0x80000001u);
    }
    files.push_back(f);
    f = Variant("strf sizes 0xFFFFFFFF", good, Outcome::Either);
    for (size_t at : FindChunks(good, "strf")) {
        Put32(f.bytes, at + 4, 0xFFFFFFFFu);
        Put32(f.bytes, at + 8, 0xFFFFFFFFu);
    }
    files.push_back(f);
    f = Variant("strn Camera 99", good, Outcome::Either);
    for (size_t at : FindChunks(good, "strn"))
        if (ContentEnd(good, at) >= at + 8 + 10) memcpy(&f.bytes[at + 8], "Camera 99\0", 10);
    files.push_back(f);
    f = Variant("strn all Camera 1", good, Outcome::Either);
    for (size_t at : FindChunks(good, "strn"))
        if (ContentEnd(good, at) >= at + 8 + 9) memcpy(&f.bytes[at + 8], "Camera 1\0", 9);
    files.push_back(f);
    f = Variant("not Motion-JPEG", good, Outcome::Either);
    for (size_t at : FindChunks(good, "MJPG")) memcpy(&f.bytes[at], "XVID", 4);
    files.push_back(f);
    f = Variant("stream headers scrambled", good, Outcome::Either);
    for (size_t at : FindChunks(good, "strl")) Scramble(f.bytes, at + 4, ContentEnd(good, at - 8), 7);
    files.push_back(f);
    return files;
}

std::vector<DamagedFile> IndexDamage(const std::vector<uint8_t>& good)
{
    std::vector<DamagedFile> files;
    const std::vector<size_t> idx1 = FindChunks(good, "idx1");
    const std::vector<size_t> indx = FindChunks(good, "indx");
    std::vector<size_t> ix;
    for (const char* tag : {"ix00", "ix01", "ix02"})
        for (size_t at : FindChunks(good, tag)) ix.push_back(at);
    if (idx1.empty() || indx.empty() || ix.empty()) {
        ADD_FAILURE() << "the good recording lacks an index kind";
        return files;
    }
    DamagedFile f = Variant("idx1 entries scrambled", good, Outcome::Either);
    for (size_t at : idx1) Scramble(f.bytes, at + 8, ContentEnd(good, at), 11);
    files.push_back(f);
    f = Variant("idx1 size 0xFFFFFFFF", good, Outcome::Either);
    for (size_t at : idx1) Put32(f.bytes, at + 4, 0xFFFFFFFFu);
    files.push_back(f);
    f = Variant("idx1 offsets and sizes huge", good, Outcome::Either);
    for (size_t at : idx1)
        for (size_t e = at + 8; e + 16 <= ContentEnd(good, at); e += 16) {
            Put32(f.bytes, e + 8, 0xFFFFFF00u);
            Put32(f.bytes, e + 12, 0x7FFFFFFFu);
        }
    files.push_back(f);
    f = Variant("indx scrambled", good, Outcome::Either);
    for (size_t at : indx) Scramble(f.bytes, at + 8, ContentEnd(good, at), 13);
    files.push_back(f);
    // indx: wLongsPerEntry(2) bIndexSubType(1) bIndexType(1) nEntriesInUse(4) dwChunkId(4)
    // reserved(12), then entries of qwOffset(8) dwSize(4) dwDuration(4).
    f = Variant("indx entries in use 0xFFFFFFFF", good, Outcome::Either);
    for (size_t at : indx) Put32(f.bytes, at + 8 + 4, 0xFFFFFFFFu);
    files.push_back(f);
    f = Variant("indx offsets past the file", good, Outcome::Either);
    for (size_t at : indx) {
        Put32(f.bytes, at + 8 + 24, 0xFFFFFFF0u);
        Put32(f.bytes, at + 8 + 28, 0x7FFFFFFFu);
    }
    files.push_back(f);
    f = Variant("ix## scrambled", good, Outcome::Either);
    for (size_t at : ix) Scramble(f.bytes, at + 8, ContentEnd(good, at), 17);
    files.push_back(f);
    // ix##: the same 24-byte header with a qwBaseOffset; entries of dwOffset(4) dwSize(4).
    f = Variant("ix## entries past the file", good, Outcome::Either);
    for (size_t at : ix)
        for (size_t e = at + 8 + 24; e + 8 <= ContentEnd(good, at); e += 8) {
            Put32(f.bytes, e, 0xFFFFFFF0u);
            Put32(f.bytes, e + 4, 0x7FFFFFFFu);
        }
    files.push_back(f);
    f = Variant("every index scrambled", good, Outcome::Either);
    for (size_t at : idx1) Scramble(f.bytes, at + 8, ContentEnd(good, at), 19);
    for (size_t at : indx) Scramble(f.bytes, at + 8, ContentEnd(good, at), 23);
    for (size_t at : ix) Scramble(f.bytes, at + 8, ContentEnd(good, at), 29);
    files.push_back(f);
    f = Variant("every index gone, movi chunk sizes scrambled", good, Outcome::Either);
    for (size_t at : idx1) memcpy(&f.bytes[at], "JUNK", 4);
    for (size_t at : indx) memcpy(&f.bytes[at], "JUNK", 4);
    for (size_t at : ix) memcpy(&f.bytes[at], "JUNK", 4);
    uint32_t seed = 31;
    for (const char* tag : {"00dc", "01dc", "02dc"})
        for (size_t at : FindChunks(good, tag)) Put32(f.bytes, at + 4, 0x10000000u + 977u * ++seed);
    files.push_back(f);
    return files;
}

std::vector<DamagedFile> FrameDamage(const std::string& goodPath, const std::vector<uint8_t>& good)
{
    std::vector<DamagedFile> files;
    rec::Recording recording;
    const rec::Status status = recording.open(goodPath);
    if (!status) {
        ADD_FAILURE() << "the good recording does not open: " << status.reason;
        return files;
    }
    DamagedFile scrambled = Variant("random bytes inside every JPEG", good, Outcome::Plays);
    DamagedFile zeroed = Variant("every JPEG zeroed", good, Outcome::Plays);
    DamagedFile headers = Variant("JPEG headers scrambled", good, Outcome::Plays);
    uint32_t seed = 1;
    for (const rec::Stream& stream : recording.streams())
        for (const rec::Frame& frame : stream.frames) {
            const size_t at = static_cast<size_t>(frame.offset), size = frame.size;
            Scramble(scrambled.bytes, at + size / 3, at + size - 2, ++seed);
            memset(&zeroed.bytes[at], 0, size);
            Scramble(headers.bytes, at + 2, at + (size < 160 ? size : 160), ++seed);
        }
    files.push_back(scrambled);
    files.push_back(zeroed);
    files.push_back(headers);
    return files;
}

std::vector<DamagedFile> DvrxDamage(const std::vector<uint8_t>& good)
{
    std::vector<DamagedFile> files;
    const std::vector<size_t> dvrx = FindChunks(good, "dvrx");
    if (dvrx.empty()) {
        ADD_FAILURE() << "the good recording has no dvrx chunk";
        return files;
    }
    const char* blocks[] = {"dvsr", "dvmo", "dvgp"};
    for (const char* tag : blocks) {
        DamagedFile f = Variant(std::string(tag) + " count 0xFFFF", good, Outcome::Plays);
        for (size_t at : FindChunks(good, tag)) Put16(f.bytes, at + 8 + 4, 0xFFFF);
        files.push_back(f);
    }
    DamagedFile f = Variant("every block's count 0xFFFF", good, Outcome::Plays);
    for (const char* tag : blocks)
        for (size_t at : FindChunks(good, tag)) Put16(f.bytes, at + 8 + 4, 0xFFFF);
    files.push_back(f);
    f = Variant("every block scrambled", good, Outcome::Plays);
    for (const char* tag : blocks)
        for (size_t at : FindChunks(good, tag)) Scramble(f.bytes, at + 8, ContentEnd(good, at), 37);
    files.push_back(f);
    f = Variant("start time out of range", good, Outcome::Plays);
    for (size_t at : FindChunks(good, "dvst")) {
        Put16(f.bytes, at + 8, 0xFFFF);
        f.bytes[at + 10] = 13;
        f.bytes[at + 11] = 0;
        Put32(f.bytes, at + 12, 0xFFFFFFFFu);
    }
    files.push_back(f);
    for (uint32_t size : {0u, 1u, 0xFFFFFFFFu}) {
        f = Variant("block sizes " + std::to_string(size), good, Outcome::Either);
        for (const char* tag : blocks)
            for (size_t at : FindChunks(good, tag)) Put32(f.bytes, at + 4, size);
        files.push_back(f);
    }
    f = Variant("dvrx list size 0xFFFFFFFF", good, Outcome::Either);
    for (size_t at : dvrx) Put32(f.bytes, at - 4, 0xFFFFFFFFu);
    files.push_back(f);
    f = Variant("dvrx scrambled", good, Outcome::Either);
    for (size_t at : dvrx) Scramble(f.bytes, at + 4, ContentEnd(good, at - 8), 41);
    files.push_back(f);
    return files;
}

std::vector<DamagedFile> NotRecordings()
{
    std::vector<DamagedFile> files;
    files.push_back({"empty", {}, Outcome::Refused});
    DamagedFile f{"64 KiB of random bytes", std::vector<uint8_t>(65536), Outcome::Refused};
    Scramble(f.bytes, 0, f.bytes.size(), 43);
    files.push_back(f);
    f = {"a RIFF AVI header and random bytes", std::vector<uint8_t>(65536), Outcome::Either};
    Scramble(f.bytes, 0, f.bytes.size(), 47);
    memcpy(&f.bytes[0], "RIFF", 4);
    Put32(f.bytes, 4, 65536 - 8);
    memcpy(&f.bytes[8], "AVI LIST", 8);
    files.push_back(f);
    f = {"a JPEG", SolidJpeg(RGB(1, 2, 3)), Outcome::Refused};
    files.push_back(f);
    return files;
}

std::string LongTempPath(size_t nLength)
{
    char szDir[MAX_PATH];
    GetTempPathA(MAX_PATH, szDir);
    std::string path = szDir;
    path += "vorplex_long_" + std::to_string(GetCurrentProcessId()) + "_";
    const std::string suffix = ".d01";
    if (path.size() + suffix.size() < nLength) path.append(nLength - path.size() - suffix.size(), 'x');
    return path + suffix;
}
