// make_charmap OUTPUT: writes the program's character map file (224
// little-endian UTF-16 units for codes 32..255) from the built-in table,
// through a temporary file so that a failed run leaves no half file behind.

#include <cstdio>
#include <string>

#include "platform/char_map.h"
#include "platform/file_system.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_charmap OUTPUT\n");
        return 2;
    }
    const std::string target = argv[1];
    const std::vector<pirn::u8> bytes = pirn::CharMapFileBytes(pirn::BuiltInCharMap());
    if (!pirn::WriteFileSafely(target, bytes.data(), bytes.size())) {
        std::fprintf(stderr, "make_charmap: cannot write %s\n", target.c_str());
        return 1;
    }
    return 0;
}
