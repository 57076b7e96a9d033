#pragma once
// Every text the sequence pages of the collection editor show of their own
// (the sequence browser, the sequence editor with its import and export
// menu, the frame editor): titles, labels, menu entries, questions, errors
// and default file names, in one place. "%s", "%d" and the like are filled
// in where the text is used. Texts shared with the bitmap pages (dialog
// titles of plates and folders) are spelled here again so that this page
// reads from one table.

namespace pirn::sequence_text {

// ---- shared buttons and captions ----
constexpr const char* kErrorCaption = "Error";
constexpr const char* kOkButton = "OK";
constexpr const char* kCancelButton = "Cancel";
constexpr const char* kPlural = "s";

// ---- sequence browser ----
constexpr const char* kRenameEntry = "Rename";
constexpr const char* kDuplicateEntry = "Duplicate";
constexpr const char* kDeleteEntry = "Delete";
constexpr const char* kNewSequenceEntry = "New Sequence";
constexpr const char* kNewSequenceName = "New Sequence";
constexpr const char* kCopyName = "%s copy";
constexpr const char* kSequenceOpen = "The sequence \"%s\" is currently open. Please close it before deleting.";
constexpr const char* kDeleteCaption = "Confirm Delete";
constexpr const char* kDeleteQuestion = "Are you sure you want to remove the selected sequence%s?";
constexpr const char* kDeleteButton = "Delete";

// ---- sequence editor ----
constexpr const char* kFramesLabel = "Frames:";
constexpr const char* kViewsLabel = "Views:";
constexpr const char* kTicksLabel = "Ticks per Frame:";
constexpr const char* kKeyFrameLabel = "Key Frame:";
constexpr const char* kTransferPeriodLabel = "Transfer Period:";
constexpr const char* kLoopFrameLabel = "Loop Frame:";
constexpr const char* kFirstSoundLabel = "First Sound Tag:";
constexpr const char* kKeySoundLabel = "Key Sound Tag:";
constexpr const char* kLastSoundLabel = "Last Sound Tag:";
constexpr const char* kModeLabel = "Mode:";
constexpr const char* kUseMirroringBox = "Use Mirroring";
constexpr const char* kNoRotationBox = "No Rotation";
constexpr const char* kHorzMirrorBox = "Horz. Mirror";
constexpr const char* kVertMirrorBox = "Vert. Mirror";
constexpr const char* kShadowIsLightBox = "Shadow Is Light";

constexpr const char* kModeNone = "None";
constexpr const char* kModeFadeOut = "Fade Out";
constexpr const char* kModeFadeIn = "Fade In";
constexpr const char* kModeAppearing = "Appearing";
constexpr const char* kModeDisappearing = "Disappearing";
constexpr const char* kModeCycle = "Cycle";

constexpr const char* kGridTitle = "Views";
constexpr const char* kGridZoomKey = "X256SequenceEdit.GridZoom";
constexpr const char* kShadowColumn = "Shadow";
// An angle: the number and the degree sign of the program's text (161).
constexpr const char* kAngle = "%d%c";
constexpr char kDegreeSign = static_cast<char>(161);
constexpr const char* kNoBitmap = "<no bitmap>";

// The grid's import and export menu.
constexpr const char* kBitmapImportEntry = "Bitmap Import";
constexpr const char* kAlphaImportEntry = "Alpha Import";
constexpr const char* kExportEntry = "Export";
constexpr const char* kViewsThenFramesEntry = "Assign views, then frames";
constexpr const char* kFramesThenViewsEntry = "Assign frames, then views";
constexpr const char* kFromPlateEntry = "From Plate";
constexpr const char* kBitmapsEntry = "Bitmaps";
constexpr const char* kBitmapPlateEntry = "Bitmap Plate";
constexpr const char* kAlphasEntry = "Alphas";
constexpr const char* kAlphaPlateEntry = "Alpha Plate";

constexpr const char* kImportBitmapsTitle = "Import Bitmaps";
constexpr const char* kImportPlateTitle = "Import Plate";
constexpr const char* kImportAlphasTitle = "Import Replacement Alphas";
constexpr const char* kImportAlphaPlateTitle = "Import Alpha Plate";
constexpr const char* kDestinationFolderTitle = "Choose a destination folder";
constexpr const char* kExportPlateTitle = "Export Plate";
constexpr const char* kExportAlphaPlateTitle = "Export Alpha Plate";

constexpr const char* kImportPlateName = "%s plate";
constexpr const char* kImportAlphaPlateName = "%s alpha plate";
constexpr const char* kExportPlateName = "%s %splate";
constexpr const char* kAlphaPlateWord = "alpha ";
constexpr const char* kExportFileName = "Frame #%02d, view #%02d%s";
constexpr const char* kAlphaSuffix = " alpha";

constexpr const char* kWrongFileCount = "%d bitmaps were seleced, expected %d";
constexpr const char* kWrongPlateCount = "Invalid number of images in plate. It must contain exactly %d images.";
constexpr const char* kAlphasNeedBitmaps = "In order to replace alphas, every bitmap must be assigned.";
// A failure no other message covers: 64-bit pixels keep their alpha inside.
constexpr const char* kAlphaNotReplaceable = "The alpha of the bitmap \"%s\" cannot be replaced.";

// ---- frame editor ----
constexpr const char* kShowRegPointBox = "Show Reg Point";
constexpr const char* kShowKeyPointBox = "Show Key Point";
constexpr const char* kShowSelectionBox = "Show Selection Box";
constexpr const char* kShowOriginBox = "Show Origin";
constexpr const char* kShowBitmapBox = "Show Bitmap";
constexpr const char* kShowShadowBox = "Show Shadow";
constexpr const char* kShowContrailBox = "Show Contrail";
constexpr const char* kBackgroundLabel = "Background:";
constexpr const char* kZoomLabel = "Zoom:";
constexpr const char* kZoomEntry = "%d%%";
constexpr const char* kFrameEntry = "Frame %u";
constexpr const char* kViewEntry = "%u%c";
constexpr const char* kPreviousButton = "<";
constexpr const char* kNextButton = ">";
constexpr const char* kAnimateButton = "Animate";
constexpr const char* kStopButton = "Stop";
constexpr const char* kFrameEditTitle = "%s (Frame %d @ %d%c)";
constexpr const char* kKeyModeStatus = "Mouse / Arrow Keys: %s";
constexpr const char* kMoveKeypoint = "Move Keypoint";
constexpr const char* kMoveSequence = "Move Sequence";
constexpr const char* kMoveView = "Move View";
constexpr const char* kMoveFrame = "Move Frame";
constexpr const char* kMoveBitmap = "Move Bitmap";

}  // namespace pirn::sequence_text
