// Writes the program's icon, the one the window shows, as a Windows .ico
// for the resource compiler (16, 32, 48 and 256 pixels).
//
//   make_program_icon pirn.ico

#include <cstdio>

#include "platform/file_system.h"
#include "platform/os/program_icon.h"
#include "tools/program_icon/icon_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_program_icon OUTPUT.ico\n");
        return 2;
    }
    std::vector<pirn::IconImage> images;
    for (int size : {16, 32, 48, 256}) images.push_back({size, pirn::BuildProgramIcon(size)});
    const std::vector<pirn::u8> bytes = pirn::BuildIconFile(images);
    if (bytes.empty() || !pirn::WriteFileSafely(argv[1], bytes.data(), bytes.size())) {
        std::fprintf(stderr, "make_program_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
