// Seeking and chapters: the show at any moment as if played from the start on the capture's
// steady 20 ms clock, found quickly from states kept along the way.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace headless {

// The steady clock a seek replays the show on: one frame every 20 ms of show time.
constexpr int32_t kSeekStepMs = 20;

struct Chapter {
    int32_t start_ms; // show time of the part's first frame on the 20 ms clock
    const char* name; // short name
};
constexpr int kChapterCount = 8;
// The show's parts in order of play.
const std::array<Chapter, kChapterCount>& Chapters();
// Show time of the last frame on the 20 ms clock.
int32_t ShowLengthMs();
// The chapter that show time ms lies in (0 for anything before the second chapter).
int ChapterAt(int32_t ms);
// "m:ss" of a show time, truncated to the second (negative times count as 0).
std::string MinutesSeconds(int32_t ms);

// Keeps the show's starting state. Call once after the loading screen, before the first
// frame; origin is the time base value at show time 0 (partime then).
void KeepShowStart(int32_t origin);
// Puts the show's state (stars, water, shade rows, logo masks, objects, random sequence, part,
// both frame buffers and flip ...) where playing from the start on the 20 ms clock up to show
// time ms leaves it, so that the next frame, drawn with the clock at origin + ms, is that
// playthrough's. The caller then makes its clock read origin + ms. False, changing nothing,
// before KeepShowStart or for ms outside 0 .. ShowLengthMs().
bool SeekShow(int32_t ms);
// Replays the show ahead of the kept states for up to budget_ms of work, keeping a state at
// every chapter start and every 3 s, so that later seeks only replay the few frames after the
// nearest one. Between live frames; the live state is put back. False once all is kept.
bool PrepareSeeks(double budget_ms);
// Show time up to which states are kept.
int32_t PreparedMs();
// Bytes held by the kept states.
size_t KeptBytes();

} // namespace headless
