#include "models/dtex_codec.h"

#include <algorithm>


namespace pirn {

namespace {

void PutLittleEndian(u32 value, u8* out) {
    out[0] = static_cast<u8>(value);
    out[1] = static_cast<u8>(value >> 8);
    out[2] = static_cast<u8>(value >> 16);
    out[3] = static_cast<u8>(value >> 24);
}

u32 GetLittleEndian(const u8* in) {
    return u32(in[0]) | (u32(in[1]) << 8) | (u32(in[2]) << 16) | (u32(in[3]) << 24);
}

// Bytes of stream a file may hand over in one read; larger streams grow
// as their bytes actually arrive, so a false length cannot force a huge
// allocation.
constexpr size_t kReadChunk = size_t(1) << 20;

// Appends exactly n bytes from the stream to out.
bool AppendExactly(std::FILE* stream, u64 n, std::vector<u8>* out) {
    const u64 end = out->size() + n;
    while (out->size() < end) {
        const size_t chunk = static_cast<size_t>(std::min<u64>(kReadChunk, end - out->size()));
        const size_t at = out->size();
        out->resize(at + chunk);
        if (std::fread(out->data() + at, 1, chunk, stream) != chunk) return false;
    }
    return true;
}

}  // namespace

void EncodeDtexBytes(const u8* pixels, u32 width, u32 height, std::vector<u8>* bytes) {
    bytes->clear();
    std::vector<u32> words;
    u32 length = 0;
    if (!EncodeDtexStream(pixels, width, height, &words, &length)) return;
    bytes->resize(size_t(length) + 4);
    PutLittleEndian(length, bytes->data());
    for (u32 i = 0; i < length / 4; ++i) PutLittleEndian(words[i], bytes->data() + 4 + 4 * size_t(i));
}

u32 DecodeDtexBytes(const u8* bytes, size_t size, std::vector<u8>* pixels, u32* width, u32* height) {
    if (!bytes || size < 4) return 0;
    const u32 length = GetLittleEndian(bytes);
    if (length < 4 || length % 4 != 0 || length > 0xFFFFFFFBu || u64(length) > u64(size) - 4) return 0;
    std::vector<u32> words(length / 4);
    for (size_t i = 0; i < words.size(); ++i) words[i] = GetLittleEndian(bytes + 4 + 4 * i);
    std::vector<u8> decoded;
    u32 w = 0, h = 0;
    if (!DecodeDtexStream(words.data(), words.size(), &decoded, &w, &h)) return 0;
    pixels->swap(decoded);
    *width = w;
    *height = h;
    return length + 4;
}

u32 WriteDtexPixels(const u8* pixels, u32 width, u32 height, std::FILE* stream) {
    std::vector<u8> bytes;
    EncodeDtexBytes(pixels, width, height, &bytes);
    if (bytes.empty() || !stream) return 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size()) return 0;
    return static_cast<u32>(bytes.size());
}

u32 ReadDtexPixels(std::vector<u8>* pixels, u32* width, u32* height, std::FILE* stream, u64 data_left) {
    if (!stream || data_left < 8) return 0;
    u8 length_bytes[4];
    if (std::fread(length_bytes, 1, 4, stream) != 4) return 0;
    const u32 length = GetLittleEndian(length_bytes);
    if (length < 4 || length % 4 != 0 || length > 0xFFFFFFFBu || u64(length) > data_left - 4) return 0;
    std::vector<u8> bytes(length_bytes, length_bytes + 4);
    if (!AppendExactly(stream, length, &bytes)) return 0;
    return DecodeDtexBytes(bytes.data(), bytes.size(), pixels, width, height);
}

}  // namespace pirn
