#pragma once
// The rules of a sequence's properties as the sequence editor edits them:
// what an entry in one of its number boxes does, the sound-tag codes, the
// transfer modes, the flags, the grid's column titles and the totals a
// collection may hold.
//
// Every count and index of a sequence is stored in 16 bits, and the stored
// instances and frame records are numbered with 16-bit indices beside
// 0xFFFF ("none"): an entry above 65535 is refused, and so is a change of
// frames or views that would take the collection's instances or frames to
// 0xFFFF or beyond.

#include <string>
#include <vector>

#include "collections/collection.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kMaxSequenceValue = 0xFFFF;
// Most instances (and most frames) a collection's sequences may hold.
constexpr u64 kMaxSequenceElements = 0xFFFE;

enum SequenceField : u32 {
    kFramesField = 0,
    kViewsField,
    kTicksField,
    kKeyFrameField,
    kLoopFrameField,
    kTransferPeriodField,
    kSequenceFieldCount,
};

struct SequenceEntry {
    enum Outcome {
        kIgnored,    // not a base-10 integer: nothing happens
        kRefused,    // out of range, or the totals would not fit (beep)
        kUnchanged,  // the stored value again
        kChanged,    // stored
    };
    Outcome outcome = kIgnored;
    // The value the field holds afterwards (what its box shows).
    u32 value = 0;
};

u32 GetSequenceField(const CollectionSequence& sequence, SequenceField field);
// The text typed into a field's box, applied: frames and views of at least
// 1 (a smaller entry stands for 1) resize the sequence, the others are
// stored as entered.
SequenceEntry EnterSequenceField(const Collection& collection, CollectionSequence* sequence, SequenceField field,
                                 const std::string& text);

// Whether the collection's sequences still fit their 16-bit indices when
// this sequence has `views` x `frames` (null: one more sequence of that
// size).
bool SequenceTotalsFit(const Collection& collection, const CollectionSequence* sequence, u64 views, u64 frames);

// Sound tags: up to 4 characters padded with blanks form the big-endian
// code; an empty text is none (0xFFFFFFFF).
u32 SoundIdFromText(const std::string& text);
// The 4 characters of a code, "" for none.
std::string SoundIdText(u32 id);

// The transfer modes the "Mode:" box offers, in its order.
struct TransferMode {
    const char* name;
    u16 value;
};
extern const TransferMode kTransferModes[6];
// The entry showing a stored value ("None" for values no entry has).
u32 TransferModeEntry(u16 value);

// Sets or clears sequence flag bits; whether the flags changed. "No
// Rotation" only holds together with "Use Mirroring" (loading drops it
// alone), so clearing mirroring clears it too.
bool SetSequenceFlag(CollectionSequence* sequence, u32 bit, bool on);

// Views the grid shows and frames place: the stored views of a mirrored
// sequence, never more than the sequence has.
u32 ShownViewCount(const CollectionSequence& sequence);
// The angle of a view in whole degrees: view x 360 / views (0 without views).
u32 ViewAngle(u32 view, u32 views);
// "Shadow", then "%d%c" with the angle of each shown view.
std::vector<std::string> SequenceColumnTitles(const CollectionSequence& sequence);

}  // namespace pirn
