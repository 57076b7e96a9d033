#include "ui/color_table_dialogs.h"

#include "platform/file_system.h"
#include "platform/native_dialogs.h"
#include "ui/message_box_window.h"

namespace pirn {

namespace {

const FileDialogFilters& ActFilters() {
    static const FileDialogFilters filters = {{"Adobe Color Table", "*.act"}};
    return filters;
}

}  // namespace

std::string ActPathFor(const std::string& defaultPath) {
    std::string path = defaultPath;
    StripExtension(path);
    return path.empty() ? path : path + ".act";
}

int ImportColorTable(const std::string& defaultPath, u8 table[kActTableSize], u32* count) {
    std::string path = ActPathFor(defaultPath);
    u32 filter = 0;
    if (!OsOpenFile("Import Color Table", ActFilters(), &filter, &path, nullptr)) return 0;
    if (!ReadActFile(path, table, count)) {
        ShowMessageBox("Error", "The color table could not be opened.", "OK", nullptr);
        return 0;
    }
    return 1;
}

int ExportColorTable(const std::string& defaultPath, const u8 table[kActTableSize], u32 count) {
    std::string path = ActPathFor(defaultPath);
    u32 filter = 0;
    if (!OsSaveFile("Export Color Table", ActFilters(), &filter, &path, nullptr)) return 0;
    if (!WriteActFile(path, table, count)) {
        ShowMessageBox("Error", "The color table could not be saved.", "OK", nullptr);
        return 0;
    }
    return 1;
}

}  // namespace pirn
