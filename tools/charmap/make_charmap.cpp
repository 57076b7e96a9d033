// make_charmap OUTPUT: writes the program's character map file (224
// little-endian UTF-16 units for codes 32..255) from the built-in table,
// through a temporary file so that a failed run leaves no half file behind.

#include <cstdio>
#include <string>

#include "platform/char_map.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_charmap OUTPUT\n");
        return 2;
    }
    const std::string target = argv[1];
    const std::string temporary = target + ".tmp";
    const std::vector<pirn::u8> bytes = pirn::CharMapFileBytes(pirn::BuiltInCharMap());

    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "make_charmap: cannot create %s\n", temporary.c_str());
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::fprintf(stderr, "make_charmap: cannot write %s\n", target.c_str());
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
