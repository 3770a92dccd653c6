// Where the music stands as it is heard, worked out from the audio callbacks alone (no SDL
// here, so that a fake output can drive it).
//
// Output frames: every frame the callbacks have handed to the output, silence included,
// counted from the first. A callback that begins at time t and ends with `written` frames
// handed over says that the frame heard at t is written - latency, where latency counts what
// the driver and everything after it still hold once the callback's buffer is in, plus any
// delay the user asks for. Between callbacks the heard frame runs on at the output's rate;
// each callback pulls it a tenth of the way to what it says, so the clock follows the card's
// own rate and ignores the jitter of the callbacks. It never goes back, never passes the
// last frame written (the output stalls there) and stands still until the output has
// consumed a first buffer (a sound server may take seconds to wake a suspended sink).
//
// Music frames: the module's position in output frames from its beginning. The music says
// from which output frame on which part of the module plays (Segment); the heard output
// frame then gives the heard music.
#pragma once
#include <array>
#include <cstdint>

class HeardClock {
  public:
    // A fresh clock for an output of `rate` frames per second; nothing heard, no music.
    void Start(int32_t rate, int64_t latency);
    void SetLatency(int64_t latency) { latency_ = latency; }
    int64_t Latency() const { return latency_; }
    int32_t Rate() const { return rate_; }

    // A callback began at now_us (microseconds on any steady clock) and handed over `frames`
    // frames.
    void Written(int64_t frames, int64_t now_us);
    int64_t WrittenFrames() const { return written_; }
    // The output frame heard at now_us: at least what an earlier call returned; negative while
    // the first frames are still on their way.
    int64_t HeardFrame(int64_t now_us);
    // True once the output has been seen consuming.
    bool Started() const { return started_; }

    // From output frame `at` (the next one to be written) on, the music is at `music` and
    // advances with the output (or stands, advancing false: silence, paused). A jump also
    // makes every frame before `at` read `music`: what was queued before it no longer counts.
    void Segment(int64_t at, int64_t music, bool advancing, bool jump);
    // The music frame at output frame `frame` (the first segment's music before any segment).
    int64_t MusicAt(int64_t frame) const;
    // The music frame heard at now_us; 0 without any segment.
    int64_t HeardMusic(int64_t now_us) { return MusicAt(HeardFrame(now_us)); }

  private:
    struct Piece {
        int64_t at;
        int64_t music;
        bool advancing;
    };
    static constexpr int kPieces = 16; // more than the output ever holds between two reads

    int32_t rate_ = 44100;
    int64_t latency_ = 0;
    int64_t written_ = 0;
    bool any_ = false;     // a callback has come
    bool started_ = false; // the output consumes
    int64_t last_us_ = 0;  // when the last callback began
    int64_t last_size_ = 0;
    double anchor_ = 0.0; // heard frame estimated at anchor_us_
    int64_t anchor_us_ = 0;
    int64_t heard_ = INT64_MIN / 2; // last answer of HeardFrame

    std::array<Piece, kPieces> pieces_{};
    int first_ = 0; // oldest piece kept
    int count_ = 0;

    double Estimate(int64_t now_us) const;
};

// Parses ZARVELIN_AUDIO_DELAY's value: whole milliseconds, optionally signed, from
// -kMaxAudioDelayMs to kMaxAudioDelayMs. False (ms untouched) for anything else.
constexpr int32_t kMaxAudioDelayMs = 5000;
bool ParseAudioDelay(const char* text, int32_t* ms);
