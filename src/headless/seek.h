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
// The clock now reads origin + show time: partime moves with it. For a clock that a seek
// does not move, SetShowOrigin(Ticks() - ms) after SeekShow(ms) puts the show at ms as well.
void SetShowOrigin(int32_t origin);
// Show time now: the time base less the origin.
int32_t ShowTimeMs();

// Where the watching keys go from show time now, always within 0 .. ShowLengthMs().
int32_t StepMs(int32_t now, int32_t delta);
// n tenths of the show (0 to 9).
int32_t TenthMs(int n);
// The start of the chapter now lies in, or of the one before in its first 2 s.
int32_t PreviousChapterMs(int32_t now);
// The start of the next chapter; -1 in the last one.
int32_t NextChapterMs(int32_t now);
// Replays the show ahead of the kept states for up to budget_ms of work, keeping a state at
// every chapter start and every 3 s, so that later seeks only replay the few frames after the
// nearest one. Between live frames; the live state is put back. False once all is kept.
bool PrepareSeeks(double budget_ms);
// Show time up to which states are kept.
int32_t PreparedMs();
// Bytes held by the kept states.
size_t KeptBytes();

} // namespace headless
