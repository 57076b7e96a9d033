#pragma once
// The sequence editor's import and export menu apart from its window:
// bitmaps and alphas from files or plates onto every shown view of every
// frame, and the sequence's bitmaps out as files or as a plate. Each import
// checks everything first (the file count, every file's pixel form, every
// alpha's size) and changes nothing when a check fails; the failure is
// shown through the prompts.
//
// Slots are the shown views of each frame (the stored half of a mirrored
// sequence). "Views, then frames" fills frame 0 view 0..V-1, then frame
// 1...; "frames, then views" fills view 0 frame 0..F-1, then view 1...;
// plates always go frame by frame, one plate row per frame.

#include <string>
#include <vector>

#include "collections/collection.h"
#include "platform/image_file.h"
#include "platform/user_prompts.h"

namespace pirn {

// Named apart from the build scripts' `BitmapOrder`, whose numbers differ.
enum SequenceAssignOrder : u32 {
    kAssignViewsThenFrames = 0,
    kAssignFramesThenViews = 1,
};

struct SequenceSlot {
    u32 frame = 0;
    u32 view = 0;
};
std::vector<SequenceSlot> SequenceAssignmentOrder(const CollectionSequence& sequence, SequenceAssignOrder order);

// "Bitmap Import": one new bitmap per file, assigned in the order. The file
// count must be the slot count. Answers the bitmaps assigned (0: nothing
// changed).
u32 ImportSequenceBitmaps(Collection* collection, CollectionSequence* sequence, const std::vector<std::string>& paths,
                          SequenceAssignOrder order, UserPrompts& prompts);
// "Bitmap Import" > "From Plate": the plate's cells (exactly one per slot)
// become new bitmaps, frame by frame; an empty cell empties its view.
u32 ImportSequencePlate(Collection* collection, CollectionSequence* sequence, ImageFile* file, UserPrompts& prompts);

// Whether every slot shows a bitmap (what replacing alphas needs); shows
// the message when not.
bool CheckSequenceAssigned(const CollectionSequence& sequence, UserPrompts& prompts);
// "Alpha Import": each greyscale file becomes the alpha of the bitmap in its
// slot. Whether the alphas were replaced.
bool ImportSequenceAlphas(CollectionSequence* sequence, const std::vector<std::string>& paths,
                          SequenceAssignOrder order, UserPrompts& prompts);
// "Alpha Import" > "From Plate": the alpha plate onto the slots' bitmaps,
// frame by frame.
bool ImportSequenceAlphaPlate(CollectionSequence* sequence, ImageFile* file, UserPrompts& prompts);

// The slots' bitmaps frame by frame (null for empty views): the bitmaps
// the alpha imports change, the cells of an exported plate.
std::vector<CollectionBitmap*> SequenceSlotBitmaps(const CollectionSequence& sequence);

// "Frame #%02d, view #%02d%s" (with " alpha" for alphas), no extension.
std::string SequenceExportFileName(u32 frame, u32 view, bool alpha);
// "Export" > "Bitmaps" / "Alphas": every slot with a bitmap into the folder
// in `type` (0: PNG). Answers the files written.
u32 ExportSequenceBitmaps(const Collection& collection, const CollectionSequence& sequence, bool alpha,
                          const std::string& folder, u32 type, UserPrompts& prompts);
// "Export" > "Bitmap Plate" / "Alpha Plate": one plate row per frame.
bool ExportSequencePlate(const Collection& collection, const CollectionSequence& sequence, bool alpha,
                         const std::string& path, u32 type, UserPrompts& prompts);

// The dialogs' default names: "%s plate" / "%s alpha plate" to import,
// "%s %splate" (with "alpha ") to export; as one file-name component.
std::string SequencePlateImportName(const CollectionSequence& sequence, bool alpha);
std::string SequencePlateExportName(const CollectionSequence& sequence, bool alpha);

}  // namespace pirn
