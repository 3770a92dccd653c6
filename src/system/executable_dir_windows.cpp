#include "system/executable_dir.h"

#include <windows.h>

#include <filesystem>

namespace {

bool Ascii(const std::wstring& text) {
    for (const wchar_t c : text) {
        if (c == 0 || c > 0x7F) return false;
    }
    return true;
}

std::wstring ShortName(const std::wstring& path) {
    std::wstring name(path.size() + 1, L'\0');
    const DWORD n = GetShortPathNameW(path.c_str(), name.data(), static_cast<DWORD>(name.size()));
    if (n == 0 || n >= name.size()) return {};
    name.resize(n);
    return name;
}

} // namespace

std::string ExecutableDir() {
    std::wstring file(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, file.data(), static_cast<DWORD>(file.size()));
        if (n == 0) return {};
        if (n < file.size()) {
            file.resize(n);
            break;
        }
        if (file.size() >= 32768) return {}; // longer than any Windows path
        file.resize(file.size() * 2);
    }
    std::wstring dir = std::filesystem::path(file).parent_path().native();
    // Narrow paths pass between std::filesystem and the C library's ANSI calls, which
    // disagree on every letter outside ASCII. A folder with such letters is named by its
    // short (8.3) name, plain ASCII where the volume keeps one.
    if (!Ascii(dir)) {
        const std::wstring short_dir = ShortName(dir);
        if (!short_dir.empty() && Ascii(short_dir)) dir = short_dir;
    }
    return std::filesystem::path(dir).string();
}
