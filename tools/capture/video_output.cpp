#include "video_output.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "output_file.h"

namespace capture {
namespace {

bool WriteTextFile(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && written;
}

} // namespace

bool VideoOutput::Check(const headless::Options& o, std::string& error) {
    if (!CheckWritable(o.video, error)) return false;
    ffmpeg_ = NeedFfmpeg("--video", error);
    if (ffmpeg_.empty()) return false;
    module_ = NeedModule(o.module, "--video", error);
    if (module_.empty()) return false;
    format_ = ChooseVideoFormat(o);
    file_ = o.video;
    frames_file_ = file_ + ".frames.mkv";
    wav_file_ = file_ + ".sound.wav";
    chapters_file_ = file_ + ".chapters.txt";
    from_ = o.from;
    end_ = o.from;
    return true;
}

bool VideoOutput::Start(std::string& error) {
    if (!soundtrack_.Open(module_, wav_file_, from_, error)) return false;
    return encoder_.Start(ffmpeg_, EncodeArgs(format_, frames_file_), error);
}

bool VideoOutput::AddFrame(const uint32_t* picture, uint32_t show_ms, std::string& error) {
    if (!encoder_.WriteFrame(picture)) {
        // Its end says why ("ffmpeg failed with status 1").
        std::string why;
        encoder_.Finish(why);
        error = "ffmpeg stopped reading frames" + (why.empty() ? std::string() : ": " + why);
        return false;
    }
    end_ = show_ms + format_.step;
    return soundtrack_.Add(show_ms, show_ms + format_.step, error);
}

bool VideoOutput::Finish(bool ok, std::string& error) {
    std::string step_error;
    if (!encoder_.Finish(step_error) && ok) {
        ok = false;
        error = step_error;
    }
    if (!soundtrack_.Close(step_error) && ok) {
        ok = false;
        error = step_error;
    }
    if (ok && !WriteTextFile(chapters_file_, ChapterMetadata(from_, end_))) {
        ok = false;
        error = "cannot write " + chapters_file_;
    }
    if (ok) {
        ok = RunFfmpeg(ffmpeg_, MuxArgs(format_, frames_file_, wav_file_, chapters_file_, PartialName(file_)),
                       error);
    }
    if (ok) ok = Commit(file_, error);
    std::error_code ignored;
    for (const std::string& name : {frames_file_, wav_file_, chapters_file_, PartialName(file_)})
        std::filesystem::remove(name, ignored);
    return ok;
}

} // namespace capture
