#include "app/root_menu_items.h"

namespace pirn {

const std::vector<RootMenuColumn>& RootMenuColumns() {
    static const std::vector<RootMenuColumn> columns = {
        {"File",
         0,
         {{kCommandAddArchives, "Add Archives"},
          {kCommandNewCollection, "New Collection"},
          {kCommandNewDetailTextureFromFile, "New Detail Texture From Image File"},
          {kCommandNewDetailTextureFromClipboard, "New Detail Texture From Clipboard"},
          {kCommandNewModel, "New Model From File"},
          {kCommandNewScript, "New Script"},
          {kMenuSeparator, nullptr},
          {kCommandExit, "Exit"}}},
        {"Tools",
         0,
         {{kCommandReloadLocalFolder, "Reload Local Folder"},
          {kCommandReloadPluginsFolder, "Reload Plugins Folder"},
          {kCommandChooseZarnFolder, "Choose Zarn Folder"},
          {kCommandArchiveBrowser, "Archive Browser"},
          {kCommandLogViewer, "Log Viewer"},
          {kMenuSeparator, nullptr},
          {kCommandBuildDtexAddon, "Build Dtex Add-on"},
          {kCommandBuildRegularAddon, "Build Regular Add-on"},
          {kCommandConvertImages, "Recursive Image Conversion"},
          {kCommandConvert3dmfToLwo, "Convert 3DMF to LWO"},
          {kCommandBuildStandardCollection, "Build Standard Collection"},
          {kCommandBuildHighResCollection, "Build High-Res Collection"}}},
        {"Window", kCommandWindowMenu, {{kCommandCloseAllWindows, "Close All Windows"}}},
        {"Debug", 0, {{kCommandWindowSpy, "Window Spy"}}},
        {"Help", 0, {{kCommandAbout, "About Pirn..."}}},
    };
    return columns;
}

}  // namespace pirn
