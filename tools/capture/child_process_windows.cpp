#include "child_process.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>

namespace capture {

namespace {

// Windows' own text for the last error, without its line break.
std::string LastErrorText() {
    const DWORD code = GetLastError();
    char text[512] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                   0, text, sizeof text, nullptr);
    std::string message(text, n);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}

// One argument as the C runtime's command-line parser reads it back: quoted when it holds a
// space, a tab or a quote, with the backslashes before a quote doubled.
void AppendArgument(std::string& line, const std::string& arg) {
    if (!line.empty()) line += ' ';
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
        line += arg;
        return;
    }
    line += '"';
    size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            backslashes++;
            continue;
        }
        line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, '\\');
    line += '"';
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

std::string ProgramFileName(const std::string& name) {
    return name + ".exe";
}

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return {};
    const std::string file = ProgramFileName(name);
    const std::string dirs = path;
    size_t begin = 0;
    while (begin < dirs.size()) {
        size_t end = dirs.find(';', begin);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(begin, end - begin);
        begin = end + 1;
        // PATH may quote a folder with a ';' in its name.
        if (dir.size() >= 2 && dir.front() == '"' && dir.back() == '"') dir = dir.substr(1, dir.size() - 2);
        if (dir.empty()) continue;
        const char last = dir.back();
        const std::string candidate = dir + (last == '\\' || last == '/' ? "" : "\\") + file;
        if (IsFile(candidate)) return candidate;
    }
    return {};
}

struct ChildProcess::System {
    HANDLE process = nullptr;
    HANDLE input = nullptr; // write end of the pipe into the program
};

ChildProcess::ChildProcess() : system_(std::make_unique<System>()) {}

ChildProcess::~ChildProcess() {
    std::string ignored;
    Wait(ignored);
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args, bool feed_input,
                         std::string& error) {
    name_ = std::filesystem::path(program).stem().string();
    std::string line;
    AppendArgument(line, program);
    for (const std::string& a : args)
        AppendArgument(line, a);

    // The program's end of its input is inherited; ours is not, so the program sees the
    // end of its input once Wait closes it.
    SECURITY_ATTRIBUTES inherit{};
    inherit.nLength = sizeof inherit;
    inherit.bInheritHandle = TRUE;
    HANDLE child_input = nullptr;
    HANDLE input = nullptr;
    if (feed_input) {
        if (!CreatePipe(&child_input, &input, &inherit, 1 << 20) ||
            !SetHandleInformation(input, HANDLE_FLAG_INHERIT, 0)) {
            error = "cannot create a pipe: " + LastErrorText();
            if (child_input != nullptr) CloseHandle(child_input);
            if (input != nullptr) CloseHandle(input);
            return false;
        }
    } else {
        // Keeps the program from reading keys meant for the console.
        child_input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                  OPEN_EXISTING, 0, nullptr);
        if (child_input == INVALID_HANDLE_VALUE) child_input = nullptr;
    }

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = child_input;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    const BOOL ok = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                   &startup, &started);
    if (!ok) error = "cannot start " + name_ + ": " + LastErrorText();
    if (child_input != nullptr) CloseHandle(child_input);
    if (!ok) {
        if (input != nullptr) CloseHandle(input);
        return false;
    }
    CloseHandle(started.hThread);
    system_->process = started.hProcess;
    system_->input = input;
    return true;
}

bool ChildProcess::Running() const {
    return system_->process != nullptr;
}

bool ChildProcess::Write(const void* data, size_t bytes) {
    const char* p = static_cast<const char*>(data);
    while (bytes > 0) {
        if (system_->input == nullptr) return false;
        const DWORD chunk = bytes > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes);
        DWORD written = 0;
        if (!WriteFile(system_->input, p, chunk, &written, nullptr) || written == 0) return false;
        p += written;
        bytes -= written;
    }
    return true;
}

bool ChildProcess::Wait(std::string& error) {
    if (system_->input != nullptr) CloseHandle(system_->input);
    system_->input = nullptr;
    if (system_->process == nullptr) return true;
    const HANDLE process = system_->process;
    system_->process = nullptr;
    DWORD status = 0;
    const bool ended =
        WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &status);
    if (!ended) error = "lost track of " + name_ + ": " + LastErrorText();
    CloseHandle(process);
    if (!ended) return false;
    if (status == 0) return true;
    error = name_ + " failed with status " + std::to_string(status);
    return false;
}

} // namespace capture
