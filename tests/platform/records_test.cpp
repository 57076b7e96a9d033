#include "platform/records.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/scratch_stream.h"

using namespace pirn;

namespace {

// Sprite image record: two pointers, three pairs of 16-bit words (zeroed,
// unswapped, zeroed), a pointer, an unswapped 32-bit word. 28 bytes on disk.
const StructLayout kSpriteImage[] = {0x8000 | 28, 2, 14, 2, 5, 2, 17, 2, 5, 1, 14, 1, 18};
// Dialog item: swapped u32, zeroed u16, swapped u16, 4 zeroed u16, 4 swapped u16.
const StructLayout kDialogItem[] = {24, 1, 2, 1, 5, 1, 1, 4, 5, 4, 1};
const StructLayout kTagHeader[] = {64, 1, 1, 2, 0, 31, 0, 1, 4, 5, 2, 1, 1, 2, 0, 1, 2};
const StructLayout kOldTagHeader[] = {64, 31, 0, 1, 4, 3, 2, 2, 1, 4, 2};
const StructLayout kArchiveHeader[] = {128, 2, 1, 31, 0, 1, 4, 63, 0, 1, 4, 2, 1, 6, 2};
const StructLayout kOldArchiveHeader[] = {48, 2, 1, 31, 0, 1, 4, 2, 2, 2, 1};
const StructLayout kMeshMapRecord[] = {112, 4, 2, 31, 0, 1, 4, 63, 0, 1, 4};
const StructLayout kImaPacket[] = {34, 1, 1, 32, 0};
// A u16, two nested records of one pointer each, a swapped u32.
const StructLayout kNested[] = {0x8000 | 14, 1, 1, 2, 32, 0x8000 | 4, 1, 14, 1, 2};

std::FILE* StreamWith(const std::vector<u8>& bytes) {
    std::FILE* f = pirn::OpenScratchFile();
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return f;
}

std::vector<u8> StreamBytes(std::FILE* f) {
    std::fflush(f);
    const long size = std::ftell(f);
    std::vector<u8> out(static_cast<size_t>(size));
    std::rewind(f);
    if (size > 0) {
        EXPECT_EQ(std::fread(out.data(), 1, out.size(), f), out.size());
    }
    return out;
}

// One sprite record on disk: every byte distinct so misplacement shows.
std::vector<u8> SpriteDiskRecord(u8 base) {
    std::vector<u8> r(28);
    for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<u8>(base + i);
    return r;
}

}  // namespace

TEST(Records, BuiltInLayoutsAreWellFormed) {
    struct Case {
        const StructLayout* layout;
        size_t words;
        u32 diskSize;
    } cases[] = {
        {kSpriteImage, std::size(kSpriteImage), 28},   {kDialogItem, std::size(kDialogItem), 24},
        {kTagHeader, std::size(kTagHeader), 64},       {kOldTagHeader, std::size(kOldTagHeader), 64},
        {kArchiveHeader, std::size(kArchiveHeader), 128}, {kOldArchiveHeader, std::size(kOldArchiveHeader), 48},
        {kMeshMapRecord, std::size(kMeshMapRecord), 112}, {kImaPacket, std::size(kImaPacket), 34},
        {kNested, std::size(kNested), 14},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValidateStructLayout(c.layout, c.words), c.words);
        EXPECT_EQ(LayoutDiskSize(c.layout), c.diskSize);
    }
    EXPECT_EQ(LayoutMemorySize(3, kTagHeader), 192u);
}

TEST(Records, ValidateRejectsMalformedLayouts) {
    const StructLayout overshoot[] = {6, 1, 2, 1, 2};        // 8 bytes of runs in a 6-byte record
    const StructLayout truncated[] = {8, 1, 2};              // runs stop short of the table end
    const StructLayout sizeCode3[] = {8, 1, 3};              // 8-byte elements are not a thing
    const StructLayout unknown[] = {4, 1, 9};                // no such type code
    const StructLayout pointerNoFlag[] = {4, 1, 14};         // pointer run without bit 15
    const StructLayout badNested[] = {4, 1, 32, 4, 1, 1};    // nested runs add up to 2, not 4
    EXPECT_EQ(ValidateStructLayout(overshoot, std::size(overshoot)), 0u);
    EXPECT_EQ(ValidateStructLayout(truncated, std::size(truncated)), 0u);
    EXPECT_EQ(ValidateStructLayout(sizeCode3, std::size(sizeCode3)), 0u);
    EXPECT_EQ(ValidateStructLayout(unknown, std::size(unknown)), 0u);
    EXPECT_EQ(ValidateStructLayout(pointerNoFlag, std::size(pointerNoFlag)), 0u);
    EXPECT_EQ(ValidateStructLayout(badNested, std::size(badNested)), 0u);
}

// Expected memory form of one sprite record unpacked from SpriteDiskRecord(b)
// at memory offset `at` (which decides the pointer padding).
static void ExpectSpriteMemory(const u8* m, const std::vector<u8>& disk, size_t at) {
    const size_t P = sizeof(void*);
    size_t pos = at;
    auto align = [&] {
        while (pos % P) EXPECT_EQ(m[pos++ - at], 0) << "pad at " << pos - 1;
    };
    align();
    for (size_t i = 0; i < 2 * P; ++i) EXPECT_EQ(m[pos++ - at], 0) << "pointer byte";
    for (int i = 0; i < 4; ++i) EXPECT_EQ(m[pos++ - at], 0) << "zeroed word";
    // Unswapped 16-bit pair keeps file order (disk bytes 12..15).
    for (int i = 0; i < 4; ++i) EXPECT_EQ(m[pos++ - at], disk[12 + i]);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(m[pos++ - at], 0) << "zeroed word";
    align();
    for (size_t i = 0; i < P; ++i) EXPECT_EQ(m[pos++ - at], 0) << "pointer byte";
    for (int i = 0; i < 4; ++i) EXPECT_EQ(m[pos++ - at], disk[24 + i]) << "unswapped u32";
}

TEST(Records, SpriteRecordUnpacksToNativeMemoryForm) {
    std::vector<u8> disk = SpriteDiskRecord(0x10);
    std::vector<u8> second = SpriteDiskRecord(0x80);
    disk.insert(disk.end(), second.begin(), second.end());

    if (sizeof(void*) == 8) {
        EXPECT_EQ(LayoutMemorySize(1, kSpriteImage), 44u);
        EXPECT_EQ(LayoutMemorySize(2, kSpriteImage), 92u);  // second record pads 44 -> 48
    } else {
        EXPECT_EQ(LayoutMemorySize(1, kSpriteImage), 28u);  // 4-byte pointers: same as disk
        EXPECT_EQ(LayoutMemorySize(2, kSpriteImage), 56u);
    }

    alignas(8) u8 memory[128];
    std::memset(memory, 0xEE, sizeof memory);
    std::FILE* f = StreamWith(disk);
    EXPECT_EQ(ReadRecords(memory, 2, kSpriteImage, f), 56u);
    std::fclose(f);

    const size_t firstSize = static_cast<size_t>(LayoutMemorySize(1, kSpriteImage));
    ExpectSpriteMemory(memory, SpriteDiskRecord(0x10), 0);
    if (sizeof(void*) == 8) {
        EXPECT_EQ(memory[44], 0);  // padding before the second record's first pointer
        ExpectSpriteMemory(memory + firstSize, SpriteDiskRecord(0x80), firstSize);
    } else {
        ExpectSpriteMemory(memory + firstSize, SpriteDiskRecord(0x80), firstSize);
    }
    EXPECT_EQ(memory[LayoutMemorySize(2, kSpriteImage)], 0xEE) << "wrote past the memory form";
}

TEST(Records, SpriteRecordPacksPointersAndZeroRunsAsZero) {
    alignas(8) u8 memory[64];
    for (size_t i = 0; i < sizeof memory; ++i) memory[i] = static_cast<u8>(0xA0 + i);
    std::FILE* f = pirn::OpenScratchFile();
    EXPECT_EQ(WriteRecords(memory, 1, kSpriteImage, f), 28u);
    const std::vector<u8> disk = StreamBytes(f);
    std::fclose(f);
    ASSERT_EQ(disk.size(), 28u);
    const size_t P = sizeof(void*);
    std::vector<u8> expected(28, 0);
    // Unswapped pair at memory 2P+4 .. 2P+8 goes to disk 12..15.
    for (int i = 0; i < 4; ++i) expected[12 + i] = memory[2 * P + 4 + i];
    // The u32 follows the last pointer (memory 44 - 4 on x86-64, 24 on i386).
    const size_t u32At = static_cast<size_t>(LayoutMemorySize(1, kSpriteImage)) - 4;
    for (int i = 0; i < 4; ++i) expected[24 + i] = memory[u32At + i];
    EXPECT_EQ(disk, expected);
}

TEST(Records, SameSizeRecordsSwapFieldsInPlace) {
    // Dialog item from the byte table: u32 0x01020304, u16 zeroed, u16 0x0506,
    // four zeroed u16, four u16 0x0A0B..0x1011.
    const std::vector<u8> disk = {1, 2, 3, 4, 0xFF, 0xFF, 5, 6, 9, 9, 9, 9, 9, 9, 9, 9,
                                  0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11};
    alignas(8) u8 memory[24];
    std::FILE* f = StreamWith(disk);
    EXPECT_EQ(ReadRecords(memory, 1, kDialogItem, f), 24u);
    std::fclose(f);
    u32 first;
    u16 words[4];
    std::memcpy(&first, memory, 4);
    EXPECT_EQ(first, 0x01020304u);
    u16 zeroed, third;
    std::memcpy(&zeroed, memory + 4, 2);
    std::memcpy(&third, memory + 6, 2);
    EXPECT_EQ(zeroed, 0);
    EXPECT_EQ(third, 0x0506);
    for (int i = 8; i < 16; ++i) EXPECT_EQ(memory[i], 0);
    std::memcpy(words, memory + 16, 8);
    EXPECT_EQ(words[0], 0x0A0B);
    EXPECT_EQ(words[3], 0x1011);

    // Writing back yields the fixture with zero runs zeroed.
    f = pirn::OpenScratchFile();
    EXPECT_EQ(WriteRecords(memory, 1, kDialogItem, f), 24u);
    std::vector<u8> expected = disk;
    for (int i : {4, 5, 8, 9, 10, 11, 12, 13, 14, 15}) expected[i] = 0;
    EXPECT_EQ(StreamBytes(f), expected);
    std::fclose(f);
}

TEST(Records, NestedLayoutPadsPointersFromTheRecordStart) {
    const std::vector<u8> disk = {0x12, 0x34, 0xAA, 0xAA, 0xAA, 0xAA, 0xBB, 0xBB, 0xBB, 0xBB, 1, 2, 3, 4};
    const size_t P = sizeof(void*);
    const size_t expectedSize = (P == 8) ? 28 : 16;  // u16, pad, 2 pointers, u32
    EXPECT_EQ(LayoutMemorySize(1, kNested), expectedSize);
    alignas(8) u8 memory[32];
    std::memset(memory, 0xEE, sizeof memory);
    std::FILE* f = StreamWith(disk);
    EXPECT_EQ(ReadRecords(memory, 1, kNested, f), 14u);
    std::fclose(f);
    u16 head;
    u32 tail;
    std::memcpy(&head, memory, 2);
    std::memcpy(&tail, memory + expectedSize - 4, 4);
    EXPECT_EQ(head, 0x1234);
    EXPECT_EQ(tail, 0x01020304u);
    for (size_t i = 2; i < expectedSize - 4; ++i) EXPECT_EQ(memory[i], 0) << i;

    // The walker leaves the layout cursor after the nested table.
    const StructLayout* cursor = kNested;
    u64 d = 0, s = 0;
    EXPECT_EQ(WalkNestedLayout(true, WalkMode::Unpack, nullptr, d, nullptr, s, 1, cursor), expectedSize);
    EXPECT_EQ(cursor, kNested + std::size(kNested));
    EXPECT_EQ(s, 14u);

    alignas(8) u8 back[14];
    PackRecords(back, memory, 1, kNested);
    std::vector<u8> expected = disk;
    for (int i = 2; i < 10; ++i) expected[i] = 0;
    EXPECT_EQ(std::vector<u8>(back, back + 14), expected);
}

TEST(Records, ZeroCountAndSizeQueries) {
    std::FILE* f = pirn::OpenScratchFile();
    u8 dummy[64] = {};
    EXPECT_EQ(ReadRecords(dummy, 0, kTagHeader, f), 0u);
    EXPECT_EQ(WriteRecords(dummy, 0, kTagHeader, f), 0u);
    EXPECT_EQ(WriteRecords(nullptr, 5, kTagHeader, f), 320u);
    EXPECT_EQ(WriteRun(nullptr, 3, kRunU32, f), 12u);
    EXPECT_EQ(std::ftell(f), 0) << "a size query must not touch the stream";
    std::fclose(f);
}

TEST(Records, ShortReadFailsAndLeavesBufferPartlyFilled) {
    std::vector<u8> disk(40, 0x11);  // one and a bit tag headers
    std::FILE* f = StreamWith(disk);
    u8 memory[128];
    std::memset(memory, 0xEE, sizeof memory);
    EXPECT_EQ(ReadRecords(memory, 2, kTagHeader, f), 0u);
    std::fclose(f);

    f = StreamWith({1, 2, 3});
    u16 words[2];
    EXPECT_EQ(ReadRun(words, 2, kRunU16, f), 0u);
    std::fclose(f);
}

TEST(Records, RunsSwapCopyAndZero) {
    struct Case {
        u16 code;
        std::vector<u8> in;
        std::vector<u8> out;
    } cases[] = {
        {kRunBytes, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {kRunU16, {1, 2, 3, 4}, {2, 1, 4, 3}},
        {kRunU32, {1, 2, 3, 4}, {4, 3, 2, 1}},
        {kRunZero8, {1, 2, 3, 4}, {0, 0, 0, 0}},
        {kRunZero16, {1, 2, 3, 4}, {0, 0, 0, 0}},
        {kRunRaw16, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {kRunRaw32, {1, 2, 3, 4}, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        const u32 count = static_cast<u32>(c.in.size() >> (c.code & 3));
        std::vector<u8> buf(c.in.size());
        SwapRun(buf.data(), c.in.data(), count, c.code);
        EXPECT_EQ(buf, c.out) << "code " << c.code;
        std::vector<u8> inPlace = c.in;
        SwapRunInPlace(inPlace.data(), count, c.code);
        EXPECT_EQ(inPlace, c.out) << "code " << c.code;

        std::FILE* f = StreamWith(c.in);
        std::vector<u8> read(c.in.size());
        EXPECT_EQ(ReadRun(read.data(), count, c.code, f), c.in.size());
        EXPECT_EQ(read, c.out);
        std::fclose(f);

        f = pirn::OpenScratchFile();
        EXPECT_EQ(WriteRun(c.in.data(), count, c.code, f), c.in.size());
        EXPECT_EQ(StreamBytes(f), c.out);
        std::fclose(f);
    }
    u8 anything[8];
    std::FILE* f = StreamWith({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(ReadRun(anything, 1, kRunPointer, f), 0u) << "pointers are not plain runs";
    std::fclose(f);
}

TEST(Records, SizesThatWouldWrapAreRefused) {
    // 0x7fff x 0x30000 records > 4 GiB: must not wrap into a small read.
    const StructLayout big[] = {0x7fff, 0x7fff, 0};
    u8 memory[16];
    std::FILE* f = StreamWith({1, 2, 3});
    EXPECT_EQ(ReadRecords(memory, 0x30000, big, f), 0u);
    EXPECT_EQ(WriteRecords(nullptr, 0x30000, big, f), 0u);
    EXPECT_EQ(LayoutMemorySize(0x30000, big), u64{0x7fff} * 0x30000);
    std::fclose(f);
}
