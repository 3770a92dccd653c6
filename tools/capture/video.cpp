#include "video.h"

#include <cstring>

namespace capture {

namespace {

void Put16(uint8_t* out, uint32_t v) {
    out[0] = static_cast<uint8_t>(v);
    out[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out + 2, v >> 16);
}

constexpr size_t kWavHeaderBytes = 44;
constexpr uint64_t kWavMaxData = 0xFFFFFFFFull - 36;

void WavHeader(uint8_t* h, int channels, int rate, uint32_t data_bytes) {
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, 36 + data_bytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    Put16(h + 20, 1); // integer PCM
    Put16(h + 22, static_cast<uint32_t>(channels));
    Put32(h + 24, static_cast<uint32_t>(rate));
    Put32(h + 28, static_cast<uint32_t>(rate) * static_cast<uint32_t>(channels) * 2);
    Put16(h + 32, static_cast<uint32_t>(channels) * 2);
    Put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, data_bytes);
}

} // namespace

WavWriter::~WavWriter() {
    if (file_ != nullptr) std::fclose(file_);
}

bool WavWriter::Open(const std::string& path, int channels, int rate) {
    if (channels < 1 || channels > 8 || rate < 1 || rate > 384000) return false;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) return false;
    channels_ = channels;
    data_bytes_ = 0;
    ok_ = true;
    uint8_t header[kWavHeaderBytes];
    WavHeader(header, channels, rate, 0);
    ok_ = std::fwrite(header, 1, sizeof(header), file_) == sizeof(header);
    rate_ = rate;
    return ok_;
}

bool WavWriter::Write(const int16_t* samples, size_t frames) {
    if (file_ == nullptr || !ok_) return false;
    uint8_t block[4096];
    const size_t count = frames * static_cast<size_t>(channels_);
    size_t i = 0;
    while (i < count) {
        size_t n = 0;
        for (; n + 2 <= sizeof(block) && i < count; n += 2, i++)
            Put16(block + n, static_cast<uint16_t>(samples[i]));
        ok_ = ok_ && std::fwrite(block, 1, n, file_) == n;
    }
    data_bytes_ += count * 2;
    if (data_bytes_ > kWavMaxData) ok_ = false;
    return ok_;
}

bool WavWriter::Close() {
    if (file_ == nullptr) return false;
    if (ok_) {
        uint8_t header[kWavHeaderBytes];
        WavHeader(header, channels_, rate_, static_cast<uint32_t>(data_bytes_));
        ok_ = std::fseek(file_, 0, SEEK_SET) == 0 &&
              std::fwrite(header, 1, sizeof(header), file_) == sizeof(header);
    }
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok_ && closed;
}

VideoEncoder::~VideoEncoder() = default;

bool VideoEncoder::Start(const std::string& ffmpeg, const std::vector<std::string>& args,
                         std::string& error) {
    return ffmpeg_.Start(ffmpeg, args, true, error);
}

bool VideoEncoder::WriteFrame(const uint32_t* pixels) {
    return ffmpeg_.Write(pixels, 76800 * 4);
}

bool VideoEncoder::Finish(std::string& error) {
    return ffmpeg_.Wait(error);
}

bool RunFfmpeg(const std::string& ffmpeg, const std::vector<std::string>& args, std::string& error) {
    ChildProcess process;
    return process.Start(ffmpeg, args, false, error) && process.Wait(error);
}

} // namespace capture
