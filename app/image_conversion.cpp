#include "app/image_conversion.h"

#include <algorithm>
#include <set>

#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/pixel_convert.h"

namespace pirn {

namespace {

constexpr char kAlphaSuffix[] = ".alpha";

// Takes the extension off when it is there and something of the file name
// is left in front of it.
bool StripTypeExtension(std::string* path, u32 type) {
    if (type == kTypeUnknown) return false;
    const std::string extension = FileTypeRow(type).extension;
    const size_t slash = path->find_last_of('/');
    const size_t name_start = slash == std::string::npos ? 0 : slash + 1;
    if (path->size() <= name_start + extension.size()) return false;
    return StripExtension(*path, extension);
}

// An image of the target type needs nothing in Full mode, nor in Alpha
// Only mode when it holds alpha alone already.
bool AlreadyConverted(ImageFile* file, u32 target_type, u32 mode) {
    if (file->type != target_type) return false;
    if (mode != kConvertAlphaOnly) return true;
    return LoadImageFile(file) && file->image.format == kFormatAlpha;
}

}  // namespace

std::string ConvertedImagePath(const std::string& source, u32 source_type, u32 target_type, bool alpha) {
    std::string path = source;
    while (StripTypeExtension(&path, source_type) || StripTypeExtension(&path, target_type)) {
    }
    if (alpha) path += kAlphaSuffix;
    return path + FileTypeRow(target_type).extension;
}

ImageConversionResult ConvertImagesBelow(const std::string& folder, u32 target_type, u32 mode,
                                         const ImageConversionProgress& progress) {
    ImageConversionResult result;
    std::vector<std::string> files;
    ListDirectoryFiles(EnsureTrailingSlash(folder), files, true, true);
    std::sort(files.begin(), files.end());
    // Every name that must not be written over: what was there, and what
    // this run wrote.
    std::set<std::string> taken(files.begin(), files.end());
    const bool alpha = mode == kConvertAlphaOnly;

    for (const std::string& path : files) {
        if (progress) progress(path);
        ImageFile file;
        InitImageFile(&file, path);
        file.kind = kKindImage;
        if (!IdentifyImageFile(&file) || AlreadyConverted(&file, target_type, mode)) continue;
        if (!LoadImageFile(&file)) {
            result.not_written.push_back(path + ": the image could not be read.");
            continue;
        }
        // Pictures without alpha have nothing to give in Alpha Only mode.
        if (alpha && !ConvertImageFormat(&file.image, kFormatAlpha)) continue;
        const std::string target = ConvertedImagePath(path, file.type, target_type, alpha);
        if (taken.count(target)) {
            result.not_written.push_back(path + ": '" + target + "' is there already and was kept.");
            continue;
        }
        if (!CanSaveImageAs(target_type, file.image)) {
            result.not_written.push_back(path + ": a " + (FileTypeRow(target_type).extension + 1) +
                                         " file cannot hold this picture.");
            continue;
        }
        ImageFile out;
        InitImageFile(&out, target);
        out.kind = kKindImage;
        out.type = target_type;
        out.image = std::move(file.image);
        if (!SaveImageFile(&out)) {
            result.not_written.push_back(path + ": '" + target + "' could not be written.");
            continue;
        }
        taken.insert(target);
        result.written.push_back(target);
    }
    return result;
}

}  // namespace pirn
