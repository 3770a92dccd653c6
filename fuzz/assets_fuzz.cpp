// The asset converter's readers. The first byte picks the reader (and for pictures the layout
// and transparency); the rest is the source. Every source either converts to data of the
// unit's size or is refused with a line and a reason.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "assetconv/readers.h"

namespace {
void Require(bool condition) {
    if (!condition) std::abort();
}

// The PNG's own width or height (big-endian at 16 or 20) when it is 1..256, so that pictures
// of any small size are decoded; else 1.
int Dimension(const std::string& png, size_t at) {
    if (png.size() < at + 4) return 1;
    uint32_t v = 0;
    for (size_t i = 0; i < 4; i++)
        v = (v << 8) | static_cast<uint8_t>(png[at + i]);
    return v >= 1 && v <= 256 ? static_cast<int>(v) : 1;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t pick = data[0];
    const std::string source(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        switch (pick % 5) {
        case 0: {
            const int width = Dimension(source, 16);
            const int height = Dimension(source, 20);
            const auto layout = static_cast<assetconv::Layout>((pick / 5) % 3);
            const bool transparent = (pick / 15) % 2 != 0;
            const auto picture = assetconv::ReadPicture(source, width, height, layout, transparent);
            Require(picture.size() == static_cast<size_t>(width) * height);
            break;
        }
        case 1:
            Require(assetconv::ReadBitfont(source).size() == 472);
            break;
        case 2:
            Require(assetconv::ReadFont16(source).size() == 22272);
            break;
        case 3:
            Require(assetconv::ReadBall(source).size() == 768);
            break;
        default: {
            const auto model = assetconv::ReadModel(source);
            Require(model.size() >= 6);
            break;
        }
        }
    } catch (const assetconv::SourceError& e) {
        Require(e.line >= 0 && !e.why.empty());
    }
    return 0;
}
