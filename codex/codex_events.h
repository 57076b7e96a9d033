#pragma once
// Listeners of the Codex: called synchronously with (context, archive, tag,
// event) from inside the operation that causes the event. A listener must
// not add or remove listeners while it is being called.

#include "platform/types.h"

namespace pirn {

struct Archive;
struct TagEntry;

enum CodexEvent : u32 {
    kCodexTagAvailable = 1,     // tag: a local file appeared and no active archive holds the tag
    kCodexSourcesChanged = 2,   // tag: its sources changed while it stays available
    kCodexDataChanged = 3,      // tag: its data changed (sent by tag resources)
    kCodexTagGone = 4,          // tag: it stops being available or is about to be freed
    kCodexWorkingSetChanged = 5,
    kCodexArchiveAdded = 6,     // archive
    kCodexArchiveClosing = 7,   // archive: sent even if the close is then refused
};

using CodexListener = void (*)(void* context, Archive* archive, TagEntry* tag, u32 event);

// add 1 appends the pair unless it is present; add 0 removes it.
void SetCodexListener(CodexListener listener, void* context, int add);
void NotifyCodexListeners(u32 event, TagEntry* tag, Archive* archive);

}  // namespace pirn
