#include "collections/bitmap_import.h"

#include <algorithm>
#include <map>
#include <memory>

#include "collections/bitmap_codec.h"
#include "collections/collection_messages.h"
#include "platform/char_map.h"
#include "platform/pref_store.h"
#include "platform/strings.h"

namespace pirn {

const char* const kBitmapImportMappingModeKey = "BitmapImportMappingMode";

namespace ct = collection_text;

u32 GetBitmapImportMappingMode() {
    i32 mode = kMapByOrder;
    if (!GetPrefInt(kBitmapImportMappingModeKey, &mode) || mode != kMapByName) return kMapByOrder;
    return kMapByName;
}

void SetBitmapImportMappingMode(u32 mode) {
    SetPrefInt(kBitmapImportMappingModeKey, mode == kMapByName ? kMapByName : kMapByOrder);
}

std::string ImageFileDisplayName(const ImageFile& file) { return Utf8ToCharMap(PathFileName(file.path, false)); }

std::string BitmapNameFromPath(const std::string& path) {
    std::string name = Utf8ToCharMap(PathFileName(path, true));
    if (name.size() > 63) name.resize(63);
    return name;
}

namespace {

// Closes the file when the check is done, however it ends.
struct OpenForCheck {
    explicit OpenForCheck(ImageFile* f) : file(f), opened(!f->stream && OpenImageFile(f, kImageReading)) {}
    ~OpenForCheck() {
        if (opened) CloseImageFile(file);
    }
    ImageFile* file;
    bool opened;
};

bool CheckImage(ImageFile* file, bool paletted, UserPrompts& prompts) {
    // Opened once for identifying and loading: an import of many small
    // files would otherwise open each twice.
    const OpenForCheck open(file);
    // The name is made only for a message.
    auto name = [&] { return ImageFileDisplayName(*file); };
    if (!IdentifyImageFile(file) || file->kind != kKindImage) {
        prompts.ShowError(FormatString(ct::kNotAnImage, name().c_str()));
        return false;
    }
    if (!LoadImageFile(file) || !HasWholePixels(file->image)) {
        prompts.ShowError(FormatString(ct::kReadFailed, name().c_str()));
        return false;
    }
    if (file->image.format != (paletted ? kFormatColorIndex : kFormatAlpha)) {
        prompts.ShowError(paletted ? FormatString(ct::kNotPaletted, name().c_str())
                                   : FormatString(ct::kNotGreyscale, name().c_str()));
        return false;
    }
    // A tag stores sides in 15 bits: such a bitmap would make every save of
    // the collection fail.
    if (file->image.width > kMaxStoredBitmapSide || file->image.height > kMaxStoredBitmapSide) {
        prompts.ShowError(FormatString(ct::kSideTooLarge, name().c_str()));
        return false;
    }
    return true;
}

bool CheckForKind(ImageFile* file, ReplaceKind kind, UserPrompts& prompts) {
    return kind == kReplaceBitmaps ? CheckPalettedImage(file, prompts) : CheckGreyscaleImage(file, prompts);
}

}  // namespace

bool CheckPalettedImage(ImageFile* file, UserPrompts& prompts) {
    return CheckImage(file, true, prompts);
}

bool CheckGreyscaleImage(ImageFile* file, UserPrompts& prompts) {
    return CheckImage(file, false, prompts);
}

CollectionBitmap* AddBitmapWithPrompt(Collection* collection, ImageFile* file, CollectionBitmap* replaced,
                                      UserPrompts& prompts) {
    const std::string bitmap_name = BitmapNameFromPath(file->path);
    CollectionBitmap* added = AddBitmapFromImage(collection, file->image, bitmap_name.c_str(), replaced, false);
    if (added) return added;
    const std::string name = ImageFileDisplayName(*file);
    const int answer = prompts.Ask(ct::kQuestionCaption, FormatString(ct::kIncompatibleImage, name.c_str()),
                                   {ct::kReplaceButton, ct::kCancelButton});
    if (answer != 0) return nullptr;
    added = AddBitmapFromImage(collection, file->image, bitmap_name.c_str(), replaced, true);
    if (!added) prompts.ShowError(FormatString(ct::kTableNotReplaced, name.c_str()));
    return added;
}

CollectionBitmap* AddShadowFromImage(Collection* collection, const ImageFile& file, CollectionBitmap* replaced) {
    const PixelImage& image = file.image;
    if (!HasWholePixels(image) || (image.format != kFormatAlpha && image.format != kFormatColorIndex)) return nullptr;
    std::vector<u8> pixels(image.pixels.size() * 2);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        pixels[2 * i] = image.pixels[i] ? 255 : 0;
        pixels[2 * i + 1] = image.pixels[i];
    }
    const std::string name = BitmapNameFromPath(file.path);
    return AddCollectionBitmap(collection, name.c_str(), kBitmapShadow, pixels.data(), image.width, image.height, 2,
                               replaced);
}

bool CheckAlphaMask(CollectionBitmap* bitmap, const ImageFile& file, UserPrompts& prompts) {
    const PixelImage& image = file.image;
    if (image.width != bitmap->width || image.height != bitmap->height) {
        const std::string name = ImageFileDisplayName(file);
        prompts.ShowError(FormatString(ct::kAlphaMaskSize, name.c_str(), int(image.width), int(image.height),
                                       int(bitmap->width), int(bitmap->height)));
        return false;
    }
    return ApplyAlphaMask(bitmap, image);
}

u32 AddBitmapsFromFiles(Collection* collection, const std::vector<std::string>& paths, bool shadows,
                        UserPrompts& prompts) {
    std::vector<std::unique_ptr<ImageFile>> files;
    for (const std::string& path : paths) {
        files.push_back(std::make_unique<ImageFile>());
        InitImageFile(files.back().get(), path);
        if (!CheckForKind(files.back().get(), shadows ? kReplaceShadows : kReplaceBitmaps, prompts)) return 0;
    }
    u32 added = 0;
    for (auto& file : files) {
        CollectionBitmap* bitmap = shadows ? AddShadowFromImage(collection, *file, nullptr)
                                           : AddBitmapWithPrompt(collection, file.get(), nullptr, prompts);
        if (bitmap) ++added;
        file.reset();  // its pixels are the collection's now
    }
    return added;
}

const char* ReplaceDialogTitle(ReplaceKind kind, size_t selected) {
    static const char* const titles[3][2] = {
        {"Import replacement bitmap", "Import replacement bitmaps"},
        {"Import replacement shadow", "Import replacement shadows"},
        {"Import replacement alpha", "Import replacement alphas"},
    };
    const u32 row = kind <= kReplaceAlphas ? u32{kind} : 0u;
    return titles[row][selected == 1 ? 0 : 1];
}

bool MatchReplacementFiles(const std::vector<std::string>& paths, const std::vector<CollectionBitmap*>& selected,
                           u32 mode, UserPrompts& prompts, std::vector<ReplacementMatch>* matches) {
    matches->clear();
    if (mode != kMapByName) {
        if (selected.size() < paths.size()) {
            prompts.ShowError(FormatString(ct::kTooFewSelected, int(selected.size()), int(paths.size())));
            return false;
        }
        for (size_t i = 0; i < paths.size(); ++i) matches->push_back({i, selected[i]});
        return true;
    }
    std::map<std::string, size_t> by_name;
    for (size_t i = 0; i < paths.size(); ++i) by_name.emplace(BitmapNameFromPath(paths[i]), i);
    std::vector<std::string> unmatched;
    for (CollectionBitmap* bitmap : selected) {
        auto found = by_name.find(bitmap->name);
        if (found == by_name.end())
            unmatched.push_back(bitmap->name);
        else
            matches->push_back({found->second, bitmap});
    }
    if (unmatched.empty()) return true;
    std::string text = ct::kUnmatchedNames;
    const size_t listed = std::min(unmatched.size(), kListedUnmatchedNames);
    for (size_t i = 0; i < listed; ++i) text += (i ? ", " : "") + unmatched[i];
    if (unmatched.size() > listed) text += ", " + FormatString(ct::kMoreNames, int(unmatched.size() - listed));
    prompts.ShowError(text);
    matches->clear();
    return false;
}

u32 ReplaceBitmapsFromFiles(Collection* collection, const std::vector<std::string>& paths,
                            const std::vector<CollectionBitmap*>& selected, ReplaceKind kind, u32 mode,
                            UserPrompts& prompts) {
    std::vector<ReplacementMatch> matches;
    if (!MatchReplacementFiles(paths, selected, mode, prompts, &matches)) return 0;
    std::vector<std::unique_ptr<ImageFile>> files(paths.size());
    for (const ReplacementMatch& match : matches) {
        auto& file = files[match.file];
        if (file) continue;
        file = std::make_unique<ImageFile>();
        InitImageFile(file.get(), paths[match.file]);
        if (!CheckForKind(file.get(), kind, prompts)) return 0;
    }
    // Alpha masks are all checked against their bitmaps before any is applied.
    if (kind == kReplaceAlphas) {
        for (const ReplacementMatch& match : matches) {
            const PixelImage& image = files[match.file]->image;
            if (image.width != match.bitmap->width || image.height != match.bitmap->height) {
                CheckAlphaMask(match.bitmap, *files[match.file], prompts);  // shows the size message
                return 0;
            }
        }
    }
    u32 replaced = 0;
    for (const ReplacementMatch& match : matches) {
        ImageFile* file = files[match.file].get();
        bool done = false;
        if (kind == kReplaceBitmaps)
            done = AddBitmapWithPrompt(collection, file, match.bitmap, prompts) != nullptr;
        else if (kind == kReplaceShadows)
            done = AddShadowFromImage(collection, *file, match.bitmap) != nullptr;
        else
            done = CheckAlphaMask(match.bitmap, *file, prompts);
        if (done) ++replaced;
    }
    return replaced;
}

}  // namespace pirn
