// Completeness check of ProTracker-family modules, shared by the native and the page's player.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstring>

// Channels of a 31-sample ProTracker-family module with plainly stored patterns, from its tag
// at offset 1080; 0 for anything else (no tag, or FLT8's split patterns).
inline int TaggedChannels(const unsigned char* data, size_t size) {
    if (size < 1084) return 0;
    const char* tag = reinterpret_cast<const char*>(data + 1080);
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (!std::memcmp(tag, "M.K.", 4) || !std::memcmp(tag, "M!K!", 4) || !std::memcmp(tag, "FLT4", 4))
        return 4;
    if (!std::memcmp(tag, "OCTA", 4) || !std::memcmp(tag, "CD81", 4)) return 8;
    if (digit(tag[0]) && !std::memcmp(tag + 1, "CHN", 3)) return tag[0] - '0';
    if (digit(tag[0]) && digit(tag[1]) && tag[2] == 'C' && tag[3] == 'H')
        return (tag[0] - '0') * 10 + (tag[1] - '0');
    return 0;
}

// libopenmpt plays a cut-off ProTracker module with silence for what is missing; we would
// rather refuse it. True unless the data is a tagged module shorter than its header declares.
inline bool ModuleComplete(const unsigned char* data, size_t size) {
    int channels = TaggedChannels(data, size);
    if (channels == 0) return true;
    size_t patterns = 0;
    for (size_t i = 0; i < 128; ++i)
        patterns = std::max<size_t>(patterns, data[952 + i] + 1u);
    size_t expected = 1084 + patterns * 64 * static_cast<size_t>(channels) * 4;
    for (size_t i = 0; i < 31; ++i) {
        const unsigned char* header = data + 20 + i * 30;
        expected += 2 * ((static_cast<size_t>(header[22]) << 8) | header[23]);
    }
    return size >= expected;
}
