// Runs the zarvelin-capture executable on short stretches of the show.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>
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

    // args are put in single quotes; env is what env(1) runs the program with: variables
    // such as "PATH=/nowhere", or a command that runs it in turn.
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

    // Streams as ffprobe lists them, key=value separated by '|'.
    std::string Probe(const std::string& file) const {
        const std::string probe = (dir_ / "probe").string();
        const std::string command =
            "ffprobe -v error -show_entries stream=codec_name,codec_type,width,height,"
            "pix_fmt,color_space,r_frame_rate,nb_frames,duration,bit_rate "
            "-of compact=nokey=0 '" +
            file + "' >'" + probe + "'";
        return std::system(command.c_str()) == 0 ? Slurp(probe) : "";
    }
    // Frame n (from 0) of a video decoded by ffmpeg, 8-bit RGB, rows top to bottom.
    std::string DecodeFrame(const std::string& video, int n) const {
        const std::string rgb = (dir_ / "frame.rgb").string();
        const std::string command = "ffmpeg -v error -i '" + video + "' -vf 'select=eq(n\\," +
                                    std::to_string(n) + ")' -frames:v 1 -f rawvideo -pix_fmt rgb24 -y '" +
                                    rgb + "'";
        return std::system(command.c_str()) == 0 ? Slurp(rgb) : "";
    }
    // The sound of a file decoded by ffmpeg, 16-bit little-endian samples.
    std::string DecodeSound(const std::string& file) const {
        const std::string pcm = (dir_ / "sound.pcm").string();
        const std::string command = "ffmpeg -v error -i '" + file + "' -map 0:a -f s16le -y '" + pcm + "'";
        return std::system(command.c_str()) == 0 ? Slurp(pcm) : "";
    }
    // The 320 x 240 picture as a video frame of width x height shows it: every pixel
    // repeated at the largest whole scale that fits, centred on black. 8-bit RGB.
    static std::string Scaled(const capture_test::Png& png, uint32_t width, uint32_t height) {
        const uint32_t s = std::min(width / 320, height / 240);
        const uint32_t x0 = (width - 320 * s) / 2;
        const uint32_t y0 = (height - 240 * s) / 2;
        std::string rgb(size_t{width} * height * 3, '\0');
        for (uint32_t y = 0; y < 240 * s; y++) {
            for (uint32_t x = 0; x < 320 * s; x++) {
                const uint32_t p = png.pixels[(y / s) * 320 + x / s];
                const size_t o = ((size_t{y0} + y) * width + x0 + x) * 3;
                rgb[o] = static_cast<char>(p >> 16);
                rgb[o + 1] = static_cast<char>(p >> 8);
                rgb[o + 2] = static_cast<char>(p);
            }
        }
        return rgb;
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
    const std::string video = (dir_ / "show.mkv").string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--frobnicate"}, "--frobnicate"},
        {{"--at", "5-5000"}, "5-5000"},
        {{"--step", "0"}, "--step"},
        {{"--at", "0:0", "--out", file}, file},
        {{"--all", "--out", file + "/sub"}, file},
        {{"--video", video, "--size", "900p"}, "900p"},
        {{"--video", video, "--size", "720p", "--at", "0:0"}, "--size"},
        {{"--video", video + ".avi"}, "show.mkv.avi"},
        {{"--audio", video + ".mp3"}, "show.mkv.mp3"},
    };
    for (const auto& [args, mention] : cases) {
        const Result r = Capture(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find(mention), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_EQ(Files(dir_.string()), (std::set<std::string>{"plain-file", "stderr", "stdout"}));
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
    const std::string flac = (dir_ / "sound.flac").string();
    for (const std::vector<std::string>& output :
         {std::vector<std::string>{"--video", video}, {"--audio", flac}}) {
        const Result r = Capture({"--until", "100", output[0], output[1]}, "PATH=/nowhere");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("ffmpeg"), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_EQ(Files(dir_.string()), (std::set<std::string>{"stderr", "stdout"}));
}

TEST_F(CaptureRun, FilesThatCannotBeWrittenEndWithStatus1) {
    const std::string plain = (dir_ / "plain-file").string();
    std::ofstream(plain) << "x";
    const std::string folder = Dir("folder.mkv");
    const std::vector<std::vector<std::string>> cases = {
        {"--video", plain + "/show.mp4"}, {"--audio", plain + "/sound.wav"}, {"--video", folder}};
    for (const auto& args : cases) {
        const Result r = Capture({"--until", "100", args[0], args[1]});
        EXPECT_EQ(r.status, 1) << args[1];
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find("cannot write '" + args[1] + "'"), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_EQ(Files(dir_.string()), (std::set<std::string>{"folder.mkv", "plain-file", "stderr", "stdout"}));
    EXPECT_TRUE(Files(folder).empty());
}

TEST_F(CaptureRun, FailingFfmpegLeavesTheOlderFileAsItWas) {
    const std::string bin = Dir("bin");
    std::ofstream(bin + "/ffmpeg") << "#!/bin/sh\nexit 3\n";
    fs::permissions(bin + "/ffmpeg", fs::perms::owner_all);
    const std::string out = Dir("video");
    std::ofstream(out + "/show.mp4") << "older";
    const Result r =
        Capture({"--until", "200", "--video", out + "/show.mp4"}, "PATH=" + bin + ":/usr/bin:/bin");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ffmpeg failed with status 3"), std::string::npos) << r.err;
    EXPECT_EQ(Files(out), std::set<std::string>{"show.mp4"});
    EXPECT_EQ(Slurp(fs::path(out) / "show.mp4"), "older");
}

TEST_F(CaptureRun, InterruptedVideoLeavesNoFile) {
    if (std::system("ffprobe -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg installed";
    const std::string out = Dir("video");
    // The whole show would take minutes: Ctrl-C's signal comes after a second.
    const Result r = Capture({"--video", out + "/show.mp4", "--audio", out + "/sound.flac"},
                             "timeout --preserve-status -s INT 1");
    EXPECT_EQ(r.status, 128 + SIGINT) << r.err;
    EXPECT_NE(r.err.find("interrupted"), std::string::npos) << r.err;
    EXPECT_TRUE(Files(out).empty());
}

TEST_F(CaptureRun, VideoCarriesPictureAndSound) {
    if (std::system("ffprobe -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg installed";
    const std::string video = Dir("video") + "/show.mp4";
    // The module lies beside the executable, not in the test's working directory.
    const Result r = Capture({"--step", "40", "--until", "800", "--video", video});
    ASSERT_EQ(r.status, 0) << r.err;
    double seconds = -1;
    double speed = -1;
    int end = 0;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "encode seconds %lf speed %lf\n%n", &seconds, &speed, &end), 2)
        << r.out;
    EXPECT_GT(seconds, 0.0);
    EXPECT_GT(speed, 0.0);
    EXPECT_EQ(r.out.substr(static_cast<size_t>(end)), "frames 20 show_ms 800\n");
    // Nothing but the video is left behind.
    EXPECT_EQ(Files(Dir("video")), std::set<std::string>{"show.mp4"});
    const std::string streams = Probe(video);
    EXPECT_NE(streams.find("codec_name=h264|codec_type=video|width=640|height=480|pix_fmt=yuv420p|"
                           "color_space=smpte170m|r_frame_rate=25/1|duration=0.800000|bit_rate="),
              std::string::npos)
        << streams;
    EXPECT_NE(streams.find("|nb_frames=20\n"), std::string::npos) << streams;
    const size_t audio = streams.find("codec_name=aac|codec_type=audio|");
    ASSERT_NE(audio, std::string::npos) << streams;
    EXPECT_NE(streams.find("duration=0.8", audio), std::string::npos) << streams;
    // The upload settings: x264 at CRF 18 (it writes its settings into the stream), AAC at
    // 256 kbit/s, and the index before the data.
    const std::string bytes = Slurp(video);
    EXPECT_NE(bytes.find(" crf=18.0 "), std::string::npos);
    long bit_rate = 0;
    EXPECT_EQ(std::sscanf(streams.c_str() + streams.find("bit_rate=", audio), "bit_rate=%ld", &bit_rate), 1);
    EXPECT_GE(bit_rate, 192000);
    EXPECT_LT(bytes.find("moov"), bytes.find("mdat"));

    // A larger size: BT.709, as players take HD.
    const std::string hd = Dir("video") + "/hd.mkv";
    ASSERT_EQ(Capture({"--until", "40", "--video", hd, "--size", "1080p"}).status, 0);
    EXPECT_NE(Probe(hd).find("codec_name=h264|codec_type=video|width=1920|height=1080|pix_fmt=yuv420p|"
                             "color_space=bt709"),
              std::string::npos)
        << Probe(hd);
}

// A clip: its frames are the played show's, its music the soundtrack's from the same show
// time, its chapters those it crosses.
TEST_F(CaptureRun, FromStartsFramesSoundAndChaptersThere) {
    const Result chapters = Capture({"--chapters"});
    EXPECT_EQ(chapters.out, "0:00 Star field and logo\n0:12 Cylinder\n0:53 Tunnel and sphere\n"
                            "1:20 Rotozoomed Julia\n1:46 Julia and balls\n2:13 Face\n3:06 Plasma cube\n"
                            "3:19 Water and credits\n");
    const std::string whole = Dir("whole");
    const std::string clip = Dir("clip");
    ASSERT_EQ(Capture({"--until", "14000", "--at", "0:12920,1:20,1:1020", "--out", whole, "--audio",
                       whole + "/sound.wav"})
                  .status,
              0);
    const Result r = Capture({"--from", "12000", "--until", "14000", "--at", "0:12920,1:20,1:1020", "--out",
                              clip, "--audio", clip + "/sound.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("frames 100 show_ms 14000\n"), std::string::npos) << r.out;
    for (const char* frame : {"p0_t12920.raw", "p1_t20.raw", "p1_t1020.raw"})
        EXPECT_EQ(Slurp(clip + "/" + frame), Slurp(whole + "/" + frame)) << frame;
    // 44-byte headers; 12 s of 44.1 kHz stereo 16-bit samples before the clip's first.
    const std::string all = Slurp(whole + "/sound.wav");
    const std::string part = Slurp(clip + "/sound.wav");
    ASSERT_EQ(part.size(), 44u + 2000 * 441 / 10 * 4);
    EXPECT_EQ(part.substr(44), all.substr(44 + 12000 * 441 / 10 * 4));

    if (std::system("ffprobe -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg installed";
    const std::string video = clip + "/clip.mkv";
    ASSERT_EQ(Capture({"--from", "12000", "--until", "14000", "--video", video}).status, 0);
    const std::string listed = (dir_ / "chapters").string();
    ASSERT_EQ(std::system(("ffprobe -v error -show_chapters -of compact=nokey=0 '" + video + "' >'" + listed + "'")
                              .c_str()),
              0);
    const std::string text = Slurp(listed);
    // Times as ffprobe prints them whatever the container's time base.
    for (const char* chapter : {"start_time=0.000000|", "end_time=0.960000|tag:title=Star field and logo\n",
                                "start_time=0.960000|", "end_time=2.000000|tag:title=Cylinder\n"})
        EXPECT_NE(text.find(chapter), std::string::npos) << chapter << " in " << text;
}

TEST_F(CaptureRun, LosslessMasterHoldsTheFramesAndTheSoundtrack) {
    if (std::system("ffprobe -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg installed";
    const std::string out = Dir("master");
    const std::string master = out + "/master.mkv";
    const Result r = Capture({"--until", "2000", "--lossless", "--video", master, "--at",
                              "0:0,0:100,0:1000,0:1980", "--out", out, "--audio", out + "/sound.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Probe(master).find("codec_name=ffv1|codec_type=video|width=320|height=240"), std::string::npos);
    // Frame n lies at show time 20 n, part time 20 n in the first part.
    for (int n : {0, 50, 99}) {
        capture_test::Png png;
        ASSERT_TRUE(capture_test::ReadPng(out + "/p0_t" + std::to_string(20 * n) + ".png", png));
        EXPECT_EQ(DecodeFrame(master, n), Scaled(png, 320, 240)) << "frame " << n;
    }
    // Scaled 3 x 3 into 1280 x 720 (frame 5: the first stars).
    const std::string sized = out + "/sized.mkv";
    ASSERT_EQ(Capture({"--until", "120", "--lossless", "--size", "720p", "--video", sized}).status, 0);
    capture_test::Png png;
    ASSERT_TRUE(capture_test::ReadPng(out + "/p0_t100.png", png));
    EXPECT_EQ(DecodeFrame(sized, 5), Scaled(png, 1280, 720));

    // The soundtrack alone, as a WAV and as FLAC, carries the master's samples.
    ASSERT_EQ(Capture({"--until", "2000", "--audio", out + "/sound.flac"}).status, 0);
    const std::string wav = Slurp(out + "/sound.wav");
    ASSERT_EQ(wav.size(), 44u + 88200u * 4);
    const std::string samples = wav.substr(44);
    EXPECT_EQ(DecodeSound(master), samples);
    EXPECT_EQ(DecodeSound(out + "/sound.flac"), samples);
}
