#include "video_output.h"

#include <filesystem>
#include <system_error>

#include "sound/module_search.h"

namespace capture {

int VideoOutput::Check(const std::string& file, const std::string& module, std::string& error) {
    const std::filesystem::path parent = std::filesystem::path(file).parent_path();
    std::error_code ec;
    if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) {
        error = "cannot write video '" + file + "': no directory '" + parent.string() + "'";
        return 2;
    }
    ffmpeg_ = FindOnPath("ffmpeg");
    if (ffmpeg_.empty()) {
        error = "--video needs " + ProgramFileName("ffmpeg") + ", which is not installed (not found on PATH)";
        return 1;
    }
    module_ = FindModule(module);
    if (module_.empty()) {
        error = "--video needs the music module (see --module): " + ModuleSearchText(ModuleDirs(), "");
        return 1;
    }
    file_ = file;
    frames_file_ = file + ".frames.mkv";
    wav_file_ = file + ".sound.wav";
    return 0;
}

bool VideoOutput::Start(uint32_t step, std::string& error) {
    step_ = step;
    if (!soundtrack_.Open(module_, error)) return false;
    if (!wav_.Open(wav_file_, 2, kSoundRate)) {
        error = "cannot write " + wav_file_;
        return false;
    }
    return encoder_.Start(ffmpeg_, frames_file_, step, error);
}

bool VideoOutput::AddFrame(const uint32_t* picture, uint32_t show_ms, std::string& error) {
    if (!encoder_.WriteFrame(picture)) {
        error = "ffmpeg stopped reading frames";
        return false;
    }
    if (!soundtrack_.Render(show_ms, show_ms + step_, wav_)) {
        error = "cannot write " + wav_file_;
        return false;
    }
    return true;
}

bool VideoOutput::Finish(bool ok, std::string& error) {
    std::string encoder_error;
    if (!encoder_.Finish(encoder_error) && ok) {
        ok = false;
        error = encoder_error;
    }
    if (!wav_.Close() && ok) {
        ok = false;
        error = "cannot write " + wav_file_;
    }
    if (ok && !MuxVideo(ffmpeg_, frames_file_, wav_file_, file_, error)) ok = false;
    std::error_code ignored;
    std::filesystem::remove(frames_file_, ignored);
    std::filesystem::remove(wav_file_, ignored);
    return ok;
}

} // namespace capture
