// Demo content of the text editor: a text of several paragraphs with CR line
// ends, and a string list whose strings end in NULs, as the game keeps them.

#include <string>

#include "codex/four_char_code.h"
#include "tools/demo_game/demo_game.h"

namespace pirn::demo {

namespace {

DemoLocalFile TextFile(u32 group, u32 tag_id, const std::string& name, const std::string& text) {
    DemoLocalFile file;
    file.tag.group = group;
    file.tag.tag_id = tag_id;
    file.tag.name = name;
    file.tag.data.assign(text.begin(), text.end());
    file.file_name = name;
    return file;
}

}  // namespace

void AddDemoText(DemoGame& game) {
    game.local_files.push_back(TextFile(MakeFourCC("text"), MakeFourCC("E010"), "Welcome Text",
                                        "Welcome to Zarnhold.\r"
                                        "\r"
                                        "The passes are snowed in until spring;\r"
                                        "hold the keep and wait for the thaw.\r"));
    const std::string names[] = {"Spearman", "Archer", "Warlock", "Dwarf Sapper"};
    std::string list;
    for (const std::string& n : names) list += n + std::string(1, '\0');
    game.local_files.push_back(TextFile(MakeFourCC("stli"), MakeFourCC("E011"), "Unit Names", list));
}

}  // namespace pirn::demo
