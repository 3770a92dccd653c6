#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace capture {

std::string ProgramFileName(const std::string& name) {
    return name;
}

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

struct ChildProcess::System {
    pid_t pid = -1;
    int input = -1;
};

ChildProcess::ChildProcess() : system_(std::make_unique<System>()) {}

ChildProcess::~ChildProcess() {
    std::string ignored;
    Wait(ignored);
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args, bool feed_input,
                         std::string& error) {
    name_ = std::filesystem::path(program).filename().string();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int fds[2] = {-1, -1};
    if (feed_input) {
        if (pipe(fds) != 0) {
            error = std::string("cannot create a pipe: ") + std::strerror(errno);
            return false;
        }
        // A program that stops reading must show as a failed write, not end this one.
        signal(SIGPIPE, SIG_IGN);
    }
    const pid_t pid = fork();
    if (pid < 0) {
        error = "cannot start " + name_ + ": " + std::strerror(errno);
        if (feed_input) {
            close(fds[0]);
            close(fds[1]);
        }
        return false;
    }
    if (pid == 0) {
        if (feed_input) {
            dup2(fds[0], STDIN_FILENO);
            close(fds[0]);
            close(fds[1]);
        } else {
            // Keeps the program from reading keys meant for the terminal.
            const int null_fd = open("/dev/null", O_RDONLY);
            if (null_fd >= 0) dup2(null_fd, STDIN_FILENO);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (feed_input) {
        close(fds[0]);
        system_->input = fds[1];
    }
    system_->pid = pid;
    return true;
}

bool ChildProcess::Running() const {
    return system_->pid > 0;
}

bool ChildProcess::Write(const void* data, size_t bytes) {
    const char* p = static_cast<const char*>(data);
    while (bytes > 0) {
        if (system_->input < 0) return false;
        const ssize_t n = write(system_->input, p, bytes);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        bytes -= static_cast<size_t>(n);
    }
    return true;
}

bool ChildProcess::Wait(std::string& error) {
    if (system_->input >= 0) close(system_->input);
    system_->input = -1;
    if (system_->pid <= 0) return true;
    const pid_t pid = system_->pid;
    system_->pid = -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            error = "lost track of " + name_ + ": " + std::strerror(errno);
            return false;
        }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    error = WIFEXITED(status) ? name_ + " failed with status " + std::to_string(WEXITSTATUS(status))
                              : name_ + " was killed";
    return false;
}

} // namespace capture
