#include "collections/sequence_import.h"

#include <memory>

#include "collections/bitmap_export.h"
#include "collections/bitmap_import.h"
#include "collections/plate.h"
#include "collections/sequence_grid.h"
#include "collections/sequence_messages.h"
#include "collections/sequence_properties.h"
#include "platform/file_system.h"
#include "platform/strings.h"

namespace pirn {

namespace st = sequence_text;

namespace {

InstanceReference* SlotReference(CollectionSequence* sequence, const SequenceSlot& slot) {
    BitmapInstance* instance = FindSequenceInstance(sequence, slot.frame, slot.view);
    return instance ? &ShownReference(*instance) : nullptr;
}

void AssignSlot(const Collection& collection, CollectionSequence* sequence, const SequenceSlot& slot,
                CollectionBitmap* bitmap) {
    SequenceGridCell cell;
    cell.frame = slot.frame;
    cell.column = slot.view + 1;
    cell.instance = FindSequenceInstance(sequence, slot.frame, slot.view);
    if (cell.instance) SetCellBitmap(collection, cell, bitmap);
}

bool CheckFileCount(size_t files, size_t slots, UserPrompts& prompts) {
    if (files == slots) return true;
    prompts.ShowError(FormatString(st::kWrongFileCount, int(files), int(slots)));
    return false;
}

// Loads every file and checks its pixel form; the first failure is shown.
bool LoadImages(const std::vector<std::string>& paths, bool paletted, UserPrompts& prompts,
                std::vector<std::unique_ptr<ImageFile>>* files) {
    for (const std::string& path : paths) {
        files->push_back(std::make_unique<ImageFile>());
        InitImageFile(files->back().get(), path);
        const bool loaded = paletted ? CheckPalettedImage(files->back().get(), prompts)
                                     : CheckGreyscaleImage(files->back().get(), prompts);
        if (!loaded) return false;
    }
    return true;
}

bool LoadPlate(ImageFile* file, std::vector<PlateCell>* cells) {
    if (!IdentifyImageFile(file) || file->kind != kKindImage || !LoadImageFile(file)) return false;
    const PixelImage& image = file->image;
    if ((image.format != kFormatColorIndex && image.format != kFormatAlpha) || !HasWholePixels(image)) return false;
    return ParsePlate(image, cells);
}

}  // namespace

std::vector<SequenceSlot> SequenceAssignmentOrder(const CollectionSequence& sequence, SequenceAssignOrder order) {
    const u32 frames = static_cast<u32>(sequence.frames.size());
    const u32 views = ShownViewCount(sequence);
    std::vector<SequenceSlot> slots;
    slots.reserve(size_t{frames} * views);
    if (order == kAssignFramesThenViews) {
        for (u32 v = 0; v < views; ++v)
            for (u32 f = 0; f < frames; ++f) slots.push_back({f, v});
    } else {
        for (u32 f = 0; f < frames; ++f)
            for (u32 v = 0; v < views; ++v) slots.push_back({f, v});
    }
    return slots;
}

u32 ImportSequenceBitmaps(Collection* collection, CollectionSequence* sequence, const std::vector<std::string>& paths,
                          SequenceAssignOrder order, UserPrompts& prompts) {
    const std::vector<SequenceSlot> slots = SequenceAssignmentOrder(*sequence, order);
    if (!CheckFileCount(paths.size(), slots.size(), prompts)) return 0;
    std::vector<std::unique_ptr<ImageFile>> files;
    if (!LoadImages(paths, true, prompts, &files)) return 0;
    std::vector<CollectionBitmap*> added;
    for (auto& file : files) {
        CollectionBitmap* bitmap = AddBitmapWithPrompt(collection, file.get(), nullptr, prompts);
        if (!bitmap) {
            // All or nothing: the bitmaps this import made go again.
            for (CollectionBitmap* made : added) DeleteCollectionBitmap(collection, made);
            return 0;
        }
        added.push_back(bitmap);
    }
    for (size_t i = 0; i < slots.size(); ++i) AssignSlot(*collection, sequence, slots[i], added[i]);
    return static_cast<u32>(added.size());
}

u32 ImportSequencePlate(Collection* collection, CollectionSequence* sequence, ImageFile* file, UserPrompts& prompts) {
    const std::vector<SequenceSlot> slots = SequenceAssignmentOrder(*sequence, kAssignViewsThenFrames);
    std::vector<PlateCell> cells;
    if (LoadPlate(file, &cells) && cells.size() != slots.size()) {
        prompts.ShowError(FormatString(st::kWrongPlateCount, int(slots.size())));
        return 0;
    }
    // A file that is no plate gets the plate import's own message.
    std::vector<CollectionBitmap*> added;
    if (ImportColorPlate(collection, file, {}, prompts, &added) == 0 && added.empty()) return 0;
    if (added.size() != slots.size()) return 0;
    for (size_t i = 0; i < slots.size(); ++i) AssignSlot(*collection, sequence, slots[i], added[i]);
    return static_cast<u32>(slots.size());
}

std::vector<CollectionBitmap*> SequenceSlotBitmaps(const CollectionSequence& sequence) {
    std::vector<CollectionBitmap*> bitmaps;
    auto* editable = const_cast<CollectionSequence*>(&sequence);
    for (const SequenceSlot& slot : SequenceAssignmentOrder(sequence, kAssignViewsThenFrames)) {
        InstanceReference* reference = SlotReference(editable, slot);
        bitmaps.push_back(reference ? reference->bitmap : nullptr);
    }
    return bitmaps;
}

bool CheckSequenceAssigned(const CollectionSequence& sequence, UserPrompts& prompts) {
    for (CollectionBitmap* bitmap : SequenceSlotBitmaps(sequence))
        if (!bitmap) {
            prompts.ShowError(st::kAlphasNeedBitmaps);
            return false;
        }
    return true;
}

bool ImportSequenceAlphas(CollectionSequence* sequence, const std::vector<std::string>& paths,
                          SequenceAssignOrder order, UserPrompts& prompts) {
    if (!CheckSequenceAssigned(*sequence, prompts)) return false;
    const std::vector<SequenceSlot> slots = SequenceAssignmentOrder(*sequence, order);
    if (!CheckFileCount(paths.size(), slots.size(), prompts)) return false;
    std::vector<std::unique_ptr<ImageFile>> files;
    if (!LoadImages(paths, false, prompts, &files)) return false;
    std::vector<CollectionBitmap*> targets;
    for (size_t i = 0; i < slots.size(); ++i) {
        CollectionBitmap* bitmap = SlotReference(sequence, slots[i])->bitmap;
        const PixelImage& image = files[i]->image;
        if (bitmap->bytes_per_pixel != 2) {
            prompts.ShowError(FormatString(st::kAlphaNotReplaceable, bitmap->name));
            return false;
        }
        if (image.width != bitmap->width || image.height != bitmap->height) {
            CheckAlphaMask(bitmap, *files[i], prompts);  // shows the size message, changes nothing
            return false;
        }
        targets.push_back(bitmap);
    }
    for (size_t i = 0; i < slots.size(); ++i) ApplyAlphaMask(targets[i], files[i]->image);
    return true;
}

bool ImportSequenceAlphaPlate(CollectionSequence* sequence, ImageFile* file, UserPrompts& prompts) {
    if (!CheckSequenceAssigned(*sequence, prompts)) return false;
    return ImportAlphaPlate(file, SequenceSlotBitmaps(*sequence), prompts);
}

std::string SequenceExportFileName(u32 frame, u32 view, bool alpha) {
    return FormatString(st::kExportFileName, int(frame), int(view), alpha ? st::kAlphaSuffix : "");
}

u32 ExportSequenceBitmaps(const Collection& collection, const CollectionSequence& sequence, bool alpha,
                          const std::string& folder, u32 type, UserPrompts& prompts) {
    if (type == 0 || FileTypeRow(type).kind != kKindImage) type = kDefaultExportType;
    const std::string base = EnsureTrailingSlash(folder);
    auto* editable = const_cast<CollectionSequence*>(&sequence);
    u32 written = 0;
    for (const SequenceSlot& slot : SequenceAssignmentOrder(sequence, kAssignViewsThenFrames)) {
        const InstanceReference* reference = SlotReference(editable, slot);
        if (!reference || !reference->bitmap) continue;
        const std::string path = base + SequenceExportFileName(slot.frame, slot.view, alpha) + FileTypeRow(type).extension;
        if (ExportBitmapToFile(collection, *reference->bitmap, alpha, path, type, prompts)) ++written;
    }
    return written;
}

bool ExportSequencePlate(const Collection& collection, const CollectionSequence& sequence, bool alpha,
                         const std::string& path, u32 type, UserPrompts& prompts) {
    const std::vector<CollectionBitmap*> slots = SequenceSlotBitmaps(sequence);
    const std::vector<const CollectionBitmap*> bitmaps(slots.begin(), slots.end());
    return ExportPlate(collection, bitmaps, alpha, ShownViewCount(sequence), path, type, prompts);
}

std::string SequencePlateImportName(const CollectionSequence& sequence, bool alpha) {
    return SafeFileNameComponent(FormatString(alpha ? st::kImportAlphaPlateName : st::kImportPlateName, sequence.name));
}

std::string SequencePlateExportName(const CollectionSequence& sequence, bool alpha) {
    return SafeFileNameComponent(FormatString(st::kExportPlateName, sequence.name, alpha ? st::kAlphaPlateWord : ""));
}

}  // namespace pirn
