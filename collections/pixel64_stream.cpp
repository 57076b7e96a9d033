#include "collections/pixel64_stream.h"

#include <algorithm>

namespace pirn {

namespace {

class ByteReader {
public:
    ByteReader(const u8* bytes, size_t size) : bytes_(bytes), size_(size) {}
    bool Has(size_t n) const { return size_ - at_ >= n; }
    u8 Next() { return bytes_[at_++]; }

private:
    const u8* bytes_;
    size_t size_;
    size_t at_ = 0;
};

bool HasData(u8 code) { return code % 32 != 0; }
bool HasFollowers(u8 code) { return code % 32 == 0 || code % 32 == 31; }

bool ReadPixelData(ByteReader& in, u8* p) {
    if (!in.Has(3)) return false;
    p[2] = in.Next();
    p[1] = in.Next();
    p[0] = in.Next();
    if (p[2] & 1) {
        if (!in.Has(4)) return false;
        p[6] = in.Next();
        p[5] = in.Next();
        p[4] = in.Next();
        p[7] = in.Next();
    }
    return true;
}

void WritePixelData(const u8* p, std::vector<u8>* out) {
    out->push_back(p[2]);
    out->push_back(p[1]);
    out->push_back(p[0]);
    if (p[2] & 1) {
        out->push_back(p[6]);
        out->push_back(p[5]);
        out->push_back(p[4]);
        out->push_back(p[7]);
    }
}

// Whether a pixel of this code may follow one of the same code: only where
// the follower decodes as it would on its own.
bool FollowersKeepTheirCode(u8 code) { return code == 0 || code % 32 == 31; }

}  // namespace

bool DecodePixel64Stream(const u8* stream, size_t size, u8* pixels, size_t pixel_count) {
    ByteReader in(stream, size);
    if (pixel_count == 0) return true;
    if (!in.Has(1)) return false;
    size_t i = std::min<size_t>(in.Next(), pixel_count);
    while (i < pixel_count) {
        if (!in.Has(1)) return false;
        const u8 code = in.Next();
        pixels[8 * i + 3] = code;
        if (HasData(code) && !ReadPixelData(in, &pixels[8 * i])) return false;
        ++i;
        if (!HasFollowers(code) || i == pixel_count) continue;
        if (!in.Has(1)) return false;
        const size_t followers = std::min<size_t>(in.Next(), pixel_count - i);
        if (code % 32 == 31) {
            for (size_t k = 0; k < followers; ++k) {
                u8* p = &pixels[8 * (i + k)];
                p[3] = code;
                if (!ReadPixelData(in, p)) return false;
            }
        }
        i += followers;
    }
    return true;
}

void EncodePixel64Stream(const u8* pixels, size_t pixel_count, std::vector<u8>* out) {
    size_t i = 0;
    while (i < pixel_count && i < 255 && pixels[8 * i + 3] == 0) ++i;
    out->push_back(static_cast<u8>(i));
    while (i < pixel_count) {
        const u8* p = &pixels[8 * i];
        const u8 code = p[3];
        out->push_back(code);
        if (HasData(code)) WritePixelData(p, out);
        ++i;
        if (!HasFollowers(code)) continue;
        size_t followers = 0;
        if (FollowersKeepTheirCode(code))
            while (i + followers < pixel_count && followers < 255 && pixels[8 * (i + followers) + 3] == code)
                ++followers;
        out->push_back(static_cast<u8>(followers));
        if (HasData(code))
            for (size_t k = 0; k < followers; ++k) WritePixelData(&pixels[8 * (i + k)], out);
        i += followers;
    }
    out->push_back(0);
}

}  // namespace pirn
