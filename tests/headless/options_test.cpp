#include <gtest/gtest.h>

#include "headless/options.h"

using headless::Action;
using headless::FrameRequest;
using headless::FrameSize;
using headless::ParseOptions;

TEST(CaptureOptions, DefaultsAndValues) {
    const auto none = ParseOptions({});
    ASSERT_EQ(none.action, Action::Run);
    EXPECT_EQ(none.options.step, 20u);
    EXPECT_EQ(none.options.out, ".");
    EXPECT_EQ(none.options.until, 0u);
    EXPECT_FALSE(none.options.all || none.options.bench || none.options.list);

    const auto r =
        ParseOptions({"--step", "40", "--at", "5:5000,4:5000", "--at=2:20000,5:5000", "--out=frames", "--all",
                      "--bench", "--until", "1000", "--video", "show.mp4", "--list", "--quiet"});
    ASSERT_EQ(r.action, Action::Run) << r.error;
    EXPECT_EQ(r.options.step, 40u);
    // Repeated requests are taken once, in order of first mention.
    const std::vector<FrameRequest> at = {{5, 5000}, {4, 5000}, {2, 20000}};
    EXPECT_EQ(r.options.at, at);
    EXPECT_EQ(r.options.out, "frames");
    EXPECT_EQ(r.options.until, 1000u);
    EXPECT_EQ(r.options.video, "show.mp4");
    EXPECT_TRUE(r.options.all && r.options.bench && r.options.list && r.options.quiet);

    EXPECT_EQ(r.options.size, (FrameSize{0, 0})); // the video's own size
    EXPECT_FALSE(r.options.lossless);

    const auto master =
        ParseOptions({"--video", "Master.MKV", "--lossless", "--size=2160p", "--audio", "a.flac"});
    ASSERT_EQ(master.action, Action::Run) << master.error;
    EXPECT_TRUE(master.options.lossless);
    EXPECT_EQ(master.options.size, (FrameSize{3840, 2160}));
    EXPECT_EQ(master.options.audio, "a.flac");
    const std::vector<std::pair<std::string, FrameSize>> sizes = {
        {"480p", {640, 480}}, {"720p", {1280, 720}}, {"1080p", {1920, 1080}}, {"1440p", {2560, 1440}}};
    for (const auto& [name, size] : sizes)
        EXPECT_EQ(ParseOptions({"--video", "v.mp4", "--size", name}).options.size, size) << name;
    EXPECT_EQ(ParseOptions({"--audio", "a.WAV", "--at", "0:0"}).action, Action::Run);

    EXPECT_EQ(ParseOptions({"--at", "0:0,8:28760"}).options.at.size(), 2u);
    const auto clip = ParseOptions({"--from=227840", "--until", "227860", "--chapters"});
    ASSERT_EQ(clip.action, Action::Run) << clip.error;
    EXPECT_EQ(clip.options.from, 227840u);
    EXPECT_TRUE(clip.options.chapters);
    EXPECT_EQ(ParseOptions({"--help"}).action, Action::Help);
    EXPECT_EQ(ParseOptions({"--step", "7", "-h"}).action, Action::Help);
}

TEST(CaptureOptions, BadOptionsAreRefused) {
    const std::vector<std::vector<std::string>> bad = {
        {"--frobnicate"},
        {"-x"},
        {"show.mp4"},
        {"--step"},
        {"--step", "0"},
        {"--step", "-20"},
        {"--step", "20ms"},
        {"--step", " 20"},
        {"--step", "60001"},
        {"--step", "99999999999999999999"},
        {"--until", "0"},
        {"--from", "93010"},                  // off the 20 ms clock
        {"--from", "227860"},                 // past the last frame
        {"--from", "1000", "--step", "40"},   // the seek replays on 20 ms
        {"--from", "5000", "--until", "5000"},
        {"--at", ""},
        {"--at", "5"},
        {"--at", "5:"},
        {"--at", ":5000"},
        {"--at", "9:5000"},
        {"--at", "-1:5000"},
        {"--at", "5:-20"},
        {"--at", "5:5000,"},
        {"--at", "5:5000,,4:20"},
        {"--at", "5:5000:3"},
        {"--at", "a:b"},
        {"--at", "5:5010"}, // not a multiple of the default step
        {"--step", "30", "--at", "5:5000"},
        {"--out", ""},
        {"--video"},
        {"--all=yes"},
        {"--video", "show.avi"},
        {"--video", "mp4"},
        {"--video", "show.mp4/"},
        {"--video", "v.mp4", "--size", "1080"},
        {"--video", "v.mp4", "--size", "1080P"},
        {"--video", "v.mp4", "--size", "4k"},
        {"--video", "v.mp4", "--size", ""},
        {"--size", "1080p"},
        {"--video", "v.mp4", "--size", "720p", "--at", "0:0"},
        {"--video", "v.mp4", "--size", "720p", "--all"},
        {"--lossless"},
        {"--lossless", "--video", "master.mp4"},
        {"--lossless=1", "--video", "master.mkv"},
        {"--audio"},
        {"--audio", "sound.mp3"},
        {"--audio", "flac"},
    };
    for (const auto& args : bad) {
        const auto r = ParseOptions(args);
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_EQ(r.action, Action::Error) << joined;
        EXPECT_FALSE(r.error.empty()) << joined;
    }
    EXPECT_NE(ParseOptions({"--frobnicate"}).error.find("--frobnicate"), std::string::npos);
    EXPECT_NE(ParseOptions({"--at", "5:x"}).error.find("5:x"), std::string::npos);
    EXPECT_NE(ParseOptions({"--video", "v.mp4", "--size", "900p"}).error.find("900p"), std::string::npos);
    EXPECT_NE(ParseOptions({"--video", "show.avi"}).error.find("show.avi"), std::string::npos);
}

namespace {
// n distinct frames: 0:0,1:0,...,8:0,0:20,...
std::string FrameList(int n) {
    std::string list;
    for (int i = 0; i < n; i++) {
        if (i) list.push_back(',');
        list.append(std::to_string(i % 9)).push_back(':');
        list.append(std::to_string(20 * (i / 9)));
    }
    return list;
}
} // namespace

TEST(CaptureOptions, FrameLimitAndLongValues) {
    // Distinct frames count against the limit; repeats do not.
    const std::string three_hundred = FrameList(300);
    const std::string one_more = three_hundred + ",8:99980";
    EXPECT_EQ(ParseOptions({"--at", three_hundred}, headless::kPageFrameLimit).options.at.size(), 300u);
    EXPECT_EQ(ParseOptions({"--at", three_hundred + "," + three_hundred}, 300).action, Action::Run);
    const auto over = ParseOptions({"--at", one_more}, headless::kPageFrameLimit);
    ASSERT_EQ(over.action, Action::Error);
    EXPECT_EQ(over.error, "--at asks for more than 300 frames; ask for at most 300 at a time");
    // Across several --at, and without a limit (the capture tool) any number.
    EXPECT_EQ(ParseOptions({"--at", three_hundred, "--at", "8:99980"}, 300).action, Action::Error);
    EXPECT_EQ(ParseOptions({"--at", one_more}).options.at.size(), 301u);

    // 200000 distinct frames parse at once, in order of first mention.
    const std::string many = FrameList(200000);
    const auto all = ParseOptions({"--at", many + ",0:0"});
    ASSERT_EQ(all.action, Action::Run);
    ASSERT_EQ(all.options.at.size(), 200000u);
    EXPECT_EQ(all.options.at.back(), (FrameRequest{199999 % 9, 20 * (199999 / 9)}));

    // A long value is cut short in the message.
    const auto bad = ParseOptions({"--at", many + ",x"});
    ASSERT_EQ(bad.action, Action::Error);
    EXPECT_LT(bad.error.size(), 200u);
    EXPECT_NE(bad.error.find("'0:0,1:0,2:0,"), std::string::npos) << bad.error;
    const std::string size = std::to_string(many.size() + 2);
    EXPECT_EQ(bad.error.find(size), bad.error.find("...' (") + 6) << bad.error;
    EXPECT_NE(bad.error.find(" characters)"), std::string::npos) << bad.error;
}
