#pragma once
// The detail-texture editor's commands as functions on the data, so that
// the editor window and the root-menu commands only ask for files and the
// clipboard and show the message a command returns.

#include <functional>
#include <string>
#include <vector>

#include "models/dtex_tag.h"
#include "platform/types.h"

namespace pirn {

// Messages, shown in an "Error" box with one "OK" button.
extern const char* const kDtexMessageNot24Bit;         // "Image must be 24 bit RGB."
extern const char* const kDtexMessageNotPowerOfTwo;    // "The texture must have dimensions that are powers of two."
extern const char* const kDtexMessageTooLarge;         // sides past 2048 do not fit the stored fields
extern const char* const kDtexMessageLoadFailed;       // "Failed to load image data."
extern const char* const kDtexMessageWriteFailed;      // "The file could not be written."
extern const char* const kDtexMessageNoClipboardImage; // "Could not retrieve an image from the clipboard."

// Largest side accepted at import, paste and new.
constexpr u32 kDtexMaxImportSide = 2048;

// Null when a picture of that pixel format and size can become a detail
// texture, else the message that refuses it.
const char* CheckDtexImage(u32 format, u32 width, u32 height);
// The same for RGB pixels of that size (clipboard pictures).
const char* CheckDtexSize(u32 width, u32 height);

struct DtexPicture {
    u32 width = 0;
    u32 height = 0;
    std::vector<u8> rgb;
};

// Loads and checks an image file; null on success, else the message.
const char* LoadDtexImageFile(const std::string& path, DtexPicture* picture);
// Writes the texture as an image file of the type its extension names
// (BMP, PNG or TIFF); null on success, else the message.
const char* SaveDtexImageFile(const DtexTag& dtex, const std::string& path);

// Replaces the texture's pixels (copy or import into an open tag).
void ApplyDtexPicture(DtexTag* dtex, const DtexPicture& picture);

enum class DtexPasteResult {
    kPasted,
    kBeepOnly,         // the clipboard held no picture
    kMessageAndBeep,   // a picture of sizes that cannot be used: message too
};
// Paste into an open tag from what the clipboard gave (have_image false:
// nothing). The clipboard's pixels are the caller's.
DtexPasteResult PasteDtexPicture(DtexTag* dtex, bool have_image, const DtexPicture& clipboard,
                                 const char** message);

// The name a new texture from an image file gets: the file's name without
// folder and extension.
std::string DtexNameFromImagePath(const std::string& path);

// Makes the tag for a new texture and opens its editor: the resource the
// editor holds, or null when no tag was made.
using DtexTagMaker = std::function<DtexTag*(const std::string& name)>;

// "New Detail Texture" from an image file or the clipboard picture: checks
// the picture, makes the tag through `make_tag` and gives it the pixels.
// Returns the new texture (to be saved by its editor), or null with the
// message to show (null message: nothing to show, e.g. no tag was made).
DtexTag* NewDtexFromImageFile(const std::string& path, const DtexTagMaker& make_tag, const char** message);
DtexTag* NewDtexFromClipboard(bool have_image, const DtexPicture& clipboard, const DtexTagMaker& make_tag,
                              const char** message);

enum DtexMeanCenterMode : u32 {
    kMeanCenterRgb = 0,   // each channel to a mean of 128
    kMeanCenterLuma = 1,  // all channels by one offset from the mean luma
};
// Shifts the colours so that their mean is mid-grey, clamping at 0 and 255.
void MeanCenterTexture(DtexTag* dtex, u32 mode);
// The offsets MeanCenterTexture adds (per channel; all equal for luma).
void MeanCenterOffsets(const DtexTag& dtex, u32 mode, int offsets[3]);

// Shifts the picture by half its size both ways, so that its wrap-around
// seams lie in the middle; doing it twice restores it. Not a modification.
void SwapTextureQuadrants(DtexTag* dtex);

}  // namespace pirn
