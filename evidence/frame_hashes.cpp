#include "evidence/frame_hashes.h"

#include "evidence/sha256.h"

#include <exception>

namespace evidence {

namespace {

bool hashCamera(FrameAccess& frames, const CameraPlan& c, const std::atomic<bool>& stop, CameraFrames& out)
{
    out.camera = c.camera;
    Sha256 hash;
    for (long i = c.first; i < c.end; i++) {
        const rec::Frame& f = c.stream->frames[size_t(i)];
        if (!f.size) continue;
        const uint8_t* bytes = frames.bytes(f);
        if (stop.load(std::memory_order_relaxed) || !bytes) return false;
        hash.update(bytes, f.size);
        if (!out.count++) out.firstMs = f.timeMs;
        out.lastMs = f.timeMs;
    }
    out.sha256 = toHex(hash.digest());
    return true;
}

// What run (the digest and the size) gives; not ok when it fails or throws.
template <typename Run>
SourceHash sourceHashOf(Run run)
{
    SourceHash result;
    try {
        Digest digest{};
        result.ok = run(digest, result.size);
        if (result.ok) result.sha256 = toHex(digest);
    } catch (const std::exception&) {
        result.ok = false;
    }
    return result;
}

}  // namespace

FrameHashes hashPlannedFrames(const rec::Recording& source, const FileView& view, const ClipPlan& plan,
                              const std::atomic<bool>& stop)
{
    FrameHashes result;
    FrameAccess frames(source, view);
    try {
        for (const CameraPlan& c : plan.cameras) {
            result.frames.emplace_back();
            if (!hashCamera(frames, c, stop, result.frames.back())) {
                result.why = stop ? "cancelled" : "cannot read the source's frames";
                return result;
            }
        }
        result.ok = true;
    } catch (const std::exception& e) {
        result.why = e.what();
    }
    return result;
}

SourceHash hashSourceFile(const std::string& path, const std::atomic<bool>* stop)
{
    return sourceHashOf([&](Digest& digest, uint64_t& size) { return sha256OfFile(path, digest, &size, stop); });
}

SourceHash hashSourceFile(const std::string& path, const FileView& view)
{
    if (!view.isOpen()) return hashSourceFile(path);
    return sourceHashOf([&](Digest& digest, uint64_t& size) {
        size = view.size();
        return sha256OfBytes(view.data(), view.size(), digest);
    });
}

}  // namespace evidence
