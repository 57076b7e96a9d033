#include "collections/sequence_properties.h"

#include <algorithm>

#include "collections/sequence_messages.h"
#include "platform/strings.h"

namespace pirn {

namespace {

// A base-10 integer with an optional sign and nothing else; values past
// what the fields hold saturate (they are refused anyway).
bool ParseEntry(const std::string& text, i64* out) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    i64 value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = std::min<i64>(value * 10 + (text[i] - '0'), i64{1} << 40);
    }
    *out = negative ? -value : value;
    return true;
}

void SetField(CollectionSequence* sequence, SequenceField field, u16 value) {
    switch (field) {
        case kTicksField: sequence->ticks_per_frame = value; break;
        case kKeyFrameField: sequence->key_frame = value; break;
        case kLoopFrameField: sequence->loop_frame = value; break;
        case kTransferPeriodField: sequence->transfer_period = value; break;
        case kFramesField: ResizeSequence(sequence, sequence->view_count, value); break;
        case kViewsField: ResizeSequence(sequence, value, sequence->frame_count); break;
        case kSequenceFieldCount: break;
    }
}

}  // namespace

const TransferMode kTransferModes[6] = {
    {sequence_text::kModeNone, 0},      {sequence_text::kModeFadeOut, 1},      {sequence_text::kModeFadeIn, 2},
    {sequence_text::kModeAppearing, 5}, {sequence_text::kModeDisappearing, 6}, {sequence_text::kModeCycle, 7},
};

u32 GetSequenceField(const CollectionSequence& sequence, SequenceField field) {
    switch (field) {
        case kFramesField: return sequence.frame_count;
        case kViewsField: return sequence.view_count;
        case kTicksField: return sequence.ticks_per_frame;
        case kKeyFrameField: return sequence.key_frame;
        case kLoopFrameField: return sequence.loop_frame;
        case kTransferPeriodField: return sequence.transfer_period;
        case kSequenceFieldCount: break;
    }
    return 0;
}

bool SequenceTotalsFit(const Collection& collection, const CollectionSequence* sequence, u64 views, u64 frames) {
    u64 instances = views * frames;
    u64 frame_total = frames;
    for (const auto& other : collection.sequences) {
        if (other.get() == sequence) continue;
        instances += u64{other->view_count} * other->frames.size();
        frame_total += other->frames.size();
    }
    return instances <= kMaxSequenceElements && frame_total <= kMaxSequenceElements;
}

SequenceEntry EnterSequenceField(const Collection& collection, CollectionSequence* sequence, SequenceField field,
                                 const std::string& text) {
    SequenceEntry entry;
    entry.value = GetSequenceField(*sequence, field);
    i64 typed = 0;
    if (field >= kSequenceFieldCount || !ParseEntry(text, &typed)) return entry;
    const bool count = field == kFramesField || field == kViewsField;
    if (count && typed < 1) typed = 1;
    if (typed < 0 || typed > kMaxSequenceValue) {
        entry.outcome = SequenceEntry::kRefused;
        return entry;
    }
    const u32 value = static_cast<u32>(typed);
    if (value == entry.value) {
        entry.outcome = SequenceEntry::kUnchanged;
        return entry;
    }
    if (count) {
        const u64 views = field == kViewsField ? value : sequence->view_count;
        const u64 frames = field == kFramesField ? value : sequence->frame_count;
        if (!SequenceTotalsFit(collection, sequence, views, frames)) {
            entry.outcome = SequenceEntry::kRefused;
            return entry;
        }
    }
    SetField(sequence, field, static_cast<u16>(value));
    entry.outcome = SequenceEntry::kChanged;
    entry.value = value;
    return entry;
}

u32 SoundIdFromText(const std::string& text) {
    if (text.empty()) return kNoSound;
    u32 id = 0;
    for (size_t i = 0; i < 4; ++i) id = id << 8 | (i < text.size() ? static_cast<u8>(text[i]) : u8{' '});
    return id;
}

std::string SoundIdText(u32 id) {
    if (id == kNoSound) return std::string();
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((id >> shift) & 0xFF);
    return text;
}

u32 TransferModeEntry(u16 value) {
    for (u32 i = 0; i < 6; ++i)
        if (kTransferModes[i].value == value) return i;
    return 0;
}

bool SetSequenceFlag(CollectionSequence* sequence, u32 bit, bool on) {
    u32 flags = on ? sequence->flags | bit : sequence->flags & ~bit;
    if (!(flags & kSequenceMirroring)) flags &= ~u32{kSequenceNoRotation};
    if (flags == sequence->flags) return false;
    sequence->flags = flags;
    return true;
}

u32 ShownViewCount(const CollectionSequence& sequence) {
    return std::min(GetStoredViewCount(sequence), u32{sequence.view_count});
}

u32 ViewAngle(u32 view, u32 views) { return views ? static_cast<u32>(u64{view} * 360 / views) : 0; }

std::vector<std::string> SequenceColumnTitles(const CollectionSequence& sequence) {
    std::vector<std::string> titles{sequence_text::kShadowColumn};
    const u32 shown = ShownViewCount(sequence);
    for (u32 k = 0; k < shown; ++k)
        titles.push_back(FormatString(sequence_text::kAngle, int(ViewAngle(k, sequence.view_count)),
                                      sequence_text::kDegreeSign));
    return titles;
}

}  // namespace pirn
