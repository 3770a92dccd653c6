// The palette calls: plain memory work, shared by every platform.
#include <cstdio>
#include <cstdlib>

#include "gp32_functions/gp32_functions.h"

uint32_t* GpPaletteCreate(int count, const uint16_t* colours) {
    uint32_t* table = static_cast<uint32_t*>(std::calloc(256, sizeof(uint32_t)));
    if (table == nullptr) {
        std::fprintf(stderr, "Out of memory for a palette\n");
        std::exit(1);
    }
    for (int i = 0; i < count && i < 256; i++)
        table[i] = colours[i];
    return table;
}

void GpPaletteSelect(const uint32_t* table) {
    for (int i = 0; i < 256; i++) {
        const uint32_t v = table[i];
        gp_palette[i] = ((v << 8) & 0xF80000) | ((v << 5) & 0xF800) | ((v << 2) & 0xF8);
    }
}

void GpPaletteRealize() {}
