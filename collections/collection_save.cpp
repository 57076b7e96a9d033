// Writing a Collection as the data of a '.256' tag.

#include <sys/types.h>

#include <algorithm>
#include <cstring>

#include "codex/codex_log.h"
#include "codex/four_char_code.h"
#include "collections/bitmap_codec.h"
#include "collections/collection_tag.h"
#include "platform/strings.h"

namespace pirn {

namespace {

// Largest number of elements 16-bit indices can number beside "none".
constexpr u64 kMaxIndexedElements = 0xFFFE;

// The tag's data built in memory, header first: offsets and sizes come from
// what was put, and the whole is written with one write.
class DataBuilder {
public:
    // Room for the header, filled last.
    DataBuilder() { bytes_.Extend(kCollectionHeaderSize); }

    // Position relative to the data base (after the header).
    u64 position() const { return bytes_.size() - kCollectionHeaderSize; }
    u8* Extend(size_t n) { return bytes_.Extend(n); }
    ByteBuffer& bytes() { return bytes_; }
    // Room for the whole data after the header, if memory allows; the
    // buffer grows as needed anyway.
    void Reserve(u64 data_bytes) {
        if (data_bytes <= ~size_t{0} - kCollectionHeaderSize)
            bytes_.Reserve(static_cast<size_t>(data_bytes) + kCollectionHeaderSize);
    }

    // Records in their stored form. False when memory runs out.
    template <typename Record>
    bool Records(const Record* records, size_t count, const StructLayout* layout) {
        if (count == 0) return true;
        u8* out = bytes_.Extend(count * sizeof(Record));
        if (!out) return false;
        SwapRecords(out, records, static_cast<u32>(count), layout);
        return true;
    }
    // Room for records written later; its place relative to the base.
    bool Room(size_t bytes, u64* at) {
        *at = position();
        return bytes == 0 || bytes_.Extend(bytes) != nullptr;
    }
    // Runs a put and records it in a section: offset, count and size.
    template <typename Put>
    bool Section(CollectionSection* section, u64 count, Put put) {
        const u64 start = position();
        if (!put()) return false;
        if (start > 0xFFFFFFFFu || position() - start > 0xFFFFFFFFu || count > 0xFFFFFFFFu) return false;
        section->offset = static_cast<u32>(start);
        section->count = static_cast<u32>(count);
        section->size = static_cast<u32>(position() - start);
        return true;
    }
    // Why a put failed: the data outgrew the 32-bit offsets, or memory.
    const char* Failure() const {
        return position() > 0xFFFFFFFFu ? "the data passes 4 GiB" : "there is not enough memory";
    }
    // Stores records at a place taken with Room.
    template <typename Record>
    void PutAt(u64 at, const std::vector<Record>& records, const StructLayout* layout) {
        if (!records.empty())
            SwapRecords(bytes_.data() + kCollectionHeaderSize + at, records.data(), static_cast<u32>(records.size()),
                        layout);
    }

private:
    ByteBuffer bytes_;
};

InstanceRecord RecordFromInstance(const BitmapInstance& instance) {
    InstanceRecord record = {};
    record.flags = instance.flags;
    record.x = instance.standard.x;
    record.y = instance.standard.y;
    record.key_x = instance.key_x;
    record.key_y = instance.key_y;
    record.bitmap_index = instance.standard.index;
    // Without the flag the alternate reference is read back empty: it is
    // written so, or a new instance (its alternate index "none") would be
    // stored one way and, once read back, another.
    if (instance.flags & kInstanceHasAlternate) {
        record.alternate_index = instance.alternate.index;
        record.alternate_scale = instance.alternate.scale;
        record.alternate_x = instance.alternate.x;
        record.alternate_y = instance.alternate.y;
    }
    return record;
}

FrameRecordData DataFromFrameRecord(const FrameRecord& record) {
    FrameRecordData data = {};
    data.flags = record.flags;
    data.shadow_x = static_cast<u32>(record.shadow_x);
    data.shadow_y = static_cast<u32>(record.shadow_y);
    data.shadow_index = record.shadow_index;
    return data;
}

template <typename Record>
bool AppendRecord(const Record& record, const StructLayout* layout, ByteBuffer* out) {
    u8* at = out->Extend(sizeof record);
    if (!at) return false;
    SwapRecords(at, &record, 1, layout);
    return true;
}

bool Fits32(u64 offset, u64 size) { return offset <= 0xFFFFFFFFu && size <= 0xFFFFFFFFu; }

const char* const kTooLarge = "the data passes 4 GiB";

const char* BuildData(Collection* collection, DataBuilder& out, CollectionHeader* header) {
    CollectionSection* sections = header->sections;
    ColorTableRecord table;
    MakeColorTableRecord(collection->colors, &table);
    const std::vector<CollectionHueChange> hues = MakeHueChangeList(collection);

    FlattenedReferences flat;
    FlattenReferences(collection, &flat);
    std::vector<InstanceRecord> instances;
    instances.reserve(flat.instances.size());
    for (const BitmapInstance& instance : flat.instances) instances.push_back(RecordFromInstance(instance));
    std::vector<FrameRecordData> frames;
    frames.reserve(flat.frame_records.size());
    for (const FrameRecord& record : flat.frame_records) frames.push_back(DataFromFrameRecord(record));

    // Value-initialised: every reserved byte zero.
    std::vector<SequenceTableEntry> sequence_table(collection->sequences.size());
    std::vector<BitmapTableEntry> bitmap_table(collection->bitmaps.size());

    // The whole tag is built in one buffer; taking its room at once keeps a
    // large tag from being copied as the buffer grows.
    u64 room = sizeof table + hues.size() * sizeof(CollectionHueChange) + instances.size() * sizeof(InstanceRecord) +
               sequence_table.size() * sizeof(SequenceTableEntry) + frames.size() * sizeof(FrameRecordData) +
               bitmap_table.size() * sizeof(BitmapTableEntry);
    for (const auto& sequence : collection->sequences)
        room += sizeof(SequenceRecord) +
                sequence->frames.size() * (sizeof(FrameDataRecord) + 2 * u64{sequence->view_count});
    for (const auto& bitmap : collection->bitmaps) room += TypicalEncodedSize(*bitmap);
    out.Reserve(room);

    u64 sequence_table_at = 0, bitmap_table_at = 0;
    if (!out.Section(&sections[kSectionColorTables], 1, [&] { return out.Records(&table, 1, kColorTableRecordLayout); }) ||
        !out.Section(&sections[kSectionHueChanges], hues.size(),
                     [&] { return out.Records(hues.data(), hues.size(), kHueChangeRecordLayout); }) ||
        !out.Section(&sections[kSectionInstances], instances.size(),
                     [&] { return out.Records(instances.data(), instances.size(), kInstanceRecordLayout); }) ||
        !out.Section(&sections[kSectionSequenceTable], sequence_table.size(), [&] {
            return out.Room(sequence_table.size() * sizeof(SequenceTableEntry), &sequence_table_at);
        }))
        return out.Failure();

    for (size_t i = 0; i < collection->sequences.size(); ++i) {
        CollectionSequence* sequence = collection->sequences[i].get();
        const u64 start = out.position();
        if (!WriteSequenceData(sequence, &out.bytes())) return out.Failure();
        SequenceTableEntry& entry = sequence_table[i];
        std::memcpy(entry.name, sequence->name, sizeof entry.name);
        if (!Fits32(start, out.position() - start)) return kTooLarge;
        entry.offset = static_cast<u32>(start);
        entry.size = static_cast<u32>(out.position() - start);
    }

    if (!out.Section(&sections[kSectionFrameRecords], frames.size(),
                     [&] { return out.Records(frames.data(), frames.size(), kFrameRecordLayout); }) ||
        !out.Section(&sections[kSectionBitmapTable], bitmap_table.size(), [&] {
            return out.Room(bitmap_table.size() * sizeof(BitmapTableEntry), &bitmap_table_at);
        }))
        return out.Failure();

    for (size_t i = 0; i < collection->bitmaps.size(); ++i) {
        const CollectionBitmap& bitmap = *collection->bitmaps[i];
        const u64 start = out.position();
        if (!AppendCollectionBitmap(bitmap, &out.bytes())) return "a bitmap could not be encoded";
        BitmapTableEntry& entry = bitmap_table[i];
        std::memcpy(entry.name, bitmap.name, sizeof entry.name);
        entry.width = bitmap.width;
        entry.height = bitmap.height;
        if (!Fits32(start, out.position() - start)) return kTooLarge;
        entry.offset = static_cast<u32>(start);
        entry.size = static_cast<u32>(out.position() - start);
    }
    const u64 total = out.position();
    if (total > 0xFFFFFFFFu - kCollectionHeaderSize) return kTooLarge;
    header->total_size = static_cast<u32>(total);

    out.PutAt(sequence_table_at, sequence_table, kSequenceTableEntryLayout);
    out.PutAt(bitmap_table_at, bitmap_table, kBitmapTableEntryLayout);
    return nullptr;
}

}  // namespace

std::vector<CollectionHueChange> MakeHueChangeList(Collection* collection) {
    std::vector<CollectionHueChange> records;
    records.reserve(collection->hue_changes.size());
    for (auto& hue : collection->hue_changes) {
        ComputeAffectedColors(*collection, hue.get());
        records.push_back(*hue);
    }
    return records;
}

bool WriteSequenceData(CollectionSequence* sequence, ByteBuffer* out) {
    if (sequence->frame_count != 0)
        sequence->flags |= kSequenceHasFrames;
    else
        sequence->flags &= ~u32{kSequenceHasFrames};
    SequenceRecord record = {};
    record.flags = sequence->flags;
    record.value = sequence->value;
    record.view_count = sequence->view_count;
    record.frame_count = sequence->frame_count;
    record.ticks_per_frame = sequence->ticks_per_frame;
    record.key_frame = sequence->key_frame;
    record.loop_frame = sequence->loop_frame;
    std::memcpy(record.carried_a, sequence->carried_a, sizeof record.carried_a);
    std::memcpy(record.sounds, sequence->sounds, sizeof record.sounds);
    record.transfer_mode = sequence->transfer_mode;
    record.transfer_period = sequence->transfer_period;
    record.box_radius = static_cast<u32>(sequence->box_radius);
    record.box_lower = static_cast<u32>(sequence->box_lower);
    record.box_upper = static_cast<u32>(sequence->box_upper);
    std::memcpy(record.carried_b, sequence->carried_b, sizeof record.carried_b);
    if (!AppendRecord(record, kSequenceRecordLayout, out)) return false;

    for (const SequenceFrame& frame : sequence->frames) {
        FrameDataRecord data = {};
        data.frame_record_index = frame.frame_record_index;
        std::memcpy(data.values, frame.values, sizeof data.values);
        if (!AppendRecord(data, kFrameDataRecordLayout, out)) return false;
        u8* views = out->Extend(2 * size_t{sequence->view_count});
        if (!views) return false;
        for (u32 v = 0; v < sequence->view_count; ++v) {
            const u16 index = v < frame.view_indices.size() ? frame.view_indices[v] : kNoIndex;
            views[2 * v] = static_cast<u8>(index >> 8);
            views[2 * v + 1] = static_cast<u8>(index);
        }
    }
    return true;
}

bool CheckCollectionStorable(const Collection& collection, std::string* reason) {
    if (collection.bitmaps.size() > kMaxIndexedElements) {
        *reason = FormatString("it has %zu bitmaps, more than %llu", collection.bitmaps.size(),
                               static_cast<unsigned long long>(kMaxIndexedElements));
        return false;
    }
    for (size_t i = 0; i < collection.bitmaps.size(); ++i) {
        const CollectionBitmap& bitmap = *collection.bitmaps[i];
        if (!CanEncodeCollectionBitmap(bitmap)) {
            *reason = FormatString("bitmap %zu ('%.63s', %u x %u, %u bytes a pixel) cannot be stored: sides must "
                                   "be 1 to %u pixels",
                                   i, bitmap.name, unsigned{bitmap.width}, unsigned{bitmap.height},
                                   unsigned{bitmap.bytes_per_pixel}, kMaxStoredBitmapSide);
            return false;
        }
    }
    u64 instances = 0, frames = 0;
    for (const auto& sequence : collection.sequences) {
        frames += sequence->frames.size();
        instances += u64{sequence->view_count} * sequence->frames.size();
    }
    if (instances > kMaxIndexedElements || frames > kMaxIndexedElements) {
        *reason = FormatString("its sequences hold %llu views in %llu frames, more than %llu",
                               static_cast<unsigned long long>(instances), static_cast<unsigned long long>(frames),
                               static_cast<unsigned long long>(kMaxIndexedElements));
        return false;
    }
    return true;
}

namespace {

bool WriteAt(std::FILE* stream, u64 offset, const ByteBuffer& bytes) {
    return offset <= 0x7FFFFFFFFFFFFFFFull && ::fseeko(stream, static_cast<off_t>(offset), SEEK_SET) == 0 &&
           std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

}  // namespace

int SaveCollection(Collection* collection, std::FILE* stream, TagHeader* header) {
    std::string reason;
    const char* failure = nullptr;
    if (!CheckCollectionStorable(*collection, &reason)) {
        failure = reason.c_str();
    } else {
        for (auto& bitmap : collection->bitmaps) NormaliseBitmapAlpha(bitmap.get());
        header->group = MakeFourCC(".256");
        header->version = kCollectionTagVersion;
        header->user_data = collection->flags;

        CollectionHeader stored = {};
        stored.stored_word = collection->stored_word;
        stored.flags = collection->flags;
        stored.header_size = kCollectionHeaderSize;
        DataBuilder data;
        failure = BuildData(collection, data, &stored);
        if (!failure) {
            SwapRecords(data.bytes().data(), &stored, 1, kCollectionHeaderLayout);
            if (!WriteAt(stream, header->data_offset, data.bytes())) failure = "a write failed";
        }
    }
    if (failure) {
        char name[33] = {};
        std::memcpy(name, header->name, 32);
        LogCodex(1, "ERROR: the collection '%s' could not be saved: %s.\n", name, failure);
        return 0;
    }
    return 1;
}

}  // namespace pirn
