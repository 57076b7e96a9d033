// Reading a '.256' tag's data into a Collection.

#include <sys/types.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

#include "codex/codex_log.h"
#include "collections/bitmap_codec.h"
#include "collections/bitmap_placeholder.h"
#include "collections/collection_tag.h"
#include "collections/tag_data_reader.h"

namespace pirn {

namespace {

const char* const kReadFailed = "the data could not be read";
const char* const kSequenceOutside = "a sequence lies outside the data or is shorter than its frames";
// Bitmaps that do not decode are named one by one in the log up to this many.
constexpr u32 kNamedUnreadableBitmaps = 16;

// Where the stream holds the tag's data, checked before anything is read.
const char* CheckDataFits(std::FILE* stream, const TagHeader& tag) {
    if (::fseeko(stream, 0, SEEK_END) != 0) return "the file could not be read";
    const off_t end = ::ftello(stream);
    if (end < 0 || u64(end) < tag.data_offset || u64(end) - tag.data_offset < tag.data_length)
        return "the data runs past the end of the file";
    if (tag.data_length < kCollectionHeaderSize) return "the data is shorter than its header";
    return nullptr;
}

// A section's records copied out of the tag, after checking that all of
// them lie inside the data (only the first `kept` are copied).
struct StoredRecords {
    std::unique_ptr<u8[]> bytes;
    u32 count = 0;
    u32 size = 0;  // of one record
    const u8* At(u32 i) const { return bytes.get() + size_t{i} * size; }
};

bool ReadSection(TagDataReader& data, u64 base, const CollectionSection& section, const StructLayout* layout,
                 StoredRecords* out, u32 kept = 0xFFFFFFFFu) {
    out->size = LayoutDiskSize(layout);
    out->count = 0;
    if (section.count == 0) return true;
    const u64 at = base + section.offset;
    if (!data.Holds(at, u64{section.count} * out->size)) return false;
    out->count = std::min(section.count, kept);
    const u64 bytes = u64{out->count} * out->size;
    out->bytes.reset(new u8[static_cast<size_t>(bytes)]);
    return data.Copy(at, bytes, out->bytes.get());
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

// Pixels a tag may unpack to, in proportion to its data: an RLE block of
// empty rows stands for up to 16,000 times its bytes, so a damaged tag of a
// few kilobytes could otherwise take a gigabyte. No collection written by
// a tool unpacks to more than this many times its data; below the floor a
// small tag may still hold a large, mostly transparent bitmap (4096 x 4096
// takes 32 MiB).
constexpr u64 kPixelBytesPerDataByte = 64;
constexpr u64 kLeastPixelBudget = u64{64} << 20;

// Where an entry's pixels come from.
struct BitmapSource {
    enum Kind { kNone, kBlock, kSameBlockAs };
    Kind kind = kNone;  // kNone: a placeholder
    u32 earlier = 0;    // kSameBlockAs: the entry that decodes the block
};

// The source of every entry. Entries that name the same block (offset and
// size) share one decode of it. A block that overlaps another block's
// bytes, which no writer makes, counts as one that does not decode: so
// every decoded pixel comes from bytes that only its own block decodes.
std::vector<BitmapSource> PlanBitmapSources(const TagDataReader& data, u64 base, const StoredRecords& entries) {
    std::vector<BitmapSource> sources(entries.count);
    struct Block {
        u64 offset, size;
        u32 entry;
    };
    std::vector<Block> blocks;
    for (u32 i = 0; i < entries.count; ++i) {
        const u64 offset = StoredU32(entries.At(i), offsetof(BitmapTableEntry, offset));
        const u64 size = StoredU32(entries.At(i), offsetof(BitmapTableEntry, size));
        if (size >= kBitmapHeaderSize && data.Holds(base + offset, size)) blocks.push_back({offset, size, i});
    }
    // Of the entries naming one block, the first in the table decodes it.
    std::sort(blocks.begin(), blocks.end(), [](const Block& a, const Block& b) {
        if (a.offset != b.offset) return a.offset < b.offset;
        return a.size != b.size ? a.size < b.size : a.entry < b.entry;
    });
    const Block* kept = nullptr;
    for (const Block& block : blocks) {
        BitmapSource& source = sources[block.entry];
        if (kept && block.offset == kept->offset && block.size == kept->size) {
            source.kind = BitmapSource::kSameBlockAs;
            source.earlier = kept->entry;
        } else if (!kept || block.offset >= kept->offset + kept->size) {
            source.kind = BitmapSource::kBlock;
            kept = &block;
        }
    }
    return sources;
}

// Whether the bitmaps the entries decode to stay within the budget, added
// up from their blocks' headers before any is decoded. Entries sharing a
// block count each, as they take pixels of their own once edited;
// placeholders cost nothing.
bool BitmapsFitBudget(TagDataReader& data, u64 base, const StoredRecords& entries,
                      const std::vector<BitmapSource>& sources) {
    const u64 budget = CollectionPixelBudget(data.length());
    u64 total = 0;
    for (u32 i = 0; i < entries.count; ++i) {
        if (sources[i].kind == BitmapSource::kNone) continue;
        const u64 at = base + StoredU32(entries.At(i), offsetof(BitmapTableEntry, offset));
        const u32 size = StoredU32(entries.At(i), offsetof(BitmapTableEntry, size));
        u8 header[kBitmapHeaderSize];
        if (data.Copy(at, kBitmapHeaderSize, header)) total += DecodedPixelBytes(header, size);
        if (total > budget) return false;
    }
    return true;
}

// A bitmap with the pixels of one decoded before from the same block.
std::unique_ptr<CollectionBitmap> SameBlockBitmap(CollectionBitmap* decoded, u16 decoded_flags) {
    auto bitmap = std::make_unique<CollectionBitmap>();
    bitmap->width = decoded->width;
    bitmap->height = decoded->height;
    bitmap->bytes_per_pixel = decoded->bytes_per_pixel;
    bitmap->flags = decoded_flags;
    bitmap->pixels.ShareWith(decoded->pixels);
    return bitmap;
}

// A failure's reason, or null.
const char* ReadCollectionBitmaps(Collection* collection, TagDataReader& data, u64 base, const StoredRecords& entries,
                                  bool color_map) {
    const std::vector<BitmapSource> sources = PlanBitmapSources(data, base, entries);
    if (!BitmapsFitBudget(data, base, entries, sources))
        return "its bitmaps claim far more pixels than its data can hold";
    ColorTableRecord table;
    MakeColorTableRecord(collection->colors, &table);
    collection->bitmaps.clear();
    collection->bitmaps.reserve(entries.count);
    // One block for all the pixels, as the table's sizes expect them at 2
    // bytes a pixel; 64-bit bitmaps and a table that does not tell the
    // truth get more blocks as they need them. The table's sizes are only
    // claims: each counts for no more than its block of the data could
    // sensibly decode to, so a small damaged tag does not take 64 MB up front.
    constexpr u64 kExpectedPerStoredByte = 16;
    u64 expected = 0;
    for (u32 i = 0; i < entries.count; ++i) {
        if (sources[i].kind != BitmapSource::kBlock) continue;
        const u8* entry = entries.At(i);
        const u64 size = StoredU32(entry, offsetof(BitmapTableEntry, size));
        const u64 claimed = 2 * u64{StoredU16(entry, offsetof(BitmapTableEntry, width))} *
                            StoredU16(entry, offsetof(BitmapTableEntry, height));
        expected += std::min(claimed, kExpectedPerStoredByte * size);
    }
    PixelBlocks blocks(expected);
    PlaceholderBitmaps placeholders(*collection);
    // The flags each decoded entry came with, before a colour map's
    // positions change them.
    std::vector<u16> decoded_flags(entries.count);
    std::vector<bool> decoded(entries.count, false);
    u32 unreadable = 0;
    for (u32 i = 0; i < entries.count; ++i) {
        const u8* entry = entries.At(i);
        const BitmapSource& source = sources[i];
        std::unique_ptr<CollectionBitmap> bitmap;
        if (source.kind == BitmapSource::kBlock) {
            const u32 offset = StoredU32(entry, offsetof(BitmapTableEntry, offset));
            const u32 size = StoredU32(entry, offsetof(BitmapTableEntry, size));
            const u8* block = data.View(base + offset, size);
            if (!block) return kReadFailed;
            bitmap = DecodeCollectionBitmapBytes(block, size, table, &blocks);
        } else if (source.kind == BitmapSource::kSameBlockAs && decoded[source.earlier]) {
            bitmap = SameBlockBitmap(collection->bitmaps[source.earlier].get(), decoded_flags[source.earlier]);
        }
        const bool shadow = color_map && i % 2;
        if (bitmap) {
            decoded[i] = true;
            decoded_flags[i] = bitmap->flags;
        } else {
            // A damaged tag may have thousands: the first few are named.
            if (++unreadable <= kNamedUnreadableBitmaps)
                LogCodex(0,
                         "WARNING: bitmap %u of the collection '%s' could not be read; it shows as a checkerboard.\n",
                         static_cast<unsigned>(i), collection->name);
            bitmap = placeholders.Make(shadow);
        }
        CopyName(bitmap->name, entry + offsetof(BitmapTableEntry, name));
        if (color_map) {
            if (shadow)
                bitmap->flags |= kBitmapShadow;
            else
                bitmap->flags &= static_cast<u16>(~kBitmapShadow);
        }
        collection->bitmaps.push_back(std::move(bitmap));
    }
    if (unreadable > kNamedUnreadableBitmaps)
        LogCodex(0, "WARNING: %u more bitmaps of the collection '%s' could not be read.\n",
                 static_cast<unsigned>(unreadable - kNamedUnreadableBitmaps), collection->name);
    return nullptr;
}

const char* ReadSequences(Collection* collection, TagDataReader& data, u64 base, const StoredRecords& entries,
                          const LoadedReferences& references) {
    // Each sequence's frames take their own bytes of the data, so together
    // they cannot need more than the data holds: entries that share one
    // large block would otherwise multiply it into more frames than memory
    // holds.
    u64 needed = 0;
    for (u32 i = 0; i < entries.count; ++i) {
        const u8* entry = entries.At(i);
        const u32 offset = StoredU32(entry, offsetof(SequenceTableEntry, offset));
        const u32 size = StoredU32(entry, offsetof(SequenceTableEntry, size));
        CollectionSequence* sequence = AddSequence(collection, "");
        CopyName(sequence->name, entry + offsetof(SequenceTableEntry, name));
        if (!data.Holds(base + offset, size)) return kSequenceOutside;
        const u8* block = data.View(base + offset, size);
        if (!block) return kReadFailed;
        if (size >= sizeof(SequenceRecord)) {
            const u64 views = StoredU16(block, offsetof(SequenceRecord, view_count));
            const u64 frames = StoredU16(block, offsetof(SequenceRecord, frame_count));
            needed += sizeof(SequenceRecord) + frames * (sizeof(FrameDataRecord) + 2 * views);
            if (needed > data.length()) return "its sequences need more bytes than its data holds";
        }
        if (!ReadSequenceData(*collection, sequence, block, size, references)) return kSequenceOutside;
    }
    return nullptr;
}

// The sequences come before the bitmaps in the tag and are read first; their
// references find their bitmaps once those are read, as ReadSequenceData
// would have resolved them.
void ResolveSequenceBitmaps(Collection* collection) {
    for (auto& sequence : collection->sequences)
        for (SequenceFrame& frame : sequence->frames) {
            for (size_t v = 0; v < frame.instances.size() && v < frame.view_indices.size(); ++v) {
                if (frame.view_indices[v] == kNoIndex) continue;
                BitmapInstance& instance = frame.instances[v];
                instance.standard.bitmap = ResolveBitmap(*collection, instance.standard.index);
                if (instance.flags & kInstanceHasAlternate)
                    instance.alternate.bitmap = ResolveBitmap(*collection, instance.alternate.index);
            }
            if (frame.frame_record_index != kNoIndex)
                frame.shadow = ResolveBitmap(*collection, frame.record.shadow_index);
        }
}

const char* LoadInto(Collection* collection, std::FILE* stream, const TagHeader* tag, bool read_bitmaps) {
    if (const char* failure = CheckDataFits(stream, *tag)) return failure;
    TagDataReader data(stream, tag->data_offset, tag->data_length);
    const u8* stored_header = data.View(0, kCollectionHeaderSize);
    if (!stored_header) return kReadFailed;
    CollectionHeader header;
    SwapRecords(&header, stored_header, 1, kCollectionHeaderLayout);
    if (header.sections[kSectionColorTables].count == 0) return "it has no colour table";
    if (header.header_size > data.length()) return "its header size lies past the data";
    const u64 base = header.header_size;

    std::memcpy(collection->name, tag->name, sizeof collection->name);
    collection->name[sizeof collection->name - 1] = 0;
    collection->stored_word = header.stored_word;
    // The older tag header has no user-data word; there the collection's
    // own copy of the flags is the only one.
    collection->flags = tag->signature == kOldTagHeaderSignature ? header.flags : tag->user_data;

    // Every colour table must lie inside the data; only the first counts.
    StoredRecords tables, hues, instances, sequences, frames, bitmaps;
    const CollectionSection* s = header.sections;
    if (!ReadSection(data, base, s[kSectionColorTables], kColorTableRecordLayout, &tables, 1) ||
        !ReadSection(data, base, s[kSectionHueChanges], kHueChangeRecordLayout, &hues) ||
        !ReadSection(data, base, s[kSectionInstances], kInstanceRecordLayout, &instances) ||
        !ReadSection(data, base, s[kSectionSequenceTable], kSequenceTableEntryLayout, &sequences) ||
        !ReadSection(data, base, s[kSectionFrameRecords], kFrameRecordLayout, &frames) ||
        !ReadSection(data, base, s[kSectionBitmapTable], kBitmapTableEntryLayout, &bitmaps))
        return "a section lies outside the data or could not be read";

    ColorTableRecord table;
    SwapRecords(&table, tables.At(0), 1, kColorTableRecordLayout);
    for (u32 i = 0; i < kColorTableEntries; ++i)
        for (int c = 0; c < 3; ++c) collection->colors[3 * i + c] = static_cast<u8>(table.channels[i][c] >> 8);
    for (u32 i = 0; i < hues.count; ++i)
        SwapRecords(AddHueChange(collection, ""), hues.At(i), 1, kHueChangeRecordLayout);

    LoadedReferences references;
    references.instances = instances.bytes.get();
    references.instance_count = instances.count;
    references.frame_records = frames.bytes.get();
    references.frame_record_count = frames.count;
    if (const char* failure = ReadSequences(collection, data, base, sequences, references)) return failure;

    if (read_bitmaps) {
        const bool color_map = ((tag->user_data | header.flags) & kCollectionColorMap) != 0;
        if (const char* failure = ReadCollectionBitmaps(collection, data, base, bitmaps, color_map)) return failure;
        ResolveSequenceBitmaps(collection);
        ComputeSequenceExtents(collection);
    }
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

u64 CollectionPixelBudget(u64 data_length) {
    return std::max(kLeastPixelBudget, kPixelBytesPerDataByte * std::min<u64>(data_length, u64{1} << 40));
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
