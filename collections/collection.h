#pragma once
// The in-memory form of one '.256' collection: a 256-colour table, the
// bitmaps (sprites and their shadows in one list), the hue changes and the
// animated sequences, each a grid of frames x views whose cells place one
// bitmap.
//
// Inside a collection every reference is a pointer while it is in memory;
// the 16-bit index kept beside it is what the tag stores and is trusted only
// right after loading and right after FlattenReferences. The operations here
// keep the pointers right; saving recomputes the indices from them.
//
// An instance holds two references: the standard one and, with instance
// flag 32, an alternate (high-resolution) one. Both are pointers with their
// own registration point; which one is shown is a display choice only, so
// moving, deleting, merging and cropping bitmaps keep both right, and saving
// always writes the standard reference to the primary fields and the
// alternate to the alternate fields.

#include <memory>
#include <vector>

#include "collections/pixel_bytes.h"
#include "platform/pixel_image.h"
#include "platform/types.h"

namespace pirn {

constexpr u16 kNoIndex = 0xFFFF;
constexpr u32 kNotFound = 0xFFFFFFFF;
constexpr u32 kNoSound = 0xFFFFFFFF;
constexpr u32 kColorTableEntries = 256;
constexpr u32 kColorTableBytes = kColorTableEntries * 3;
// 16.16 fixed point.
constexpr u32 kFixedOne = 0x10000;
// The scale of an instance showing its standard bitmap.
constexpr u32 kStandardScale = 10 * kFixedOne;

enum CollectionFlag : u32 {
    kCollectionTextures = 0x01,
    kCollectionMonsters = 0x02,
    kCollectionProjectiles = 0x04,
    kCollectionScenery = 0x08,
    kCollectionAtmosphericEffects = 0x10,
    kCollectionInterfaces = 0x20,
    kCollectionColorMap = 0x100,
};
// Labels of flag bits 0-5, in bit order.
extern const char* const kCollectionFlagLabels[6];

enum BitmapFlag : u16 {
    kBitmapRle = 0x0004,
    kBitmapPartialAlpha = 0x0010,  // some alpha strictly between 0 and 255
    kBitmapRowPadding = 0x0040,    // as loaded; every RLE bitmap is saved with it
    kBitmapShadow = 0x0080,
    kBitmapFormatValid = 0x4000,   // as loaded
    kBitmapCarried = 0x8000,
};

enum InstanceFlag : u32 {
    kInstanceMirrored = 0x01,       // x measured from the right edge
    kInstanceFlipped = 0x02,        // y measured from the bottom edge
    kInstancePartialAlpha = 0x04,   // recomputed before saving
    kInstanceRawPowerOfTwo = 0x10,  // recomputed before saving
    kInstanceHasAlternate = 0x20,
};

enum SequenceFlag : u32 {
    kSequenceMirroring = 0x01,  // views past the first half mirror it
    kSequenceHasFrames = 0x02,
    kSequenceNoRotation = 0x04,  // only valid with kSequenceMirroring
};

// A number no bitmap had before: see CollectionBitmap::revision.
u64 NextBitmapRevision();

struct CollectionBitmap {
    char name[64] = {};
    // width x height x bytes_per_pixel bytes, rows top to bottom. With 2
    // bytes a pixel: alpha, then colour index (a pixel of alpha 0 keeps
    // index 0). With 8: the carried 64-bit pixel form.
    PixelBytes pixels;
    u16 width = 0;
    u16 height = 0;
    u16 flags = 0;
    u16 bytes_per_pixel = 2;
    u32 in_use = 0;  // set by MarkUsedBitmaps
    // What views that keep a converted copy compare: a new bitmap gets a
    // number of its own (it may take the address of a deleted one), and
    // the operations here that rewrite pixels in place take a new one.
    u64 revision = NextBitmapRevision();
};

// Gives the bitmap a new revision after its pixels changed in place.
void MarkBitmapChanged(CollectionBitmap* bitmap);

// 128 bytes, in memory exactly as the stored record's fields.
struct CollectionHueChange {
    char name[64];
    u16 start_hue;  // 16-bit fractions of a turn
    u16 end_hue;
    u8 affected_colors[32];  // entry i is bit i % 8 of byte i / 8
    u16 minimum_saturation;  // fraction of 65535
    u16 median_hue;
    u16 use_as;  // bit 0 primary colour, bit 1 secondary colour
    u8 reserved[6];
    u16 replacement_red;  // 16-bit channels
    u16 replacement_green;
    u16 replacement_blue;
    u16 hue_flags;  // bit 0 reversed
    u8 replacement_flags;  // bit 0 in use, bit 1 solid colour (with bit 0)
    u8 carried[7];
};
static_assert(sizeof(CollectionHueChange) == 128, "a hue change is its 128-byte record");

constexpr u16 kDefaultStartHue = 0x5556;
constexpr u16 kDefaultEndHue = 0xAAAB;
constexpr u16 kDefaultMedianHue = 0x8001;

// One bitmap reference of an instance with its registration point.
struct InstanceReference {
    CollectionBitmap* bitmap = nullptr;
    u16 index = kNoIndex;  // stored index
    i16 x = 0;
    i16 y = 0;
    u32 scale = kStandardScale;  // 16.16
};

// One view of one frame.
struct BitmapInstance {
    u32 flags = 0;
    i16 key_x = 0;  // moved with the standard registration point on crops
    i16 key_y = 0;
    InstanceReference standard;
    InstanceReference alternate;  // in use with kInstanceHasAlternate
    bool shows_alternate = false;
};

// A new instance: all zero, alternate index 0xFFFF, scale 10.0.
BitmapInstance MakeBitmapInstance();
bool ShowsAlternate(const BitmapInstance& instance);
// The reference on display (the alternate one only with flag 32 while
// alternates are shown). Editors read and change the shown point here.
InstanceReference& ShownReference(BitmapInstance& instance);
const InstanceReference& ShownReference(const BitmapInstance& instance);

// Section 5's record of a frame, with the frame's shadow.
struct FrameRecord {
    u32 flags = 0;  // bit 0 "Shadow Is Light"
    i32 shadow_x = 0;  // 1/13107 pixel
    i32 shadow_y = 0;
    u16 shadow_index = kNoIndex;
};

struct SequenceFrame {
    u16 frame_record_index = kNoIndex;  // written while saving
    u16 values[3] = {};                 // carried unchanged
    std::vector<BitmapInstance> instances;  // one per view
    std::vector<u16> view_indices;          // written while saving
    FrameRecord record;
    CollectionBitmap* shadow = nullptr;
};

struct CollectionSequence {
    char name[64] = {};
    u32 flags = 0;
    u32 value = kFixedOne;  // 16.16, carried
    u16 view_count = 0;
    u16 frame_count = 0;
    u16 ticks_per_frame = 0;
    u16 key_frame = 0;
    u16 loop_frame = 0;
    u16 carried_a[3] = {};
    u32 sounds[3] = {kNoSound, kNoSound, kNoSound};  // first, key, last
    u16 transfer_mode = 0;
    u16 transfer_period = 0;
    i32 box_radius = 20 * kFixedOne;  // 16.16
    i32 box_lower = -10 * static_cast<i32>(kFixedOne);
    i32 box_upper = 60 * kFixedOne;
    u16 carried_b[3] = {};
    std::vector<SequenceFrame> frames;
    // Computed after loading: largest y, x, width - x, height - y.
    i32 extent_top = 0;
    i32 extent_left = 0;
    i32 extent_right = 0;
    i32 extent_bottom = 0;
};

struct Collection {
    char name[32] = {};
    u32 stored_word = 0;
    u32 flags = 0;
    u8 colors[kColorTableBytes] = {};  // RGB triples
    std::vector<std::unique_ptr<CollectionBitmap>> bitmaps;
    std::vector<std::unique_ptr<CollectionHueChange>> hue_changes;
    std::vector<std::unique_ptr<CollectionSequence>> sequences;
};

// Empties the collection; flags become 6 (Monsters and Projectiles).
void InitCollection(Collection* collection);
void FreeCollection(Collection* collection);

CollectionBitmap* GetCollectionBitmap(const Collection& collection, u32 index);
u32 GetCollectionBitmapCount(const Collection& collection);
i32 FindCollectionBitmap(const Collection& collection, const CollectionBitmap* bitmap);
CollectionHueChange* GetCollectionHueChange(const Collection& collection, u32 index);
u32 GetCollectionHueChangeCount(const Collection& collection);
i32 FindHueChange(const Collection& collection, const CollectionHueChange* hue);
CollectionSequence* GetCollectionSequence(const Collection& collection, u32 index);
u32 GetCollectionSequenceCount(const Collection& collection);
u32 FindSequence(const Collection& collection, const CollectionSequence* sequence);

u8* GetCollectionColorTable(Collection* collection);
void CopyCollectionColorTable(const Collection& collection, u8 out[kColorTableBytes], u32* count);
// n entries (at most 256) from colours, entries n..255 zeroed.
void SetCollectionColorTable(Collection* collection, const u8* colors, u32 n);

// Copies at most 63 characters and a NUL into a 64-byte name.
void SetElementName(char (&name)[64], const char* text);

// Accessors without bounds checks beyond what vector::operator[] gives.
u32 GetSequenceFrameCount(const CollectionSequence& sequence);
u32 GetSequenceViewCount(const CollectionSequence& sequence);
SequenceFrame* GetSequenceFrame(CollectionSequence* sequence, u32 frame);
BitmapInstance* GetSequenceInstance(CollectionSequence* sequence, u32 frame, u32 view);
// (views / 2) + 1 with mirroring, else views.
u32 GetStoredViewCount(const CollectionSequence& sequence);

// A copy of width x height x bytes_per_pixel bytes (zeros when pixels is
// null). With `replaced` (which must be in the list) the new bitmap takes
// its place and every reference to it, and it is freed. Null when replaced
// is not in the list or the size is beyond what a bitmap may hold.
CollectionBitmap* AddCollectionBitmap(Collection* collection, const char* name, u16 flags, const u8* pixels,
                                      u32 width, u32 height, u32 bytes_per_pixel, CollectionBitmap* replaced);
// An 8-bit paletted image (or one of alpha and index, whose alpha is kept
// and whose pixels of alpha 0 are transparent) as a new bitmap, its palette
// merged into the colour table (or replacing it: force_colors, or a
// collection without bitmaps whose table is one colour). Source indices 0
// and 1 are the transparent ones; opaque colours always land in table
// entries 2-255. Null with nothing changed when the palette does not fit
// the table.
CollectionBitmap* AddBitmapFromImage(Collection* collection, const PixelImage& image, const char* name,
                                     CollectionBitmap* replaced, bool force_colors);

CollectionHueChange* AddHueChange(Collection* collection, const char* name);
void InitHueChange(CollectionHueChange* hue, const char* name);
CollectionSequence* AddSequence(Collection* collection, const char* name);
void InitSequence(CollectionSequence* sequence, const char* name);
void ResizeSequence(CollectionSequence* sequence, u16 views, u16 frames);

// The final index, or kNotFound when the element already stands at index
// (or is not in the list).
u32 MoveCollectionBitmap(Collection* collection, CollectionBitmap* bitmap, u32 index);
u32 MoveHueChange(Collection* collection, CollectionHueChange* hue, u32 index);
u32 MoveSequence(Collection* collection, CollectionSequence* sequence, u32 index);

// Remove and free; references to a deleted bitmap become empty.
bool DeleteCollectionBitmap(Collection* collection, CollectionBitmap* bitmap);
bool DeleteHueChange(Collection* collection, CollectionHueChange* hue);
bool DeleteSequence(Collection* collection, CollectionSequence* sequence);

// Calls visit(instance) for every instance of every frame of every sequence.
template <typename Visit>
void ForEachInstance(Collection* collection, Visit visit) {
    for (auto& sequence : collection->sequences)
        for (SequenceFrame& frame : sequence->frames)
            for (BitmapInstance& instance : frame.instances) visit(instance);
}

// Every bitmap an instance (either reference) or a frame shadow refers to
// gets in_use 1, every other one 0.
void MarkUsedBitmaps(Collection* collection);
// Points every reference to `from` (both instance references and frame
// shadows) at `to`, index fields included.
void ReplaceBitmapReferences(Collection* collection, const CollectionBitmap* from, CollectionBitmap* to);
// Chooses which reference instances with alternates show.
void RelinkInstances(Collection* collection, bool use_alternate);

struct FlattenedReferences {
    std::vector<BitmapInstance> instances;
    std::vector<FrameRecord> frame_records;
};
// Recomputes every stored index from the pointers (instance flags 4 and 16
// from the standard bitmap) and lists the instances and frame records in
// save order, numbering views and frames into those lists.
void FlattenReferences(Collection* collection, FlattenedReferences* out);

// The pixel memory the bitmaps hold, bytes that several bitmaps share
// counted once.
u64 DistinctPixelBytes(const Collection& collection);

// Same size, pixel size and flags, and every pixel byte equal.
bool BitmapsIdentical(const CollectionBitmap& a, const CollectionBitmap& b);

// Cuts the bitmap to the box of its pixels with non-zero alpha and moves
// every registration point that refers to it. Answers the pixels removed
// (W x H - w x h), 0 when nothing was cut (RAW power-of-two sides, or the
// box is the whole bitmap) and -1 when no pixel is opaque.
i64 CropBitmapToContent(Collection* collection, CollectionBitmap* bitmap);

// The colour table after every active hue change, as RGB triples.
void PreviewHueChanges(const Collection& collection, u8 table_out[kColorTableBytes], u32* count_out);
// Whether colour entry (r, g, b) lies in the hue change's saturation and hue
// range: what makes it an affected colour.
bool HueChangeAffectsColor(const CollectionHueChange& hue, u8 r, u8 g, u8 b);
// Recomputes the hue change's affected-colour set from the colour table.
void ComputeAffectedColors(const Collection& collection, CollectionHueChange* hue);

// 64-bit pixels name a hue change by its place in the list (from 1, in the
// three high bits of a code byte), so moving or deleting one would hand its
// pixels to another. The list's order before the change (null where one
// was deleted); the pixels are renumbered to follow their hue change, and
// where it can no longer be named (deleted, or past the seventh place) they
// keep their own colour, as under a hue change that replaces nothing.
std::vector<const CollectionHueChange*> HueChangeOrder(const Collection& collection);
void RenumberPixelHueChanges(Collection* collection, const std::vector<const CollectionHueChange*>& before);

// Images of a 2-byte bitmap: GL_ALPHA of the alpha bytes; GL_COLOR_INDEX
// with the colour table (a grey ramp for shadows), transparent pixels as
// index 0 (RLE) or 1 (RAW), a shadow's keeping their index. False for other
// pixel sizes.
bool ExportBitmapAlpha(const CollectionBitmap& bitmap, PixelImage* image);
bool ExportBitmapColors(const Collection& collection, const CollectionBitmap& bitmap, PixelImage* image);
// The 8-bit image's bytes become the alpha bytes; flag 16 follows. False,
// nothing changed, when the sizes differ or the image is not 8-bit.
bool ApplyAlphaMask(CollectionBitmap* bitmap, const PixelImage& image);

// Over entries first..last of an RGB table: the nearest to rgba (red in the
// low byte) by squared distance, exact match at once, ties to the lower
// index; first > last answers first.
u32 FindNearestColor(const u8* table, u32 first, u32 last, u32 rgba);

// A sequence with "Use Mirroring" keeps only its first views / 2 + 1 views
// (GetStoredViewCount); each view past them is the reflection of a stored
// one: a copy with instance flag 1 toggled and x measured from the other
// edge of its bitmap (a reference without a bitmap keeps its x). Loading
// rebuilds them, so whatever changes a stored view must rebuild them too,
// or what is shown differs from what the next load gives.
bool IsMirroredView(const CollectionSequence& sequence, u32 view);
// The stored view a mirrored view reflects; any other view is its own.
u32 MirrorSourceView(const CollectionSequence& sequence, u32 view);
// Rebuilds the mirrored views of a sequence with "Use Mirroring" from its
// stored ones (nothing for others), or those of every sequence.
void FollowMirroredViews(CollectionSequence* sequence);
void FollowMirroredViews(Collection* collection);
// Rebuilds mirrored views and stores every sequence's extents.
void ComputeSequenceExtents(Collection* collection);

}  // namespace pirn
