#include "models/ui/dmap_edit.h"

#include <memory>

#include "codex/ui/tag_editor_registry.h"
#include "models/detail_map.h"
#include "models/detail_map_tag.h"
#include "ui/text_box.h"

namespace pirn {

DmapEdit::DmapEdit(TagEntry* tag) : TagEdit(tag) {
    SetSize(kSize, kSize);
    listing_ = new TextBox(TextBox::kReadOnlyView, this);
    // The editor's keys go to the listing once it shows.
    SetFocusChild(listing_);
    Layout();
}

void DmapEdit::Layout() {
    if (listing_) SetFrame(listing_, GetClientRect());
}

int DmapEdit::ReadTag(std::FILE* stream, TagHeader* header) {
    std::unique_ptr<DetailMap> map = LoadDetailMap(stream, *header);
    if (!map) return 0;
    listing_->SetText(FormatDetailMapListing(*map));
    return 1;
}

TagEdit* NewDmapEdit(TagEntry* tag, TagGroupInfo*, u32) { return new DmapEdit(tag); }

void BindDmapEdit() { BindTagEditor("DmapEdit", NewDmapEdit); }

}  // namespace pirn
