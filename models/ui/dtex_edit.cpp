#include "models/ui/dtex_edit.h"

#include <algorithm>
#include <string>

#include "codex/codex_catalogue.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "models/ui/dtex_edit_drawer.h"
#include "platform/image_file.h"
#include "platform/os/key_codes.h"
#include "platform/os/os_beep.h"
#include "platform/os/os_clipboard.h"
#include "ui/file_dialogs.h"
#include "ui/menu.h"
#include "ui/message_box_window.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr const char* kExportCaption = "Export Detail Texture";
constexpr const char* kImportCaption = "Import Detail Texture";

struct DtexMenuEntry {
    const char* title;
    i32 command;
};
const DtexMenuEntry kMenu[] = {
    {"Export (Cmd-E)", DtexEdit::kExportCommand},       {"Import (Cmd-I)", DtexEdit::kImportCommand},
    {"Copy (Cmd-C)", DtexEdit::kCopyCommand},           {"Paste (Cmd-V)", DtexEdit::kPasteCommand},
    {"Save Tag (Cmd-S)", DtexEdit::kSaveCommand},       {"Mean Center rgb", DtexEdit::kMeanCenterRgbCommand},
    {"Mean Center luma", DtexEdit::kMeanCenterLumaCommand},
};

i32 ShownSide(u32 side) { return static_cast<i32>(std::min<u32>(side, DtexEdit::kMaxShownSide)); }

// What the clipboard holds as a picture; have_image false when nothing
// usable is there.
bool ReadClipboardPicture(DtexPicture* picture) {
    return OsGetClipboardImage(&picture->rgb, &picture->width, &picture->height);
}

// The tag a new texture goes into: PromptNewTag asks for its name and opens
// its editor. Null (and no editor) when no tag was made.
DtexTag* PromptForNewDtex(const std::string& name, DtexEdit** editor) {
    *editor = dynamic_cast<DtexEdit*>(PromptNewTag(kDtexGroup, name.empty() ? nullptr : name.c_str()));
    return *editor ? (*editor)->Texture() : nullptr;
}

// The new texture's pixels shown, then saved at once.
DtexEdit* FinishNewTexture(DtexTag* dtex, DtexEdit* editor, const char* message) {
    if (message) ShowDtexMessage(message);
    if (!dtex || !editor) return nullptr;
    editor->TakeNewPixels();
    editor->SaveChanges();
    return editor;
}

}  // namespace

void ShowDtexMessage(const char* message) { ShowMessageBox("Error", message, "OK", nullptr); }

DtexEdit::DtexEdit(TagEntry* tag) : TagEdit(tag) { AddFlags(kTakesFocus); }

DtexEdit::~DtexEdit() { HoldTexture(nullptr); }

// The new texture came with a reference of its own (even when it is the one
// already held), so the old reference always goes.
void DtexEdit::HoldTexture(DtexTag* dtex) {
    if (dtex_) ReleaseResource(&DtexResources(), dtex_);
    dtex_ = dtex;
}

// ---- TagEdit slots ----------------------------------------------------------

int DtexEdit::Save() {
    if (!dtex_ || !dtex_->Save()) return 0;
    // The data length as written.
    GetTagHeader(dtex_->tag(), &dtex_->header);
    SetTag(dtex_->tag());
    GetMutableHeader() = dtex_->header;
    return 1;
}

int DtexEdit::Load() {
    DtexTag* dtex = DtexResources().FindOrLoad(GetTag());
    if (!dtex) return 0;
    HoldTexture(dtex);
    // Shift (either side) held while the tag opens: the tiling view.
    if (GetModifierMask() & kModShift) SwapTextureQuadrants(dtex_);
    GetMutableHeader() = dtex_->header;
    return 1;
}

int DtexEdit::CreateNew(u32, const char* name) {
    // The resource makes the tag and fills it with the checkerboard.
    DtexTag* dtex = DtexResources().Create(kDtexGroup, name, kNoTagId);
    if (!dtex) return 0;
    HoldTexture(dtex);
    SetTag(dtex_->tag());
    GetMutableHeader() = dtex_->header;
    return 1;
}

int DtexEdit::RevertChanges() {
    if (!dtex_) return 1;
    const int reverted = RevertSharedDtex(dtex_);
    dtex_->MarkPixelsChanged();
    Invalidate();
    return reverted;
}

void DtexEdit::ShowEditor() {
    SizeToTexture();
    TagEdit::ShowEditor();
}

// ---- Window slots -----------------------------------------------------------

// The frame's extra size is measured from the client rectangle it gives, so
// that every line of the texture shown has room, the one under the title
// included.
void DtexEdit::GetMinimumSize(Point* out, Point content) {
    constexpr i32 kProbe = 1024;
    Rect client;
    CalcClientRect(Rect{0, 0, kProbe, kProbe}, &client);
    const i32 w = dtex_ ? ShownSide(dtex_->width) : 0;
    const i32 h = dtex_ ? ShownSide(dtex_->height) : 0;
    *out = Point{kProbe - client.Width() + content.x + w, kProbe - client.Height() + content.y + h};
}

void DtexEdit::DrawContents() {
    if (BeginWindowDraw(this, 1, 0) && dtex_)
        if (DtexTextureDrawer draw = GetDtexTextureDrawer()) draw(dtex_, 0, 0);
    EndWindowDraw(this);
}

int DtexEdit::OnKey(InputEvent& event) {
    if (event.IsPress() && (event.KeyModifiers() & kModControl)) {
        switch (event.Code()) {
            case 'C':
            case 'X':
                Copy();
                return 1;
            case 'E':
                Export();
                return 1;
            case 'I':
                Import();
                return 1;
            case 'V':
                Paste();
                return 1;
            default:
                break;
        }
    }
    return TagEdit::OnKey(event);
}

void DtexEdit::OnMouseButton(InputEvent& event) {
    if (IsRightButtonEvent(event) && event.ButtonAction()) ShowMenu(Point{event.X(), event.Y()});
}

// ---- commands ---------------------------------------------------------------

void DtexEdit::ShowMenu(Point screen_point) {
    auto* menu = new Menu(false);
    for (const DtexMenuEntry& entry : kMenu) Menu::AddItem(menu, entry.title, nullptr, entry.command, true);
    const i32 command = Menu::Popup(menu, screen_point);
    DestroyWindow(menu);
    RunCommand(command);
}

void DtexEdit::RunCommand(i32 command) {
    switch (command) {
        case kExportCommand:
            Export();
            break;
        case kImportCommand:
            Import();
            break;
        case kCopyCommand:
            Copy();
            break;
        case kPasteCommand:
            Paste();
            break;
        case kSaveCommand:
            SaveChanges();
            break;
        case kMeanCenterRgbCommand:
            MeanCenter(kMeanCenterRgb);
            break;
        case kMeanCenterLumaCommand:
            MeanCenter(kMeanCenterLuma);
            break;
        default:
            break;
    }
}

void DtexEdit::Export() {
    if (!dtex_) return;
    ImageFile file;
    InitImageFile(&file, GetHeader().name);
    if (!ChooseSaveFile(kExportCaption, &file, kFileKindImage, nullptr)) return;
    if (const char* message = SaveDtexImageFile(*dtex_, file.path)) ShowDtexMessage(message);
}

void DtexEdit::Import() {
    if (!dtex_) return;
    ImageFile file;
    if (!ChooseOpenFile(kImportCaption, &file, kFileKindImage, nullptr)) return;
    DtexPicture picture;
    if (const char* message = LoadDtexImageFile(file.path, &picture)) {
        ShowDtexMessage(message);
        return;
    }
    ApplyDtexPicture(dtex_, picture);
    TakeNewPixels();
}

void DtexEdit::Copy() {
    if (dtex_ && !dtex_->pixels.empty()) OsSetClipboardImage(dtex_->pixels.data(), dtex_->width, dtex_->height);
}

bool DtexEdit::Paste() {
    if (!dtex_) return false;
    DtexPicture picture;
    const bool have_image = ReadClipboardPicture(&picture);
    const char* message = nullptr;
    switch (PasteDtexPicture(dtex_, have_image, picture, &message)) {
        case DtexPasteResult::kPasted:
            TakeNewPixels();
            return true;
        case DtexPasteResult::kMessageAndBeep:
            ShowDtexMessage(message);
            OsBeep();
            return false;
        case DtexPasteResult::kBeepOnly:
            break;
    }
    OsBeep();
    return false;
}

void DtexEdit::MeanCenter(u32 mode) {
    if (!dtex_) return;
    MeanCenterTexture(dtex_, mode);
    SetModified(true);
    Invalidate();
}

void DtexEdit::TakeNewPixels() {
    if (!dtex_) return;
    dtex_->MarkPixelsChanged();
    SetModified(true);
    Invalidate();
    SizeToTexture();
}

// The minimum size is the texture's (capped), so asking for nothing gives
// exactly that.
void DtexEdit::SizeToTexture() { SetSize(0, 0); }

// ---- root-menu commands -----------------------------------------------------

DtexEdit* NewDetailTextureFromImageFile() {
    ImageFile file;
    if (!ChooseOpenFile(kImportCaption, &file, kFileKindImage, nullptr)) return nullptr;
    DtexEdit* editor = nullptr;
    const char* message = nullptr;
    DtexTag* dtex = NewDtexFromImageFile(
        file.path, [&editor](const std::string& name) { return PromptForNewDtex(name, &editor); }, &message);
    return FinishNewTexture(dtex, editor, message);
}

DtexEdit* NewDetailTextureFromClipboard() {
    DtexPicture picture;
    const bool have_image = ReadClipboardPicture(&picture);
    DtexEdit* editor = nullptr;
    const char* message = nullptr;
    DtexTag* dtex = NewDtexFromClipboard(
        have_image, picture, [&editor](const std::string&) { return PromptForNewDtex(std::string(), &editor); },
        &message);
    return FinishNewTexture(dtex, editor, message);
}

TagEdit* NewDtexEdit(TagEntry* tag, TagGroupInfo*, u32) { return new DtexEdit(tag); }

void BindDtexEdit() { BindTagEditor("DtexEdit", NewDtexEdit); }

}  // namespace pirn
