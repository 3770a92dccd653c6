#include "assetconv/readers.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>
#include <utility>

namespace assetconv {
namespace {

[[noreturn]] void Fail(int line, const std::string& why) {
    throw SourceError{line, why};
}

// ---- text sources -------------------------------------------------------------------------

struct TextLine {
    int number;
    std::string text;
};

// The blanks that separate words (vertical tab and form feed too), so that a line left
// non-empty always has a word.
bool Blank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Lines without comments (from the comment marker to the end, when the marker starts the line
// or follows a blank) and without trailing blanks; lines left empty are dropped.
std::vector<TextLine> ReadLines(const std::string& source, const std::string& marker) {
    std::istringstream in(source);
    std::vector<TextLine> lines;
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        for (size_t i = text.find(marker); i != std::string::npos; i = text.find(marker, i + 1))
            if (i == 0 || text[i - 1] == ' ' || text[i - 1] == '\t') {
                text.erase(i);
                break;
            }
        while (!text.empty() && Blank(text.back()))
            text.pop_back();
        if (!text.empty()) lines.push_back({number, text});
    }
    return lines;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream s(text);
    std::vector<std::string> words;
    std::string w;
    while (s >> w)
        words.push_back(w);
    return words;
}

// ---- pictures -----------------------------------------------------------------------------

uint16_t ToRgb5551(const uint8_t* p, bool transparent) {
    if (transparent && p[3] < 128) return 0;
    uint16_t v = static_cast<uint16_t>(((p[0] >> 3) << 11) | ((p[1] >> 3) << 6) | ((p[2] >> 3) << 1));
    if (transparent && v == 0) v = 0x0842; // opaque black must not read as transparent
    return v;
}

// ---- fonts --------------------------------------------------------------------------------
// Both fonts: "glyph <code>" followed by one text row per pixel row, one character per pixel;
// "//" starts a comment.

struct Glyph {
    int code;
    std::vector<std::vector<int>> pixels; // [row][column]
};

// Reads the glyphs of a font source; `level` turns a pixel character into its value or -1.
std::vector<Glyph> ReadGlyphs(const std::string& source, int size, int lowest, int highest, int (*level)(char),
                              const char* allowed) {
    const std::vector<TextLine> lines = ReadLines(source, "//");
    std::vector<Glyph> glyphs;
    std::set<int> codes;
    const std::string bad_row = "a glyph row must be " + std::to_string(size) + " characters of " + allowed;
    for (size_t i = 0; i < lines.size(); i += size + 1) {
        const std::vector<std::string> w = Words(lines[i].text);
        if (w.size() != 2 || w[0] != "glyph") Fail(lines[i].number, "expected 'glyph <code>'");
        Glyph g;
        g.code = static_cast<int>(ParseInt(w[1], lines[i].number, lowest, highest, "character code"));
        if (!codes.insert(g.code).second) Fail(lines[i].number, "character code " + w[1] + " given twice");
        for (int r = 0; r < size; ++r) {
            if (i + 1 + r >= lines.size())
                Fail(lines.back().number,
                     "glyph " + w[1] + " has fewer than " + std::to_string(size) + " rows");
            const TextLine& row = lines[i + 1 + r];
            if (row.text.size() != static_cast<size_t>(size)) Fail(row.number, bad_row);
            std::vector<int> values;
            for (char ch : row.text) {
                values.push_back(level(ch));
                if (values.back() < 0) Fail(row.number, bad_row);
            }
            g.pixels.push_back(values);
        }
        glyphs.push_back(g);
    }
    return glyphs;
}

int BitLevel(char ch) {
    return ch == '#' ? 1 : ch == '.' ? 0 : -1;
}

int CoverageLevel(char ch) {
    if (ch == '.') return 0;
    if (ch >= '1' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    return -1;
}

} // namespace

long ParseInt(const std::string& word, int line, long lo, long hi, const char* what) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(word.c_str(), &end, 0);
    if (word.empty() || *end != '\0' || errno != 0)
        Fail(line, std::string("expected an integer for ") + what + ", found '" + word + "'");
    if (v < lo || v > hi)
        Fail(line, std::string(what) + " " + word + " is outside " + std::to_string(lo) + ".." +
                       std::to_string(hi));
    return v;
}

std::vector<uint16_t> ReadPicture(const std::string& png, int width, int height, Layout layout, bool transparent) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size()))
        Fail(0, std::string("not a readable PNG: ") + image.message);
    // Measured before decoding, so that no header can make the reader allocate more than the
    // picture it expects.
    if (image.width != static_cast<png_uint_32>(width) || image.height != static_cast<png_uint_32>(height)) {
        const std::string why = "picture is " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                                ", expected " + std::to_string(width) + " x " + std::to_string(height);
        png_image_free(&image);
        Fail(0, why);
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> px(PNG_IMAGE_SIZE(image)); // 4 bytes a pixel, row 0 on top
    if (!png_image_finish_read(&image, nullptr, px.data(), 0, nullptr))
        Fail(0, std::string("PNG decoding failed: ") + image.message);
    std::vector<uint16_t> data(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint16_t v = ToRgb5551(&px[(static_cast<size_t>(y) * width + x) * 4], transparent);
            size_t at;
            if (layout == Layout::Columns)
                at = static_cast<size_t>(x) * height + (height - 1 - y);
            else if (layout == Layout::Rows)
                at = static_cast<size_t>(y) * width + x;
            else
                at = static_cast<size_t>(height - 1 - y) * width + x;
            data[at] = v;
        }
    return data;
}

// 8 x 8 one-bit font for every code 32..90: '.' clear, '#' set.
std::vector<uint8_t> ReadBitfont(const std::string& text) {
    const std::vector<Glyph> glyphs = ReadGlyphs(text, 8, 32, 90, BitLevel, "'.' and '#'");
    if (glyphs.size() != 59)
        Fail(0, "the font needs a glyph for every code 32..90, found " + std::to_string(glyphs.size()));
    std::vector<uint8_t> data(59 * 8, 0);
    for (const Glyph& g : glyphs)
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c)
                if (g.pixels[r][c]) data[(g.code - 32) * 8 + r] |= static_cast<uint8_t>(0x80 >> c);
    return data;
}

// 16 x 16 font with levels '.' (0, transparent), '1'..'9', 'a'..'f' (1..15). Glyphs are
// numbered 1, 2, ... in file order; glyph 0 stays blank for the codes without one.
std::vector<uint8_t> ReadFont16(const std::string& text) {
    const std::vector<Glyph> glyphs = ReadGlyphs(text, 16, 1, 255, CoverageLevel, "'.', 1-9 and a-f");
    if (glyphs.empty() || glyphs.size() > 85)
        Fail(0, "the font needs 1 to 85 glyphs, found " + std::to_string(glyphs.size()));
    std::vector<uint8_t> data(256 + 86 * 256, 0);
    for (size_t n = 0; n < glyphs.size(); ++n) {
        const int number = static_cast<int>(n) + 1;
        data[glyphs[n].code] = static_cast<uint8_t>(number);
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 16; ++c)
                data[256 + number * 256 + r * 16 + c] = static_cast<uint8_t>(glyphs[n].pixels[r][c]);
    }
    return data;
}

// "colour <i> <r> <g> <b>" for i = 1..254 (5-bit channels), "column <c> <16 values>" for c = 0..15.
std::vector<uint8_t> ReadBall(const std::string& text) {
    const std::vector<TextLine> lines = ReadLines(text, "#");
    std::vector<uint8_t> data(768, 0);
    std::vector<bool> colour_seen(255, false), column_seen(16, false);
    for (const TextLine& line : lines) {
        const std::vector<std::string> w = Words(line.text);
        if (w.size() == 5 && w[0] == "colour") {
            const int i = static_cast<int>(ParseInt(w[1], line.number, 1, 254, "colour index"));
            if (colour_seen[i]) Fail(line.number, "colour " + w[1] + " given twice");
            colour_seen[i] = true;
            const long r = ParseInt(w[2], line.number, 0, 31, "red");
            const long g = ParseInt(w[3], line.number, 0, 31, "green");
            const long b = ParseInt(w[4], line.number, 0, 31, "blue");
            const unsigned v = static_cast<unsigned>((r << 10) | (g << 5) | b);
            data[2 + 2 * i] = static_cast<uint8_t>(v & 0xFF);
            data[3 + 2 * i] = static_cast<uint8_t>(v >> 8);
        } else if (w.size() == 18 && w[0] == "column") {
            const int c = static_cast<int>(ParseInt(w[1], line.number, 0, 15, "sprite column"));
            if (column_seen[c]) Fail(line.number, "column " + w[1] + " given twice");
            column_seen[c] = true;
            for (int r = 0; r < 16; ++r)
                data[512 + 16 * c + r] =
                    static_cast<uint8_t>(ParseInt(w[2 + r], line.number, 0, 255, "shade step"));
        } else {
            Fail(line.number, "expected 'colour <i> <r> <g> <b>' or 'column <c>' with 16 values");
        }
    }
    for (int i = 1; i <= 254; ++i)
        if (!colour_seen[i]) Fail(0, "colour " + std::to_string(i) + " missing");
    for (int c = 0; c < 16; ++c)
        if (!column_seen[c]) Fail(0, "sprite column " + std::to_string(c) + " missing");
    return data;
}

// Wavefront OBJ with integer vertex coordinates in -64..63 and triangular faces; the corners
// keep the order of the file. Other OBJ statements (o, g, s, usemtl, vn, vt) are ignored.
std::vector<uint8_t> ReadModel(const std::string& text) {
    const std::vector<TextLine> lines = ReadLines(text, "#");
    std::vector<std::array<int, 3>> points;
    std::vector<std::array<int, 3>> triangles;
    std::vector<int> triangle_lines;
    for (const TextLine& line : lines) {
        const std::vector<std::string> w = Words(line.text);
        if (w[0] == "v") {
            if (w.size() != 4) Fail(line.number, "a vertex needs three integer coordinates");
            std::array<int, 3> p;
            for (int k = 0; k < 3; ++k)
                p[k] = static_cast<int>(ParseInt(w[1 + k], line.number, -64, 63, "coordinate"));
            points.push_back(p);
        } else if (w[0] == "f") {
            if (w.size() != 4) Fail(line.number, "faces must be triangles");
            std::array<int, 3> t;
            for (int k = 0; k < 3; ++k) {
                const std::string index = w[1 + k].substr(0, w[1 + k].find('/'));
                t[k] = static_cast<int>(ParseInt(index, line.number, 1, 65535, "vertex index")) - 1;
            }
            if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2])
                Fail(line.number, "a triangle uses one vertex twice");
            triangles.push_back(t);
            triangle_lines.push_back(line.number);
        } else if (w[0] != "o" && w[0] != "g" && w[0] != "s" && w[0] != "usemtl" && w[0] != "mtllib" &&
                   w[0] != "vn" && w[0] != "vt") {
            Fail(line.number, "unknown statement '" + w[0] + "'");
        }
    }
    if (points.empty() || triangles.empty()) Fail(0, "a model needs vertices and triangles");
    if (points.size() > 8192 || triangles.size() > 8192) Fail(0, "more than 8192 vertices or triangles");
    std::vector<bool> used(points.size(), false);
    for (size_t i = 0; i < triangles.size(); ++i)
        for (int k = 0; k < 3; ++k) {
            if (static_cast<size_t>(triangles[i][k]) >= points.size())
                Fail(triangle_lines[i], "vertex index " + std::to_string(triangles[i][k] + 1) +
                                            " beyond the " + std::to_string(points.size()) + " vertices");
            used[triangles[i][k]] = true;
        }
    for (size_t i = 0; i < points.size(); ++i)
        if (!used[i]) Fail(0, "vertex " + std::to_string(i + 1) + " belongs to no triangle");

    // Every distinct edge once, in order of first appearance: p0-p1, p1-p2, p2-p0.
    std::vector<std::pair<int, int>> edges;
    std::set<std::pair<int, int>> known;
    for (const auto& t : triangles)
        for (int k = 0; k < 3; ++k) {
            const int a = t[k], b = t[(k + 1) % 3];
            if (known.insert({std::min(a, b), std::max(a, b)}).second) edges.push_back({a, b});
        }
    if (edges.size() > 65535) Fail(0, "more than 65535 edges");

    std::vector<uint8_t> data;
    auto put16 = [&](size_t v) {
        data.push_back(static_cast<uint8_t>(v & 0xFF));
        data.push_back(static_cast<uint8_t>(v >> 8));
    };
    put16(points.size());
    put16(edges.size());
    put16(triangles.size());
    for (const auto& p : points)
        for (int k = 0; k < 3; ++k)
            data.push_back(static_cast<uint8_t>(p[k] * 2 + 128));
    for (const auto& e : edges) {
        put16(static_cast<size_t>(e.first));
        put16(static_cast<size_t>(e.second));
    }
    for (const auto& t : triangles)
        for (int k = 0; k < 3; ++k)
            put16(static_cast<size_t>(t[k]));
    return data;
}

} // namespace assetconv
