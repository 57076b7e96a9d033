#pragma once
// Recursive Image Conversion, without its dialogs: every image file below
// a folder is saved again in one target type ("Full"), or as its alpha
// channel alone ("Alpha Only", ".alpha" before the extension). The result
// goes beside its source under the source's name with the image extensions
// taken off and the target's put on.
//
// What the folder held before the run is listed first, so the files the run
// writes are never walked again, and no file that was there before (nor one
// the run wrote itself) is ever replaced: a name that is taken is reported
// instead. Only files that were written are counted.

#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

enum ImageConversionMode : u32 {
    kConvertFull = 0,
    kConvertAlphaOnly = 1,
};

struct ImageConversionResult {
    std::vector<std::string> written;  // the new files, in the order written
    // One line per image that should have been converted but was not: its
    // path and why.
    std::vector<std::string> not_written;
};

// The file a source becomes: the extensions of the source's and the
// target's types taken off the end of the path as long as one is there
// (never the whole file name), ".alpha" added in Alpha Only mode, then the
// target's extension.
std::string ConvertedImagePath(const std::string& source, u32 source_type, u32 target_type, bool alpha);

// Called with each file's path before it is looked at.
using ImageConversionProgress = std::function<void(const std::string& path)>;

// Walks the folder and its subfolders (in path order) and converts every
// image that needs it. target_type is kTypeBmp, kTypePng or kTypeTiff.
ImageConversionResult ConvertImagesBelow(const std::string& folder, u32 target_type, u32 mode,
                                         const ImageConversionProgress& progress);

}  // namespace pirn
