#include "collections/bitmap_export.h"

#include <set>

#include "collections/bitmap_import.h"
#include "collections/collection_messages.h"
#include "platform/char_map.h"
#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/safe_file_name.h"
#include "platform/strings.h"

namespace pirn {

namespace ct = collection_text;

std::string DefaultExportName(const CollectionBitmap& bitmap, bool alpha) {
    return FormatString("%s%s", bitmap.name, alpha ? ct::kAlphaSuffix : "");
}

std::string SafeFileNameComponent(const std::string& name) { return SafeFileName(CharMapToUtf8(name)); }

bool ExportFileNames(const Collection& collection, const std::vector<const CollectionBitmap*>& bitmaps, bool alpha,
                     u32 mode, UserPrompts& prompts, std::vector<std::string>* names) {
    names->clear();
    if (mode == kMapByName) {
        std::set<std::string> seen;
        for (const CollectionBitmap* bitmap : bitmaps)
            if (!seen.insert(bitmap->name).second) {
                prompts.ShowError(ct::kSharedNames);
                return false;
            }
    }
    std::set<std::string> taken;
    for (const CollectionBitmap* bitmap : bitmaps) {
        const char* kind = alpha ? "alpha" : (bitmap->flags & kBitmapShadow) ? "shadow" : "bitmap";
        const std::string numbered = FormatString("%s #%04d", kind, FindCollectionBitmap(collection, bitmap));
        std::string name = mode == kMapByName ? SafeFileNameComponent(DefaultExportName(*bitmap, alpha)) : numbered;
        if (name.empty()) name = numbered;
        std::string unique = name;
        for (int n = 2; !taken.insert(unique).second; ++n) unique = FormatString("%s (%d)", name.c_str(), n);
        names->push_back(unique);
    }
    return true;
}

bool SaveExportImage(PixelImage* image, const std::string& path, u32 type, UserPrompts& prompts) {
    std::string target = path;
    if (type == 0) type = FileTypeFromExtension(path);
    if (FileTypeRow(type).kind != kKindImage) type = kDefaultExportType;
    AppendExtensionIfMissing(target, FileTypeRow(type).extension);
    ImageFile file;
    InitImageFile(&file, target);
    file.type = type;
    file.kind = kKindImage;
    MovePixelImage(&file.image, image);
    const bool saved = CanSaveImageAs(type, file.image) && SaveImageFile(&file);
    MovePixelImage(image, &file.image);
    if (!saved) prompts.ShowError(FormatString(ct::kNotWritten, Utf8ToCharMap(PathFileName(target, false)).c_str()));
    return saved;
}

namespace {

bool BitmapImage(const Collection& collection, const CollectionBitmap& bitmap, bool alpha, PixelImage* image) {
    return alpha ? ExportBitmapAlpha(bitmap, image) : ExportBitmapColors(collection, bitmap, image);
}

}  // namespace

bool ExportBitmapToFile(const Collection& collection, const CollectionBitmap& bitmap, bool alpha,
                        const std::string& path, u32 type, UserPrompts& prompts) {
    PixelImage image;
    if (!BitmapImage(collection, bitmap, alpha, &image)) {
        prompts.ShowError(FormatString(ct::kNoIndexImage, bitmap.name));
        return false;
    }
    return SaveExportImage(&image, path, type, prompts);
}

u32 ExportBitmaps(const Collection& collection, const std::vector<const CollectionBitmap*>& bitmaps, bool alpha,
                  const std::string& folder, u32 mode, u32 type, UserPrompts& prompts) {
    std::vector<std::string> names;
    if (!ExportFileNames(collection, bitmaps, alpha, mode, prompts, &names)) return 0;
    if (type == 0 || FileTypeRow(type).kind != kKindImage) type = kDefaultExportType;
    const std::string base = EnsureTrailingSlash(folder);
    u32 written = 0;
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        const std::string path = base + names[i] + FileTypeRow(type).extension;
        if (ExportBitmapToFile(collection, *bitmaps[i], alpha, path, type, prompts)) ++written;
    }
    return written;
}

}  // namespace pirn
