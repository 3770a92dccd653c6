#include "video_output.h"

#include <signal.h>

#include <cstdio>

#include "output_file.h"

namespace capture {

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
    return true;
}

bool VideoOutput::Start(std::string& error) {
    if (!soundtrack_.Open(module_, wav_file_, error)) return false;
    // A broken pipe must surface as a failed write, not end the program.
    signal(SIGPIPE, SIG_IGN);
    return encoder_.Start(ffmpeg_, EncodeArgs(format_, frames_file_), error);
}

bool VideoOutput::AddFrame(const uint32_t* picture, uint32_t show_ms, std::string& error) {
    if (!encoder_.WriteFrame(picture)) {
        error = "ffmpeg stopped reading frames";
        return false;
    }
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
    if (ok) ok = RunFfmpeg(ffmpeg_, MuxArgs(format_, frames_file_, wav_file_, PartialName(file_)), error);
    if (ok) ok = Commit(file_, error);
    std::remove(frames_file_.c_str());
    std::remove(wav_file_.c_str());
    std::remove(PartialName(file_).c_str());
    return ok;
}

} // namespace capture
