#include "collections/collection_records.h"

#include <cstring>

namespace pirn {

// 2 x u32, 56 zero bytes, eight sections {3 x u32, 1 zero u32}, 56 zero
// bytes, header size and total, 64 zero bytes.
const StructLayout kCollectionHeaderLayout[] = {
    320, 2, kRunU32, 28, kRunZero16, 8, kRunNested, 16, 3, kRunU32, 1, kRunZero32,
    2, kRunZero32, 24, kRunZero16, 2, kRunU32, 2, kRunZero32, 56, kRunZero8};
const StructLayout kColorTableRecordLayout[] = {2080, 1, kRunU32, 7, kRunZero32, 1024, kRunU16};
// name (63 + 1 zeroed), start and end hue, the colour set as bytes, three
// u16, 6 zero bytes, four u16, 8 bytes as they are.
const StructLayout kHueChangeRecordLayout[] = {128, 63, kRunBytes, 1, kRunZero8, 2, kRunU16, 32, kRunBytes,
                                               3,   kRunU16,   3, kRunZero16, 4, kRunU16, 8, kRunBytes};
const StructLayout kBitmapTableEntryLayout[] = {128,      63, kRunBytes, 1,  kRunZero8, 2,  kRunU32, 1, kRunZero32,
                                                2,        kRunU16, 16,  kRunZero16, 16, kRunZero8};
const StructLayout kInstanceRecordLayout[] = {64,         1, kRunU32, 4, kRunZero16, 2, kRunU16, 4, kRunZero16,
                                              3,          kRunU16, 1, kRunU16, 1, kRunU32, 2, kRunU16, 4,
                                              kRunZero16, 16, kRunZero8};
const StructLayout kSequenceTableEntryLayout[] = {128, 63, kRunBytes, 1, kRunZero8, 2, kRunU32, 56, kRunZero8};
const StructLayout kSequenceRecordLayout[] = {64, 2, kRunU32, 8, kRunU16, 3, kRunU32, 2,
                                              kRunU16, 3, kRunU32, 3, kRunU16, 3, kRunZero16};
const StructLayout kFrameDataRecordLayout[] = {46, 4, kRunU16, 19, kRunZero16};
const StructLayout kFrameRecordLayout[] = {32, 3, kRunU32, 1, kRunU16, 1, kRunZero16, 16, kRunZero8};

void MakeColorTableRecord(const u8 colors[kColorTableBytes], ColorTableRecord* record) {
    std::memset(record, 0, sizeof *record);
    record->color_count = kColorTableEntries;
    for (u32 i = 0; i < kColorTableEntries; ++i)
        for (int c = 0; c < 3; ++c) record->channels[i][c] = static_cast<u16>(colors[3 * i + c] << 8);
}

}  // namespace pirn
