#include "editors/ui/sound_edit.h"

#include <sys/types.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "codex/ui/tag_editor_registry.h"
#include "platform/char_map.h"
#include "platform/os/key_codes.h"
#include "platform/os/os_beep.h"
#include "platform/strings.h"
#include "ui/file_dialogs.h"
#include "ui/message_box_window.h"
#include "ui/window_system.h"

namespace pirn {

const char kSoundCannotBeSavedText[] =
    "Sounds are not saved from the sound viewer; the tag was left as it is. Export its permutations as WAV files "
    "instead.";
const char kSoundExportFailedText[] = "These files could not be written:";

namespace {

constexpr i32 kSaveKey = 'S';
constexpr u32 kListFlags = ListWindow::kColumnMode | ListWindow::kMultipleSelection | ListWindow::kHeaderRow;
// The skin's light background, where the list's text reads.
constexpr u32 kListStyle = Window::kVisible | Window::kEnabled | Window::kBackground;

template <size_t N>
void CopyCell(char (&cell)[N], const std::string& text) {
    std::memset(cell, 0, N);
    std::memcpy(cell, text.data(), std::min(text.size(), N - 1));
}

}  // namespace

SoundEdit::SoundEdit(TagEntry* tag) : TagEdit(tag) {
    AddFlags(kBackground);
    list_ = new ListWindow(kListFlags, kListStyle, this);
    list_->SetTitle("Permutation List");
    list_->AddColumn("Name", "%s", kColumnCharArray, sizeof(RowCells::name), kNameColumnWidth, 0, 0);
    list_->AddColumn("Duration", "%s", kColumnCharArray, sizeof(RowCells::duration), kColumnWidth, 0, 0);
    list_->AddColumn("Bit Depth", "%s", kColumnCharArray, sizeof(RowCells::bit_depth), kColumnWidth, 0, 0);
    list_->AddColumn("Channels", "%s", kColumnCharArray, sizeof(RowCells::channels), kColumnWidth, 0, 0);
    list_->AddColumn("Sample Rate", "%s", kColumnCharArray, sizeof(RowCells::sample_rate), kColumnWidth, 0, 0);

    exportSelected_ = new Button(this, 0);
    exportSelected_->SetTitle("Export Selected");
    exportSelected_->SizeToFit();
    exportAll_ = new Button(this, 1);
    exportAll_->SetTitle("Export All");
    exportAll_->SizeToFit();
    ConnectSignal<&SoundEdit::ExportSelected>(exportSelected_->clicked, this);
    ConnectSignal<&SoundEdit::ExportAll>(exportAll_->clicked, this);

    SetSize(kWidth, kHeight);
    SetTabOrder(list_, exportSelected_, exportAll_, nullptr);
}

SoundEdit::~SoundEdit() = default;

void SoundEdit::Layout() {
    if (!list_) return;
    const i32 w = GetClientWidth();
    const i32 h = GetClientHeight();
    SetFrame(list_, Rect{0, 0, w, std::max(h - kButtonStrip, 0)});
    exportSelected_->SetPosition(kButtonInset, h - kButtonTop);
    exportAll_->SetPosition(kButtonInset + exportSelected_->GetWidth() + kButtonInset, h - kButtonTop);
}

// ---- the tag ---------------------------------------------------------------------

int SoundEdit::ReadTag(std::FILE* stream, TagHeader* header) {
    const off_t at = ::ftello(stream);
    if (at < 0) return 0;
    SoundData sound;
    if (!ReadSoundData(&sound, stream, static_cast<u64>(at), header->data_length)) return 0;
    sound_ = std::move(sound);
    FillList();
    return 1;
}

int SoundEdit::WriteTag(std::FILE*, TagHeader*) { return 0; }

int SoundEdit::Save() { return 0; }

int SoundEdit::OnKey(InputEvent& e) {
    if (e.IsPress() && e.Code() == kSaveKey && (e.KeyModifiers() & kModControl)) {
        ShowMessageBox("Message", kSoundCannotBeSavedText, "OK", nullptr);
        return 1;
    }
    return TagEdit::OnKey(e);
}

void SoundEdit::ShowEditor() {
    if (!list_->GetSelectedItem())
        if (ListItem* first = list_->FirstRow()) list_->SelectItem(first, false);
    TagEdit::ShowEditor();
}

void SoundEdit::FillList() {
    list_->RemoveAllItems();
    rows_.assign(sound_.permutations.size(), RowCells{});
    for (size_t i = 0; i < sound_.permutations.size(); ++i) {
        const SoundPermutationRow row = DescribeSoundPermutation(sound_.permutations[i]);
        RowCells& cells = rows_[i];
        CopyCell(cells.name, row.name);
        CopyCell(cells.duration, row.duration);
        CopyCell(cells.bit_depth, row.bit_depth);
        CopyCell(cells.channels, row.channels);
        CopyCell(cells.sample_rate, row.sample_rate);
        list_->AddItem(nullptr, 0, 0, &cells, nullptr);
    }
    list_->UpdateScrollRange();
}

// ---- export -------------------------------------------------------------------------

std::vector<u32> SoundEdit::SelectedPermutations() const {
    std::vector<void*> data;
    list_->GetSelection(nullptr, &data);
    std::vector<u32> indices;
    for (void* d : data) {
        const auto* cells = static_cast<const RowCells*>(d);
        if (cells >= rows_.data() && cells < rows_.data() + rows_.size())
            indices.push_back(static_cast<u32>(cells - rows_.data()));
    }
    std::sort(indices.begin(), indices.end());
    return indices;
}

void SoundEdit::ExportAll() { Export(AllSoundPermutations(sound_)); }

void SoundEdit::ExportSelected() {
    const std::vector<u32> indices = SelectedPermutations();
    if (indices.empty()) {
        OsBeep();
        return;
    }
    Export(indices);
}

void SoundEdit::Export(const std::vector<u32>& indices) {
    std::string folder;
    if (!ChooseExportFolder(nullptr, &folder, nullptr, kFileKindSound, nullptr)) return;
    ExportTo(folder, indices);
}

SoundExportResult SoundEdit::ExportTo(const std::string& folder, const std::vector<u32>& indices) {
    SoundExportResult result = ExportSoundPermutations(sound_, indices, folder);
    if (!result.failed.empty()) {
        std::string text = kSoundExportFailedText;
        // The box shows the program's 8-bit text; file names are UTF-8.
        for (const SoundExportFailure& f : result.failed)
            text += FormatString("\n%s (permutation \"%s\"): %s", Utf8ToCharMap(f.file).c_str(),
                                 sound_.permutations[f.permutation].name.c_str(), f.reason.c_str());
        ShowMessageBox("Error", text.c_str(), "OK", nullptr);
    }
    return result;
}

TagEdit* NewSoundEdit(TagEntry* tag, TagGroupInfo*, u32) { return new SoundEdit(tag); }

void BindSoundEdit() { BindTagEditor("SoundEdit", NewSoundEdit); }

}  // namespace pirn
