// Other programs (ffmpeg) found on PATH, started and fed through their standard input:
// fork and exec on POSIX systems (child_process_posix.cpp), CreateProcess on Windows
// (child_process_windows.cpp).
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace capture {

// The file name of the program called name on this system: "ffmpeg", or "ffmpeg.exe".
std::string ProgramFileName(const std::string& name);
// Full path of the program called name in a directory of PATH; empty when there is none.
std::string FindOnPath(const std::string& name);

// One child program. Its standard input is a pipe that Write fills, or else nothing (the
// null device); its standard output and error are this program's.
class ChildProcess {
  public:
    ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Ends the input and waits for the program.
    ~ChildProcess();

    // Starts program (its path) with args after its name; false with a message when it cannot.
    bool Start(const std::string& program, const std::vector<std::string>& args, bool feed_input,
               std::string& error);
    bool Running() const;
    // All of data to the program's input; false when it no longer reads.
    bool Write(const void* data, size_t bytes);
    // Ends the input and waits; true when the program exited with status 0, else false with
    // how it ended.
    bool Wait(std::string& error);

  private:
    struct System;
    std::unique_ptr<System> system_;
    std::string name_; // in messages: "ffmpeg failed with status 1"
};

} // namespace capture
