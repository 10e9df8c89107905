// dvrtool search from its command line: exit codes, hits from several recordings in the order
// of their starts, each naming its file, and --json that a JSON reader takes.
#include "tests/support/motion_scene.h"
#include "tests/tools/tool_run.h"
#include "tools/search.h"

#include <fstream>

namespace {

// Camera 1 with a box moving in the right half from 10 to 13 s; with camera 2 too if asked.
void writeFootage(const std::string& path, int32_t startMsOfDay, bool camera2 = false)
{
    scene::Scene s;
    s.width = 160, s.height = 120, s.seconds = 20;
    s.movers = {{10, 13, {84, 4, 72, 112}, 16}};
    std::vector<scene::Scene> cameras{s};
    if (camera2) {
        cameras.push_back(s);
        cameras.back().camera = 2;
    }
    scene::Write(cameras, path, {2024, 3, 5, startMsOfDay});
}

TEST(SearchCommand, RegionsInPixelsAndShares)
{
    dvrtool::RegionText text;
    FrameRegion region;
    ASSERT_TRUE(dvrtool::parseRegion("50%,50%,50%,50%", text));
    ASSERT_TRUE(dvrtool::resolveRegion(text, 704, 576, region));
    EXPECT_EQ((std::vector<unsigned>{352, 288, 352, 288}), (std::vector<unsigned>{region.x, region.y, region.w, region.h}));
    ASSERT_TRUE(dvrtool::parseRegion("10,20%,30,12.5%", text));
    ASSERT_TRUE(dvrtool::resolveRegion(text, 704, 576, region));
    EXPECT_EQ((std::vector<unsigned>{10, 115, 30, 72}), (std::vector<unsigned>{region.x, region.y, region.w, region.h}));
    EXPECT_FALSE(dvrtool::resolveRegion(text, 30, 576, region));  // past the right edge
    for (const char* bad : {"1,2,3", "1,2,3,4,5", "-1,0,10,10", "1.5,0,10,10", "0,0,101%,10", "a,b,c,d", "0,0,10,10,"})
        EXPECT_FALSE(dvrtool::parseRegion(bad, text)) << bad;
    ASSERT_TRUE(dvrtool::parseRegion("0,0,0,10", text));
    EXPECT_FALSE(dvrtool::resolveRegion(text, 704, 576, region));  // empty
}

TEST(SearchCommand, ExitCodesForBadUse)
{
    const std::string rec = temp("search_codes.d01"), junk = temp("search_junk.d01");
    writeFootage(rec, 36000000);
    std::ofstream(junk) << "not a recording at all";
    const struct {
        std::string args;
        int code;
    } cases[] = {
        {"search " + rec, 9},                                          // no camera
        {"search " + rec + " --camera 1 --sensitivity 11", 9},         //
        {"search " + rec + " --camera 1 --region 1,2,3", 9},           //
        {"search " + rec + " --camera 1 --min-length x", 9},           //
        {"search " + rec + " --camera 1 --bogus 1", 9},                // an unknown option
        {"search " + rec + " --camera 1 --from 25:99", 9},             //
        {"search --camera 1", 9},                                      // no recording
        {"search " + rec + " --camera 1 --region 100,0,61,10", 10},    // past the right edge
        {"search " + rec + " --camera 3", 6},                          //
        {"search " + rec + ".missing --camera 1", 2},                  //
        {"search " + junk + " --camera 1", 3},                         //
        {"search " + rec + " --camera 1 --from +30", 7},               // after its end
        {"search " + rec + " --camera 1 --region 0,0,50%,100%", 1},    // nothing moves on the left
        {"search " + rec + " --camera 1 --region 50%,0,50%,100%", 0},  //
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(c.code, runTool(c.args, &out)) << c.args << "\n"
                                                 << out;
        if (c.code >= 2) EXPECT_NE(std::string::npos, out.find("dvrtool search: ")) << "said plainly: " << out;
    }
    std::remove(rec.c_str());
    std::remove(junk.c_str());
}

TEST(SearchCommand, SeveralRecordingsInOrderOfTheirStarts)
{
    const std::string later = temp("search_10h.d01"), earlier = temp("search_09h.d01"), other = temp("search_c2.d01");
    writeFootage(later, 36000000);
    writeFootage(earlier, 32400000, true);
    writeFootage(other, 28800000);  // no camera 2: said, and left out
    std::string out;
    ASSERT_EQ(0, runTool("search " + later + " " + other + " " + earlier + " --camera 2 --region 50%,0,50%,100%", &out))
        << out;
    EXPECT_NE(std::string::npos, out.find("has no camera 2, left out")) << out;
    const size_t hit = out.find("09:00:1");  // camera 2 is only in the 09:00 file
    ASSERT_NE(std::string::npos, hit) << out;
    EXPECT_NE(std::string::npos, out.find(earlier, hit)) << "the hit names its file: " << out;

    ASSERT_EQ(0, runTool("search " + later + " " + earlier + " --camera 1 --region 50%,0,50%,100%", &out)) << out;
    const size_t first = out.find("09:00:1"), second = out.find("10:00:1");
    ASSERT_NE(std::string::npos, first) << out;
    ASSERT_NE(std::string::npos, second) << out;
    EXPECT_LT(first, second);
    EXPECT_NE(std::string::npos, out.find(earlier, first)) << out;

    const std::string json = temp("search.json");
    ASSERT_EQ(0, runTool("search " + later + " " + earlier + " --camera 1 --json --region 50%,0,50%,100% >" + json));
    std::string hits;
    ASSERT_EQ(0, std::system(("python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
                              "assert [h[\"start\"][:7] for h in d[\"hits\"]] == [\"09:00:1\", \"10:00:1\"], d' " +
                              json)
                                 .c_str()));
    for (const std::string& path : {later, earlier, other, json}) std::remove(path.c_str());
}

}  // namespace
