#include "ico.h"

#include <cstdint>

namespace ico {

namespace {

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint32_t Big32(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; i++)
        v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
    return v;
}

} // namespace

std::string Pack(const std::vector<std::string>& pngs, std::string& error) {
    static const char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (pngs.empty() || pngs.size() > 0xFFFF) {
        error = "an icon holds 1 to 65535 pictures";
        return {};
    }
    std::string head, data;
    Put16(head, 0); // reserved
    Put16(head, 1); // an icon, not a cursor
    Put16(head, static_cast<uint32_t>(pngs.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(pngs.size());
    for (size_t i = 0; i < pngs.size(); i++) {
        const std::string& png = pngs[i];
        // The signature, then the header chunk's length, type, width and height.
        if (png.size() < 24 || png.compare(0, 8, kSignature, 8) != 0 || png.compare(12, 4, "IHDR") != 0) {
            error = "picture " + std::to_string(i + 1) + " is not a PNG";
            return {};
        }
        const uint32_t width = Big32(png, 16);
        const uint32_t height = Big32(png, 20);
        if (width < 1 || width > 256 || height < 1 || height > 256) {
            error = "picture " + std::to_string(i + 1) + " is " + std::to_string(width) + " x " +
                    std::to_string(height) + ", not 1 to 256 pixels a side";
            return {};
        }
        head += static_cast<char>(width & 0xFF); // 256 is written as 0
        head += static_cast<char>(height & 0xFF);
        head += '\0'; // no palette
        head += '\0';
        Put16(head, 1);  // colour planes
        Put16(head, 32); // bits a pixel
        Put32(head, static_cast<uint32_t>(png.size()));
        Put32(head, offset);
        offset += static_cast<uint32_t>(png.size());
        data += png;
    }
    return head + data;
}

} // namespace ico
