#include "modplayer/heard_clock.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {
// Share of a callback's error taken at once: smooth enough to hide callback jitter, quick
// enough (a time constant of ten callbacks) to follow any card's rate.
constexpr double kPull = 0.1;
} // namespace

void HeardClock::Start(int32_t rate, int64_t latency) {
    *this = HeardClock{};
    rate_ = rate > 0 ? rate : 44100;
    latency_ = latency;
}

double HeardClock::Estimate(int64_t now_us) const {
    return anchor_ + static_cast<double>(now_us - anchor_us_) * rate_ / 1e6;
}

void HeardClock::Written(int64_t frames, int64_t now_us) {
    if (frames <= 0) return;
    const int64_t before = written_;
    written_ += frames;
    const double said = static_cast<double>(written_ - latency_);
    if (!any_) {
        any_ = true;
        anchor_ = said;
    } else {
        // Asked for sooner than half a buffer's time after the last: the output is filling its
        // queue (at the start, after an underrun), not playing it, and `said` only a floor.
        const bool filling = static_cast<double>(now_us - last_us_) * 2.0 < last_size_ * 1e6 / rate_;
        if (!started_) {
            started_ = !filling;
            anchor_ = said;
        } else {
            const double expected = std::min(Estimate(now_us), static_cast<double>(before));
            const double error = said - expected;
            if (filling)
                anchor_ = std::max(expected, said);
            else if (std::fabs(error) > static_cast<double>(frames))
                anchor_ = said; // a stall, or a queue that changed: the answers still never go back
            else
                anchor_ = expected + kPull * error;
        }
    }
    anchor_us_ = now_us;
    last_us_ = now_us;
    last_size_ = frames;
}

int64_t HeardClock::HeardFrame(int64_t now_us) {
    if (!any_) return heard_;
    const double estimate =
        started_ ? std::min(Estimate(now_us), static_cast<double>(written_)) : std::min(anchor_, 0.0);
    heard_ = std::max(heard_, static_cast<int64_t>(std::floor(estimate)));
    return heard_;
}

void HeardClock::Segment(int64_t at, int64_t music, bool advancing, bool jump) {
    if (jump) count_ = 0;
    if (count_ > 0 && pieces_[(first_ + count_ - 1) % kPieces].at >= at) {
        count_--; // nothing played from the piece it replaces
    } else if (count_ == kPieces) {
        first_ = (first_ + 1) % kPieces;
        count_--;
    }
    if (count_ == 0) first_ = 0;
    pieces_[(first_ + count_) % kPieces] = Piece{at, music, advancing};
    count_++;
}

int64_t HeardClock::MusicAt(int64_t frame) const {
    if (count_ == 0) return 0;
    for (int i = count_ - 1; i >= 0; i--) {
        const Piece& p = pieces_[(first_ + i) % kPieces];
        if (p.at <= frame) return p.advancing ? p.music + (frame - p.at) : p.music;
    }
    return pieces_[first_].music;
}

bool ParseAudioDelay(const char* text, int32_t* ms) {
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || end == text ||
        std::isspace(static_cast<unsigned char>(text[0])) || value < -kMaxAudioDelayMs ||
        value > kMaxAudioDelayMs)
        return false;
    *ms = static_cast<int32_t>(value);
    return true;
}
