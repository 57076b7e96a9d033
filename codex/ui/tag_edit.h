#pragma once
// TagEdit: the window every tag editor derives from. It ties the window to
// one tag of the Codex: loads it, keeps a copy of its header (whose name is
// the title), marks unsaved changes with a "*" in the title, saves through
// the Codex into the local folder, asks before closing with unsaved changes,
// and registers itself as the tag's open editor (attachment 'edit'), so that
// opening the tag again raises this window instead of making a second one.
//
// Writing an editor:
//   - derive from TagEdit and pass the tag (null for a tag still to be
//     created) to its constructor;
//   - override ReadTag and WriteTag for the group's data format (the stream
//     stands at the first data byte; the header is the editor's copy);
//   - override CreateNew, RevertChanges or ShowEditor only when the editor
//     needs more than the defaults (fresh data for a new tag, reloading
//     after Discard, a size of its own before it shows);
//   - call SetModified(true) after every change the user makes;
//   - give the registry a factory (codex/ui/tag_editor_registry.h).
// Editors are opened and created only through OpenTagEditor,
// CreateTagWithEditor and PromptNewTag (codex/ui/tag_editor_open.h).

#include <cstdio>

#include "codex/tag_entry.h"
#include "codex/tag_header.h"
#include "platform/types.h"
#include "ui/window.h"

namespace pirn {

class TagEdit : public Window {
public:
    // Enabled, title bar, shadow, thick border, resizable, dark background,
    // close box and both title buttons; hidden until ShowEditor.
    static constexpr u32 kStyle = 0x1D6E;

    // tag: the tag to edit, or null for a tag that CreateNew makes.
    explicit TagEdit(TagEntry* tag);
    ~TagEdit() override;

    const char* GetClassName() const override { return "TagEdit"; }
    // Never narrower than its title with the modified mark, however it is
    // sized (by its content, by the user, by the program).
    void ConstrainFrame(const Rect& old, const Rect& proposed, Rect* out) override;
    int OnCloseRequest(int byUser) override;
    void OnDestroy() override;
    // Control+S saves (SaveChanges) and counts as handled; every other key
    // goes on to the parents.
    int OnKey(InputEvent& event) override;

    // ---- the operations an editor overrides (slots 39-45) ----

    // Writes the tag's data after the header; 1 on success. A plain TagEdit
    // cannot save: 0.
    virtual int WriteTag(std::FILE* stream, TagHeader* header);
    // Opens the tag for writing, WriteTag, and commits the file only when
    // both the data and the file's placement succeeded. A failed save keeps
    // the last good file as it was.
    virtual int Save();
    // Reads the tag's data from the stream at its first data byte; 1 on
    // success. A plain TagEdit reads nothing: 0.
    virtual int ReadTag(std::FILE* stream, TagHeader* header);
    // Opens the tag's effective copy into the editor's header and ReadTag.
    virtual int Load();
    // Makes a new tag of the group with an id made from the name (no file
    // yet: the first save writes it); it becomes the editor's tag. 1 when
    // the tag was made.
    virtual int CreateNew(u32 group, const char* name);
    // Called when the user discards the unsaved changes; 1.
    virtual int RevertChanges();
    // Attaches the editor to its tag as the open editor, places it at the
    // next cascade position inside the screen, shows, raises and activates it.
    virtual void ShowEditor();

    // ---- state ----

    // Stores the flag and retitles: the header's name, "*" after it while
    // modified.
    void SetModified(bool modified);
    // The narrowest frame that shows the header's name and the "*" whole.
    i32 GetTitleFrameWidth() const;
    bool IsModified() const { return modified_; }
    // Save with the user told about a failure ("Error" / "The save operation
    // could not be completed."). On success the modified flag is cleared.
    int SaveChanges();

    TagEntry* GetTag() const { return tag_; }
    const TagHeader& GetHeader() const { return header_; }
    TagHeader& GetMutableHeader() { return header_; }
    // Whether the editor is attached to its tag as the open editor.
    bool IsAttached() const { return attached_; }

protected:
    // For editors that replace their tag themselves (CreateNew overrides).
    void SetTag(TagEntry* tag) { tag_ = tag; }

private:
    void Detach();

    TagEntry* tag_ = nullptr;
    TagHeader header_{};
    bool modified_ = false;
    bool attached_ = false;
};

}  // namespace pirn
