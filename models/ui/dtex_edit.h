#pragma once
// DtexEdit: the editor of detail textures ('dtex'). It shows the texture
// (its window at most 512 x 512), imports and exports it as an image file,
// copies and pastes it through the clipboard and shifts its colours so that
// their mean is mid-grey. The pixels live in the tag's shared DtexTag
// resource, so terrain editors showing the same texture see every change.
// Holding Shift while the tag opens shows it shifted by half its size, so
// that the seams where it tiles lie in the middle of the view.
//
// The root menu's "new detail texture" commands live here too: they make a
// 'dtex' tag from an image file or the clipboard and save it at once.

#include <string>

#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"
#include "models/dtex_commands.h"
#include "models/dtex_tag.h"

namespace pirn {

class DtexEdit : public TagEdit {
public:
    // The window shows at most this much of the texture each way.
    static constexpr i32 kMaxShownSide = 512;
    // Context menu commands, in menu order.
    enum Command : i32 {
        kExportCommand = 0,
        kImportCommand = 1,
        kCopyCommand = 2,
        kPasteCommand = 3,
        kSaveCommand = 4,
        kMeanCenterRgbCommand = 5,
        kMeanCenterLumaCommand = 6,
    };

    explicit DtexEdit(TagEntry* tag);
    ~DtexEdit() override;

    const char* GetClassName() const override { return "DtexEdit"; }
    // The frame around the texture, capped at 512 x 512.
    void GetMinimumSize(Point* out, Point content) override;
    void DrawContents() override;
    // Control with C or X copies, E exports, I imports, V pastes; other
    // keys go to TagEdit (Control+S saves).
    int OnKey(InputEvent& event) override;
    void OnMouseButton(InputEvent& event) override;

    // The shared resource saves; the editor takes over its header.
    int Save() override;
    // The tag's shared resource (loaded when nobody holds it yet); with
    // Shift held its quadrants are swapped. 0 when it cannot be had.
    int Load() override;
    // A new tag holding the 256 x 256 checkerboard.
    int CreateNew(u32 group, const char* name) override;
    // Reloads the shared texture when another user holds it, so that they
    // stop showing the discarded changes.
    int RevertChanges() override;
    // Sized to the texture (capped) before it shows.
    void ShowEditor() override;

    // The popup menu at a screen point; runs the command chosen.
    void ShowMenu(Point screen_point);
    void RunCommand(i32 command);

    // "Export Detail Texture": the texture as an image file.
    void Export();
    // "Import Detail Texture": an image file's pixels into this tag.
    void Import();
    void Copy();
    // True when the clipboard's picture became the texture; otherwise the
    // error beep (and the size message for a picture of unusable sides).
    bool Paste();
    void MeanCenter(u32 mode);

    // After the texture's pixels were replaced: a new GL texture, the
    // modified mark, a redraw and the window sized to the texture.
    void TakeNewPixels();

    DtexTag* Texture() const { return dtex_; }

private:
    void HoldTexture(DtexTag* dtex);
    void SizeToTexture();

    DtexTag* dtex_ = nullptr;
};

// Every message of the editor and its commands is an "Error" box with "OK".
void ShowDtexMessage(const char* message);

// The root menu's commands: a new 'dtex' tag named by the user (proposed:
// the image file's name) in a new editor, saved at once. The new editor,
// or null when nothing was made.
DtexEdit* NewDetailTextureFromImageFile();
DtexEdit* NewDetailTextureFromClipboard();

// The registry's factory, and its binding to the "DtexEdit" row.
TagEdit* NewDtexEdit(TagEntry* tag, TagGroupInfo* group, u32 group_code);
void BindDtexEdit();

}  // namespace pirn
