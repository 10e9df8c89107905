// dvrtool search: when something moved inside a region of one camera, over one recording or a
// night of them. The search itself is the decoder's (decoder/motion_scan.h).
#include "tools/search.h"

#include "decoder/motion_scan.h"
#include "tools/commands.h"
#include "tools/progress.h"

#include "domain/time_of_day.h"

#include <cmath>
#include <thread>

namespace dvrtool {

namespace {

const char kUsage[] =
    "  search REC... --camera N [--region X,Y,W,H] [--from T] [--to T] [--sensitivity 1-10]\n"
    "         [--min-length SECONDS] [--json]\n"
    "      When something moved inside the region of camera N: one line a hit, its start and\n"
    "      end time of day, its length and the largest share of the region that moved at\n"
    "      once. The region is in the camera's pixels, or with '%' after a number a share of\n"
    "      the picture (the default is all of it). Several recordings are searched in the\n"
    "      order of their starts, each hit naming its file. T as for export; sensitivity 5\n"
    "      and min-length 1 by default. --json: the same as one JSON document.\n";

struct Arguments {
    int camera = 0;
    RegionText region;
    int sensitivity = 5;
    int64_t minLengthMs = 1000;
    bool json = false;
};

struct FoundHit {
    const SearchFile* file;
    MotionHit hit;
};

struct Totals {
    uint64_t frames = 0, decoded = 0, damaged = 0, missing = 0;
};

int readArguments(const Options& options, Arguments& args, std::FILE* err)
{
    const char* wrong = nullptr;
    double seconds = 0;
    if (options.positional.empty())
        wrong = "no recording named";
    else if (!options.has("--camera") || !parseWhole(options.value("--camera"), 1, 16, args.camera))
        wrong = "--camera N (1..16) is needed";
    else if (options.has("--region") && !parseRegion(options.value("--region"), args.region))
        wrong = "bad --region (X,Y,W,H in pixels, or each a share with %: 50%,50%,50%,50%)";
    else if (options.has("--sensitivity") && !parseWhole(options.value("--sensitivity"), 1, 10, args.sensitivity))
        wrong = "--sensitivity must be 1..10";
    else if (options.has("--min-length") && (!parseSeconds(options.value("--min-length"), seconds) || seconds > 600))
        wrong = "--min-length must be seconds above 0, at most 600";
    if (wrong) {
        std::fprintf(err, "dvrtool search: %s\n", wrong);
        return kExitBadArguments;
    }
    if (options.has("--min-length")) args.minLengthMs = std::llround(seconds * 1000);
    args.json = options.has("--json");
    return kExitOk;
}

// Each file's camera and region; files without the camera are said and left out.
int checkCamera(const Arguments& args, std::vector<SearchFile>& files, std::FILE* err)
{
    std::vector<SearchFile> kept;
    for (SearchFile& file : files) {
        const rec::Stream* stream = file.recording->streamForCamera(args.camera);
        if (!stream) {
            std::fprintf(err, "dvrtool search: %s has no camera %d%s\n", file.path.c_str(), args.camera,
                         files.size() > 1 ? ", left out" : "");
            continue;
        }
        if (!resolveRegion(args.region, stream->width, stream->height, file.region)) {
            std::fprintf(err, "dvrtool search: the region is outside camera %d's picture of %ux%u in %s\n",
                         args.camera, stream->width, stream->height, file.path.c_str());
            return kExitBadRegion;
        }
        kept.push_back(std::move(file));
    }
    files = std::move(kept);
    return files.empty() ? kExitNoCamera : kExitOk;
}

std::string clockOf(const SearchFile& file, int64_t ms)
{
    return domain::FormatTimeOfDay(file.recording->startTime().msOfDay + ms, domain::Precision::Tenths);
}

std::string jsonText(const std::string& text)
{
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            quoted += escape;
        } else
            quoted += char(c);
    }
    return quoted + "\"";
}

void printLines(const std::vector<FoundHit>& hits, bool several, const Totals& totals, std::FILE* out)
{
    for (const FoundHit& found : hits) {
        std::fprintf(out, "%s  %s  %6.1f s  peak %3.0f%%%s%s\n", clockOf(*found.file, found.hit.startMs).c_str(),
                     clockOf(*found.file, found.hit.endMs).c_str(), (found.hit.endMs - found.hit.startMs) / 1000.0,
                     found.hit.peak * 100, several ? "  " : "", several ? found.file->path.c_str() : "");
    }
    std::fprintf(out, "%zu hit%s; %llu frames, %llu decoded, %llu damaged skipped, %llu missing\n", hits.size(),
                 hits.size() == 1 ? "" : "s", (unsigned long long)totals.frames, (unsigned long long)totals.decoded,
                 (unsigned long long)totals.damaged, (unsigned long long)totals.missing);
}

void printJson(const Arguments& args, const std::vector<FoundHit>& hits, const Totals& totals, std::FILE* out)
{
    std::fprintf(out, "{\"camera\": %d, \"sensitivity\": %d, \"minLength\": %.3f, \"hits\": [", args.camera,
                 args.sensitivity, args.minLengthMs / 1000.0);
    for (size_t i = 0; i < hits.size(); i++) {
        const FoundHit& found = hits[i];
        std::fprintf(out,
                     "%s\n  {\"file\": %s, \"start\": \"%s\", \"end\": \"%s\", \"startMs\": %lld, \"length\": %.3f, "
                     "\"peak\": %.3f}",
                     i ? "," : "", jsonText(found.file->path).c_str(), clockOf(*found.file, found.hit.startMs).c_str(),
                     clockOf(*found.file, found.hit.endMs).c_str(), (long long)found.hit.startMs,
                     (found.hit.endMs - found.hit.startMs) / 1000.0, found.hit.peak);
    }
    std::fprintf(out, "%s],\n \"frames\": %llu, \"decoded\": %llu, \"damaged\": %llu, \"missing\": %llu}\n",
                 hits.empty() ? "" : "\n", (unsigned long long)totals.frames, (unsigned long long)totals.decoded,
                 (unsigned long long)totals.damaged, (unsigned long long)totals.missing);
}

// Every file in turn, a thread a core on each.
std::vector<FoundHit> searchAll(const Arguments& args, const std::vector<SearchFile>& files, Totals& totals,
                                std::FILE* err)
{
    std::vector<FoundHit> hits;
    Progress progress("search", err);
    for (size_t i = 0; i < files.size(); i++) {
        const SearchFile& file = files[i];
        MotionSearch search;
        search.camera = args.camera;
        search.region = file.region;
        search.fromMs = file.fromMs, search.toMs = file.toMs;
        search.sensitivity = args.sensitivity;
        search.minLengthMs = args.minLengthMs;
        search.threads = std::max(1u, std::thread::hardware_concurrency());
        const std::string step = files.size() > 1 ? file.path : "camera " + std::to_string(args.camera);
        search.progress = [&](uint64_t done, uint64_t total) { progress.update(step, double(done) / double(total)); };
        const MotionResult result = SearchMotion(*file.recording, search);
        for (const MotionHit& hit : result.hits) hits.push_back({&file, hit});
        const rec::Stream& stream = *file.recording->streamForCamera(args.camera);
        totals.frames += uint64_t(stream.frameAt(file.toMs - 1) - stream.frameAt(file.fromMs - 1));
        totals.decoded += result.framesDecoded, totals.damaged += result.damaged, totals.missing += result.missing;
    }
    progress.clear();
    return hits;
}

int runSearch(const Options& options, std::FILE* out, std::FILE* err)
{
    Arguments args;
    int code = readArguments(options, args, err);
    std::vector<SearchFile> files;
    if (code == kExitOk) code = openRecordings(options.positional, files, err);
    if (code == kExitOk) code = checkCamera(args, files, err);
    if (code != kExitOk) return code;
    const std::string from = options.has("--from") ? options.value("--from") : "";
    const std::string to = options.has("--to") ? options.value("--to") : "";
    if ((code = chooseStretches(options.has("--from") ? &from : nullptr, options.has("--to") ? &to : nullptr, files,
                                err)) != kExitOk)
        return code;
    Totals totals;
    const std::vector<FoundHit> hits = searchAll(args, files, totals, err);
    if (args.json)
        printJson(args, hits, totals, out);
    else
        printLines(hits, options.positional.size() > 1, totals, out);
    return hits.empty() ? 1 : kExitOk;
}

}  // namespace

const Command kSearchCommand = {"search",
                                kUsage,
                                {"--camera", "--region", "--from", "--to", "--sensitivity", "--min-length"},
                                runSearch,
                                {"--json"},
                                kExitBadArguments};

}  // namespace dvrtool
