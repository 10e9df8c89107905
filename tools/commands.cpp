#include "tools/commands.h"

namespace dvrtool {

namespace {

const Command* const kCommands[] = {&kMakeCommand, &kSynthCommand, &kInfoCommand, &kExportCommand,
                                    &kClipCommand, &kVerifyCommand, &kSearchCommand};

const char kUsageHead[] = "usage: dvrtool COMMAND ...\n";

const char kUsageTail[] =
    "Exit codes: 0 ok, 1 usage, 2 file missing or unreadable, 3 not a recording,\n"
    "4 too damaged to open, 5 ffmpeg or writing failed, 6 no such camera, 7 a time outside\n"
    "the recording or an inverted range, 8 ffmpeg missing; verify: 0 verified, 1 not\n"
    "verified; search: 0 hits, 1 no hit, 10 a region outside the picture; verify and\n"
    "search: 9 bad arguments, the rest as above. $DVRTOOL_FFMPEG names ffmpeg. On a\n"
    "terminal make, synth, export and search show their progress on one line.\n";

}  // namespace

void printHelp(std::FILE* out)
{
    std::fputs(kUsageHead, out);
    for (const Command* command : kCommands) {
        std::fputs("\n", out);
        std::fputs(command->usage, out);
    }
    std::fputs("\n", out);
    std::fputs(kUsageTail, out);
}

int run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err)
{
    if (args.empty()) {
        printHelp(err);
        return kExitUsage;
    }
    const std::string& name = args[0];
    if (name == "--help" || name == "-h" || name == "help") {
        printHelp(out);
        return kExitOk;
    }
    for (const Command* command : kCommands) {
        if (name != command->name) continue;
        if (args.size() == 2 && (args[1] == "--help" || args[1] == "-h")) {
            std::fprintf(out, "usage: dvrtool %s ...\n%s\n%s", command->name, command->usage, kUsageTail);
            return kExitOk;
        }
        Options options;
        std::string error;
        if (!parseOptions({args.begin() + 1, args.end()}, command->options, options, error, command->flags)) {
            std::fprintf(err, "dvrtool %s: %s\n", command->name, error.c_str());
            return command->usageExit;
        }
        return command->run(options, out, err);
    }
    std::fprintf(err, "dvrtool: unknown command %s\n", name.c_str());
    printHelp(err);
    return kExitUsage;
}

}  // namespace dvrtool
