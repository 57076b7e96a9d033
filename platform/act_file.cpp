#include "platform/act_file.h"

#include <cstring>
#include <vector>

#include "platform/file_system.h"

namespace pirn {

int ReadActFile(const std::string& path, u8 table[kActTableSize], u32* count) {
    std::vector<u8> bytes;
    if (!ReadFileBytes(path, bytes, false) || bytes.size() < kActTableSize) return 0;
    u32 used = kActColorCount;
    if (bytes.size() > kActTableSize) {
        if (bytes.size() < kActTableSize + 2) return 0;
        used = u32{bytes[kActTableSize]} << 8 | bytes[kActTableSize + 1];
        if (used > kActColorCount) return 0;
    }
    std::memcpy(table, bytes.data(), size_t{used} * 3);
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
