#pragma once
// Table-driven byte-order engine. Every tag, archive and plugin format is
// big-endian on disk; each record type is described once by a StructLayout
// and this engine reads, writes, byte-swaps and sizes arrays of such records.
//
// A layout is a run of u16 words: word 0 holds the disk size of one record in
// bits 0-14 and, in bit 15, whether the memory form differs (the record holds
// pointer fields). Then come (count, type code) pairs until the runs add up to
// the disk size. There is no terminator.
//
// Memory form: records back to back, run after run, with no padding except
// before a pointer run, which is aligned to the native pointer size counted
// from the start of the first record. Pointers are 4 bytes on disk and one
// native pointer (8 bytes on x86-64, 4 on i386) in memory; they are never
// transferred, the receiving side is zero-filled.

#include <cstddef>
#include <cstdio>

#include "platform/types.h"

namespace pirn {

// A layout is used through a pointer to its first word.
using StructLayout = u16;

// Bit 15 of word 0: the memory form differs from the disk form.
constexpr u16 kLayoutHasPointers = 0x8000;
constexpr u16 kLayoutSizeMask = 0x7fff;

// Type codes of a run. The element size of plain codes is 1 << (code & 3).
enum RunCode : u16 {
    kRunBytes = 0,       // bytes, copied
    kRunU16 = 1,         // 16-bit words, swapped
    kRunU32 = 2,         // 32-bit words, swapped
    kRunZero8 = 4,       // zero-filled / skipped elements of 1, 2, 4 bytes
    kRunZero16 = 5,
    kRunZero32 = 6,
    kRunPointer = 14,    // 4 bytes on disk, a native pointer in memory
    kRunRaw8 = 16,       // copied unswapped elements of 1, 2, 4 bytes
    kRunRaw16 = 17,
    kRunRaw32 = 18,
    kRunNested = 32,     // a complete layout follows inline
};

// Size of one pointer field in the memory form.
constexpr u32 kMemoryPointerSize = static_cast<u32>(sizeof(void*));

// Disk size of one record.
inline u32 LayoutDiskSize(const StructLayout* layout) { return layout[0] & kLayoutSizeMask; }

// Checks a layout held in `wordCount` words (for layouts built at run time
// from definition files): every run known, runs (and nested runs) adding up
// exactly to their record size, no element-size code 3. Returns the number of
// words the layout occupies, 0 when it is malformed.
size_t ValidateStructLayout(const StructLayout* layout, size_t wordCount);

// Bytes that `count` records occupy in memory form (64-bit: never wraps).
u64 LayoutMemorySize(u32 count, const StructLayout* layout);

// Reads `count` records in disk form and leaves them in memory form at
// `records` (which must hold LayoutMemorySize bytes, pointer-aligned).
// Returns the disk bytes read; 0 on a short read, for count 0, when a
// temporary buffer cannot be had or the size would exceed 32 bits.
u32 ReadRecords(void* records, u32 count, const StructLayout* layout, std::FILE* stream);

// Writes `count` records from memory form in disk form, in one write call.
// With `records` null nothing is written and disk size x count is returned.
// Returns the disk bytes written, 0 on failure.
u32 WriteRecords(const void* records, u32 count, const StructLayout* layout, std::FILE* stream);

// One run of a plain type code (no pointers, no nesting). ReadRun reads and
// converts in place; returns count << (code & 3), 0 on a short read.
u32 ReadRun(void* data, u32 count, u16 code, std::FILE* stream);
// Null data returns the size only; returns bytes written, 0 on failure.
u32 WriteRun(const void* data, u32 count, u16 code, std::FILE* stream);

// Converts one plain run from source into destination (may be the same).
void SwapRun(void* destination, const void* source, u32 count, u16 code);
void SwapRunInPlace(void* data, u32 count, u16 code);

// Converts whole records between two buffers of the same form.
void SwapRecords(void* destination, const void* source, u32 count, const StructLayout* layout);
void SwapRecordsInPlace(void* records, u32 count, const StructLayout* layout);

// Memory form to disk form and back, between two distinct buffers.
void PackRecords(void* disk, const void* memory, u32 count, const StructLayout* layout);
void UnpackRecords(void* memory, const void* disk, u32 count, const StructLayout* layout);

// Modes of the shared walker.
enum class WalkMode {
    Pack = 0,      // memory -> disk: pointer fields native size in, 4 out
    SameSize = 1,  // same form on both sides
    Unpack = 2,    // disk -> memory: 4 in, native size out
};

// The shared walker: converts `count` records described by the layout at
// `layout` (word 0 first) from source to destination. Offsets are counted from
// the start of the first record of the whole call (pointer alignment depends
// on them) and are advanced; `layout` is left just after the layout's last
// run. With measureOnly nothing is read or written (bases may be null).
// Returns the destination bytes produced.
u64 WalkNestedLayout(bool measureOnly, WalkMode mode,
                     u8* destinationBase, u64& destinationOffset,
                     const u8* sourceBase, u64& sourceOffset,
                     u32 count, const StructLayout*& layout);

}  // namespace pirn
