#pragma once
// The demo Zarnhold game folder: what it holds (a plan, also read by tests
// that use the folder) and the writer that lays it out on disk.
//
//   tags/      current archives (kinds 3, 2 and 5) and a first-version archive
//   plugins/   an add-on plugin (kind 6)
//   local/<plural label>/  loose tag files in both header layouts, some of
//              them local copies that override an archive's copy
//   art/       rendered frames for the collection builders (a source
//              folder, not a tag folder)
//   contents.txt  one line per tag copy, for people and tests

#include <string>
#include <vector>

#include "platform/pixel_image.h"
#include "platform/types.h"
#include "tools/fixture_bytes/big_endian_buffer.h"

namespace pirn {
struct Collection;
}

namespace pirn::demo {

// Demo tags are laid out with the shared fixture writer, straight from the
// format tables.
using fixture::BigEndianBuffer;

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

// Any other file of the game folder, at a path relative to it.
struct DemoFile {
    std::string path;
    std::vector<u8> bytes;
};

struct DemoGame {
    std::vector<DemoArchive> archives;
    std::vector<DemoLocalFile> local_files;
    std::vector<DemoFile> files;
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
// versions 1 (in an archive) and 2 (local); the detail textures, detail
// maps and meshes already in the other archives get data of their kind
// (each mesh with a ground collection beside it).
void AddDemoTerrain(DemoGame& game);

// Frames for the collection builders under art/ (demo_builder_art.cpp):
// "Knight Frames" at 48 x 48 for the standard builder, "Knight Frames
// HiRes" at twice the size for the high-resolution builder. The sequences:
//   walk(8,5)  24 RGBA PNGs written frames-then-views, script with the
//              frame list (1 2 3 ~ 2); high-res: "walk/", the same script
//   idle       16 BMPs in bitmaps/ and grey BMP masks in alphas/ (8 views
//              by default, 2 equal frames); high-res: "idle/" with
//              "idle 01.alpha.bmp" masks
//   attack(8,2) 16 RGB PNGs with "attack 01.alpha.png" masks beside them;
//              high-res: "attack.01.png" with "attack.alpha.01.png"
// The high-res root's script gives the team-colour hue change.
void AddDemoBuilderArt(DemoGame& game);
// The archive's collection of the small frames, as the standard builder
// makes it (registration point below), with the team-colour hue change.
DemoTag MakeDemoKnightFramesTag();

// The file name of the game's base archive in tags/ (kind 3). Not
// "foundation": the Archive Browser lists a pseudo-archive of that name.
constexpr const char* kDemoBaseArchive = "zarnhold";
constexpr const char* kDemoArtFolder = "art";
// Model sources under art/: the demo models' LightWave objects with their
// textures, and a pyramid as a 3DMF text file.
constexpr const char* kDemoModelSourceFolder = "models";
constexpr const char* kDemoCrateFile = "crate.lwo";
constexpr const char* kDemoPyramidFile = "pyramid.3dmf";
constexpr const char* kDemoStandardArt = "Knight Frames";
constexpr const char* kDemoHighResArt = "Knight Frames HiRes";
constexpr const char* kDemoKnightFramesName = "Knight Frames";
constexpr const char kDemoKnightFramesId[5] = "kf01";
constexpr const char* kDemoTeamHueName = "Team";
constexpr u32 kDemoKnightFrameSide = 48;
constexpr i32 kDemoKnightRegistrationX = 20;
constexpr i32 kDemoKnightRegistrationY = 44;

enum class DemoKnightPose { kWalk, kIdle, kAttack };
// One frame: source frames 0-2 of the walk, 0-1 of the idle and attack;
// scale 1 or 2 (an exact 2 x 2 enlargement).
PixelImage RenderDemoKnightFrame(DemoKnightPose pose, u32 view, u32 frame, u32 scale);
// The inclusive box of a frame's opaque pixels at scale 1.
struct DemoKnightBounds {
    i32 x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
DemoKnightBounds DemoKnightFrameBounds(DemoKnightPose pose, u32 view, u32 frame);

// A collection's tag data as the demo stores it: saved, loaded and saved
// again, so that loading and saving keep it byte for byte.
std::vector<u8> EncodeDemoCollection(Collection* c, const std::string& name);

// Archive Browser content: colour-map collections, meshes of versions 11
// and 10, and a plugin whose name needs escaping and the character map.
void AddDemoBrowser(DemoGame& game);
// Models: a crate and a small figure made here as LightWave objects and
// brought in by the program's own model import (four local tags each); the
// placeholder geometries and model tags show them too. Their sources, and a
// pyramid as a 3DMF file, are under art/models/.
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
