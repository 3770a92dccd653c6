#include "gp32_sdl/display_plan.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "gp32_functions/gp32_functions.h"

namespace {

constexpr int32_t kDefaultWindowScale = 2;

bool Known(PixelSize s) {
    return s.w > 0 && s.h > 0;
}

// Largest n with 320n x 240n within 90% of the desktop both ways (at least 1).
int32_t AutoWindowScale(PixelSize desktop) {
    if (!Known(desktop)) return kDefaultWindowScale;
    const int64_t by_width = int64_t{9} * desktop.w / (10 * kFrameWidth);
    const int64_t by_height = int64_t{9} * desktop.h / (10 * kFrameHeight);
    return static_cast<int32_t>(std::max<int64_t>(1, std::min(by_width, by_height)));
}

bool Offers(const OfferedModes& modes, PixelSize size) {
    if (modes.any) return true;
    return std::any_of(modes.sizes.begin(), modes.sizes.end(),
                       [size](PixelSize m) { return m.w == size.w && m.h == size.h; });
}

DisplayPlan Centred(PixelSize mode, bool fullscreen, PixelSize picture, int32_t n) {
    return DisplayPlan{mode, fullscreen, (mode.w - picture.w) / 2, (mode.h - picture.h) / 2, picture, n};
}

DisplayPlan Scaled(PixelSize mode, bool fullscreen, int32_t n) {
    return Centred(mode, fullscreen, PixelSize{kFrameWidth * n, kFrameHeight * n}, n);
}

} // namespace

DisplayPlan PlanDisplay(const DisplayRequest& request, PixelSize desktop, const OfferedModes& modes) {
    if (!request.fullscreen) {
        const int32_t n =
            request.window_scale == kWindowScaleAuto ? AutoWindowScale(desktop) : request.window_scale;
        const int32_t used = n >= 1 ? n : kDefaultWindowScale;
        return Scaled(PixelSize{kFrameWidth * used, kFrameHeight * used}, false, used);
    }
    const PixelSize frame{kFrameWidth, kFrameHeight};
    PixelSize screen = desktop;
    if (Offers(modes, frame) || (!Known(screen) && modes.sizes.empty())) return Scaled(frame, true, 1);
    if (!Known(screen)) screen = modes.sizes.front();

    const int32_t whole = std::min(screen.w / kFrameWidth, screen.h / kFrameHeight);
    // A screen smaller than the frame gets the 4:3 box, shrunk nearest-neighbour.
    if (request.fit == Fit::Whole && whole >= 1) return Scaled(screen, true, whole);
    const int32_t unit = std::min(screen.w / 4, screen.h / 3);
    const PixelSize box{4 * unit, 3 * unit};
    return Centred(screen, true, box, box.w % kFrameWidth == 0 ? box.w / kFrameWidth : 0);
}

namespace {
template <typename T> struct Word {
    const char* text;
    T value;
};

template <typename T, size_t N> bool ParseWord(const char* text, const Word<T> (&words)[N], T* value) {
    if (text == nullptr) return false;
    for (const Word<T>& w : words) {
        if (std::strcmp(text, w.text) != 0) continue;
        *value = w.value;
        return true;
    }
    return false;
}
} // namespace

bool ParseFit(const char* text, Fit* fit) {
    static constexpr Word<Fit> kFits[] = {{"whole", Fit::Whole}, {"aspect", Fit::Aspect}};
    return ParseWord(text, kFits, fit);
}

bool ParseOutput(const char* text, Output* output) {
    static constexpr Word<Output> kOutputs[] = {{"opengl", Output::OpenGl}, {"surface", Output::Surface}};
    return ParseWord(text, kOutputs, output);
}

int32_t SampleShift(int32_t frame, int32_t picture) {
    return std::gcd(frame / 2, picture);
}

int32_t SampledPixel(int32_t i, int32_t frame, int32_t picture) {
    const int64_t at = (2 * int64_t{i} + 1) * frame - SampleShift(frame, picture);
    return static_cast<int32_t>(at / (2 * int64_t{picture}));
}

namespace {
void Map(std::vector<uint16_t>& map, int32_t frame, int32_t picture) {
    map.resize(static_cast<size_t>(std::max(picture, 0)));
    for (size_t i = 0; i < map.size(); i++)
        map[i] = static_cast<uint16_t>(SampledPixel(static_cast<int32_t>(i), frame, picture));
}
} // namespace

FramePlacer::FramePlacer() : plain_(std::make_unique<uint32_t[]>(kFramePixels)) {}

void FramePlacer::SetPlan(const DisplayPlan& plan) {
    plan_ = plan;
    Map(columns_, kFrameWidth, plan.picture.w);
    Map(rows_, kFrameHeight, plan.picture.h);
}

void FramePlacer::Convert(const void* source, int depth, uint32_t* dest, ptrdiff_t pitch) {
    const DisplayPlan& p = plan_;
    ConvertFrame(source, depth, plain_.get(), 0);
    const size_t left = static_cast<size_t>(p.x);
    const size_t width = columns_.size();
    const size_t right = static_cast<size_t>(p.mode.w) - left - width;
    const uint32_t* above = nullptr; // the picture row just written
    for (int32_t y = 0; y < p.mode.h; y++) {
        uint32_t* row = dest + y * pitch;
        const int32_t r = y - p.y;
        if (r < 0 || r >= static_cast<int32_t>(rows_.size())) {
            std::fill(row, row + p.mode.w, 0u);
            continue;
        }
        std::fill(row, row + left, 0u);
        std::fill(row + left + width, row + left + width + right, 0u);
        uint32_t* out = row + left;
        if (above != nullptr && rows_[static_cast<size_t>(r)] == rows_[static_cast<size_t>(r) - 1]) {
            std::memcpy(out, above, width * sizeof(uint32_t));
        } else {
            const uint32_t* in = plain_.get() + size_t{rows_[static_cast<size_t>(r)]} * kFrameWidth;
            for (size_t i = 0; i < width; i++)
                out[i] = in[columns_[i]];
        }
        above = out;
    }
}
