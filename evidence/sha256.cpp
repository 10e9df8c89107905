#include "evidence/sha256.h"

#include "evidence/file_view.h"
#include "recording/file64.h"

#include <algorithm>
#include <vector>

namespace evidence {

namespace {
const uint64_t kPiece = 1 << 24;  // what one call hashes: CNG takes sizes of 32 bits
}  // namespace

std::string toHex(const Digest& digest)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

Digest sha256Of(const void* data, size_t size)
{
    Sha256 hash;
    hash.update(data, size);
    return hash.digest();
}

bool sha256OfBytes(const uint8_t* data, uint64_t size, Digest& digest, const std::atomic<bool>* stop)
{
    Sha256 hash;
    for (uint64_t at = 0; at < size; at += kPiece) {
        if (stop && stop->load(std::memory_order_relaxed)) return false;
        hash.update(data + at, size_t(std::min<uint64_t>(kPiece, size - at)));
    }
    digest = hash.digest();
    return true;
}

bool sha256OfFile(const std::string& path, Digest& digest, uint64_t* size, const std::atomic<bool>* stop)
{
    auto stopped = [&] { return stop && stop->load(std::memory_order_relaxed); };
    FileView view;
    if (view.open(path)) {
        if (size) *size = view.size();
        return sha256OfBytes(view.data(), view.size(), digest, stop);
    }
    std::FILE* f = rec::openFile(path, "rb");
    if (!f) return false;
    Sha256 hash;
    std::vector<uint8_t> buffer(1 << 20);
    uint64_t total = 0;
    size_t got = 0;
    while (!stopped() && (got = std::fread(buffer.data(), 1, buffer.size(), f)) > 0) {
        hash.update(buffer.data(), got);
        total += got;
    }
    bool whole = !std::ferror(f) && !stopped();
    std::fclose(f);
    if (!whole) return false;
    digest = hash.digest();
    if (size) *size = total;
    return true;
}

}  // namespace evidence
