// Packs PNG pictures into one Windows icon.  Usage: ico_pack <file.ico> <picture.png>...
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ico.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: ico_pack <file.ico> <picture.png>...\n");
        return 2;
    }
    std::vector<std::string> pngs;
    for (int i = 2; i < argc; i++) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "ico_pack: cannot read %s\n", argv[i]);
            return 1;
        }
        pngs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string error;
    const std::string icon = ico::Pack(pngs, error);
    if (icon.empty()) {
        std::fprintf(stderr, "ico_pack: %s\n", error.c_str());
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out.write(icon.data(), static_cast<std::streamsize>(icon.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "ico_pack: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
