#include "video.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace capture {

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return {};
    const std::string dirs = path;
    size_t begin = 0;
    while (begin <= dirs.size()) {
        size_t end = dirs.find(':', begin);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = end > begin ? dirs.substr(begin, end - begin) : ".";
        const std::string candidate = dir + "/" + name;
        struct stat st {};
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        begin = end + 1;
    }
    return {};
}

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

// Waits for a child; true when it exited with status 0.
bool Reap(pid_t pid, std::string& error) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            error = std::string("lost track of ffmpeg: ") + std::strerror(errno);
            return false;
        }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    error = WIFEXITED(status) ? "ffmpeg failed with status " + std::to_string(WEXITSTATUS(status))
                              : std::string("ffmpeg was killed");
    return false;
}

// Starts ffmpeg; with stdin_fd set, gives back the write end of a pipe into its standard input.
pid_t Spawn(const std::string& ffmpeg, const std::vector<std::string>& args, int* stdin_fd,
            std::string& error) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(ffmpeg.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int fds[2] = {-1, -1};
    if (stdin_fd != nullptr && pipe(fds) != 0) {
        error = std::string("cannot create a pipe: ") + std::strerror(errno);
        return -1;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
        if (stdin_fd != nullptr) {
            close(fds[0]);
            close(fds[1]);
        }
        return -1;
    }
    if (pid == 0) {
        if (stdin_fd != nullptr) {
            dup2(fds[0], STDIN_FILENO);
            close(fds[0]);
            close(fds[1]);
        } else {
            // Keeps ffmpeg from reading keys meant for the terminal.
            const int null_fd = open("/dev/null", O_RDONLY);
            if (null_fd >= 0) dup2(null_fd, STDIN_FILENO);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (stdin_fd != nullptr) {
        close(fds[0]);
        *stdin_fd = fds[1];
    }
    return pid;
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

VideoEncoder::~VideoEncoder() {
    std::string ignored;
    if (pid_ > 0) Finish(ignored);
}

bool VideoEncoder::Start(const std::string& ffmpeg, const std::vector<std::string>& args,
                         std::string& error) {
    pid_ = Spawn(ffmpeg, args, &fd_, error);
    return pid_ > 0;
}

bool VideoEncoder::WriteFrame(const uint32_t* pixels) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(pixels);
    size_t left = 76800 * 4;
    while (left > 0) {
        const ssize_t n = write(fd_, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

bool VideoEncoder::Finish(std::string& error) {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (pid_ <= 0) return true;
    const pid_t pid = pid_;
    pid_ = -1;
    return Reap(pid, error);
}

bool RunFfmpeg(const std::string& ffmpeg, const std::vector<std::string>& args, std::string& error) {
    const pid_t pid = Spawn(ffmpeg, args, nullptr, error);
    return pid > 0 && Reap(pid, error);
}

} // namespace capture
