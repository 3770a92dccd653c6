#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "child_process.h"

namespace capture {

std::string PartialName(const std::string& file) {
    return file + ".partial";
}

bool CheckWritable(const std::string& file, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) {
        error = "cannot write '" + file + "': it is a folder";
        return false;
    }
    const std::string probe = PartialName(file);
    std::FILE* f = std::fopen(probe.c_str(), "wb");
    if (f == nullptr) {
        error = "cannot write '" + file + "': " + std::strerror(errno);
        return false;
    }
    std::fclose(f);
    std::error_code ignored;
    std::filesystem::remove(probe, ignored);
    return true;
}

bool Commit(const std::string& file, std::string& error) {
    std::error_code ec;
    std::filesystem::rename(PartialName(file), file, ec);
    if (ec && std::filesystem::exists(file)) {
        // Where renaming cannot replace a file (some Windows runtimes), the old one goes first.
        std::filesystem::remove(file, ec);
        std::filesystem::rename(PartialName(file), file, ec);
    }
    if (ec) {
        error = "cannot write '" + file + "': " + ec.message();
        return false;
    }
    return true;
}

std::string NeedFfmpeg(const std::string& what, std::string& error) {
    std::string ffmpeg = FindOnPath("ffmpeg");
    if (ffmpeg.empty())
        error = what + " needs " + ProgramFileName("ffmpeg") + ", which is not installed (not found on PATH)";
    return ffmpeg;
}

} // namespace capture
