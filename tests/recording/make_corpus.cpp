// Writes the fuzzer's seed files: tiny recordings through each index kind.
// Usage: make_corpus DIR
#include "tests/support/recording_builder.h"

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus DIR\n");
        return 1;
    }
    std::string dir = argv[1];
    rectest::Sample s = rectest::makeSample({1, 3}, {3, 2});
    struct Seed {
        const char* name;
        bool odml, idx1, dvrx;
        uint64_t riff;
    } seeds[] = {
        {"odml_idx1.avi", true, true, false, 1u << 30},
        {"idx1_only.avi", false, true, false, 1u << 30},
        {"no_index.avi", false, false, false, 1u << 30},
        {"three_riffs.avi", true, true, false, 300},
        {"with_dvrx.avi", true, true, true, 1u << 30},
    };
    for (const Seed& d : seeds) {
        rec::WriterOptions o;
        o.writeOdml = d.odml;
        o.writeIdx1 = d.idx1;
        o.writeDvrx = d.dvrx;
        o.riffLimit = d.riff;
        o.superIndexEntries = 4;  // keeps the seeds small
        rectest::writeSample(s, o, dir + "/" + d.name);
    }
    return ::testing::Test::HasFailure() ? 1 : 0;
}
