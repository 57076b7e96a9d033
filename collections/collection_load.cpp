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

// The tag's data, read with one read; every offset and size taken from it
// is checked against its length before it is used.
struct TagData {
    std::vector<u8> bytes;
    u64 base = 0;  // offsets in the data count from here

    bool Holds(u64 relative, u64 n) const { return relative <= bytes.size() && n <= bytes.size() - relative; }
    bool HoldsFromBase(u64 relative, u64 n) const { return relative <= bytes.size() && Holds(base + relative, n); }
    const u8* FromBase(u64 relative) const { return bytes.data() + base + relative; }
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
    data->bytes.resize(tag.data_length);
    if (!SeekTo(stream, tag.data_offset) ||
        std::fread(data->bytes.data(), 1, data->bytes.size(), stream) != data->bytes.size())
        return "the data could not be read";
    return nullptr;
}

template <typename Record>
bool ReadSection(const TagData& data, const CollectionSection& section, const StructLayout* layout,
                 std::vector<Record>* out) {
    out->clear();
    if (section.count == 0) return true;
    const u64 bytes = u64{section.count} * LayoutDiskSize(layout);
    if (!data.HoldsFromBase(section.offset, bytes)) return false;
    out->resize(section.count);
    SwapRecords(out->data(), data.FromBase(section.offset), section.count, layout);
    return true;
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

void ReadCollectionBitmaps(Collection* collection, const TagData& data, const std::vector<BitmapTableEntry>& entries,
                 bool color_map) {
    ColorTableRecord table;
    MakeColorTableRecord(collection->colors, &table);
    collection->bitmaps.clear();
    collection->bitmaps.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const BitmapTableEntry& entry = entries[i];
        std::unique_ptr<CollectionBitmap> bitmap;
        if (data.HoldsFromBase(entry.offset, entry.size))
            bitmap = DecodeCollectionBitmapBytes(data.FromBase(entry.offset), entry.size, table);
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
}

bool ReadSequences(Collection* collection, const TagData& data, const std::vector<SequenceTableEntry>& entries,
                   const LoadedReferences& references) {
    for (const SequenceTableEntry& entry : entries) {
        CollectionSequence* sequence = AddSequence(collection, "");
        CopyName(sequence->name, sizeof sequence->name, entry.name, sizeof entry.name);
        if (!data.HoldsFromBase(entry.offset, entry.size)) return false;
        if (!ReadSequenceData(*collection, sequence, data.FromBase(entry.offset), entry.size, references))
            return false;
    }
    return true;
}

const char* LoadInto(Collection* collection, std::FILE* stream, const TagHeader* tag, bool read_bitmaps) {
    TagData data;
    if (const char* failure = ReadTagData(stream, *tag, &data)) return failure;
    CollectionHeader header;
    SwapRecords(&header, data.bytes.data(), 1, kCollectionHeaderLayout);
    if (header.sections[kSectionColorTables].count == 0) return "it has no colour table";
    if (header.header_size > data.bytes.size()) return "its header size lies past the data";
    data.base = header.header_size;

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
    if (!ReadSection(data, s[kSectionColorTables], kColorTableRecordLayout, &tables) ||
        !ReadSection(data, s[kSectionHueChanges], kHueChangeRecordLayout, &hues) ||
        !ReadSection(data, s[kSectionInstances], kInstanceRecordLayout, &instances) ||
        !ReadSection(data, s[kSectionSequenceTable], kSequenceTableEntryLayout, &sequences) ||
        !ReadSection(data, s[kSectionFrameRecords], kFrameRecordLayout, &frames) ||
        !ReadSection(data, s[kSectionBitmapTable], kBitmapTableEntryLayout, &bitmaps))
        return "a section lies outside the data or could not be read";

    for (u32 i = 0; i < kColorTableEntries; ++i)
        for (int c = 0; c < 3; ++c) collection->colors[3 * i + c] = static_cast<u8>(tables[0].channels[i][c] >> 8);
    for (const CollectionHueChange& record : hues)
        *AddHueChange(collection, "") = record;

    LoadedReferences references;
    references.instances.reserve(instances.size());
    for (const InstanceRecord& record : instances) references.instances.push_back(InstanceFromRecord(record));
    references.frame_records.reserve(frames.size());
    for (const FrameRecordData& record : frames) references.frame_records.push_back(FrameRecordFromData(record));

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
