#include "collections/ui/x256_sequence_page.h"

#include "collections/ui/x256_edit.h"
#include "collections/x256_messages.h"
#include "platform/strings.h"

namespace pirn {

Window* MakeX256SequencePage(X256Edit* editor, Window* tabs) { return new X256SequenceList(editor, tabs); }

X256SequenceList::X256SequenceList(X256Edit* editor, Window* tabs)
    : ListWindow(0, kVisible | kBackground, tabs), editor_(editor) {
    SetTitle(x256_text::kSequencesTab);
    ConnectSignal<&X256SequenceList::RefreshSequenceList>(editor->collectionLoaded, this);
}

void X256SequenceList::RefreshSequenceList() {
    RemoveAllItems();
    for (const auto& sequence : editor_->GetCollection().sequences) {
        const std::string text = FormatString("%s (%u x %u)", sequence->name, unsigned{sequence->frame_count},
                                              unsigned{sequence->view_count});
        AddItem(nullptr, 0, ListItem::kTextItem, sequence.get(), text.c_str());
    }
    UpdateScrollRange();
    Invalidate();
}

}  // namespace pirn
