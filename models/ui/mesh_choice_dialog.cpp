#include "models/ui/mesh_choice_dialog.h"

#include <algorithm>
#include <cstring>

#include "codex/codex_catalogue.h"
#include "models/dtex_tag.h"
#include "platform/natural_compare.h"
#include "ui/color_button.h"
#include "ui/draw_target.h"
#include "ui/list_window.h"
#include "ui/text_box.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr u32 kModalFlags = 5;  // keys outside, dimmed behind

u32 PackEntryColour(const DetailTextureEntry& entry) {
    return PackRgba(entry.highlight[0], entry.highlight[1], entry.highlight[2], 255);
}

std::string TagName(const TagEntry* tag) {
    TagHeader header{};
    GetTagHeader(tag, &header);
    return std::string(header.name, strnlen(header.name, sizeof(header.name)));
}

}  // namespace

ChoiceDialog::ChoiceDialog() {
    SetFlags(kStyle);
    SetTitle("Edit Detail Texture Attributes");
    SetClientSize(kAreaWidth, kAreaHeight);
    colour_label_ = CreateLabel(this, "Highlight Color:");
    description_label_ = CreateLabel(this, "Description:");
    colour_ = new ColorButton(this);
    description_ = new TextBox(TextBox::kTextField, this);
    description_->SetMaxLength(kDescriptionLength);
    list_ = new ListWindow(ListWindow::kNeverEmptySelection, kVisible | kEnabled | kTakesFocus, this);
    ConnectSignal<&ChoiceDialog::RowActivated>(list_->activated, this);
    colour_->SetTabNext(description_);
    description_->SetTabNext(list_);
    list_->SetTabNext(colour_);
    LinkButtonsAfter(list_);
    Layout();
}

void ChoiceDialog::Layout() {
    DialogWindow::Layout();
    if (!list_) return;
    const Rect area = GetClientRect();
    const i32 line = std::max(description_->GetLineHeight() + 6, 18);
    colour_label_->SetPosition(area.left, area.top);
    colour_->SetPosition(area.left + colour_label_->GetWidth() + kFieldGap, area.top);
    description_label_->SetPosition(area.left, area.top + 24);
    description_->SetPosition(area.left + description_label_->GetWidth() + kFieldGap, area.top + 24);
    description_->SetSize(kDescriptionWidth, line);
    list_->SetPosition(area.left, area.top + kListDrop);
    list_->SetSize(area.Width(), std::max(area.Height() - kListDrop, 0));
}

void ChoiceDialog::ShowEntry(const DetailTextureEntry& entry) {
    const u32 colour = PackEntryColour(entry);
    colour_->SetColor(&colour);
    description_->SetText(std::string(entry.description, strnlen(entry.description, sizeof(entry.description))));
    rows_.clear();
    rows_.push_back({kNoTagId, "<no tag>"});
    TagList tags;
    ListGroupTags(kDtexGroup, tags);
    DropUnavailableTags(tags);
    for (const TagEntry* tag : tags) rows_.push_back({tag->tag_id, TagName(tag)});
    std::stable_sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) {
        return NaturalCompare(a.name.c_str(), b.name.c_str()) < 0;
    });
    list_->RemoveAllItems();
    ListItem* selected = nullptr;
    ListItem* none = nullptr;
    for (size_t i = 0; i < rows_.size(); ++i) {
        ListItem* item = list_->AddItem(nullptr, 0, ListItem::kTextItem, &rows_[i], rows_[i].name.c_str());
        if (rows_[i].tag_id == entry.tag_id) selected = item;
        if (rows_[i].tag_id == kNoTagId) none = item;
    }
    list_->UpdateScrollRange();
    ListItem* shown = selected ? selected : none;
    list_->SelectItem(shown, false);
    list_->RevealItem(shown);
}

bool ChoiceDialog::TakeEntry(DetailTextureEntry* entry) const {
    const ListItem* item = list_->GetSelectedItem();
    if (!item || !item->userData) return false;
    DetailTextureEntry changed = *entry;
    const u32 colour = colour_->GetColor();
    changed.highlight[0] = static_cast<u8>(colour);
    changed.highlight[1] = static_cast<u8>(colour >> 8);
    changed.highlight[2] = static_cast<u8>(colour >> 16);
    SetDetailTextureDescription(&changed, description_->GetText().c_str());
    changed.tag_id = static_cast<const Row*>(item->userData)->tag_id;
    const bool differs = std::memcmp(&changed, entry, sizeof changed) != 0;
    *entry = changed;
    return differs;
}

void ChoiceDialog::RowActivated(void*) { CloseWithButton(kOkId); }

bool EditDetailTextureAttributes(DetailTextureEntry* entry) {
    auto* dialog = new ChoiceDialog();
    dialog->ShowEntry(*entry);
    dialog->CenterInParent();
    const bool accepted = dialog->RunDialog(kModalFlags) == 1;
    const bool changed = accepted && dialog->TakeEntry(entry);
    DestroyWindow(dialog);
    return changed;
}

}  // namespace pirn
