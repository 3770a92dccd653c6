#include "system/executable_dir.h"

#include <filesystem>
#include <system_error>

std::string ExecutableDir() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.parent_path().string();
}
