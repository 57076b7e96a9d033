#include "app/ui/tag_info_window.h"

#include <cstring>
#include <string>

#include "app/tag_info_change.h"
#include "codex/codex_catalogue.h"
#include "codex/four_char_code.h"
#include "codex/tag_attachments.h"
#include "platform/char_map.h"
#include "platform/os/key_codes.h"
#include "ui/message_box_window.h"
#include "ui/text_box.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr i32 kSaveKey = 'S';

struct InfoRow {
    const char* label;
    int kind;
    i32 maxLength;  // 0: no limit
};
const InfoRow kRows[5] = {
    {"Tag Name:", TextBox::kTextField, 32},
    {"Tag Subgroup:", TextBox::kTextField, 4},
    {"Tag Group:", TextBox::kLabel, 4},
    {"Tag Size:", TextBox::kLabel, 0},
    {"Tag Location:", TextBox::kLabel, 0},
};

std::string FourCharText(u32 code) {
    char text[5];
    FourCCToChars(code, text);
    return std::string(text, 4);
}

}  // namespace

TagInfoWindow* FindTagInfoWindow(const TagEntry* tag) {
    return static_cast<TagInfoWindow*>(FindTagAttachment(tag, kAttachInfoWindow));
}

TagInfoWindow::TagInfoWindow(TagEntry* tag) : Window(kStyle, nullptr) {
    const i32 rowHeight = GetLineHeight() + 4;
    i32 y = kGap;
    for (int i = 0; i < 5; ++i) {
        TextBox* label = CreateLabel(this, kRows[i].label);
        label->SetAlignment(TextBox::kAlignRight);
        SetFrame(label, MakeRect(kGap, y + 2, kLabelWidth, rowHeight - 2));
        auto* box = new TextBox(kRows[i].kind, this);
        if (kRows[i].kind != TextBox::kLabel) box->AddFlags(kThinBorder | kDarkBackground);
        if (kRows[i].maxLength) box->SetMaxLength(kRows[i].maxLength);
        SetFrame(box, MakeRect(kGap + kLabelWidth + kLabelGap, y, kBoxWidth, rowHeight));
        boxes_[i] = box;
        y += rowHeight + kGap;
    }
    SetClientSize(kClientWidth, y);
    const Point at = NextCascadePosition();
    SetPosition(at.x, at.y);
    KeepOnScreen();

    SetInfoTag(tag);
    ShowTag();
    for (int i = 0; i < 2; ++i) ConnectSignal<&TagInfoWindow::OnBoxChanged>(boxes_[i]->changed, this);
    boxes_[0]->SetTabNext(boxes_[1]);
    boxes_[1]->SetTabNext(boxes_[0]);
    ActivateWindow(boxes_[0], kFocusByProgram);
    UpdateTitle();
}

TagInfoWindow::~TagInfoWindow() { SetInfoTag(nullptr); }

void TagInfoWindow::SetInfoTag(TagEntry* tag) {
    if (tag == tag_) return;
    if (tag) AttachToTag(tag, kAttachInfoWindow, this);
    // Detaching may free the old entry (a renamed copy's original): last.
    TagEntry* old = tag_;
    tag_ = tag;
    if (old) DetachFromTag(old, kAttachInfoWindow, this);
}

void TagInfoWindow::ShowTag() {
    TagHeader header;
    GetTagHeader(tag_, &header);
    boxes_[0]->SetText(std::string(header.name, strnlen(header.name, sizeof header.name)));
    boxes_[1]->SetText(FourCharText(header.tag_id));
    boxes_[2]->SetText(FourCharText(header.group));
    boxes_[3]->SetTextF("%d", static_cast<int>(header.data_length));
    boxes_[4]->SetText(Utf8ToCharMap(GetTagLocation(tag_)));
}

bool TagInfoWindow::IsModified(const TagHeader& header) const {
    const std::string name = boxes_[0]->GetText();
    if (std::strncmp(name.c_str(), header.name, sizeof header.name) != 0) return true;
    u32 id = 0;
    return !ParseFourCC(boxes_[1]->GetText(), &id) || id != header.tag_id;
}

void TagInfoWindow::UpdateTitle() {
    TagHeader header;
    GetTagHeader(tag_, &header);
    SetTitleF(IsModified(header) ? "Tag Info: %s*" : "Tag Info: %s", boxes_[0]->GetText().c_str());
}

int TagInfoWindow::Apply() {
    TagHeader header;
    GetTagHeader(tag_, &header);
    const TagInfoChange change = ApplyTagInfo(tag_, boxes_[0]->GetText(), boxes_[1]->GetText(), 1);
    if (change.error != TagInfoError::kNone) {
        ShowError("%s", TagInfoErrorText(change.error, header.name).c_str());
        return 0;
    }
    SetInfoTag(change.tag);
    ShowTag();
    UpdateTitle();
    return 1;
}

int TagInfoWindow::OnCloseRequest(int byUser) {
    TagHeader header;
    GetTagHeader(tag_, &header);
    if (IsModified(header)) {
        switch (ShowMessageBox("Save?", "Do you wish to save your changes to the tag?", "Save", "Discard", "Cancel",
                               nullptr)) {
            case 0:
                if (!Apply()) return 0;
                break;
            case 1:
                break;
            default:
                return 0;
        }
    }
    return Window::OnCloseRequest(byUser);
}

int TagInfoWindow::OnKey(InputEvent& event) {
    if (event.IsPress() && event.Code() == kSaveKey && (event.KeyModifiers() & kModControl)) {
        Apply();
        return 1;
    }
    return 0;
}

}  // namespace pirn
