// Stands in for ffmpeg.exe in the Windows check of zarvelin-capture --video: it reads what
// the tool pipes in and writes to its last argument (the output file) one line per run,
// "frames BYTES ARGS" for the encoding run (input from the pipe) and "mux ARGS" followed by
// the first input's contents for the muxing run, each argument in brackets as it arrived.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string args;
    bool from_pipe = false;
    const char* first_input = nullptr;
    for (int i = 1; i < argc; i++) {
        args += std::string(" [") + argv[i] + "]";
        if (std::strcmp(argv[i], "pipe:0") == 0) from_pipe = true;
        if (first_input == nullptr && std::strcmp(argv[i], "-i") == 0 && i + 1 < argc)
            first_input = argv[i + 1];
    }
    std::ofstream out(argv[argc - 1], std::ios::binary);
    if (from_pipe) {
        _setmode(_fileno(stdin), _O_BINARY);
        unsigned long long bytes = 0;
        char block[65536];
        size_t n;
        while ((n = std::fread(block, 1, sizeof block, stdin)) > 0)
            bytes += n;
        out << "frames " << bytes << args << "\n";
    } else {
        std::ifstream in(first_input != nullptr ? first_input : "", std::ios::binary);
        out << "mux" << args << "\n" << std::string(std::istreambuf_iterator<char>(in), {});
    }
    return out.good() ? 0 : 1;
}
