#pragma once
// The texts bitmap import and export show, in one place. "%s" at the start
// of a message is the file's name.

namespace pirn::collection_text {

constexpr const char* kNotAnImage = "'%s': The file is not of the right format.";
constexpr const char* kReadFailed = "'%s': An error occurred while reading the image data.";
constexpr const char* kNotPaletted = "'%s': The image is not 8-bit paletted.";
constexpr const char* kNotGreyscale = "'%s': The image is not 8-bit greyscale.";
constexpr const char* kSideTooLarge = "'%s': The image is larger than 32767 pixels on a side.";
constexpr const char* kIncompatibleImage =
    "'%s': The image is not compatible with the existing color table.\nWould you like to replace the color table "
    "in the tag with the one in the file?";
constexpr const char* kTableNotReplaced = "'%s': The color table could not be replaced.";
constexpr const char* kIncompatiblePlate =
    "'%s': The plate is not compatible with the existing color table.\nWould you like to replace the color table "
    "in the tag with the one in the file?";
constexpr const char* kReplaceButton = "Replace";
constexpr const char* kCancelButton = "Cancel";
constexpr const char* kQuestionCaption = "Error";
constexpr const char* kAlphaMaskSize =
    "'%s': The alpha mask must have the same dimensions as the image. Found: %d x %d. Expected: %d x %d.";
constexpr const char* kTooFewSelected = "%d bitmaps were selected, expected at least %d";
constexpr const char* kUnmatchedNames = "The following bitmaps were not matched by name: ";
constexpr const char* kMoreNames = "(%d more)";
constexpr const char* kBadColorPlate = "'%s': The color plate is not of the correct format.";
constexpr const char* kPlateCount = "Number of images in plate (%d) does not match the expected value of %d.";
constexpr const char* kEmptyPlateCell =
    "The replace could not be performed because a bitmap in the plate contains no pixels.";
constexpr const char* kBadAlphaPlate =
    "'%s': The alpha plate is not of the correct format or the image dimensions do not match.";
constexpr const char* kSharedNames =
    "Export by name is not possible because two or more of the selected bitmaps share the same name. Running the "
    "auto-rename function may be useful.";
// Failures no other message covers.
constexpr const char* kNotWritten = "'%s': The image could not be written.";
constexpr const char* kNoIndexImage = "'%s': The bitmap has no 8-bit form to export.";

// Dialog titles and names.
constexpr const char* kExportBitmapTitle = "Export Bitmap";
constexpr const char* kExportAlphaTitle = "Export Alpha";
constexpr const char* kExportPlateTitle = "Export Plate";
constexpr const char* kDestinationFolderTitle = "Choose a destination folder";
constexpr const char* kPlateSuffix = " plate";
constexpr const char* kAlphaPlateSuffix = " alpha plate";
constexpr const char* kAlphaSuffix = " alpha";

}  // namespace pirn::collection_text
