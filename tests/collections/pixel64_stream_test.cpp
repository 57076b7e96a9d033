// The 64-bit pixel stream's reader and writer against plain ones written
// here from the stream's description, a byte at a time: on random streams
// long enough for the word-at-a-time paths (single pixels, followers two at
// a time, the byte-wise tail), damaged ones included, and on random pixels.

#include "collections/pixel64_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace pirn {
namespace {

bool CarriesData(u8 code) { return code % 32 != 0; }
bool TakesFollowers(u8 code) { return code % 32 == 0 || code % 32 == 31; }

// Reads p2, p1, p0 and, after an odd p2, p6, p5, p4, p7.
bool PlainData(const std::vector<u8>& s, size_t& at, u8* p) {
    if (s.size() - at < 3) return false;
    p[2] = s[at++];
    p[1] = s[at++];
    p[0] = s[at++];
    if (!(p[2] & 1)) return true;
    if (s.size() - at < 4) return false;
    p[6] = s[at++];
    p[5] = s[at++];
    p[4] = s[at++];
    p[7] = s[at++];
    return true;
}

bool PlainDecode(const std::vector<u8>& s, size_t n, std::vector<u8>* pixels) {
    pixels->assign(8 * n, 0);
    if (n == 0) return true;
    size_t at = 0;
    if (s.empty()) return false;
    size_t i = std::min<size_t>(s[at++], n);
    while (i < n) {
        if (at == s.size()) return false;
        const u8 code = s[at++];
        (*pixels)[8 * i + 3] = code;
        if (CarriesData(code) && !PlainData(s, at, &(*pixels)[8 * i])) return false;
        ++i;
        if (!TakesFollowers(code) || i == n) continue;
        if (at == s.size()) return false;
        const size_t followers = std::min<size_t>(s[at++], n - i);
        for (size_t k = 0; k < followers; ++k, ++i) {
            if (!CarriesData(code)) continue;
            (*pixels)[8 * i + 3] = code;
            if (!PlainData(s, at, &(*pixels)[8 * i])) return false;
        }
    }
    return true;
}

void PlainPutData(const u8* p, std::vector<u8>* out) {
    out->insert(out->end(), {p[2], p[1], p[0]});
    if (p[2] & 1) out->insert(out->end(), {p[6], p[5], p[4], p[7]});
}

std::vector<u8> PlainEncode(const std::vector<u8>& pixels) {
    const size_t n = pixels.size() / 8;
    std::vector<u8> out;
    size_t i = 0;
    while (i < n && i < 255 && pixels[8 * i + 3] == 0) ++i;
    out.push_back(u8(i));
    while (i < n) {
        const u8 code = pixels[8 * i + 3];
        out.push_back(code);
        if (CarriesData(code)) PlainPutData(&pixels[8 * i], &out);
        ++i;
        if (!TakesFollowers(code)) continue;
        size_t k = 0;
        // Only followers that decode as they would on their own.
        if (code == 0 || code % 32 == 31)
            while (i + k < n && k < 255 && pixels[8 * (i + k) + 3] == code) ++k;
        out.push_back(u8(k));
        if (CarriesData(code))
            for (size_t f = 0; f < k; ++f) PlainPutData(&pixels[8 * (i + f)], &out);
        i += k;
    }
    out.push_back(0);
    return out;
}

// A stream made of random items; answers the pixels it describes.
size_t RandomStream(std::mt19937& random, std::vector<u8>* s) {
    const u8 codes[] = {0, 31, 63, 95, 32, 64, 1, 17, 30, 200};
    s->clear();
    size_t pixels = random() % 4 == 0 ? random() % 256 : 0;
    s->push_back(u8(pixels));
    const size_t items = random() % 120;
    auto data = [&] {
        const bool odd = random() % 2;
        s->push_back(u8((random() & 0xFE) | odd));
        for (int b = 0; b < (odd ? 6 : 2); ++b) s->push_back(u8(random()));
    };
    for (size_t item = 0; item < items; ++item) {
        const u8 code = random() % 5 == 0 ? u8(random()) : codes[random() % 10];
        s->push_back(code);
        if (CarriesData(code)) data();
        ++pixels;
        if (!TakesFollowers(code)) continue;
        const u8 followers = u8(random() % 3 == 0 ? random() : random() % 12);
        s->push_back(followers);
        if (CarriesData(code))
            for (int f = 0; f < followers; ++f) data();
        pixels += followers;
    }
    s->push_back(0);
    return pixels;
}

TEST(Pixel64Stream, DecodesRandomStreamsAsThePlainReader) {
    std::mt19937 random(64);
    int decoded = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<u8> stream;
        size_t n = RandomStream(random, &stream);
        // Sometimes fewer or more pixels than the stream holds, a cut, or a
        // changed byte.
        switch (random() % 6) {
            case 0: n = n ? random() % n : 0; break;
            case 1: n += 1 + random() % 40; break;
            case 2: stream.resize(random() % (stream.size() + 1)); break;
            case 3: if (!stream.empty()) stream[random() % stream.size()] = u8(random()); break;
            default: break;
        }
        std::vector<u8> expected;
        const bool expected_ok = PlainDecode(stream, n, &expected);
        // An exact-size copy: a read past the stream is caught under ASan.
        std::vector<u8> exact(stream);
        std::vector<u8> got(8 * n, 0xEE);  // every byte must be written
        ASSERT_EQ(DecodePixel64Stream(exact.data(), exact.size(), got.data(), n), expected_ok) << "round " << round;
        if (!expected_ok) continue;
        ++decoded;
        ASSERT_EQ(got, expected) << "round " << round;
    }
    EXPECT_GT(decoded, 1000);
}

TEST(Pixel64Stream, EncodesRandomPixelsAsThePlainWriter) {
    std::mt19937 random(8);
    for (int round = 0; round < 500; ++round) {
        const size_t n = random() % 700;
        std::vector<u8> pixels(8 * n);
        // Stretches of one code, so that followers of every kind occur, with
        // p2 odd or even at random.
        u8 code = 0;
        for (size_t i = 0; i < n; ++i) {
            if (random() % 6 == 0) {
                const u8 codes[] = {0, 31, 63, 32, 5, 223};
                code = random() % 4 == 0 ? u8(random()) : codes[random() % 6];
            }
            for (int b = 0; b < 8; ++b) pixels[8 * i + size_t(b)] = u8(random());
            pixels[8 * i + 3] = code;
        }
        const std::vector<u8> expected = PlainEncode(pixels);

        std::vector<u8> appended = {0xAB};  // appends after what is there
        EncodePixel64Stream(pixels.data(), n, &appended);
        ASSERT_EQ(appended.size(), expected.size() + 1);
        EXPECT_EQ(std::vector<u8>(appended.begin() + 1, appended.end()), expected) << "round " << round;

        std::vector<u8> room(size_t(Pixel64StreamBound(n)), 0xEE);
        const u8* end = EncodePixel64Stream(pixels.data(), n, room.data());
        ASSERT_EQ(size_t(end - room.data()), expected.size());
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), room.begin()));

        // And back: what the stream carries, the rest zero.
        std::vector<u8> back(8 * n, 0xEE), plain_back;
        ASSERT_TRUE(DecodePixel64Stream(expected.data(), expected.size(), back.data(), n));
        ASSERT_TRUE(PlainDecode(expected, n, &plain_back));
        EXPECT_EQ(back, plain_back);
    }
}

TEST(Pixel64Stream, WorstCaseStaysWithinTheBound) {
    // Every pixel code 31 with an odd p2 and a different code from its
    // neighbour: code, seven bytes and a count byte each.
    const size_t n = 301;
    std::vector<u8> pixels(8 * n, 0x11);
    for (size_t i = 0; i < n; ++i) {
        pixels[8 * i + 3] = i % 2 ? 31 : 63;
        pixels[8 * i + 2] = 0x01;
    }
    std::vector<u8> room(size_t(Pixel64StreamBound(n)) + 16, 0xEE);
    const u8* end = EncodePixel64Stream(pixels.data(), n, room.data());
    EXPECT_EQ(size_t(end - room.data()), 1 + 9 * n + 1);
    EXPECT_TRUE(std::all_of(room.begin() + long(Pixel64StreamBound(n)), room.end(), [](u8 b) { return b == 0xEE; }))
        << "nothing written past the bound";
}

}  // namespace
}  // namespace pirn
