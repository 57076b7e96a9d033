#pragma once
// The high-resolution builder: every frame and view of a collection gets a
// larger rendering of the same picture from a folder of image files (one
// sub-folder per sequence, named after it). The pictures are matched with
// the instances, one scale between bitmaps and pictures is measured, the
// pictures are resized to the target scale in the 64-bit pixel form and
// added as further bitmaps, and each instance's alternate fields point at
// its picture with the registration point carried over. Existing bitmaps,
// sequences and the colour table are left as they are.
//
// Every step is reported in the topic "UpRes %d (%s)".

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "collections/build_script.h"
#include "collections/collection.h"
#include "collections/unique_images.h"
#include "platform/types.h"

namespace pirn {

struct UpResSettings {
    std::string folder;
    double target_scale = 1.0;  // object scale x target scale
    double tolerance = 0.1;
    i32 align = kAlignWholeSequence;
    i32 order = kViewsThenFrames;
    bool invert_alphas = false;
};

// One instance matched with its high-resolution picture.
struct UpResInstanceRecord {
    BitmapInstance* instance = nullptr;
    CollectionBitmap* source = nullptr;  // the instance's standard bitmap
    u32 sequence = 0;
    u32 frame = 0;
    u32 view = 0;
    u32 image = 0;     // index among the unique pictures
    CropBox full;      // {0, 0, width, height} of the picture as loaded
    CropBox crop;      // inclusive box of its alpha in the full picture
    CropBox loaded_crop;  // the crop box before any mirroring, which copies start from
    i32 alternate_x = 0;
    i32 alternate_y = 0;
};

// A unique picture after resizing: 8 bytes a pixel.
struct UpResImage {
    u32 width = 0;
    u32 height = 0;
    std::vector<u8> pixels;
};

struct UpResState {
    Collection* collection = nullptr;
    std::string folder;  // ends in '/'
    double computed_scale = 0;
    double target_scale = 0;
    i32 align = kAlignWholeSequence;
    i32 order = kViewsThenFrames;
    bool reverse_views = false;
    bool invert_alphas = false;
    UniqueImages images;
    std::vector<UpResImage> resized;
    u32 images_loaded = 0;
    std::vector<CollectionHueChange> hues;  // those pixels can name
    std::string topic;
    std::vector<std::unique_ptr<UpResInstanceRecord>> records;
    std::map<const BitmapInstance*, UpResInstanceRecord*> by_instance;
    std::map<const CollectionBitmap*, UpResInstanceRecord*> by_bitmap;
    std::vector<i32> sequence_align;
};

using UpResWriter = std::function<bool(Collection* collection)>;

// The whole run on a loaded collection; `script` is the root folder's
// script (already read). Calls write once the collection is complete. 1
// when it was written; 0 after a FATAL line or a failed write.
int UpResCollection(Collection* collection, const UpResSettings& settings, const BuildScript& script,
                    const UpResWriter& write);

// The steps, for tests.
void ScanHighResFolder(UpResState* state);
void RecoverUpResRecords(UpResState* state);
// Resizes every unique picture to target / computed scale and moves the
// crop boxes with it; false (FATAL logged) when a picture would lose a
// side or grow past what a bitmap holds.
bool ScaleUpResImages(UpResState* state);
void RebuildUpResSequence(UpResState* state, u32 sequence);
// Adds the resized pictures as bitmaps and points the instances' alternate
// fields at them; false (FATAL logged) when they do not fit the collection.
bool LinkUpResBitmaps(UpResState* state);

}  // namespace pirn
