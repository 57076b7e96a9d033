#pragma once
// SoundEdit: the viewer of sound tags ('soun'). It lists the sound's
// permutations with their duration, bit depth, channels and sample rate and
// exports all of them, or the selected ones, as WAV files into a folder the
// user chooses. It never saves the tag: Control+S says so and leaves the
// file as it is.

#include <string>
#include <vector>

#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"
#include "editors/sound_data.h"
#include "editors/sound_export.h"
#include "ui/button.h"
#include "ui/list_window.h"

namespace pirn {

class SoundEdit : public TagEdit {
public:
    static constexpr i32 kWidth = 544;
    static constexpr i32 kHeight = 256;
    static constexpr i32 kButtonStrip = 48;
    static constexpr i32 kButtonInset = 8;
    static constexpr i32 kButtonTop = 40;  // from the bottom
    static constexpr i32 kNameColumnWidth = 128;
    static constexpr i32 kColumnWidth = 96;

    explicit SoundEdit(TagEntry* tag);
    ~SoundEdit() override;

    const char* GetClassName() const override { return "SoundEdit"; }
    void Layout() override;
    // Control+S: the "cannot be saved" message; nothing is written.
    int OnKey(InputEvent& event) override;
    int ReadTag(std::FILE* stream, TagHeader* header) override;
    // A sound is never saved from here: 0, and the file is never opened
    // for writing (a failed save would otherwise leave nothing behind).
    int WriteTag(std::FILE* stream, TagHeader* header) override;
    int Save() override;
    // Selects the first permutation, then shows the editor.
    void ShowEditor() override;

    // Asks for a folder (cancel: nothing) and exports the permutations.
    void ExportAll();
    void ExportSelected();
    // Writes the permutations into the folder; files that could not be
    // written are named in an error box.
    SoundExportResult ExportTo(const std::string& folder, const std::vector<u32>& indices);
    // The selected permutations, in order.
    std::vector<u32> SelectedPermutations() const;

    const SoundData& Sound() const { return sound_; }
    ListWindow* List() const { return list_; }
    Button* ExportAllButton() const { return exportAll_; }
    Button* ExportSelectedButton() const { return exportSelected_; }

    // The cells of one row, as the list's columns read them.
    struct RowCells {
        char name[32];
        char duration[16];
        char bit_depth[16];
        char channels[16];
        char sample_rate[16];
    };

private:
    void Export(const std::vector<u32>& indices);
    void FillList();

    SoundData sound_{};
    std::vector<RowCells> rows_;
    ListWindow* list_ = nullptr;
    Button* exportSelected_ = nullptr;
    Button* exportAll_ = nullptr;
};

// The texts of the viewer's messages.
extern const char kSoundCannotBeSavedText[];
extern const char kSoundExportFailedText[];

// The registry's factory, and its binding to the "SoundEdit" row.
TagEdit* NewSoundEdit(TagEntry* tag, TagGroupInfo* group, u32 group_code);
void BindSoundEdit();

}  // namespace pirn
