#pragma once
// The demo Zarnhold game folder: what it holds (a plan, also read by tests
// that use the folder) and the writer that lays it out on disk.
//
//   tags/      current archives (kinds 3, 2 and 5) and a first-version archive
//   plugins/   an add-on plugin (kind 6)
//   local/<plural label>/  loose tag files in both header layouts, some of
//              them local copies that override an archive's copy
//   contents.txt  one line per tag copy, for people and tests

#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn::demo {

struct DemoTag {
    u32 group = 0;
    u32 tag_id = 0;
    std::string name;
    u16 version = 1;
    u32 user_data = 0;
    std::vector<u8> data;
};

struct DemoMapRecord {
    u32 tag_id = 0;
    std::string name;
};

struct DemoArchive {
    std::string folder;     // "tags" or "plugins"
    std::string file_name;
    bool first_version = false;
    u16 kind = 0;
    u16 priority = 0;
    std::string name;
    std::string description;
    std::vector<DemoTag> tags;  // written in this order (group, name, id)
};

struct DemoLocalFile {
    DemoTag tag;
    std::string file_name;  // inside local/<plural label>/
    bool old_layout = false;
};

struct DemoGame {
    std::vector<DemoArchive> archives;
    std::vector<DemoLocalFile> local_files;
};

// The fixed content of the demo game (the same on every run).
DemoGame BuildDemoGame();

// Sprite collections drawn in code: every '.256' tag gets one, and a few
// are added.
void AddDemoCollections(DemoGame& game);
// The data of a collection marked as a colour map (flag 0x100) holding one
// opaque side x side bitmap; flags gets the collection's flags (the user
// data a tag of it carries).
std::vector<u8> EncodeDemoColorMap(const std::string& name, u16 side, u32* flags);
// Dialogs, sounds, collection references and the struct-described Wind,
// Lightning and Artifact tags: every tag of those groups gets real data,
// and a few local tags are added.
void AddDemoEditors(DemoGame& game);

// Text tags: a text of several lines with CR line ends and a string list of
// NUL-ended strings, local.
void AddDemoText(DemoGame& game);
// Terrain: detail textures, meshes of versions 11 and 10, detail maps of
// versions 1 (in an archive) and 2 (local).
void AddDemoTerrain(DemoGame& game);

// Archive Browser content: colour-map collections, meshes of versions 11
// and 10, and a plugin whose name needs escaping and the character map.
void AddDemoBrowser(DemoGame& game);
// Models: a crate and a small figure made here as LightWave objects and
// brought in by the program's own model import (four local tags each); the
// placeholder geometries and model tags show them too.
void AddDemoModels(DemoGame& game);

// File bytes of one archive, current or first version, and of a tag file.
std::vector<u8> EncodeArchive(const DemoArchive& archive);
std::vector<u8> EncodeTagFile(const DemoLocalFile& file);
// The text of contents.txt.
std::string DescribeDemoGame(const DemoGame& game);

// Writes the game into folder, replacing an earlier demo game there. A folder
// that exists, is not empty and was not made by this writer is left alone.
bool WriteDemoGame(const DemoGame& game, const std::string& folder, std::string* error);

}  // namespace pirn::demo
