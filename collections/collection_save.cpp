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

// Writes through the stream and keeps the position relative to the data
// base, so that section and entry offsets come from what was written.
class SectionWriter {
public:
    SectionWriter(std::FILE* stream, u64 base) : stream_(stream), base_(base) {}

    bool Start() { return Seek(0); }
    bool Seek(u64 relative) {
        const u64 absolute = base_ + relative;
        if (absolute > 0x7FFFFFFFFFFFFFFFull || ::fseeko(stream_, static_cast<off_t>(absolute), SEEK_SET) != 0)
            return false;
        position_ = relative;
        return true;
    }
    bool Bytes(const void* data, size_t size) {
        if (size && std::fwrite(data, 1, size, stream_) != size) return false;
        position_ += size;
        return true;
    }
    bool Zeros(size_t size) {
        static const u8 zeros[4096] = {};
        for (size_t left = size; left > 0;) {
            const size_t n = std::min(left, sizeof zeros);
            if (!Bytes(zeros, n)) return false;
            left -= n;
        }
        return true;
    }
    template <typename Record>
    bool Records(const std::vector<Record>& records, const StructLayout* layout) {
        if (records.empty()) return true;
        const u64 bytes = u64{LayoutDiskSize(layout)} * records.size();
        if (bytes > 0xFFFFFFFFu) return false;
        if (WriteRecords(records.data(), static_cast<u32>(records.size()), layout, stream_) != bytes) return false;
        position_ += bytes;
        return true;
    }
    // Runs a write and records it in a section: offset, count and size.
    template <typename Write>
    bool Section(CollectionSection* section, u64 count, Write write) {
        const u64 start = position_;
        if (!write()) return false;
        if (start > 0xFFFFFFFFu || position_ - start > 0xFFFFFFFFu || count > 0xFFFFFFFFu) return false;
        section->offset = static_cast<u32>(start);
        section->count = static_cast<u32>(count);
        section->size = static_cast<u32>(position_ - start);
        return true;
    }
    u64 position() const { return position_; }

private:
    std::FILE* stream_;
    u64 base_;
    u64 position_ = 0;
};

InstanceRecord RecordFromInstance(const BitmapInstance& instance) {
    InstanceRecord record = {};
    record.flags = instance.flags;
    record.x = instance.standard.x;
    record.y = instance.standard.y;
    record.key_x = instance.key_x;
    record.key_y = instance.key_y;
    record.bitmap_index = instance.standard.index;
    record.alternate_index = instance.alternate.index;
    record.alternate_scale = instance.alternate.scale;
    record.alternate_x = instance.alternate.x;
    record.alternate_y = instance.alternate.y;
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
void AppendRecord(const Record& record, const StructLayout* layout, std::vector<u8>* out) {
    Record stored = record;
    SwapRecordsInPlace(&stored, 1, layout);
    const u8* bytes = reinterpret_cast<const u8*>(&stored);
    out->insert(out->end(), bytes, bytes + sizeof stored);
}

bool Fits32(u64 offset, u64 size) { return offset <= 0xFFFFFFFFu && size <= 0xFFFFFFFFu; }

const char* WriteData(Collection* collection, SectionWriter& out, CollectionHeader* header) {
    CollectionSection* sections = header->sections;
    ColorTableRecord table;
    MakeColorTableRecord(collection->colors, &table);
    const std::vector<ColorTableRecord> tables(1, table);
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

    if (!out.Section(&sections[kSectionColorTables], 1, [&] { return out.Records(tables, kColorTableRecordLayout); }) ||
        !out.Section(&sections[kSectionHueChanges], hues.size(),
                     [&] { return out.Records(hues, kHueChangeRecordLayout); }) ||
        !out.Section(&sections[kSectionInstances], instances.size(),
                     [&] { return out.Records(instances, kInstanceRecordLayout); }) ||
        !out.Section(&sections[kSectionSequenceTable], sequence_table.size(),
                     [&] { return out.Zeros(sequence_table.size() * sizeof(SequenceTableEntry)); }))
        return "a write failed";
    const u64 sequence_table_at = sections[kSectionSequenceTable].offset;

    std::vector<u8> block;
    for (size_t i = 0; i < collection->sequences.size(); ++i) {
        CollectionSequence* sequence = collection->sequences[i].get();
        block.clear();
        WriteSequenceData(sequence, &block);
        SequenceTableEntry& entry = sequence_table[i];
        std::memcpy(entry.name, sequence->name, sizeof entry.name);
        if (!Fits32(out.position(), block.size())) return "the data passes 4 GiB";
        entry.offset = static_cast<u32>(out.position());
        entry.size = static_cast<u32>(block.size());
        if (!out.Bytes(block.data(), block.size())) return "a write failed";
    }

    if (!out.Section(&sections[kSectionFrameRecords], frames.size(),
                     [&] { return out.Records(frames, kFrameRecordLayout); }) ||
        !out.Section(&sections[kSectionBitmapTable], bitmap_table.size(),
                     [&] { return out.Zeros(bitmap_table.size() * sizeof(BitmapTableEntry)); }))
        return "a write failed";
    const u64 bitmap_table_at = sections[kSectionBitmapTable].offset;

    for (size_t i = 0; i < collection->bitmaps.size(); ++i) {
        const CollectionBitmap& bitmap = *collection->bitmaps[i];
        if (!EncodeCollectionBitmapBytes(bitmap, &block)) return "a bitmap could not be encoded";
        BitmapTableEntry& entry = bitmap_table[i];
        std::memcpy(entry.name, bitmap.name, sizeof entry.name);
        entry.width = bitmap.width;
        entry.height = bitmap.height;
        if (!Fits32(out.position(), block.size())) return "the data passes 4 GiB";
        entry.offset = static_cast<u32>(out.position());
        entry.size = static_cast<u32>(block.size());
        if (!out.Bytes(block.data(), block.size())) return "a write failed";
    }
    const u64 total = out.position();
    if (total > 0xFFFFFFFFu - kCollectionHeaderSize) return "the data passes 4 GiB";
    header->total_size = static_cast<u32>(total);

    if (!out.Seek(sequence_table_at) || !out.Records(sequence_table, kSequenceTableEntryLayout) ||
        !out.Seek(bitmap_table_at) || !out.Records(bitmap_table, kBitmapTableEntryLayout))
        return "a write failed";
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

void WriteSequenceData(CollectionSequence* sequence, std::vector<u8>* out) {
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
    AppendRecord(record, kSequenceRecordLayout, out);

    for (const SequenceFrame& frame : sequence->frames) {
        FrameDataRecord data = {};
        data.frame_record_index = frame.frame_record_index;
        std::memcpy(data.values, frame.values, sizeof data.values);
        AppendRecord(data, kFrameDataRecordLayout, out);
        for (u32 v = 0; v < sequence->view_count; ++v) {
            const u16 index = v < frame.view_indices.size() ? frame.view_indices[v] : kNoIndex;
            out->push_back(static_cast<u8>(index >> 8));
            out->push_back(static_cast<u8>(index));
        }
    }
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
        SectionWriter out(stream, u64{header->data_offset} + kCollectionHeaderSize);
        if (!out.Start())
            failure = "a seek failed";
        else
            failure = WriteData(collection, out, &stored);
        if (!failure) {
            const u64 end = out.position();
            if (::fseeko(stream, static_cast<off_t>(header->data_offset), SEEK_SET) != 0 ||
                WriteRecords(&stored, 1, kCollectionHeaderLayout, stream) != kCollectionHeaderSize ||
                !out.Seek(end))
                failure = "a write failed";
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
