#include "models/dtex_codec.h"

#include <algorithm>

#include "models/dtex_bit_stream.h"
#include "models/dtex_predictors.h"
#include "models/dtex_rice.h"

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

bool ValidSide(u32 side) { return side >= 1 && side <= kDtexMaxSide; }

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

bool EncodeDtexStream(const u8* pixels, u32 width, u32 height, std::vector<u32>* words, u32* byte_length) {
    if (!pixels || !ValidSide(width) || !ValidSide(height)) return false;
    const size_t pixel_bytes = size_t(width) * height * 3;
    const size_t block_count = size_t(DtexBlockCount(width)) * DtexBlockCount(height);
    // The best trial's residuals and parameters are kept rather than made
    // again: the same bytes, one pass fewer.
    std::vector<u8> residuals(pixel_bytes), trial_residuals(pixel_bytes);
    std::vector<u8> params(block_count * 3), trial_params(block_count * 3);

    u32 best_predictor = 0;
    u64 best_total = 0;
    for (u32 p = 0; p < kDtexPredictorCount; ++p) {
        MakeResiduals(p, pixels, width, height, trial_residuals.data());
        const u64 total = ChooseBlockRiceParameters(trial_residuals.data(), width, height, trial_params.data()) +
                          u64(kDtexBlockParameterBits) * block_count;
        // Equal totals keep the lower predictor number.
        if (p == 0 || total < best_total) {
            best_total = total;
            best_predictor = p;
            residuals.swap(trial_residuals);
            params.swap(trial_params);
        }
    }

    const u64 length = 4 * ((best_total + 89) / 32);
    if (length > 0xFFFFFFFBu) return false;
    words->assign(static_cast<size_t>(length / 4) + 1, 0);
    DtexBitWriter writer(words->data(), (width << 14) | (height << 2) | best_predictor);
    for (size_t b = 0; b < block_count * 3; ++b) writer.PutBits(params[b], 3);

    const u32 columns = DtexBlockCount(width);
    for (u32 y = 0; y < height; ++y) {
        const u8* row = residuals.data() + size_t(y) * width * 3;
        const u8* block_row = params.data() + size_t(y >> 3) * columns * 3;
        for (u32 x = 0; x < width; ++x) {
            const u8* k = block_row + (x >> 3) * 3;
            const u8* r = row + size_t(x) * 3;
            WriteRiceValue(writer, r[0], k[0]);
            WriteRiceValue(writer, r[1], k[1]);
            WriteRiceValue(writer, r[2], k[2]);
        }
    }
    writer.Flush();
    *byte_length = static_cast<u32>(length);
    return true;
}

bool DecodeDtexStream(const u32* words, size_t word_count, std::vector<u8>* pixels, u32* width, u32* height) {
    if (!words || word_count == 0) return false;
    const u32 header = words[0];
    const u32 w = header >> 20;
    const u32 h = (header >> 8) & 0xFFF;
    const u32 predictor = (header >> 6) & 3;
    if (w == 0 || h == 0 || predictor >= kDtexPredictorCount) return false;
    const size_t columns = DtexBlockCount(w);
    const size_t block_count = columns * DtexBlockCount(h);
    // The parameters alone must fit in the words given before any pixel
    // memory is taken.
    if (kDtexHeaderBits + u64(kDtexBlockParameterBits) * block_count > u64(word_count) * 32) return false;

    DtexBitReader reader(words, word_count);
    std::vector<u8> params(block_count * 3);
    for (u8& k : params) k = static_cast<u8>(reader.ReadBits(3));
    if (reader.failed()) return false;

    // Each row is restored while its residuals are read, so that reading
    // and the restoring chain of the row overlap.
    std::vector<u8> decoded(size_t(w) * h * 3);
    std::vector<u8> ks(size_t(w) * 3);
    std::vector<i16> above(size_t(w) * 3);
    RiceCursor cursor{words, word_count, reader.word_index(), reader.position(), true};
    const size_t stride = size_t(w) * 3;
    for (u32 y = 0; y < h; ++y) {
        if ((y & 7) == 0) {
            // The parameter of every residual of this block row.
            const u8* block_row = params.data() + size_t(y >> 3) * columns * 3;
            for (size_t i = 0; i < ks.size(); ++i) ks[i] = block_row[(i / 3 >> 3) * 3 + i % 3];
        }
        const u8* k = ks.data();
        auto next_code = [&cursor, &k] { return cursor.Read(*k++); };
        u8* row = decoded.data() + y * stride;
        if (y == 0) {
            dtex_rows::RestoreRow0(w, row, next_code);
        } else if (predictor == 0) {
            dtex_rows::Map0::Quantities(row - stride, w, above.data());
            dtex_rows::RestoreRow<dtex_rows::Map0>(above.data(), w, row, next_code);
        } else if (predictor == 1) {
            dtex_rows::Map1::Quantities(row - stride, w, above.data());
            dtex_rows::RestoreRow<dtex_rows::Map1>(above.data(), w, row, next_code);
        } else {
            dtex_rows::Map2::Quantities(row - stride, w, above.data());
            dtex_rows::RestoreRow<dtex_rows::Map2>(above.data(), w, row, next_code);
        }
        if (!cursor.ok) return false;
    }
    pixels->swap(decoded);
    *width = w;
    *height = h;
    return true;
}

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
