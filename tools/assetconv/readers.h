// Readers of the editable asset sources: each turns the bytes of one source into the data
// of a compiled-in unit, or throws SourceError. Shared by assetconv and its fuzz target.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace assetconv {

// A fault in a source: its line (0: the source as a whole) and why.
struct SourceError {
    int line;
    std::string why;
};

// Where picture pixel (x, y), row 0 on top, goes in the unit.
enum class Layout {
    Columns, // frame-buffer order, column by column, element 0 at the bottom
    Rows,    // texel (u, v) at v * width + u, the PNG's row 0 is v = 0
    RowsUp,  // as Rows, but the PNG's bottom row is v = 0 (pictures drawn upright)
};

// A PNG of exactly width x height as RGB5551. transparent: alpha below 128 becomes 0 and an
// opaque pixel that would be 0 becomes 0x0842.
std::vector<uint16_t> ReadPicture(const std::string& png, int width, int height, Layout layout, bool transparent);
// 8 x 8 one-bit font, every code 32..90: 472 bytes.
std::vector<uint8_t> ReadBitfont(const std::string& text);
// 16 x 16 font of 1 to 85 glyphs: the code map and the glyphs, 22272 bytes.
std::vector<uint8_t> ReadFont16(const std::string& text);
// Ball palette and sprite: 768 bytes.
std::vector<uint8_t> ReadBall(const std::string& text);
// Wavefront OBJ as a packed model.
std::vector<uint8_t> ReadModel(const std::string& text);

// A whole number within [lo, hi] in strtol's notations (decimal, 0x hexadecimal, 0 octal).
long ParseInt(const std::string& word, int line, long lo, long hi, const char* what);

} // namespace assetconv
