#include "platform/act_file.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/file_system.h"

namespace pirn {

int ReadActFile(const std::string& path, u8 table[kActTableSize], u32* count) {
    // Only the table and the count word: whatever follows is no part of the
    // format, and the file may be anything at all (a huge one, a device).
    u8 bytes[kActTableSize + 2];
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return 0;
    const size_t got = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    if (got < kActTableSize || got == kActTableSize + 1) return 0;
    u32 used = kActColorCount;
    if (got == sizeof bytes) {
        used = u32{bytes[kActTableSize]} << 8 | bytes[kActTableSize + 1];
        if (used > kActColorCount) return 0;
    }
    std::memcpy(table, bytes, size_t{used} * 3);
    std::memset(table + size_t{used} * 3, 0, kActTableSize - size_t{used} * 3);
    if (count) *count = used;
    return 1;
}

int WriteActFile(const std::string& path, const u8 table[kActTableSize], u32 count) {
    if (count > kActColorCount) return 0;
    std::vector<u8> bytes(count == kActColorCount ? kActTableSize : kActFileSizeWithCount, 0);
    std::memcpy(bytes.data(), table, size_t{count} * 3);
    if (count != kActColorCount) {
        bytes[kActTableSize] = static_cast<u8>(count >> 8);
        bytes[kActTableSize + 1] = static_cast<u8>(count);
        bytes[kActTableSize + 2] = static_cast<u8>(kActNoTransparentIndex >> 8);
        bytes[kActTableSize + 3] = static_cast<u8>(kActNoTransparentIndex & 0xFF);
    }
    return WriteFileSafely(path, bytes.data(), bytes.size()) ? 1 : 0;
}

}  // namespace pirn
