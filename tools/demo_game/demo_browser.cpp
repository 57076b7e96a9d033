// Demo content for the Archive Browser: what makes each of its rules show.
//   - collections marked as colour maps, by their user data and, for a
//     large collection without user data, by the flags word in its data:
//     listed dimmed, never opened;
//   - meshes of version 11 (opened) and 10 (dimmed);
//   - a plugin whose file name holds a ';' and a character outside ASCII,
//     so the working set's escaping and the character map show in the
//     lists and in CodexWorkingSet.
// Local copies of archive tags (listed in orange) come with the base
// content ("Text Alpha", "Unit Alpha").

#include <string>

#include "codex/four_char_code.h"
#include "collections/collection_tag.h"
#include "tools/demo_game/demo_game.h"

namespace pirn::demo {

namespace {

constexpr u32 kCollection = MakeFourCC(".256");
constexpr u32 kMesh = MakeFourCC("mesh");
constexpr u32 kText = MakeFourCC("text");
constexpr u32 kLargeCollection = 0x120000;

u32 Id(const char (&text)[5]) { return MakeFourCC(text); }

std::vector<u8> Text(const std::string& text) { return std::vector<u8>(text.begin(), text.end()); }

DemoTag Tag(u32 group, u32 id, const std::string& name, std::vector<u8> data, u32 user_data = 0) {
    DemoTag tag;
    tag.group = group;
    tag.tag_id = id;
    tag.name = name;
    tag.data = std::move(data);
    tag.user_data = user_data;
    return tag;
}

DemoArchive* FindArchive(DemoGame& game, const std::string& file_name) {
    for (DemoArchive& archive : game.archives)
        if (archive.file_name == file_name) return &archive;
    return nullptr;
}

// A large collection that keeps its flags only in its data (the tag's user
// data is 0): its side makes the data pass 0x120000 bytes.
std::vector<u8> LargeColorMapData() {
    std::vector<u8> data = EncodeDemoColorMap("Large Colour Map", 1100, nullptr);
    return data.size() >= kLargeCollection ? data : std::vector<u8>();
}

}  // namespace

void AddDemoBrowser(DemoGame& game) {
    if (DemoArchive* campaign = FindArchive(game, "campaign")) {
        u32 flags = 0;
        std::vector<u8> small = EncodeDemoColorMap("Colour Map", 16, &flags);
        campaign->tags.push_back(Tag(kCollection, Id("cm01"), "Colour Map", std::move(small), flags));
        campaign->tags.push_back(Tag(kCollection, Id("cm02"), "Large Colour Map", LargeColorMapData()));
        for (size_t i = campaign->tags.size() - 2; i < campaign->tags.size(); ++i)
            campaign->tags[i].version = kCollectionTagVersion;
    }
    if (DemoArchive* foundation = FindArchive(game, kDemoBaseArchive)) {
        for (DemoTag& tag : foundation->tags) {
            if (tag.group != kMesh) continue;
            tag.version = tag.tag_id == Id("f001") ? 11 : 10;
        }
    }

    DemoArchive pack;
    pack.folder = "plugins";
    pack.file_name = "Caf\xC3\xA9; Night Pack";  // "Café; Night Pack"
    pack.kind = 6;
    pack.name = "Cafe Night Pack";
    pack.description = "www.zarnhold.example/cafe-night";
    pack.tags.push_back(Tag(kText, Id("cn01"), "Night Menu", Text("Tea, coffee, and a long night of modding.\n")));
    game.archives.push_back(pack);
}

}  // namespace pirn::demo
