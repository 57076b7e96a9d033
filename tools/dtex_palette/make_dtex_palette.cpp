// Writes the terrain editor's highlight palette, "res/dtex.act": 256
// colours as an Adobe Color Table, slot 0 grey and the others evenly
// spread hues in alternating brightness (models/mesh_highlight_palette.h).
//
//   make_dtex_palette res/dtex.act

#include <cstdio>

#include "models/mesh_highlight_palette.h"
#include "platform/act_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_dtex_palette FILE.act\n");
        return 2;
    }
    pirn::u8 palette[pirn::kActTableSize];
    pirn::MakeShippedHighlightPalette(palette);
    if (!pirn::WriteActFile(argv[1], palette, pirn::kActColorCount)) {
        std::fprintf(stderr, "make_dtex_palette: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
