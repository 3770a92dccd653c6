#include "modplayer/heard_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int32_t kRate = 44100;
constexpr int64_t kBuffer = 1024;
constexpr int64_t kQueue = 4 * kBuffer; // what the fake output holds

// An output that holds kQueue frames, consumes at its own rate once started and asks for a
// buffer whenever one fits, a little late now and then (as a busy audio thread is).
struct FakeOutput {
    double ppm = 0.0;
    int64_t start_us = 0;                 // starts consuming (a suspended sink wakes)
    int64_t stall_from = -1, stall_to = -1; // no buffers asked for in between
    int64_t written = 0;
    int64_t played_at_stall = 0;
    int64_t restart_us = -1; // consumes again after the refill that follows a stall
    int64_t restart_frame = 0;
    int64_t t = 0, k = 0, last = INT64_MIN; // the run so far: next buffer, buffers, last reading

    double Speed() const { return kRate * (1.0 + ppm * 1e-6) / 1e6; }
    // Frames heard by t: all that was played, never more than written.
    int64_t Heard(int64_t at) const {
        if (restart_us >= 0 && at >= stall_from) {
            if (at < restart_us) return played_at_stall;
            return std::min(written, restart_frame + static_cast<int64_t>((at - restart_us) * Speed()));
        }
        if (at < start_us) return 0;
        return std::min(written, static_cast<int64_t>((at - start_us) * Speed()));
    }
};

// Feeds the clock as the fake output asks for buffers until `until_us`, reading it in between;
// returns the largest error seen after `settle_us`, in frames, and checks it never goes back.
int64_t Play(HeardClock& clock, FakeOutput& out, int64_t until_us, int64_t settle_us) {
    int64_t worst = 0;
    while (out.t < until_us) {
        if (out.stall_from >= 0 && out.t >= out.stall_from && out.t < out.stall_to) {
            out.played_at_stall = out.written;
            out.restart_us = out.stall_to + 300; // refilled, the server starts again
            out.restart_frame = out.written;
            for (int i = 0; i < 3; i++) { // the refill; the loop writes its last buffer
                out.written += kBuffer;
                clock.Written(kBuffer, out.stall_to + i * 100);
            }
            out.t = out.stall_to + 300;
            continue;
        }
        out.written += kBuffer;
        clock.Written(kBuffer, out.t);
        // The next buffer fits once the output has played down to kQueue - kBuffer.
        const int64_t need = out.written - kQueue + kBuffer;
        const bool again = out.restart_us >= 0;
        const int64_t from_us = again ? out.restart_us : out.start_us;
        const int64_t from = again ? out.restart_frame : 0;
        int64_t next = out.t + 50;
        if (need > from) next = std::max(next, from_us + static_cast<int64_t>((need - from) / out.Speed()));
        next += (out.k * 7919) % 5 == 0 ? (out.k * 104729) % 4000 : 0; // up to 4 ms late
        out.k++;
        for (int64_t r = out.t + 1; r < next && r < until_us; r += 3001) { // frames read it meanwhile
            const int64_t h = clock.HeardFrame(r);
            EXPECT_GE(h, out.last) << "at " << r;
            out.last = h;
            EXPECT_LE(h, out.written);
            if (r >= settle_us) worst = std::max(worst, std::abs(std::max<int64_t>(h, 0) - out.Heard(r)));
        }
        out.t = next;
    }
    return worst;
}

TEST(HeardClock, FollowsTheOutputFromItsWakeOnAtItsOwnRate) {
    for (double ppm : {0.0, 100.0, -100.0}) {
        HeardClock clock;
        clock.Start(kRate, kQueue);
        FakeOutput out;
        out.ppm = ppm;
        out.start_us = 1870000; // a suspended sink takes its time
        EXPECT_EQ(clock.HeardFrame(0), INT64_MIN / 2);
        const int64_t worst = Play(clock, out, 1800000, 0);
        EXPECT_FALSE(clock.Started());
        EXPECT_LE(clock.HeardFrame(1800000), 0);
        EXPECT_EQ(worst, 0) << ppm; // nothing heard, nothing shown
        // Ten minutes on: within a millisecond and a half of the output, whichever its rate.
        EXPECT_LE(Play(clock, out, 600000000, 3000000), kRate * 15 / 10000) << ppm;
        EXPECT_TRUE(clock.Started());
    }
}

TEST(HeardClock, HoldsWhereTheSoundStallsAndCatchesUpAtOnce) {
    HeardClock clock;
    clock.Start(kRate, kQueue);
    FakeOutput out;
    out.stall_from = 5000000;
    out.stall_to = 5300000;
    Play(clock, out, 4990000, 0);
    const int64_t before = clock.HeardFrame(4990000);
    Play(clock, out, 5000001, 0);
    // Stalled: what was written plays out, then the clock stands.
    const int64_t held = clock.HeardFrame(5200000);
    EXPECT_EQ(held, out.written);
    EXPECT_EQ(clock.HeardFrame(5290000), held);
    EXPECT_GT(held, before);
    // After the refill the output starts again from there; so does the clock.
    EXPECT_LE(Play(clock, out, 8000000, 5300000), kRate * 15 / 10000);
}

TEST(HeardClock, MusicFollowsSeeksAndPauses) {
    HeardClock clock;
    clock.Start(kRate, 0);
    EXPECT_EQ(clock.MusicAt(5000), 0); // no music yet
    clock.Segment(1000, 0, true, true); // played from output frame 1000
    EXPECT_EQ(clock.MusicAt(500), 0);
    EXPECT_EQ(clock.MusicAt(1500), 500);
    clock.Segment(3000, 2000, false, false); // paused at music 2000
    EXPECT_EQ(clock.MusicAt(2999), 1999);
    EXPECT_EQ(clock.MusicAt(9000), 2000);
    clock.Segment(4000, 2000, true, false); // resumed
    EXPECT_EQ(clock.MusicAt(4100), 2100);
    // A seek: what was queued before it reads the new place until that is heard.
    clock.Segment(6000, 441000, true, true);
    EXPECT_EQ(clock.MusicAt(1500), 441000);
    EXPECT_EQ(clock.MusicAt(6100), 441100);
    // Two changes before a frame is written: the later one holds.
    clock.Segment(6000, 88200, true, false);
    EXPECT_EQ(clock.MusicAt(6001), 88201);
    EXPECT_EQ(clock.MusicAt(100), 88200);
    // Many changes keep the newest ones.
    for (int i = 0; i < 40; i++)
        clock.Segment(7000 + i * 10, i, true, false);
    EXPECT_EQ(clock.MusicAt(7395), 44);
    EXPECT_EQ(clock.MusicAt(7000), 24); // older than kept: the oldest kept piece's start
}

TEST(AudioDelay, ParsesSignedMillisecondsAndRefusesTheRest) {
    const struct {
        const char* text;
        int32_t ms;
    } good[] = {{"0", 0}, {"250", 250}, {"-120", -120}, {"+5", 5}, {"5000", 5000}, {"-5000", -5000}};
    for (const auto& g : good) {
        int32_t ms = 77;
        EXPECT_TRUE(ParseAudioDelay(g.text, &ms)) << g.text;
        EXPECT_EQ(ms, g.ms) << g.text;
    }
    for (const char* bad : {"", "abc", "12ms", " 5", "5 ", "5001", "-5001", "1e3", "0x10", "-",
                            "99999999999999999999"}) {
        int32_t ms = 77;
        EXPECT_FALSE(ParseAudioDelay(bad, &ms)) << bad;
        EXPECT_EQ(ms, 77) << bad;
    }
    int32_t ms = 77;
    EXPECT_FALSE(ParseAudioDelay(nullptr, &ms));
}

} // namespace
