// Reading a '.256' tag's data into a Collection.

#include <sys/types.h>

#include <algorithm>
#include <cstring>

#include "codex/codex_log.h"
#include "collections/bitmap_codec.h"
#include "collections/bitmap_placeholder.h"
#include "collections/collection_tag.h"

namespace pirn {

namespace {

// Where the tag's data lies in the stream and how long it is; every offset
// read from the data is checked against `length` before it is used.
struct DataRange {
    u64 offset = 0;
    u64 length = 0;
    u64 base = 0;  // offsets in the data count from here (relative to offset)

    bool Holds(u64 relative, u64 bytes) const {
        return relative <= length && bytes <= length - relative;
    }
    bool HoldsFromBase(u64 relative, u64 bytes) const { return relative <= length && Holds(base + relative, bytes); }
};

bool SeekTo(std::FILE* stream, u64 position) {
    return position <= 0x7FFFFFFFFFFFFFFFull && ::fseeko(stream, static_cast<off_t>(position), SEEK_SET) == 0;
}

template <typename Record>
bool ReadSection(std::FILE* stream, const DataRange& range, const CollectionSection& section,
                 const StructLayout* layout, std::vector<Record>* out) {
    out->clear();
    if (section.count == 0) return true;
    const u64 bytes = u64{section.count} * LayoutDiskSize(layout);
    if (!range.HoldsFromBase(section.offset, bytes)) return false;
    if (!SeekTo(stream, range.offset + range.base + section.offset)) return false;
    out->resize(section.count);
    return ReadRecords(out->data(), section.count, layout, stream) == bytes;
}

BitmapInstance InstanceFromRecord(const InstanceRecord& record) {
    BitmapInstance instance;
    instance.flags = record.flags;
    instance.key_x = record.key_x;
    instance.key_y = record.key_y;
    instance.standard.index = record.bitmap_index;
    instance.standard.x = record.x;
    instance.standard.y = record.y;
    instance.standard.scale = kStandardScale;
    if (record.flags & kInstanceHasAlternate) {
        instance.alternate.index = record.alternate_index;
        instance.alternate.scale = record.alternate_scale;
        instance.alternate.x = record.alternate_x;
        instance.alternate.y = record.alternate_y;
    } else {
        instance.alternate = InstanceReference();
        instance.alternate.index = 0;
        instance.alternate.scale = 0;
    }
    return instance;
}

FrameRecord FrameRecordFromData(const FrameRecordData& data) {
    FrameRecord record;
    record.flags = data.flags;
    record.shadow_x = static_cast<i32>(data.shadow_x);
    record.shadow_y = static_cast<i32>(data.shadow_y);
    record.shadow_index = data.shadow_index;
    return record;
}

CollectionBitmap* ResolveBitmap(const Collection& collection, u16 index) {
    return index == kNoIndex ? nullptr : GetCollectionBitmap(collection, index);
}

template <typename Record>
Record TakeRecord(const u8* bytes, const StructLayout* layout) {
    Record record;
    std::memcpy(&record, bytes, sizeof record);
    SwapRecordsInPlace(&record, 1, layout);
    return record;
}

// The stored bytes as they are (the layout has zeroed the last one).
void CopyName(char* destination, size_t size, const char* stored, size_t stored_size) {
    std::memset(destination, 0, size);
    std::memcpy(destination, stored, std::min(size, stored_size) - 1);
}

bool ReadBitmaps(Collection* collection, std::FILE* stream, const DataRange& range,
                 const std::vector<BitmapTableEntry>& entries, bool color_map) {
    ColorTableRecord table;
    MakeColorTableRecord(collection->colors, &table);
    collection->bitmaps.clear();
    collection->bitmaps.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const BitmapTableEntry& entry = entries[i];
        std::unique_ptr<CollectionBitmap> bitmap;
        if (range.HoldsFromBase(entry.offset, entry.size)) {
            if (!SeekTo(stream, range.offset + range.base + entry.offset)) return false;
            bitmap = DecodeCollectionBitmap(stream, entry.size, table);
        }
        const bool placeholder = !bitmap;
        if (placeholder) {
            LogCodex(0, "WARNING: bitmap %u of the collection '%s' could not be read; it shows as a checkerboard.\n",
                     static_cast<unsigned>(i), collection->name);
            bitmap = MakePlaceholderBitmap();
        }
        CopyName(bitmap->name, sizeof bitmap->name, entry.name, sizeof entry.name);
        if (color_map) {
            if (i % 2)
                bitmap->flags |= kBitmapShadow;
            else
                bitmap->flags &= static_cast<u16>(~kBitmapShadow);
        }
        if (placeholder) FillPlaceholderBitmap(*collection, bitmap.get());
        collection->bitmaps.push_back(std::move(bitmap));
    }
    return true;
}

bool ReadSequences(Collection* collection, std::FILE* stream, const DataRange& range,
                   const std::vector<SequenceTableEntry>& entries, const LoadedReferences& references) {
    std::vector<u8> block;
    for (const SequenceTableEntry& entry : entries) {
        CollectionSequence* sequence = AddSequence(collection, "");
        CopyName(sequence->name, sizeof sequence->name, entry.name, sizeof entry.name);
        if (!range.HoldsFromBase(entry.offset, entry.size)) return false;
        if (!SeekTo(stream, range.offset + range.base + entry.offset)) return false;
        block.resize(entry.size);
        if (entry.size && std::fread(block.data(), 1, entry.size, stream) != entry.size) return false;
        if (!ReadSequenceData(*collection, sequence, block.data(), block.size(), references)) return false;
    }
    return true;
}

const char* LoadInto(Collection* collection, std::FILE* stream, const TagHeader* tag, bool read_bitmaps) {
    DataRange range;
    range.offset = tag->data_offset;
    range.length = tag->data_length;
    if (!range.Holds(0, kCollectionHeaderSize)) return "the data is shorter than its header";
    CollectionHeader header;
    if (!SeekTo(stream, range.offset) || ReadRecords(&header, 1, kCollectionHeaderLayout, stream) == 0)
        return "its header could not be read";
    if (header.sections[kSectionColorTables].count == 0) return "it has no colour table";
    if (header.header_size > range.length) return "its header size lies past the data";
    range.base = header.header_size;

    std::memcpy(collection->name, tag->name, sizeof collection->name);
    collection->name[sizeof collection->name - 1] = 0;
    collection->stored_word = header.stored_word;
    // The older tag header has no user-data word; there the collection's
    // own copy of the flags is the only one.
    collection->flags = tag->signature == kOldTagHeaderSignature ? header.flags : tag->user_data;

    std::vector<ColorTableRecord> tables;
    std::vector<CollectionHueChange> hues;
    std::vector<InstanceRecord> instances;
    std::vector<SequenceTableEntry> sequences;
    std::vector<FrameRecordData> frames;
    std::vector<BitmapTableEntry> bitmaps;
    const CollectionSection* s = header.sections;
    if (!ReadSection(stream, range, s[kSectionColorTables], kColorTableRecordLayout, &tables) ||
        !ReadSection(stream, range, s[kSectionHueChanges], kHueChangeRecordLayout, &hues) ||
        !ReadSection(stream, range, s[kSectionInstances], kInstanceRecordLayout, &instances) ||
        !ReadSection(stream, range, s[kSectionSequenceTable], kSequenceTableEntryLayout, &sequences) ||
        !ReadSection(stream, range, s[kSectionFrameRecords], kFrameRecordLayout, &frames) ||
        !ReadSection(stream, range, s[kSectionBitmapTable], kBitmapTableEntryLayout, &bitmaps))
        return "a section lies outside the data or could not be read";

    for (u32 i = 0; i < kColorTableEntries; ++i)
        for (int c = 0; c < 3; ++c) collection->colors[3 * i + c] = static_cast<u8>(tables[0].channels[i][c] >> 8);
    for (const CollectionHueChange& record : hues)
        *AddHueChange(collection, "") = record;

    LoadedReferences references;
    references.instances.reserve(instances.size());
    for (const InstanceRecord& record : instances) references.instances.push_back(InstanceFromRecord(record));
    references.frame_records.reserve(frames.size());
    for (const FrameRecordData& data : frames) references.frame_records.push_back(FrameRecordFromData(data));

    const bool color_map = ((tag->user_data | header.flags) & kCollectionColorMap) != 0;
    if (read_bitmaps && !ReadBitmaps(collection, stream, range, bitmaps, color_map))
        return "its bitmaps could not be read";
    if (!ReadSequences(collection, stream, range, sequences, references))
        return "a sequence lies outside the data or is shorter than its frames";
    if (read_bitmaps) ComputeSequenceExtents(collection);
    return nullptr;
}

}  // namespace

bool ReadSequenceData(const Collection& collection, CollectionSequence* sequence, const u8* block, size_t size,
                      const LoadedReferences& references) {
    if (size < sizeof(SequenceRecord)) return false;
    const SequenceRecord record = TakeRecord<SequenceRecord>(block, kSequenceRecordLayout);
    const u64 frame_bytes = sizeof(FrameDataRecord) + 2 * u64{record.view_count};
    if (u64{record.frame_count} * frame_bytes > size - sizeof(SequenceRecord)) return false;

    sequence->flags = record.flags;
    sequence->value = record.value;
    sequence->ticks_per_frame = record.ticks_per_frame;
    sequence->key_frame = record.key_frame;
    sequence->loop_frame = record.loop_frame;
    std::memcpy(sequence->carried_a, record.carried_a, sizeof record.carried_a);
    std::memcpy(sequence->sounds, record.sounds, sizeof record.sounds);
    sequence->transfer_mode = record.transfer_mode;
    sequence->transfer_period = record.transfer_period;
    sequence->box_radius = static_cast<i32>(record.box_radius);
    sequence->box_lower = static_cast<i32>(record.box_lower);
    sequence->box_upper = static_cast<i32>(record.box_upper);
    std::memcpy(sequence->carried_b, record.carried_b, sizeof record.carried_b);
    ResizeSequence(sequence, record.view_count, record.frame_count);

    const u8* at = block + sizeof(SequenceRecord);
    for (SequenceFrame& frame : sequence->frames) {
        const FrameDataRecord data = TakeRecord<FrameDataRecord>(at, kFrameDataRecordLayout);
        at += sizeof(FrameDataRecord);
        frame.frame_record_index = data.frame_record_index;
        std::memcpy(frame.values, data.values, sizeof data.values);
        for (u32 v = 0; v < record.view_count; ++v, at += 2) {
            u16 index = static_cast<u16>((at[0] << 8) | at[1]);
            if (index >= references.instances.size()) index = kNoIndex;
            frame.view_indices[v] = index;
            BitmapInstance& instance = frame.instances[v];
            if (index == kNoIndex) {
                instance.standard.bitmap = nullptr;
                continue;
            }
            instance = references.instances[index];
            instance.standard.bitmap = ResolveBitmap(collection, instance.standard.index);
            if (instance.flags & kInstanceHasAlternate)
                instance.alternate.bitmap = ResolveBitmap(collection, instance.alternate.index);
        }
        if (frame.frame_record_index < references.frame_records.size()) {
            frame.record = references.frame_records[frame.frame_record_index];
            frame.shadow = ResolveBitmap(collection, frame.record.shadow_index);
        } else {
            frame.frame_record_index = kNoIndex;
            frame.shadow = nullptr;
        }
    }
    return true;
}

int LoadCollection(Collection* collection, std::FILE* stream, const TagHeader* header, bool read_bitmaps) {
    Collection loaded;
    InitCollection(&loaded);
    const char* failure = LoadInto(&loaded, stream, header, read_bitmaps);
    if (failure) {
        char name[33] = {};
        std::memcpy(name, header->name, 32);
        LogCodex(1, "ERROR: the collection '%s' could not be loaded: %s.\n", name, failure);
        InitCollection(collection);
        return 0;
    }
    *collection = std::move(loaded);
    return 1;
}

}  // namespace pirn
