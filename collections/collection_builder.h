#pragma once
// The standard collection builder: a folder of rendered frames (colour
// pictures with alpha masks, or pictures with their own alpha) becomes one
// collection with a sequence per sub-folder, every frame cropped to its
// alpha and all of them quantised to one shared palette.
//
// Folder layouts, for a root folder R and a sequence S:
//   R/bitmaps/S/ with R/alphas/S/
//   R/S/bitmaps/ with R/S/alphas/
//   R/S/ holding colour files and "x.alpha.ext" masks side by side
// A folder named "S(views,frames)" gives the sequence its dimensions;
// otherwise it has 8 views. "script.txt" in the colour folder may give the
// file order and a frame list (build_script.h).
//
// Every step is reported in the topic "BuildCollection %d (%s)"; a sequence
// that cannot be built is skipped with its ERROR line and the build goes
// on.

#include <functional>
#include <string>
#include <vector>

#include "collections/build_script.h"
#include "collections/collection.h"
#include "collections/unique_images.h"
#include "platform/types.h"

namespace pirn {

// One frame and view of a sequence being built: a picture of the unique
// list (or none) with where it was cut from its full frame.
struct BuildFrameEntry {
    i32 image = -1;  // index among the unique images; -1 leaves the view empty
    CropBox full;    // {0, 0, width, height} of the frame as loaded
    CropBox crop;    // inclusive box of its alpha, in the full frame
};

struct BuildSequence {
    std::string name;
    u32 views = 0;
    u32 frames = 0;
    std::vector<BuildFrameEntry> entries;  // frame f, view v at f x views + v
};

struct CollectionBuildState {
    bool invert_alphas = false;
    i32 default_order = kViewsThenFrames;
    std::string topic;
    UniqueImages images;
    u32 images_loaded = 0;
    std::vector<BuildSequence> sequences;
};

struct CollectionBuildSettings {
    std::string name;
    std::string folder;
    i32 default_order = kViewsThenFrames;
    i32 registration_x = 0;
    i32 registration_y = 0;
    bool invert_alphas = false;
};

// Stores the finished collection; true when it was written. Called between
// the "Writing collection data to disk..." line and its "ok."/"failed!".
using CollectionWriter = std::function<bool(Collection* collection)>;

// The whole build into a collection handed to `write`. 1 when a collection
// was made and written; 0 when no picture could be used or the write
// failed. Logs under a new "BuildCollection %d (%s)" topic.
int BuildCollection(const CollectionBuildSettings& settings, const CollectionWriter& write);

// The parts, for tests and for makers of frames in memory.
void ScanCollectionFolders(CollectionBuildState* state, const std::string& root);
// Scans one sequence folder pair and appends its sequence, or logs why it
// was skipped (then every picture it added is dropped again).
bool ScanSequenceFolder(CollectionBuildState* state, const std::string& folder_name, const std::string& colour_folder,
                        const std::string& alpha_folder);
// Colour file with its alpha file (empty: none) as RGBA: alpha from the
// mask (inverted when asked), fully transparent pixels zeroed. On failure
// the ERROR or WARNING line goes to `message`.
bool LoadColourAlphaPair(const std::string& colour_path, const std::string& alpha_path, bool invert_alphas,
                         PixelImage* rgba, std::string* message);
// Crops an RGBA frame to its alpha and keeps it once; fills the entry.
// False, with the ERROR line in `message`, when it has no area left.
bool AddBuildFrame(CollectionBuildState* state, PixelImage* rgba, const std::string& path, BuildFrameEntry* entry,
                   std::string* message);
// Quantises the unique pictures to one palette and makes the collection:
// a bitmap per picture, the sequences with their offsets from the
// registration point. Bitmaps that cannot be added are logged and leave
// their views empty.
void AssembleBuiltCollection(CollectionBuildState* state, i32 registration_x, i32 registration_y,
                             Collection* collection);

}  // namespace pirn
