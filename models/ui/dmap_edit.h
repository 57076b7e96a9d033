#pragma once
// DmapEdit: the viewer of detail maps ('dmap'). It lists the detail
// textures the map's entries name, one line each: the texture's id, then
// its tag's name or "<not found>". It cannot save (the TagEdit base
// refuses); the terrain editor is where maps are painted.

#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"

namespace pirn {

class TextBox;

class DmapEdit : public TagEdit {
public:
    static constexpr i32 kSize = 500;

    explicit DmapEdit(TagEntry* tag);

    const char* GetClassName() const override { return "DmapEdit"; }
    void Layout() override;
    // Decodes the map and shows its listing; 0 when it cannot be decoded.
    int ReadTag(std::FILE* stream, TagHeader* header) override;

    TextBox* GetListing() const { return listing_; }

private:
    TextBox* listing_ = nullptr;
};

// The registry's factory, and its binding to the "DmapEdit" row.
TagEdit* NewDmapEdit(TagEntry* tag, TagGroupInfo* group, u32 group_code);
void BindDmapEdit();

}  // namespace pirn
