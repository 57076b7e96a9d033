#pragma once
// The menus of the menu bar across the top of the screen, their items and
// the command ids the items send: one table that the root menu builds its
// bar from and that its dispatch answers to.

#include <vector>

#include "platform/types.h"

namespace pirn {

enum RootMenuCommand : i32 {
    kCommandExit = 10000,
    kCommandAddArchives = 10001,
    kCommandNewCollection = 10002,
    kCommandNewModel = 10003,
    kCommandNewScript = 10004,
    kCommandArchiveBrowser = 10200,
    kCommandLogViewer = 10201,
    kCommandReloadLocalFolder = 10202,
    kCommandReloadPluginsFolder = 10203,
    kCommandChooseZarnFolder = 10204,
    kCommandBuildDtexAddon = 10205,
    kCommandBuildRegularAddon = 10206,
    kCommandConvertImages = 10208,
    kCommandConvert3dmfToLwo = 10209,
    kCommandBuildStandardCollection = 10210,
    kCommandBuildHighResCollection = 10211,
    kCommandWindowMenu = 10300,
    kCommandCloseAllWindows = 10301,
    kCommandFirstWindow = 10302,
    kCommandLastWindow = 10399,
    kCommandWindowSpy = 11000,
    kCommandAbout = 12000,
    kCommandNewDetailTextureFromFile = 13000,
    kCommandNewDetailTextureFromClipboard = 13001,
};

// The Window menu offers at most this many windows, so that its ids stay
// inside their own range.
constexpr i32 kMaxListedWindows = kCommandLastWindow - kCommandFirstWindow + 1;

constexpr i32 kMenuSeparator = -1;

struct RootMenuItem {
    i32 id;  // kMenuSeparator for a separator line
    const char* title;
};

struct RootMenuColumn {
    const char* title;
    i32 id;  // the menu's own id (the Window menu's opening is told by it)
    std::vector<RootMenuItem> items;
};

// File, Tools, Window, Debug and Help, in bar order. The Window menu holds
// only "Close All Windows"; the open windows are added each time it opens.
const std::vector<RootMenuColumn>& RootMenuColumns();

// Whether the id is one of the Window menu's window items.
inline bool IsWindowItemCommand(i32 id) { return id >= kCommandFirstWindow && id <= kCommandLastWindow; }

}  // namespace pirn
