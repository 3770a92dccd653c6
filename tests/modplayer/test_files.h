// Files the sound tests load: a scratch directory with good and bad candidates for the module.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace modtest {

inline std::filesystem::path ModulePath() {
    return std::filesystem::path(ZARVELIN_SOURCE_DIR) / "assets" / "velkantoria.mod";
}

inline std::vector<char> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const char* data, size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(data, static_cast<std::streamsize>(size));
}

// A fresh directory of its own under the system's temporary directory, removed on scope exit.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zarvelin-sound-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// The kinds of file a player can meet under the module's name.
enum class Candidate { Missing, Empty, Text, Truncated, Directory, Good };

inline void MakeCandidate(const std::filesystem::path& path, Candidate kind) {
    static const char kText[] = "This is not a module.\nJust some words in a text file.\n";
    std::vector<char> module = ReadBytes(ModulePath());
    switch (kind) {
    case Candidate::Missing:
        break;
    case Candidate::Empty:
        WriteBytes(path, "", 0);
        break;
    case Candidate::Text:
        WriteBytes(path, kText, sizeof kText - 1);
        break;
    case Candidate::Truncated:
        WriteBytes(path, module.data(), module.size() / 2);
        break;
    case Candidate::Directory:
        std::filesystem::create_directory(path);
        break;
    case Candidate::Good:
        WriteBytes(path, module.data(), module.size());
        break;
    }
}

} // namespace modtest
