#include "app/ui/root_menu.h"

#include <functional>

#include "app/root_menu_items.h"
#include "app/ui/addon_popup.h"
#include "app/ui/root_menu_commands.h"
#include "models/ui/dtex_edit.h"
#include "platform/pref_store.h"
#include "ui/frame_step.h"
#include "ui/menu.h"
#include "ui/window_event.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr char kTitle[] = "PirnRootMenu";
constexpr char kWindowWidthKey[] = "OsWindowSizeX";
constexpr char kWindowHeightKey[] = "OsWindowSizeY";
constexpr char kUnnamedWindow[] = "(unnamed)";

RootMenu* g_rootMenu = nullptr;

struct MenuCommand {
    i32 id;
    void (*run)();
};

// Every command that is not about the Window menu's own items.
const MenuCommand kCommands[] = {
    {kCommandExit, [] { HandleWindowCloseRequest(); }},
    {kCommandAddArchives, AddArchivesFromDialog},
    {kCommandNewCollection, NewCollection},
    {kCommandNewModel, ImportModel},
    {kCommandNewScript, NewScript},
    {kCommandArchiveBrowser, OpenArchiveBrowserCommand},
    {kCommandLogViewer, ShowLogViewerCommand},
    {kCommandReloadLocalFolder, ReloadLocalFolder},
    {kCommandReloadPluginsFolder, ReloadPluginsFolder},
    {kCommandChooseZarnFolder, ChooseZarnFolder},
    {kCommandBuildDtexAddon, [] { RunBuildDtexAddon(); }},
    {kCommandBuildRegularAddon, [] { RunBuildRegularAddon(); }},
    {kCommandConvertImages, RunRecursiveImageConversion},
    {kCommandConvert3dmfToLwo, Convert3dmfToLwo},
    {kCommandBuildStandardCollection, BuildStandardCollection},
    {kCommandBuildHighResCollection, BuildHighResCollection},
    {kCommandWindowSpy, OpenWindowSpyCommand},
    {kCommandAbout, ShowAboutBoxCommand},
    {kCommandNewDetailTextureFromFile, [] { NewDetailTextureFromImageFile(); }},
    {kCommandNewDetailTextureFromClipboard, [] { NewDetailTextureFromClipboard(); }},
};

}  // namespace

RootMenu::RootMenu() : Window(kStyle, nullptr) {
    SetTitle(kTitle);
    BuildMenu();
}

RootMenu::~RootMenu() {
    if (g_rootMenu == this) g_rootMenu = nullptr;
}

void RootMenu::BuildMenu() {
    menu_ = new Menu(true);
    for (const RootMenuColumn& column : RootMenuColumns()) {
        MenuItem* title = Menu::AddItem(menu_, column.title, nullptr, column.id, true);
        for (const RootMenuItem& item : column.items) {
            if (item.id == kMenuSeparator) Menu::AddSeparator(menu_, title);
            else Menu::AddItem(menu_, item.title, title, item.id, true);
        }
        if (column.id == kCommandWindowMenu) windowMenu_ = title;
    }
    ConnectSignal<&RootMenu::OnMenuCommand>(menu_->command, this);
    ConnectSignal<&RootMenu::OnMenuOpened>(menu_->highlight, this);
}

void RootMenu::OnDestroy() {
    if (!menu_) return;
    SetMenuBar(nullptr);
    DestroyWindow(menu_);
    menu_ = nullptr;
    windowMenu_ = nullptr;
}

int RootMenu::HandleEvent(Window* target, u32 type, InputEvent& event) {
    if (type == kEventScreenResized && target == this) {
        SetPrefInt(kWindowWidthKey, static_cast<i32>(event.word[0]));
        SetPrefInt(kWindowHeightKey, static_cast<i32>(event.word[1]));
    }
    return Window::HandleEvent(target, type, event);
}

void RootMenu::OnMenuOpened(void* item) {
    auto* entry = static_cast<MenuItem*>(item);
    if (entry && entry == windowMenu_ && entry->IsOpen()) RefillWindowMenu();
}

void RootMenu::OnMenuCommand(void* item) {
    if (auto* entry = static_cast<MenuItem*>(item)) RunCommand(entry->GetId());
}

void RootMenu::RefillWindowMenu() {
    if (!windowMenu_) return;
    // Taken out of the column at once (a destroyed entry would otherwise
    // stay in it until the next frame deletes it).
    const std::vector<MenuItem*> old = windowMenu_->Entries();
    for (MenuItem* entry : old) {
        pirn::SetVisible(entry, false);
        SetParent(entry, nullptr);
        DestroyWindow(entry);
    }
    Menu::AddItem(menu_, "Close All Windows", windowMenu_, kCommandCloseAllWindows, true);
    listed_.clear();
    Window* layer = GetLayerWindow(0);
    for (Window* w = layer ? layer->GetFirstChild() : nullptr; w; w = w->GetNextSibling()) {
        if (!w->IsVisible() || w->IsDestroyed()) continue;
        if (static_cast<i32>(listed_.size()) == kMaxListedWindows) break;
        const char* title = w->GetTitle();
        const i32 id = kCommandFirstWindow + static_cast<i32>(listed_.size());
        Menu::AddItem(menu_, title ? title : kUnnamedWindow, windowMenu_, id, true);
        listed_.push_back(w);
    }
}

void RootMenu::RunCommand(i32 id) {
    if (id == kCommandCloseAllWindows) {
        CloseListedWindows();
        return;
    }
    if (IsWindowItemCommand(id)) {
        RaiseListedWindow(static_cast<size_t>(id - kCommandFirstWindow));
        return;
    }
    for (const MenuCommand& command : kCommands) {
        if (command.id == id) {
            command.run();
            return;
        }
    }
}

bool RootMenu::IsStillOpen(const Window* window) {
    Window* layer = GetLayerWindow(0);
    for (Window* w = layer ? layer->GetFirstChild() : nullptr; w; w = w->GetNextSibling())
        if (w == window) return !w->IsDestroyed();
    return false;
}

bool RootMenu::CloseListedWindows() {
    // Closing one window may close or open others (a "Save?" box runs
    // frames): each is looked up again before it is asked. A window that
    // only hides itself when closed (the Log Viewer) has gone as far as the
    // user can see; only one still showing has stayed.
    const std::vector<Window*> windows = listed_;
    for (Window* w : windows) {
        if (!IsStillOpen(w) || !w->TestFlags(kCloseBox)) continue;
        if (!w->Close(1) && IsStillOpen(w) && w->IsVisible()) return false;
    }
    return true;
}

void RootMenu::RaiseListedWindow(size_t index) {
    if (index >= listed_.size() || !IsStillOpen(listed_[index])) return;
    Window* w = listed_[index];
    RaiseWindow(w);
    ActivateWindow(w, kFocusByProgram);
}

RootMenu* CreateRootMenu() {
    if (g_rootMenu) return g_rootMenu;
    g_rootMenu = new RootMenu();
    SetMenuBar(g_rootMenu->GetMenu());
    return g_rootMenu;
}

RootMenu* GetRootMenu() { return g_rootMenu; }

}  // namespace pirn
