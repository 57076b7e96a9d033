#include "platform/records.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace pirn {

namespace {

constexpr u32 kDiskPointerSize = 4;

bool IsPlainCode(u16 code) { return code != kRunPointer && (code & kRunNested) == 0; }

u64 AlignToPointer(u64 offset) {
    const u64 rem = offset % kMemoryPointerSize;
    return rem == 0 ? offset : offset + (kMemoryPointerSize - rem);
}

// Loads and stores through memcpy: fields in a record are not aligned.
template <typename T>
T LoadAt(const u8* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <typename T>
void StoreAt(u8* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

// The position just past a complete layout table (its own nested tables
// included), found by adding up the disk sizes of its runs.
const StructLayout* SkipLayout(const StructLayout* layout) {
    const u32 size = layout[0] & kLayoutSizeMask;
    const StructLayout* cursor = layout + 1;
    u64 disk = 0;
    while (disk < size) {
        const u16 count = cursor[0];
        const u16 code = cursor[1];
        cursor += 2;
        if (code == kRunNested) {
            const u32 nestedSize = cursor[0] & kLayoutSizeMask;
            cursor = SkipLayout(cursor);
            disk += static_cast<u64>(count) * nestedSize;
        } else if (code == kRunPointer) {
            disk += static_cast<u64>(count) * kDiskPointerSize;
        } else {
            disk += static_cast<u64>(count) << (code & 3);
        }
    }
    return cursor;
}

// Memory bytes of `count` records starting at memory offset `offset`.
void MeasureMemory(u64& offset, u32 count, const StructLayout*& layout) {
    u64 unusedSource = 0;
    WalkNestedLayout(true, WalkMode::Unpack, nullptr, offset, nullptr, unusedSource, count, layout);
}

// SwapRun for the walker's hot loop: most runs are a handful of bytes, so
// the common single-field cases avoid the library calls.
inline void ConvertRun(u8* dst, const u8* src, u32 count, u16 code, u64 bytes) {
    if (code & 4) {
        std::memset(dst, 0, bytes);
    } else if (code == kRunU16) {
        for (u32 i = 0; i < count; ++i, dst += 2, src += 2) StoreAt<u16>(dst, __builtin_bswap16(LoadAt<u16>(src)));
    } else if (code == kRunU32) {
        for (u32 i = 0; i < count; ++i, dst += 4, src += 4) StoreAt<u32>(dst, __builtin_bswap32(LoadAt<u32>(src)));
    } else if (dst != src) {
        std::memcpy(dst, src, bytes);
    }
}

}  // namespace

void SwapRun(void* destination, const void* source, u32 count, u16 code) {
    u8* dst = static_cast<u8*>(destination);
    const u8* src = static_cast<const u8*>(source);
    const size_t size = static_cast<size_t>(count) << (code & 3);
    if (code & 4) {
        std::memset(dst, 0, size);
    } else if ((code & 16) == 0 && (code & 3) == 1) {
        for (u32 i = 0; i < count; ++i)
            StoreAt<u16>(dst + 2 * size_t{i}, __builtin_bswap16(LoadAt<u16>(src + 2 * size_t{i})));
    } else if ((code & 16) == 0 && (code & 3) == 2) {
        for (u32 i = 0; i < count; ++i)
            StoreAt<u32>(dst + 4 * size_t{i}, __builtin_bswap32(LoadAt<u32>(src + 4 * size_t{i})));
    } else if (dst != src) {
        std::memmove(dst, src, size);
    }
}

void SwapRunInPlace(void* data, u32 count, u16 code) { SwapRun(data, data, count, code); }

u64 WalkNestedLayout(bool measureOnly, WalkMode mode,
                     u8* destinationBase, u64& destinationOffset,
                     const u8* sourceBase, u64& sourceOffset,
                     u32 count, const StructLayout*& layout) {
    const StructLayout* table = layout;
    const u32 recordDiskSize = table[0] & kLayoutSizeMask;
    const u64 destinationStart = destinationOffset;
    const bool destinationIsMemory = mode != WalkMode::Pack;
    const bool sourceIsMemory = mode != WalkMode::Unpack;

    const StructLayout* tableEnd = nullptr;
    for (u32 record = 0; record < count; ++record) {
        const StructLayout* cursor = table + 1;
        u64 disk = 0;
        while (disk < recordDiskSize) {
            const u16 runCount = cursor[0];
            const u16 code = cursor[1];
            cursor += 2;
            if (code == kRunNested) {
                const u32 nestedSize = cursor[0] & kLayoutSizeMask;
                WalkNestedLayout(measureOnly, mode, destinationBase, destinationOffset,
                                 sourceBase, sourceOffset, runCount, cursor);
                disk += static_cast<u64>(runCount) * nestedSize;
            } else if (code == kRunPointer) {
                // Memory sides first align to a pointer; padding is zeroed when
                // written. Pointers themselves are never carried over.
                if (sourceIsMemory) sourceOffset = AlignToPointer(sourceOffset);
                if (destinationIsMemory) {
                    const u64 aligned = AlignToPointer(destinationOffset);
                    if (!measureOnly && aligned != destinationOffset)
                        std::memset(destinationBase + destinationOffset, 0, aligned - destinationOffset);
                    destinationOffset = aligned;
                }
                const u64 sourceWidth = sourceIsMemory ? kMemoryPointerSize : kDiskPointerSize;
                const u64 destinationWidth = destinationIsMemory ? kMemoryPointerSize : kDiskPointerSize;
                if (!measureOnly)
                    std::memset(destinationBase + destinationOffset, 0, runCount * destinationWidth);
                sourceOffset += runCount * sourceWidth;
                destinationOffset += runCount * destinationWidth;
                disk += static_cast<u64>(runCount) * kDiskPointerSize;
            } else {
                const u64 bytes = static_cast<u64>(runCount) << (code & 3);
                if (!measureOnly)
                    ConvertRun(destinationBase + destinationOffset, sourceBase + sourceOffset, runCount, code, bytes);
                sourceOffset += bytes;
                destinationOffset += bytes;
                disk += bytes;
            }
        }
        tableEnd = cursor;
    }
    layout = tableEnd ? tableEnd : SkipLayout(table);
    return destinationOffset - destinationStart;
}

size_t ValidateStructLayout(const StructLayout* layout, size_t wordCount) {
    if (wordCount < 1) return 0;
    const bool hasPointersFlag = (layout[0] & kLayoutHasPointers) != 0;
    const u32 size = layout[0] & kLayoutSizeMask;
    size_t at = 1;
    u64 disk = 0;
    bool sawPointer = false;
    while (disk < size) {
        if (at + 2 > wordCount) return 0;
        const u16 count = layout[at];
        const u16 code = layout[at + 1];
        at += 2;
        if (code == kRunNested) {
            const size_t used = ValidateStructLayout(layout + at, wordCount - at);
            if (used == 0) return 0;
            if (layout[at] & kLayoutHasPointers) sawPointer = true;
            disk += static_cast<u64>(count) * (layout[at] & kLayoutSizeMask);
            at += used;
        } else if (code == kRunPointer) {
            sawPointer = true;
            disk += static_cast<u64>(count) * kDiskPointerSize;
        } else {
            const bool known = code <= 2 || (code >= 4 && code <= 6) || (code >= 16 && code <= 18);
            if (!known) return 0;
            disk += static_cast<u64>(count) << (code & 3);
        }
    }
    if (disk != size) return 0;
    // A pointer run without the flag would make the same-size paths overrun.
    if (sawPointer && !hasPointersFlag) return 0;
    return at;
}

u64 LayoutMemorySize(u32 count, const StructLayout* layout) {
    if ((layout[0] & kLayoutHasPointers) == 0) return static_cast<u64>(LayoutDiskSize(layout)) * count;
    u64 offset = 0;
    const StructLayout* cursor = layout;
    MeasureMemory(offset, count, cursor);
    return offset;
}

void SwapRecords(void* destination, const void* source, u32 count, const StructLayout* layout) {
    u64 d = 0, s = 0;
    WalkNestedLayout(false, WalkMode::SameSize, static_cast<u8*>(destination), d,
                     static_cast<const u8*>(source), s, count, layout);
}

void SwapRecordsInPlace(void* records, u32 count, const StructLayout* layout) {
    SwapRecords(records, records, count, layout);
}

void PackRecords(void* disk, const void* memory, u32 count, const StructLayout* layout) {
    u64 d = 0, s = 0;
    WalkNestedLayout(false, WalkMode::Pack, static_cast<u8*>(disk), d,
                     static_cast<const u8*>(memory), s, count, layout);
}

void UnpackRecords(void* memory, const void* disk, u32 count, const StructLayout* layout) {
    u64 d = 0, s = 0;
    WalkNestedLayout(false, WalkMode::Unpack, static_cast<u8*>(memory), d,
                     static_cast<const u8*>(disk), s, count, layout);
}

u32 ReadRecords(void* records, u32 count, const StructLayout* layout, std::FILE* stream) {
    if (count == 0) return 0;
    const u64 diskBytes = static_cast<u64>(LayoutDiskSize(layout)) * count;
    if (diskBytes == 0 || diskBytes > std::numeric_limits<u32>::max()) return 0;
    if (LayoutMemorySize(count, layout) == diskBytes) {
        if (std::fread(records, 1, diskBytes, stream) != diskBytes) return 0;
        SwapRecordsInPlace(records, count, layout);
        return static_cast<u32>(diskBytes);
    }
    void* buffer = std::malloc(diskBytes);
    if (!buffer) return 0;
    const size_t got = std::fread(buffer, 1, diskBytes, stream);
    if (got != diskBytes) {
        std::free(buffer);
        return 0;
    }
    UnpackRecords(records, buffer, count, layout);
    std::free(buffer);
    return static_cast<u32>(diskBytes);
}

u32 WriteRecords(const void* records, u32 count, const StructLayout* layout, std::FILE* stream) {
    const u64 diskBytes = static_cast<u64>(LayoutDiskSize(layout)) * count;
    if (diskBytes > std::numeric_limits<u32>::max()) return 0;
    if (!records || diskBytes == 0) return static_cast<u32>(diskBytes);
    void* buffer = std::malloc(diskBytes);
    if (!buffer) return 0;
    PackRecords(buffer, records, count, layout);
    const size_t put = std::fwrite(buffer, 1, diskBytes, stream);
    std::free(buffer);
    return put == diskBytes ? static_cast<u32>(diskBytes) : 0;
}

u32 ReadRun(void* data, u32 count, u16 code, std::FILE* stream) {
    if (!IsPlainCode(code)) return 0;
    const u64 bytes = static_cast<u64>(count) << (code & 3);
    if (bytes == 0 || bytes > std::numeric_limits<u32>::max()) return 0;
    if (std::fread(data, 1, bytes, stream) != bytes) return 0;
    SwapRunInPlace(data, count, code);
    return static_cast<u32>(bytes);
}

u32 WriteRun(const void* data, u32 count, u16 code, std::FILE* stream) {
    if (!IsPlainCode(code)) return 0;
    const u64 bytes = static_cast<u64>(count) << (code & 3);
    if (bytes > std::numeric_limits<u32>::max()) return 0;
    if (!data || bytes == 0) return static_cast<u32>(bytes);
    void* buffer = std::malloc(bytes);
    if (!buffer) return 0;
    SwapRun(buffer, data, count, code);
    const size_t put = std::fwrite(buffer, 1, bytes, stream);
    std::free(buffer);
    return put == bytes ? static_cast<u32>(bytes) : 0;
}

}  // namespace pirn
