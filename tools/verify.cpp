// dvrtool verify: an export against its NAME.sha256 and manifest, and a clip against its
// source recording frame by frame.
#include "tools/commands.h"

#include "evidence/verify.h"
#include "tools/interrupt.h"

namespace dvrtool {

namespace {

const char kUsage[] =
    "  verify EXPORT [--source REC]\n"
    "      Checks a clip or an MP4 against EXPORT.sha256 and EXPORT.manifest.json; with\n"
    "      --source, that the source is the one named and, for a clip, that every frame is\n"
    "      the source's, none missing. Says what differs. Exit 0 verified, 1 not verified,\n"
    "      9 bad arguments, 2 and above an error.\n";

int runVerify(const Options& options, std::FILE* out, std::FILE* err)
{
    if (options.positional.size() != 1) {
        std::fprintf(err, "dvrtool verify: needs one EXPORT\n");
        return kExitBadArguments;
    }
    const std::string& path = options.positional[0];
    catchCutShortFiles();
    evidence::VerifyReport report = evidence::verifyExport(path, options.has("--source") ? options.value("--source") : "");
    switch (report.verdict) {
    case evidence::Verdict::Verified:
        std::fprintf(out, "%s: verified\n", path.c_str());
        return kExitOk;
    case evidence::Verdict::NotVerified:
        for (const std::string& problem : report.problems) std::fprintf(out, "%s\n", problem.c_str());
        std::fprintf(out, "%s: NOT verified\n", path.c_str());
        return kExitNotVerified;
    case evidence::Verdict::Unreadable: break;
    }
    std::fprintf(err, "dvrtool verify: %s\n", report.error.c_str());
    return kExitUnreadable;
}

}  // namespace

// 1 is "not verified", so a command line it cannot read is told apart from a failed check.
const Command kVerifyCommand = {"verify", kUsage, {"--source"}, runVerify, {}, kExitBadArguments};

}  // namespace dvrtool
