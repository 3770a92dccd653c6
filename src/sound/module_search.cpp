#include "sound/module_search.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "system/executable_dir.h"

// The build names the installed data folder; a build that does not has none to look in.
#ifndef ZARVELIN_DATADIR
#define ZARVELIN_DATADIR ""
#define ZARVELIN_BIN_TO_DATA ""
#endif

namespace fs = std::filesystem;

namespace {

std::vector<std::string> chosen_dirs;

bool Readable(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return false;
    return std::ifstream(file, std::ios::binary).is_open();
}

void AddOnce(std::vector<std::string>& dirs, const std::string& dir) {
    for (const std::string& d : dirs) {
        if (d == dir) return;
    }
    dirs.push_back(dir);
}

} // namespace

std::vector<std::string> ModuleDirs() {
    if (!chosen_dirs.empty()) return chosen_dirs;
    std::vector<std::string> dirs{""};
    const std::string self = ExecutableDir();
    if (!self.empty()) AddOnce(dirs, self);
    const std::string data = ZARVELIN_DATADIR;
    if (!data.empty()) {
        AddOnce(dirs, data);
        if (!self.empty()) AddOnce(dirs, (fs::path(self) / ZARVELIN_BIN_TO_DATA).lexically_normal().string());
    }
    return dirs;
}

void SetModuleDirs(const std::vector<std::string>& dirs) {
    chosen_dirs = dirs;
}

std::string LocateModule(const std::vector<std::string>& dirs) {
    for (const std::string& dir : dirs) {
        const fs::path file = dir.empty() ? fs::path(kModuleName) : fs::path(dir) / kModuleName;
        if (Readable(file)) return file.string();
    }
    return {};
}

std::string ModuleSearchText(const std::vector<std::string>& dirs, const std::string& found) {
    if (!found.empty()) return std::string(kModuleName) + " read from: " + found;
    std::string text = std::string(kModuleName) + " looked for in:";
    const char* separator = " ";
    // Folders end in the system's own separator: a slash, a backslash on Windows.
    const std::string slash(1, static_cast<char>(fs::path::preferred_separator));
    for (const std::string& dir : dirs) {
        text += separator;
        text += dir.empty() ? "." + slash + " (the working directory)" : dir + slash;
        separator = ", ";
    }
    return text;
}
