// Runs the zarvelin-capture executable on short stretches of the show.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "gp32_functions/gp32_functions.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& path) {
    return capture_test::Slurp(path.string());
}

class CaptureRun : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zarvelin-capture-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // args are put in single quotes; env is a prefix such as "PATH=/nowhere".
    Result Capture(const std::vector<std::string>& args, const std::string& env = "") const {
        std::string command = env.empty() ? "" : "env " + env + " ";
        command += "'" ZARVELIN_BINARY_DIR "/zarvelin-capture' --quiet";
        for (const std::string& a : args)
            command += " '" + a + "'";
        command += " >'" + (dir_ / "stdout").string() + "' 2>'" + (dir_ / "stderr").string() + "'";
        const int rc = std::system(command.c_str());
        Result r;
        r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
        r.out = Slurp(dir_ / "stdout");
        r.err = Slurp(dir_ / "stderr");
        return r;
    }
    std::string Dir(const char* name) const {
        fs::create_directories(dir_ / name);
        return (dir_ / name).string();
    }
    static std::set<std::string> Files(const std::string& dir) {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.insert(e.path().filename().string());
        return names;
    }

    fs::path dir_;
};

} // namespace

TEST_F(CaptureRun, AtWritesExactlyTheRequestedFiles) {
    const std::string out = Dir("at");
    const Result r = Capture({"--step", "20", "--until", "200", "--at", "0:180,0:0,0:100", "--out", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "frames 10 show_ms 200\n");
    const std::set<std::string> expected = {"p0_t0.raw",   "p0_t0.png",   "p0_t100.raw",
                                            "p0_t100.png", "p0_t180.raw", "p0_t180.png"};
    EXPECT_EQ(Files(out), expected);
    for (const char* stem : {"p0_t0", "p0_t100", "p0_t180"}) {
        const std::string raw = Slurp(fs::path(out) / (std::string(stem) + ".raw"));
        ASSERT_EQ(raw.size(), 153600u) << stem;
        capture_test::Png png;
        ASSERT_TRUE(capture_test::ReadPng((fs::path(out) / (std::string(stem) + ".png")).string(), png))
            << stem;
        EXPECT_EQ(png.width, 320u);
        EXPECT_EQ(png.height, 240u);
        EXPECT_TRUE(capture_test::PngShowsRaw(png, raw, Rgb5551ToPC)) << stem;
    }
}

TEST_F(CaptureRun, IdenticalOptionsGiveIdenticalFrames) {
    const std::string a = Dir("a");
    const std::string b = Dir("b");
    const std::vector<std::string> common = {"--step", "40",   "--until",     "1200",
                                             "--all",  "--at", "0:400,0:1160"};
    std::vector<std::string> args_a = common;
    args_a.insert(args_a.end(), {"--out", a});
    std::vector<std::string> args_b = common;
    args_b.insert(args_b.end(), {"--out", b});
    const Result ra = Capture(args_a);
    const Result rb = Capture(args_b);
    ASSERT_EQ(ra.status, 0) << ra.err;
    ASSERT_EQ(rb.status, 0) << rb.err;
    EXPECT_EQ(ra.out, "frames 30 show_ms 1200\n");
    EXPECT_EQ(ra.out, rb.out);
    const std::set<std::string> names = Files(a);
    ASSERT_EQ(names.size(), 30u + 4u);
    EXPECT_TRUE(names.count("frame_000000.png") && names.count("frame_000029.png"));
    ASSERT_EQ(Files(b), names);
    for (const std::string& n : names)
        EXPECT_EQ(Slurp(fs::path(a) / n), Slurp(fs::path(b) / n)) << n;
}

TEST_F(CaptureRun, FramesOfAPartFallOnMultiplesOfTheStep) {
    // Long enough to cross from the first part into the next once the timeline runs.
    const uint32_t step = 70;
    const Result r = Capture({"--step", std::to_string(step), "--until", "14000", "--list"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream in(r.out);
    std::string text;
    long frames = 0;
    long last_part = -1;
    long last_prticks = 0;
    while (std::getline(in, text) && text.rfind("frame ", 0) == 0) {
        long index = -1;
        long p = -1;
        long t = -1;
        long show_ms = -1;
        int end = 0;
        ASSERT_EQ(std::sscanf(text.c_str(), "frame %ld part %ld prticks %ld show_ms %ld%n", &index, &p, &t,
                              &show_ms, &end),
                  4)
            << text;
        ASSERT_EQ(static_cast<size_t>(end), text.size()) << text;
        EXPECT_EQ(index, frames);
        EXPECT_EQ(show_ms, frames * static_cast<long>(step));
        EXPECT_EQ(t % step, 0) << text;
        if (p == last_part) {
            EXPECT_EQ(t, last_prticks + step) << text;
        } else {
            // The show opens at part time 0; a later part starts one step after the
            // frame that ended the one before.
            EXPECT_EQ(t, frames == 0 ? 0 : static_cast<long>(step)) << text;
            EXPECT_GT(p, last_part) << text;
        }
        last_part = p;
        last_prticks = t;
        frames++;
    }
    EXPECT_EQ(frames, 200);
    EXPECT_EQ(text, "frames 200 show_ms 14000");
}

TEST_F(CaptureRun, BenchPrintsItsTable) {
    const Result r = Capture({"--bench", "--until", "200"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream in(r.out);
    std::string line;
    int parts = 0;
    long part_frames = 0;
    while (std::getline(in, line) && line.rfind("part ", 0) == 0) {
        int p = -1;
        long n = 0;
        double median = -1;
        double p95 = -1;
        double present = -1;
        double ratio = -1;
        int end = 0;
        ASSERT_EQ(std::sscanf(line.c_str(),
                              "part %d frames %ld draw_median_ms %lf draw_p95_ms %lf present_median_ms %lf "
                              "present_floor_ratio %lf%n",
                              &p, &n, &median, &p95, &present, &ratio, &end),
                  6)
            << line;
        EXPECT_EQ(static_cast<size_t>(end), line.size()) << line;
        EXPECT_LE(median, p95) << line;
        EXPECT_GE(median, 0.0);
        EXPECT_GT(present, 0.0);
        part_frames += n;
        parts++;
    }
    EXPECT_GE(parts, 1);
    EXPECT_EQ(part_frames, 10);
    double total_median = -1;
    int end = 0;
    EXPECT_EQ(std::sscanf(line.c_str(), "total frames 10 draw_median_ms %lf%n", &total_median, &end), 1)
        << line;
    EXPECT_EQ(static_cast<size_t>(end), line.size()) << line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line.rfind("floor memset_ms ", 0), 0u) << line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line.rfind("present scale1_median_ms ", 0), 0u) << line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line.rfind("present_scaled n 3 frames 1 ", 0), 0u) << line; // frame 0 is timed at 3x
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line.rfind("present_scaled n 4 frames 1 ", 0), 0u) << line; // frame 8 at 4x
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line.rfind("show frames 10 seconds ", 0), 0u) << line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line, "frames 10 show_ms 200");
    EXPECT_FALSE(std::getline(in, line));
}

TEST_F(CaptureRun, BadOptionsAndPathsEndWithStatus2) {
    const std::string file = (dir_ / "plain-file").string();
    std::ofstream(file) << "x";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--frobnicate"}, "--frobnicate"},
        {{"--at", "5-5000"}, "5-5000"},
        {{"--step", "0"}, "--step"},
        {{"--at", "0:0", "--out", file}, file},
        {{"--all", "--out", file + "/sub"}, file},
    };
    for (const auto& [args, mention] : cases) {
        const Result r = Capture(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find(mention), std::string::npos) << r.err;
    }
    const Result help = Capture({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--at P:T"), std::string::npos);
}

TEST_F(CaptureRun, FrameNeverDrawnIsReported) {
    const Result r = Capture({"--until", "100", "--at", "0:40,0:200", "--out", Dir("late")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "frames 5 show_ms 100\n");
    EXPECT_NE(r.err.find("part 0 at 200 ms"), std::string::npos) << r.err;
    EXPECT_EQ(Files(Dir("late")).size(), 2u);
}

TEST_F(CaptureRun, VideoNeedsFfmpeg) {
    const std::string video = (dir_ / "show.mp4").string();
    const Result r = Capture({"--until", "100", "--video", video}, "PATH=/nowhere");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ffmpeg"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(video));
}

TEST_F(CaptureRun, VideoCarriesPictureAndSound) {
    if (std::system("ffprobe -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg installed";
    const std::string video = Dir("video") + "/show.mp4";
    // The module lies beside the executable, not in the test's working directory.
    const Result r = Capture({"--step", "40", "--until", "800", "--video", video});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "frames 20 show_ms 800\n");
    // Nothing but the video is left behind.
    EXPECT_EQ(Files(Dir("video")), std::set<std::string>{"show.mp4"});
    const std::string probe = (dir_ / "probe").string();
    const std::string command =
        "ffprobe -v error -show_entries stream=codec_type,width,height,r_frame_rate,nb_frames,duration "
        "-of compact=nokey=0 '" +
        video + "' >'" + probe + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string streams = Slurp(probe);
    EXPECT_NE(streams.find(
                  "codec_type=video|width=640|height=480|r_frame_rate=25/1|duration=0.800000|nb_frames=20"),
              std::string::npos)
        << streams;
    const size_t audio = streams.find("codec_type=audio|");
    ASSERT_NE(audio, std::string::npos) << streams;
    EXPECT_NE(streams.find("duration=0.8", audio), std::string::npos) << streams;
}
