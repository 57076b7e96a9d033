#include "codex/ui/tag_edit.h"

#include <unistd.h>

#include <string>

#include "codex/codex_catalogue.h"
#include "codex/local_folder.h"
#include "codex/tag_attachments.h"
#include "codex/tag_operations.h"
#include "platform/file_system.h"
#include "platform/os/key_codes.h"
#include "platform/strings.h"
#include "ui/message_box_window.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr i32 kSaveKey = 'S';

// Whether the save about to run would have to make the tag's group folder.
bool GroupFolderMissing(const TagEntry* tag) {
    const std::string& root = GetLocalFolder();
    return !root.empty() && !PathExists(GetGroupFolderPath(root, tag->group), kPathIsFolder);
}

}  // namespace

TagEdit::TagEdit(TagEntry* tag) : Window(kStyle, nullptr), tag_(tag) {
    if (tag_) GetTagHeader(tag_, &header_);
}

TagEdit::~TagEdit() { Detach(); }

// ---- slots 39-45 -----------------------------------------------------------

int TagEdit::WriteTag(std::FILE*, TagHeader*) { return 0; }

int TagEdit::Save() {
    if (!tag_) return 0;
    const bool madeFolder = GroupFolderMissing(tag_);
    std::FILE* stream = OpenTagForWriting(tag_, &header_, nullptr);
    if (!stream) return 0;
    const int written = WriteTag(stream, &header_);
    // The file counts as saved only once it is in place; a failed rename is
    // a failed save, however well the data went.
    const int placed = CloseTagForWriting(tag_, &header_, written);
    const int saved = written && placed;
    if (saved) {
        GetTagHeader(tag_, &header_);  // the data length as written
    } else if (madeFolder) {
        // Nothing of a failed save stays behind, not even the group folder
        // the write had to make (rmdir leaves a folder that holds anything).
        ::rmdir(GetGroupFolderPath(GetLocalFolder(), tag_->group).c_str());
    }
    return saved;
}

int TagEdit::ReadTag(std::FILE*, TagHeader*) { return 0; }

int TagEdit::Load() {
    if (!tag_) return 0;
    std::FILE* stream = OpenTagForReading(tag_, &header_);
    if (!stream) return 0;
    const int read = ReadTag(stream, &header_);
    CloseTagForReading(tag_);
    return read;
}

int TagEdit::CreateNew(u32 group, const char* name) {
    tag_ = CreateTag(group, kNoTagId, name, &header_, 0);
    return tag_ != nullptr;
}

int TagEdit::RevertChanges() { return 1; }

void TagEdit::ShowEditor() {
    if (tag_ && !attached_) {
        AttachToTag(tag_, kAttachEditor, this);
        attached_ = true;
    }
    const Point at = NextCascadePosition();
    SetPosition(at.x, at.y);
    KeepOnScreen();
    SetVisible(true);
    RaiseWindow(this);
    ActivateWindow(this, kFocusByProgram);
}

// ---- state ----------------------------------------------------------------

void TagEdit::SetModified(bool modified) {
    modified_ = modified;
    SetTitleF(modified ? "%s*" : "%s", header_.name);
    ReapplyFrame();  // the name may have changed: the frame fits it again
}

i32 TagEdit::GetTitleFrameWidth() const {
    // Room for the name with the mark, whether or not it shows yet: a cut
    // title would hide the one sign of unsaved changes.
    const std::string marked = std::string(header_.name) + "*";
    return FrameWidthForTitle(this, marked.c_str());
}

void TagEdit::ConstrainFrame(const Rect& old, const Rect& proposed, Rect* out) {
    Window::ConstrainFrame(old, proposed, out);
    if (GetWindowState() == kStateCollapsed) return;
    const i32 wanted = GetTitleFrameWidth();
    if (out->Width() >= wanted) return;
    // As for the minimum size: the edge that did not move stays.
    if (proposed.left != old.left && proposed.right == old.right) out->left = out->right - wanted;
    else out->right = out->left + wanted;
}

int TagEdit::SaveChanges() {
    if (!Save()) {
        ShowMessageBox("Error", "The save operation could not be completed.", "OK", nullptr);
        return 0;
    }
    SetModified(false);
    return 1;
}

// ---- window slots -----------------------------------------------------------

int TagEdit::OnCloseRequest(int byUser) {
    if (modified_) {
        const std::string question = FormatString("Do you wish to save your changes to '%s'?", header_.name);
        switch (ShowMessageBox("Save?", question.c_str(), "Save", "Discard", "Cancel", nullptr)) {
            case 0:
                if (!SaveChanges()) return 0;  // the editor stays, with its changes
                break;
            case 1:
                RevertChanges();
                break;
            default:
                return 0;
        }
    }
    return Window::OnCloseRequest(byUser);
}

void TagEdit::OnDestroy() { Detach(); }

int TagEdit::OnKey(InputEvent& event) {
    if (event.IsPress() && event.Code() == kSaveKey && (event.KeyModifiers() & kModControl)) {
        SaveChanges();
        return 1;
    }
    return 0;
}

// A new tag that was never saved has nothing but this attachment: the
// Codex frees it here, and no file was ever written for it.
void TagEdit::Detach() {
    if (!attached_) return;
    attached_ = false;
    DetachFromTag(tag_, kAttachEditor, this);
}

}  // namespace pirn
