#include <algorithm>
#include <cstring>

#include "codex/four_char_code.h"
#include "codex/tag_group.h"
#include "tools/demo_game/demo_game.h"

namespace pirn::demo {

namespace {

u32 Code(const char (&text)[5]) { return MakeFourCC(text); }

u32 CodeOf(const char* text) {
    u32 code = 0;
    ParseFourCC(std::string(text, 4), &code);
    return code;
}

// Tag ids read as a letter for the place they come from and three digits.
u32 TagId(char prefix, int number) {
    return (static_cast<u32>(static_cast<u8>(prefix)) << 24) | (static_cast<u32>('0' + number / 100 % 10) << 16) |
           (static_cast<u32>('0' + number / 10 % 10) << 8) | static_cast<u32>('0' + number % 10);
}

// Singular label usable inside a tag name ("Quicktime/MP3" has a slash).
std::string NameBase(u32 group) {
    std::string base = FindTagGroup(group)->singular_label;
    std::replace(base.begin(), base.end(), '/', '-');
    return base;
}

// Recognisable placeholder data: a line naming the copy, repeated to a
// length that varies with the tag so archives are not uniform.
std::vector<u8> Placeholder(u32 group, u32 tag_id, const std::string& name, const std::string& where) {
    const std::string line = FourCCToText(group) + " " + FourCCToText(tag_id) + " " + name + " (" + where + ")\n";
    const size_t repeats = 1 + (tag_id + group) % 4;
    std::vector<u8> data;
    for (size_t i = 0; i < repeats; ++i) data.insert(data.end(), line.begin(), line.end());
    return data;
}

DemoTag MakeTag(u32 group, u32 tag_id, const std::string& name, const std::string& where) {
    DemoTag tag;
    tag.group = group;
    tag.tag_id = tag_id;
    tag.name = name;
    tag.data = Placeholder(group, tag_id, name, where);
    return tag;
}

// The order of an archive's directory: group, then name bytewise, then id.
void SortArchive(DemoArchive& archive) {
    std::sort(archive.tags.begin(), archive.tags.end(), [](const DemoTag& a, const DemoTag& b) {
        if (a.group != b.group) return a.group < b.group;
        const int byName = std::strcmp(a.name.c_str(), b.name.c_str());
        if (byName != 0) return byName < 0;
        return a.tag_id < b.tag_id;
    });
}

DemoArchive Foundation() {
    DemoArchive a;
    a.folder = "tags";
    a.file_name = kDemoBaseArchive;
    a.kind = 3;
    a.name = "Zarnhold Foundation";
    a.description = "The game's own foundation tags";
    for (u32 i = 0; i < kTagGroupCount; ++i) {
        const u32 group = TagGroupTable[i].code;
        a.tags.push_back(MakeTag(group, TagId('f', 1), NameBase(group) + " Alpha", "foundation"));
        a.tags.push_back(MakeTag(group, TagId('f', 2), NameBase(group) + " Beta", "foundation"));
    }
    DemoTag empty = MakeTag(Code("text"), TagId('f', 3), "Empty Text", "foundation");
    empty.data.clear();
    a.tags.push_back(empty);
    return a;
}

DemoArchive Campaign() {
    DemoArchive a;
    a.folder = "tags";
    a.file_name = "campaign";
    a.kind = 2;
    a.name = "Zarnhold Campaign";
    a.description = "Campaign tags";
    for (u32 i = 0; i < kTagGroupCount; i += 4) {
        const u32 group = TagGroupTable[i].code;
        a.tags.push_back(MakeTag(group, TagId('c', 1), NameBase(group) + " Campaign", "campaign"));
    }
    // Copies of foundation tags: the campaign's rank wins over the foundation.
    for (const char* code : {"text", "unit", ".256", "soun"}) {
        const u32 group = CodeOf(code);
        a.tags.push_back(MakeTag(group, TagId('f', 2), NameBase(group) + " Beta", "campaign"));
    }
    return a;
}

DemoArchive Extras() {
    DemoArchive a;
    a.folder = "tags";
    a.file_name = "extras";
    a.kind = 5;
    a.priority = 7;
    a.name = "Extras";
    a.description = "Optional extras, not active by default";
    int n = 1;
    for (const char* code : {"arti", "mons", "part", "scen", "wind"}) {
        const u32 group = CodeOf(code);
        a.tags.push_back(MakeTag(group, TagId('x', n++), NameBase(group) + " Extra", "extras"));
    }
    a.tags.push_back(MakeTag(Code("unit"), TagId('f', 1), "Unit Alpha", "extras"));
    return a;
}

DemoArchive Legacy() {
    DemoArchive a;
    a.folder = "tags";
    a.file_name = "legacy";
    a.first_version = true;
    a.kind = 1;
    a.name = "Legacy Tags";
    int n = 1;
    for (const char* code : {"text", "soun", "scri", "stli", "obje", "unit"}) {
        const u32 group = CodeOf(code);
        DemoTag tag = MakeTag(group, TagId('l', n), NameBase(group) + " Legacy", "legacy");
        tag.version = static_cast<u16>(n + 1);
        a.tags.push_back(tag);
        ++n;
    }
    return a;
}

DemoArchive Addon() {
    DemoArchive a;
    a.folder = "plugins";
    a.file_name = "Demo Addon";
    a.kind = 6;
    a.name = "Demo Addon";
    a.description = "www.zarnhold.example/demo-addon";
    int n = 1;
    for (const char* code : {"mesh", "dmap", "dtex", "text", ".256", "mons"}) {
        const u32 group = CodeOf(code);
        a.tags.push_back(MakeTag(group, TagId('p', n++), NameBase(group) + " Addon", "plugin"));
    }
    a.tags.push_back(MakeTag(Code("obje"), TagId('f', 1), "Object Alpha", "plugin"));
    return a;
}

DemoLocalFile Local(u32 group, u32 tag_id, const std::string& name, bool old_layout, const std::string& where) {
    DemoLocalFile file;
    file.tag = MakeTag(group, tag_id, name, where);
    file.file_name = name;
    file.old_layout = old_layout;
    return file;
}

}  // namespace

DemoGame BuildDemoGame() {
    DemoGame game;
    game.archives = {Foundation(), Campaign(), Legacy(), Extras(), Addon()};
    AddDemoTerrain(game);
    for (DemoArchive& archive : game.archives) SortArchive(archive);

    for (const char* code : {"text", "unit", ".256", "soun", "scri", "mode", "geom", "core", "bina", "quik"}) {
        const u32 group = CodeOf(code);
        game.local_files.push_back(Local(group, TagId('L', 1), "Local " + NameBase(group), false, "local"));
    }
    for (const char* code : {"stli", "ditl", "temp"}) {
        const u32 group = CodeOf(code);
        DemoLocalFile file = Local(group, TagId('L', 2), "Old Local " + NameBase(group), true, "local, old header");
        file.tag.version = 4;
        game.local_files.push_back(file);
    }
    // Local copies of archive tags: these are the effective copies.
    game.local_files.push_back(Local(Code("text"), TagId('f', 1), "Text Alpha", false, "local override"));
    game.local_files.push_back(Local(Code("unit"), TagId('f', 1), "Unit Alpha", true, "local override, old header"));
    DemoLocalFile empty = Local(Code("text"), TagId('L', 3), "Empty Local Text", false, "local");
    empty.tag.data.clear();
    game.local_files.push_back(empty);
    AddDemoCollections(game);
    AddDemoEditors(game);
    AddDemoText(game);
    AddDemoBrowser(game);
    AddDemoModels(game);
    for (DemoArchive& archive : game.archives) SortArchive(archive);
    AddDemoBuilderArt(game);
    return game;
}

std::string DescribeDemoGame(const DemoGame& game) {
    std::string text = "# location\tgroup\ttag id\tname\tversion\tdata bytes\n";
    auto line = [&text](const std::string& where, const DemoTag& tag) {
        text += where + "\t" + FourCCToText(tag.group) + "\t" + FourCCToText(tag.tag_id) + "\t" + tag.name + "\t" +
                std::to_string(tag.version) + "\t" + std::to_string(tag.data.size()) + "\n";
    };
    for (const DemoArchive& archive : game.archives)
        for (const DemoTag& tag : archive.tags) line(archive.folder + "/" + archive.file_name, tag);
    for (const DemoLocalFile& file : game.local_files)
        line(std::string("local/") + TagGroupLabelText(file.tag.group) + "/" + file.file_name, file.tag);
    return text;
}

}  // namespace pirn::demo
