#pragma once
// Every text the collection editor shows of its own: titles, labels, menu
// entries, questions, errors and reports, in one place. "%s", "%d" and the
// like are filled in where the text is used; " was" / "s were" and "s" / ""
// follow the number they go with. The texts of bitmap import and export are
// in collections/collection_messages.h.

namespace pirn::x256_text {

// ---- the editor and its pages ----
constexpr const char* kTabsTitle = "Tabs";
constexpr const char* kBitmapsTab = "Bitmaps";
constexpr const char* kShadowsTab = "Shadows";
constexpr const char* kSequencesTab = "Sequences";
constexpr const char* kHueChangesTab = "Hue Changes";
constexpr const char* kColorTableTab = "Color Table";
constexpr const char* kFlagsTab = "Flags";
constexpr const char* kOptimizeTab = "Optimize";

constexpr const char* kUnsupportedCaption = "Unsupported";
constexpr const char* kColorMapRefused =
    "The collection is a color map, which is currently not supported for editing.\nUse Quillary instead.";
constexpr const char* kCloseButton = "Close";

// ---- shared buttons and captions ----
constexpr const char* kOkButton = "OK";
constexpr const char* kCancelButton = "Cancel";
constexpr const char* kDeleteButton = "Delete";
constexpr const char* kErrorCaption = "Error";
constexpr const char* kDeletionCaption = "Confirm Deletion";
constexpr const char* kMessageCaption = "Message";
constexpr const char* kNoCaption = "";
constexpr const char* kWas = " was";
constexpr const char* kWere = "s were";
constexpr const char* kPlural = "s";

// ---- bitmap browser ----
constexpr const char* kGridTitle = "Bitmaps Grid";
constexpr const char* kTableTitle = "Bitmaps Table";
constexpr const char* kGridZoomKey = "X256BitmapBrowser.GridZoom";
constexpr const char* kNameColumn = "Name";
constexpr const char* kBitsColumn = "Bits";
constexpr const char* kFormatColumn = "Format";
constexpr const char* kDimensionsColumn = "Dimensions";
constexpr const char* kBitsText = "%s bit";
constexpr const char* kBits8 = "8";
constexpr const char* kBits16 = "16";
constexpr const char* kBits32 = "32";
constexpr const char* kRleText = "RLE";
constexpr const char* kRawText = "RAW";
constexpr const char* kDimensionsText = "%4d x %d";
constexpr const char* kRowCountLabel = "%3d %s%s:";
constexpr const char* kBitmapWord = "Bitmap";
constexpr const char* kShadowWord = "Shadow";

constexpr const char* kBitmapOpen = "The bitmap \"%s\" is currently open. Please close it before %s.";
constexpr const char* kCroppingVerb = "cropping";
constexpr const char* kDeletingVerb = "deleting";
constexpr const char* kReplacingVerb = "replacing";

// Context menu.
constexpr const char* kRenameEntry = "Rename";
constexpr const char* kSelectedBitmap = "Selected Bitmap";
constexpr const char* kSelectedBitmaps = "Selected Bitmaps";
constexpr const char* kSelectedShadow = "Selected Shadow";
constexpr const char* kSelectedShadows = "Selected Shadows";
constexpr const char* kAllBitmaps = "All Bitmaps";
constexpr const char* kAllShadows = "All Shadows";
constexpr const char* kExportEntry = "Export";
constexpr const char* kExportAlphaEntry = "Export Alpha";
constexpr const char* kExportPlateEntry = "Export Plate";
constexpr const char* kExportAlphaPlateEntry = "Export Alpha Plate";
constexpr const char* kReplaceEntry = "Replace";
constexpr const char* kReplaceAlphaEntry = "Replace Alpha";
constexpr const char* kReplaceFromPlateEntry = "Replace from Plate";
constexpr const char* kReplaceAlphaFromPlateEntry = "Replace Alpha from Plate";
constexpr const char* kRemoveAlphaEntry = "Remove Alpha";
constexpr const char* kFormatEntry = "Format";
constexpr const char* kConvertToRleEntry = "Convert to RLE";
constexpr const char* kConvertToRawEntry = "Convert to RAW";
constexpr const char* kCropEntry = "Crop Transparency";
constexpr const char* kUncropEntry = "Uncrop Transparency";
constexpr const char* kDeleteEntry = "Delete";
constexpr const char* kAddBitmapsEntry = "Add Bitmap(s) from File(s)";
constexpr const char* kAddShadowsEntry = "Add Shadow(s) from File(s)";
constexpr const char* kAddFromPlateEntry = "Add Bitmap(s) from Plate";

// Dialogs of the commands.
constexpr const char* kImportBitmapsTitle = "Import Bitmaps";
constexpr const char* kImportShadowsTitle = "Import Shadows";
constexpr const char* kImportPlateTitle = "Import Plate";
constexpr const char* kImportAlphaPlateTitle = "Import Alpha Plate";
constexpr const char* kReplaceChoiceLabel = "Replace:";
constexpr const char* kByOrder = "By Order";
constexpr const char* kByName = "By Name";
constexpr const char* kModeChoiceLabel = "Mode:";
constexpr const char* kByNumbering = "By Numbering";
constexpr const char* kByBitmapName = "By Bitmap Name";

constexpr const char* kRenamePrompt = "Enter Bitmap Name";
constexpr const char* kCropQuestion = "Are you sure you want to crop %s bitmap%s?";
constexpr const char* kCropButton = "Crop";
constexpr const char* kTheSelected = "the selected";
constexpr const char* kTheOnly = "the only";
constexpr const char* kAll = "all";
constexpr const char* kCropReport = "%d bitmap%s cropped (%d pixels removed).";
constexpr const char* kUncropPrompt = "Enter Uncropped Size (pixels)";
constexpr const char* kUncropButton = "Uncrop";
constexpr const char* kBadUncropSize = "Invalid size for uncropping.";
constexpr const char* kDeleteQuestion = "Are you sure you want to remove %s %s%s?";
constexpr const char* kShadowNoun = "shadow";
constexpr const char* kBitmapNoun = "bitmap";

// ---- hue changes ----
constexpr const char* kDuplicateEntry = "Duplicate";
constexpr const char* kNewHueChangeEntry = "New Hue Change";
constexpr const char* kNewHueChangeName = "New Hue Change";
constexpr const char* kCopyName = "%s copy";
constexpr const char* kHueChangeOpen =
    "The hue change \"%s\" is currently open. Please close it before deleting.";
constexpr const char* kHueDeleteQuestion = "Are you sure you want to remove the selected hue change%s?";

constexpr const char* kNameLabel = "Name:";
constexpr const char* kHueRangeLabel = "Affected Hue Range:";
constexpr const char* kSaturationLabel = "Min % Saturation:";
constexpr const char* kStartHueLabel = "Start Hue:";
constexpr const char* kUseAsLabel = "Use As:";
constexpr const char* kUseAsNone = "None";
constexpr const char* kUseAsPrimary = "Primary Color";
constexpr const char* kUseAsSecondary = "Secondary Color";
constexpr const char* kMedianHueLabel = "Median Hue:";
constexpr const char* kReversedBox = "Reversed Hue Change";
constexpr const char* kEndHueLabel = "End Hue:";
constexpr const char* kReplacementBox = "Replacement Color:";
constexpr const char* kSolidColorBox = "Replace with Solid Color";
// Degrees: the number and the degree sign of the program's text (161).
constexpr const char* kDegrees = "%d%c";
constexpr char kDegreeSign = static_cast<char>(161);

// ---- colour table and flags ----
constexpr const char* kSaveColorTableEntry = "Save Color Table As...";
constexpr const char* kLoadColorTableEntry = "Load Color Table...";
constexpr const char* kUsedForLabel = "Can be used for:";

// ---- optimiser ----
constexpr const char* kDeleteUnusedButton = "Delete Unused Bitmaps";
constexpr const char* kMergeIdenticalButton = "Merge Identical Bitmaps";
constexpr const char* kCropAllButton = "Crop All Bitmaps";
constexpr const char* kAutoRenameButton = "Auto Rename Bitmaps";
constexpr const char* kRuntimeSizeButton = "Get Runtime Size";
constexpr const char* kCloseWindowsFirst =
    "Please close all bitmap, sequence and sequence edit windows before performing optimizations.";
constexpr const char* kUnusedReport = "%d unused bitmap%s removed.";
constexpr const char* kMergeReport = "%d bitmap%s deleted after merging.";
constexpr const char* kTransparentReport = "\n Additionally, %d bitmap%s removed due to being completely transparent.";
constexpr const char* kRenameCaption = "Rename operation";
constexpr const char* kRenameReport = "%d Bitmaps Renamed.";
constexpr const char* kViewName = "%s %.2d";
constexpr const char* kFrameViewName = "%s %.2d~%.2d";
constexpr const char* kInformationCaption = "Information";
constexpr const char* kRuntimeSizeReport =
    "Approximate texture cache consumption, by format:\n16 bit po2 => %.2lf MB\n16 bit npo2 => %.2lf MB\n32 bit po2 "
    "=> %.2lf MB\n32 bit npo2 => %.2lf MB\n";

}  // namespace pirn::x256_text
