// Reading a '.256' tag's data into a Collection.

#include <sys/types.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

#include "codex/codex_log.h"
#include "collections/bitmap_codec.h"
#include "collections/bitmap_placeholder.h"
#include "collections/collection_tag.h"

namespace pirn {

namespace {

// The tag's data, read with one read; every offset and size taken from it
// is checked against its length before it is used.
struct TagData {
    std::unique_ptr<u8[]> bytes;  // not zero-filled: the read fills it
    u64 size = 0;
    u64 base = 0;  // offsets in the data count from here

    bool Holds(u64 relative, u64 n) const { return relative <= size && n <= size - relative; }
    bool HoldsFromBase(u64 relative, u64 n) const { return relative <= size && Holds(base + relative, n); }
    const u8* FromBase(u64 relative) const { return bytes.get() + base + relative; }
};

bool SeekTo(std::FILE* stream, u64 position) {
    return position <= 0x7FFFFFFFFFFFFFFFull && ::fseeko(stream, static_cast<off_t>(position), SEEK_SET) == 0;
}

// Reads the data the header places in the stream, refusing a length the
// stream does not have before anything is allocated for it.
const char* ReadTagData(std::FILE* stream, const TagHeader& tag, TagData* data) {
    if (::fseeko(stream, 0, SEEK_END) != 0) return "the file could not be read";
    const off_t end = ::ftello(stream);
    if (end < 0 || u64(end) < tag.data_offset || u64(end) - tag.data_offset < tag.data_length)
        return "the data runs past the end of the file";
    if (tag.data_length < kCollectionHeaderSize) return "the data is shorter than its header";
    data->bytes.reset(new u8[tag.data_length]);
    data->size = tag.data_length;
    if (!SeekTo(stream, tag.data_offset) ||
        std::fread(data->bytes.get(), 1, tag.data_length, stream) != tag.data_length)
        return "the data could not be read";
    return nullptr;
}

// A section's records as bytes of the tag, after checking that all of them
// lie inside the data.
struct StoredRecords {
    const u8* bytes = nullptr;
    u32 count = 0;
    u32 size = 0;  // of one record
    const u8* At(u32 i) const { return bytes + size_t{i} * size; }
};

bool FindSection(const TagData& data, const CollectionSection& section, const StructLayout* layout,
                 StoredRecords* out) {
    out->size = LayoutDiskSize(layout);
    out->count = 0;
    if (section.count == 0) return true;
    if (!data.HoldsFromBase(section.offset, u64{section.count} * out->size)) return false;
    out->bytes = data.FromBase(section.offset);
    out->count = section.count;
    return true;
}

BitmapInstance InstanceFromStored(const u8* r) {
    BitmapInstance instance;
    instance.flags = StoredU32(r, offsetof(InstanceRecord, flags));
    instance.key_x = static_cast<i16>(StoredU16(r, offsetof(InstanceRecord, key_x)));
    instance.key_y = static_cast<i16>(StoredU16(r, offsetof(InstanceRecord, key_y)));
    instance.standard.index = StoredU16(r, offsetof(InstanceRecord, bitmap_index));
    instance.standard.x = static_cast<i16>(StoredU16(r, offsetof(InstanceRecord, x)));
    instance.standard.y = static_cast<i16>(StoredU16(r, offsetof(InstanceRecord, y)));
    instance.standard.scale = kStandardScale;
    if (instance.flags & kInstanceHasAlternate) {
        instance.alternate.index = StoredU16(r, offsetof(InstanceRecord, alternate_index));
        instance.alternate.scale = StoredU32(r, offsetof(InstanceRecord, alternate_scale));
        instance.alternate.x = static_cast<i16>(StoredU16(r, offsetof(InstanceRecord, alternate_x)));
        instance.alternate.y = static_cast<i16>(StoredU16(r, offsetof(InstanceRecord, alternate_y)));
    } else {
        instance.alternate = InstanceReference();
        instance.alternate.index = 0;
        instance.alternate.scale = 0;
    }
    return instance;
}

FrameRecord FrameRecordFromStored(const u8* r) {
    FrameRecord record;
    record.flags = StoredU32(r, offsetof(FrameRecordData, flags));
    record.shadow_x = static_cast<i32>(StoredU32(r, offsetof(FrameRecordData, shadow_x)));
    record.shadow_y = static_cast<i32>(StoredU32(r, offsetof(FrameRecordData, shadow_y)));
    record.shadow_index = StoredU16(r, offsetof(FrameRecordData, shadow_index));
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

// A stored 64-byte name: its first 63 bytes as they are, then a zero.
void CopyName(char (&destination)[64], const u8* stored) {
    std::memcpy(destination, stored, 63);
    destination[63] = 0;
}

void ReadCollectionBitmaps(Collection* collection, const TagData& data, const StoredRecords& entries, bool color_map) {
    ColorTableRecord table;
    MakeColorTableRecord(collection->colors, &table);
    collection->bitmaps.clear();
    collection->bitmaps.reserve(entries.count);
    for (u32 i = 0; i < entries.count; ++i) {
        const u8* entry = entries.At(i);
        const u32 offset = StoredU32(entry, offsetof(BitmapTableEntry, offset));
        const u32 size = StoredU32(entry, offsetof(BitmapTableEntry, size));
        std::unique_ptr<CollectionBitmap> bitmap;
        if (data.HoldsFromBase(offset, size)) bitmap = DecodeCollectionBitmapBytes(data.FromBase(offset), size, table);
        const bool placeholder = !bitmap;
        if (placeholder) {
            LogCodex(0, "WARNING: bitmap %u of the collection '%s' could not be read; it shows as a checkerboard.\n",
                     static_cast<unsigned>(i), collection->name);
            bitmap = MakePlaceholderBitmap();
        }
        CopyName(bitmap->name, entry + offsetof(BitmapTableEntry, name));
        if (color_map) {
            if (i % 2)
                bitmap->flags |= kBitmapShadow;
            else
                bitmap->flags &= static_cast<u16>(~kBitmapShadow);
        }
        if (placeholder) FillPlaceholderBitmap(*collection, bitmap.get());
        collection->bitmaps.push_back(std::move(bitmap));
    }
}

bool ReadSequences(Collection* collection, const TagData& data, const StoredRecords& entries,
                   const LoadedReferences& references) {
    for (u32 i = 0; i < entries.count; ++i) {
        const u8* entry = entries.At(i);
        const u32 offset = StoredU32(entry, offsetof(SequenceTableEntry, offset));
        const u32 size = StoredU32(entry, offsetof(SequenceTableEntry, size));
        CollectionSequence* sequence = AddSequence(collection, "");
        CopyName(sequence->name, entry + offsetof(SequenceTableEntry, name));
        if (!data.HoldsFromBase(offset, size)) return false;
        if (!ReadSequenceData(*collection, sequence, data.FromBase(offset), size, references)) return false;
    }
    return true;
}

const char* LoadInto(Collection* collection, std::FILE* stream, const TagHeader* tag, bool read_bitmaps) {
    TagData data;
    if (const char* failure = ReadTagData(stream, *tag, &data)) return failure;
    CollectionHeader header;
    SwapRecords(&header, data.bytes.get(), 1, kCollectionHeaderLayout);
    if (header.sections[kSectionColorTables].count == 0) return "it has no colour table";
    if (header.header_size > data.size) return "its header size lies past the data";
    data.base = header.header_size;

    std::memcpy(collection->name, tag->name, sizeof collection->name);
    collection->name[sizeof collection->name - 1] = 0;
    collection->stored_word = header.stored_word;
    // The older tag header has no user-data word; there the collection's
    // own copy of the flags is the only one.
    collection->flags = tag->signature == kOldTagHeaderSignature ? header.flags : tag->user_data;

    StoredRecords tables, hues, instances, sequences, frames, bitmaps;
    const CollectionSection* s = header.sections;
    if (!FindSection(data, s[kSectionColorTables], kColorTableRecordLayout, &tables) ||
        !FindSection(data, s[kSectionHueChanges], kHueChangeRecordLayout, &hues) ||
        !FindSection(data, s[kSectionInstances], kInstanceRecordLayout, &instances) ||
        !FindSection(data, s[kSectionSequenceTable], kSequenceTableEntryLayout, &sequences) ||
        !FindSection(data, s[kSectionFrameRecords], kFrameRecordLayout, &frames) ||
        !FindSection(data, s[kSectionBitmapTable], kBitmapTableEntryLayout, &bitmaps))
        return "a section lies outside the data or could not be read";

    // Only the first colour table counts.
    ColorTableRecord table;
    SwapRecords(&table, tables.At(0), 1, kColorTableRecordLayout);
    for (u32 i = 0; i < kColorTableEntries; ++i)
        for (int c = 0; c < 3; ++c) collection->colors[3 * i + c] = static_cast<u8>(table.channels[i][c] >> 8);
    for (u32 i = 0; i < hues.count; ++i) SwapRecords(AddHueChange(collection, ""), hues.At(i), 1, kHueChangeRecordLayout);

    LoadedReferences references;
    references.instances = instances.bytes;
    references.instance_count = instances.count;
    references.frame_records = frames.bytes;
    references.frame_record_count = frames.count;

    const bool color_map = ((tag->user_data | header.flags) & kCollectionColorMap) != 0;
    if (read_bitmaps) ReadCollectionBitmaps(collection, data, bitmaps, color_map);
    if (!ReadSequences(collection, data, sequences, references))
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
        frame.frame_record_index = StoredU16(at, offsetof(FrameDataRecord, frame_record_index));
        for (size_t i = 0; i < 3; ++i) frame.values[i] = StoredU16(at, offsetof(FrameDataRecord, values) + 2 * i);
        at += sizeof(FrameDataRecord);
        for (u32 v = 0; v < record.view_count; ++v, at += 2) {
            u16 index = StoredU16(at, 0);
            if (index >= references.instance_count) index = kNoIndex;
            frame.view_indices[v] = index;
            BitmapInstance& instance = frame.instances[v];
            if (index == kNoIndex) {
                instance.standard.bitmap = nullptr;
                continue;
            }
            instance = InstanceFromStored(references.instances + size_t{index} * sizeof(InstanceRecord));
            instance.standard.bitmap = ResolveBitmap(collection, instance.standard.index);
            if (instance.flags & kInstanceHasAlternate)
                instance.alternate.bitmap = ResolveBitmap(collection, instance.alternate.index);
        }
        if (frame.frame_record_index < references.frame_record_count) {
            frame.record = FrameRecordFromStored(references.frame_records +
                                                 size_t{frame.frame_record_index} * sizeof(FrameRecordData));
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
