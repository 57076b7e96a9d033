#pragma once
// The command lines that ask zenity for each native dialog, and the reading
// of what it prints. Kept apart from running the process so both sides are
// testable without a display.

#include <string>
#include <vector>

#include "platform/native_dialog_request.h"
#include "platform/native_dialogs.h"
#include "platform/types.h"

namespace pirn {

// Common arguments: the parent window to attach to (0: none).
struct ZenityParent {
    u64 window = 0;
};

// Printed between the paths of a multiple selection. File names may hold
// almost anything; a line break is the one character GTK's chooser will not
// let a user type into a name.
constexpr char kZenityPathSeparator = '\n';

// "*.png" -> "*.[pP][nN][gG]": GTK 3 matches filter patterns with case, the
// program's filters never did.
std::string CaseInsensitiveGlob(const std::string& pattern);

// Arguments after the program name. current_folder makes a relative
// initial folder absolute (the chooser ignores relative ones).
std::vector<std::string> ZenityFileSelectionArgs(const FileDialogRequest& request,
                                                 const std::string& current_folder,
                                                 const ZenityParent& parent);
// The paths zenity printed after OK.
std::vector<std::string> ParseZenityFileOutput(const std::string& output, bool multiple);

// One extra choice box as a radio list; prints the chosen entry's index.
std::vector<std::string> ZenityChoiceArgs(const std::string& title, const FileDialogBox& box,
                                          const ZenityParent& parent);
// False when the output names no entry of the box.
bool ParseZenityChoice(const std::string& output, const FileDialogBox& box, u32* index);

std::vector<std::string> ZenityColorArgs(const ColorRgb& initial, const ZenityParent& parent);
// Reads "rgb(r,g,b)", "rgba(r,g,b,a)" or "#rrggbb".
bool ParseZenityColor(const std::string& output, ColorRgb* color);

// The chooser keeps its custom colours in GTK's settings. Run with a
// private keyfile settings backend, the program hands its own table in and
// reads back what the user added:
// the keyfile text holding the table...
std::string GtkCustomColorsKeyfile(const CustomColors& colors);
// ...and the colours listed in such a file (empty when it holds none).
std::vector<ColorRgb> ParseGtkCustomColors(const std::string& keyfile);
// The chooser's list first, then the table's other entries, to 16.
void MergeCustomColors(const std::vector<ColorRgb>& chooser_list, CustomColors* table);

std::vector<std::string> ZenityQuestionArgs(const std::string& title, const std::string& text,
                                            const ZenityParent& parent);
std::vector<std::string> ZenityErrorArgs(const std::string& title, const std::string& text,
                                         const ZenityParent& parent);

}  // namespace pirn
