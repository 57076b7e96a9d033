// make_demo_game <folder>: writes a demo Zarnhold game folder (tags/,
// plugins/, local/) with archives of both versions, a plugin and local tag
// files in both header layouts. Rerunning replaces the folder.

#include <cstdio>
#include <string>

#include "tools/demo_game/demo_game.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <game folder>\n", argv[0]);
        return 2;
    }
    const pirn::demo::DemoGame game = pirn::demo::BuildDemoGame();
    std::string error;
    if (!pirn::demo::WriteDemoGame(game, argv[1], &error)) {
        std::fprintf(stderr, "make_demo_game: %s\n", error.c_str());
        return 1;
    }
    size_t tags = 0;
    for (const auto& archive : game.archives) tags += archive.tags.size();
    std::printf("Wrote %s: %zu archives with %zu tags, %zu local tag files\n", argv[1], game.archives.size(), tags,
                game.local_files.size());
    return 0;
}
