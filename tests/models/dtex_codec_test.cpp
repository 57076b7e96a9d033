// The detail-texture codec against streams worked out by hand from the
// format description, against a plain second encoder, and on damaged input.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <vector>

#include "models/dtex_bit_stream.h"
#include "models/dtex_codec.h"
#include "models/dtex_decoder.h"
#include "models/dtex_predictors.h"
#include "models/dtex_row_restorer.h"
#include "tests/models/dtex_reference_encoder.h"
#include "tests/support/test_support.h"

namespace {

using pirn::u32;
using pirn::u8;

// The stored bytes of a stream given as its words: L, then each word, all
// little-endian.
std::vector<u8> Stream(const std::vector<u32>& words) {
    std::vector<u8> bytes;
    auto put = [&bytes](u32 v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(u8(v >> (8 * i)));
    };
    put(u32(words.size() * 4));
    for (u32 w : words) put(w);
    return bytes;
}

std::vector<u8> Encode(const std::vector<u8>& pixels, u32 w, u32 h) {
    std::vector<u8> bytes;
    pirn::EncodeDtexBytes(pixels.data(), w, h, &bytes);
    return bytes;
}

struct Golden {
    const char* what;
    u32 width, height;
    std::vector<u8> pixels;
    std::vector<u32> words;
};

// Worked by hand: header word (width << 20 | height << 8 | p << 6 and the
// first parameters), Rice codes bit by bit, the flush and the spare zero
// word.
std::vector<Golden> GoldenStreams() {
    std::vector<u8> flat9x1;
    for (int i = 0; i < 9; ++i) flat9x1.insert(flat9x1.end(), {100, 100, 100});
    return {
        // k = 5, 6, 6 (equal costs take the larger k); 56 bits, L = 12.
        {"1x1", 1, 1, {0x12, 0x34, 0x56}, {0x0010012E, 0xC9349600, 0}},
        // k = 6 for all three; the last 6-bit field 62 (111110) straddles:
        // low five bits 11110 end word 1, the high bit 1 starts word 2.
        {"1x1 straddling", 1, 1, {255, 255, 254}, {0x00100136, 0xDDFF7FDE, 0x80000000, 0}},
        // Predictors 1 and 2 both cost 60 bits, predictor 0 61: the lower
        // number (1) wins; k = 2, 2, 3; the k = 3 field of pixel (1, 0)
        // channel 2 (value 3) straddles: 11 ends word 1, 0 starts word 2.
        {"2x2", 2, 2, {10, 20, 30, 12, 20, 30, 10, 22, 30, 14, 24, 30}, {0x00200252, 0x7AF8ECDB, 0x36721400, 0}},
        // Two blocks, the second an edge block of one pixel whose residuals
        // are all zero: k = 7 and no residual bits; 176 bits end mid-word.
        {"9x1 flat", 9, 1, flat9x1, {0x0090011B, 0x7FFFFF4F, 0xFF4FFF40, 0, 0, 0, 0}},
    };
}

TEST(DtexCodec, EncodesHandWorkedStreams) {
    for (const Golden& g : GoldenStreams()) {
        SCOPED_TRACE(g.what);
        EXPECT_EQ(Encode(g.pixels, g.width, g.height), Stream(g.words));
    }
}

TEST(DtexCodec, DecodesHandWorkedStreams) {
    for (const Golden& g : GoldenStreams()) {
        SCOPED_TRACE(g.what);
        std::vector<u8> bytes = Stream(g.words);
        std::vector<u8> pixels;
        u32 w = 0, h = 0;
        ASSERT_EQ(pirn::DecodeDtexBytes(bytes.data(), bytes.size(), &pixels, &w, &h), bytes.size());
        EXPECT_EQ(w, g.width);
        EXPECT_EQ(h, g.height);
        EXPECT_EQ(pixels, g.pixels);
    }
}

// Pictures whose residuals exercise every path: noise (small k, long unary
// runs, fields straddling words), smooth ramps, flat areas (k = 7) and
// colours where one predictor clearly wins.
std::vector<u8> Picture(u32 w, u32 h, int kind, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<u8> pixels(size_t(w) * h * 3);
    for (u32 y = 0; y < h; ++y)
        for (u32 x = 0; x < w; ++x) {
            u8* p = &pixels[(size_t(y) * w + x) * 3];
            switch (kind) {
                case 0:  // noise
                    for (int c = 0; c < 3; ++c) p[c] = u8(random());
                    break;
                case 1:  // ramp with a little noise
                    p[0] = u8(x * 7 + y * 3 + random() % 3);
                    p[1] = u8(x * 5 + y * 9);
                    p[2] = u8(128 + (random() % 5));
                    break;
                case 2:  // flat with one bright corner
                    p[0] = p[1] = p[2] = (x < 3 && y < 3) ? 250 : 40;
                    break;
                case 4: {  // flat areas with edges at odd places, lone pixels at chunk borders
                    const bool box = x >= 5 && x < 21 && y >= 3 && y < 11;
                    const bool stripe = (y / 4) % 3 == 1;
                    const bool lone = (x == 15 || x == 16 || x == 47) && y % 5 == 2;
                    p[0] = lone ? 255 : box ? 200 : stripe ? 30 : 120;
                    p[1] = lone ? 0 : box ? 40 : stripe ? 30 : 140;
                    p[2] = box ? 40 : stripe ? 90 : 100;
                    break;
                }
                case 5:  // grey with sparse green specks: blocks where only some channels are zero
                    p[0] = p[2] = 90;
                    p[1] = random() % 23 == 0 ? u8(random()) : 90;
                    break;
                case 6:  // row 0 of small steps late in blocks; the rows below follow (see after the loop)
                    if (y == 0) p[0] = p[1] = p[2] = u8(100 + 48 * ((x + 2) / 8 % 2));
                    break;
                default:  // green-led: G varies, R and B follow it
                    p[1] = u8((x * x + y * 13) % 251);
                    p[0] = u8(p[1] + 3);
                    p[2] = u8(p[1] - 7);
                    break;
            }
        }
    if (kind == 6) {
        // Every row below row 0 is what predictor 0 makes of all-zero
        // residuals: not flat, yet stored as blocks of k = 7 only, which
        // the decoder must not mistake for copies of the row above.
        for (u32 y = 1; y < h; ++y)
            for (u32 x = 0; x < w; ++x) {
                const u8* above = &pixels[(size_t(y - 1) * w + x) * 3];
                u8* p = &pixels[(size_t(y) * w + x) * 3];
                int pred[3];
                for (int c = 0; c < 3; ++c)
                    pred[c] = x == 0 ? dtex_reference::Quantity(above, 0, c)
                                     : dtex_reference::Med7(dtex_reference::Quantity(p - 3, 0, c),
                                                            dtex_reference::Quantity(above, 0, c),
                                                            dtex_reference::Quantity(above - 3, 0, c));
                p[0] = u8(pred[0]);
                p[2] = u8(p[0] - pred[1]);  // channel 1 is R - B
                p[1] = u8(p[0] - pred[2]);  // channel 2 is R - G
            }
    }
    return pixels;
}

// Every decoding loop the processor can run (both when it has the x86
// bit-manipulation instructions).
std::vector<pirn::DtexInstructions> InstructionSets() {
    std::vector<pirn::DtexInstructions> sets = {pirn::DtexInstructions::kBaseline};
    if (pirn::HasDtexBitManipulation()) sets.push_back(pirn::DtexInstructions::kBitManipulation);
    return sets;
}

// Decodes stored bytes (length word first) with one instruction set.
bool DecodeWith(pirn::DtexInstructions set, const std::vector<u8>& bytes, std::vector<u8>* pixels, u32* w, u32* h) {
    std::vector<u32> words((bytes.size() - 4) / 4);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = u32(bytes[4 + 4 * i]) | u32(bytes[5 + 4 * i]) << 8 | u32(bytes[6 + 4 * i]) << 16 |
                   u32(bytes[7 + 4 * i]) << 24;
    return pirn::DecodeDtexStreamWith(set, words.data(), words.size(), pixels, w, h);
}

TEST(DtexCodec, MatchesThePlainEncoderBitForBit) {
    struct Size {
        u32 w, h;
    };
    // 9 x 9: edge blocks of one column and one row; 16 x 8 whole blocks;
    // odd sizes on both sides; wider ones for rows of several 16-pixel
    // chunks with flat ones among them, and streams long enough for the
    // decoder's unchecked segments.
    for (Size s : {Size{9, 9}, Size{16, 8}, Size{1, 13}, Size{13, 1}, Size{17, 23}, Size{32, 32}, Size{37, 29},
                   Size{100, 7}, Size{129, 66}, Size{250, 3}, Size{3, 250}})
        for (int kind = 0; kind < 7; ++kind) {
            SCOPED_TRACE(::testing::Message() << s.w << "x" << s.h << " kind " << kind);
            std::vector<u8> pixels = Picture(s.w, s.h, kind, s.w * 31 + s.h + unsigned(kind));
            std::vector<u8> ours = Encode(pixels, s.w, s.h);
            EXPECT_EQ(ours, dtex_reference::Encode(pixels, s.w, s.h));
            std::vector<u8> back;
            u32 w = 0, h = 0;
            ASSERT_EQ(pirn::DecodeDtexBytes(ours.data(), ours.size(), &back, &w, &h), ours.size());
            EXPECT_EQ(back, pixels);
            for (pirn::DtexInstructions set : InstructionSets()) {
                std::vector<u8> again;
                ASSERT_TRUE(DecodeWith(set, ours, &again, &w, &h)) << int(set);
                EXPECT_EQ(again, pixels) << int(set);
            }
        }
}

TEST(DtexCodec, VectorPredictionsMatchMed7) {
    // Every ordering of L, A and Q, ties, and the extremes of the exact
    // differences (-255..255), where the 16-bit lanes are closest to
    // their limits.
    std::vector<int> values = {-255, -254, -200, -129, -128, -127, -9, -8, -7, -1, 0, 1, 7, 8, 9, 127, 128, 200, 254, 255};
    for (int l : values)
        for (int a : values)
            for (int q : values) {
                const pirn::dtex_rows::Lanes lanes = pirn::dtex_rows::Med7Lanes(
                    pirn::dtex_rows::Lanes{pirn::i16(l)}, pirn::dtex_rows::Lanes{pirn::i16(a)},
                    pirn::dtex_rows::Lanes{pirn::i16(q)});
                ASSERT_EQ(lanes[0], pirn::Med7(l, a, q)) << l << " " << a << " " << q;
            }
    // The encoder's row kernel: one row of 40 quantities predicted from
    // the row above, against the plain prediction value by value.
    std::mt19937 random(99);
    std::vector<pirn::i16> above(1 + 48), here(1 + 48);
    for (int round = 0; round < 50; ++round) {
        for (size_t i = 1; i <= 40; ++i) {
            above[i] = pirn::i16(values[random() % values.size()]);
            here[i] = pirn::i16(values[random() % values.size()]);
        }
        std::vector<u8> out(48);
        pirn::MakePlaneResiduals(above.data() + 1, here.data() + 1, 40, nullptr, out.data());
        for (size_t x = 1; x < 40; ++x) {
            const int prediction = pirn::Med7(here[x], above[x + 1], above[x]);
            EXPECT_EQ(out[x], pirn::ZigZagByte(u32(prediction - here[x + 1]) & 0xFF)) << x;
        }
        EXPECT_EQ(out[0], pirn::ZigZagByte(u32(above[1] - here[1]) & 0xFF));
    }
}

TEST(DtexCodec, NineByNineStreamHasTheStatedShape) {
    std::vector<u8> pixels = Picture(9, 9, 0, 7);
    std::vector<u8> bytes = Encode(pixels, 9, 9);
    // Four blocks (two of them edge blocks) and a noise picture: no k = 7
    // and fields that straddle; the header fields stand in word 0.
    const u32 word0 = u32(bytes[4]) | u32(bytes[5]) << 8 | u32(bytes[6]) << 16 | u32(bytes[7]) << 24;
    EXPECT_EQ(word0 >> 20, 9u);
    EXPECT_EQ((word0 >> 8) & 0xFFF, 9u);
    EXPECT_LT((word0 >> 6) & 3, 3u);
    const u32 length = u32(bytes[0]) | u32(bytes[1]) << 8;
    EXPECT_EQ(length % 4, 0u);
    EXPECT_EQ(length + 4, bytes.size());
    // The last word is the spare zero word.
    for (size_t i = bytes.size() - 4; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0) << i;
}

TEST(DtexCodec, LengthCountsOneZeroWordAfterDataEndingOnAWordBoundary) {
    // Data of exactly one word: the flush stores a zero word where the
    // next data word would go and the spare zero word after it.
    std::vector<u32> words(4, 0xDEADBEEF);
    pirn::DtexBitWriter writer(words.data(), 0);
    writer.PutBits(0x3F, 6);  // fills word 0
    EXPECT_EQ(writer.position(), 0u);
    writer.Flush();
    EXPECT_EQ(words[0], 0x3Fu);
    EXPECT_EQ(words[1], 0u);  // the boundary: a zero word there...
    EXPECT_EQ(words[2], 0u);  // ...and the further zero word
    EXPECT_EQ(words[3], 0xDEADBEEFu);
}

TEST(DtexCodec, PutBitsSplitsAStraddlingFieldLowBitsFirst) {
    std::vector<u32> words(4, 0);  // three words and the spare
    pirn::DtexBitWriter writer(words.data(), 0);  // position 26
    writer.PutBits(0b1011001, 7);                  // 6 fit: low 6 = 011001, high 1 = 1
    writer.PutBits(0xFFFFFFFF, 32);                // a 32-bit field split 31 / 1
    writer.Flush();
    EXPECT_EQ(words[0], 0b011001u);
    EXPECT_EQ(words[1], 0x80000000u | 0x7FFFFFFFu);
    EXPECT_EQ(words[2], 0x80000000u);

    pirn::DtexBitReader reader(words.data(), 3);
    EXPECT_EQ(reader.ReadBits(7), 0b1011001u);
    EXPECT_EQ(reader.ReadBits(32), 0xFFFFFFFFu);
    EXPECT_FALSE(reader.failed());
}

TEST(DtexCodec, Med7TieRulesAndRounding) {
    struct Case {
        int l, a, q, expected;
    };
    for (Case c : std::vector<Case>{
             {5, 5, 0, 5},        // L = A: every case gives L
             {5, 5, 9, 5},
             {10, 12, 12, 10},    // Q >= max: (7 min + max) >> 3 = 82 >> 3
             {10, 12, 10, 11},    // Q <= min: (7 max + min) >> 3 = 94 >> 3
             {10, 12, 11, 11},    // between: L + A - Q
             {-18, -20, -20, -19},  // (-126 - 20) >> 3 rounds down to -19
             {-8, -10, -9, -9},
             {255, -255, 300, -192},  // (7 * -255 + 255) >> 3: -191.25 rounded down
         }) {
        EXPECT_EQ(pirn::Med7(c.l, c.a, c.q), c.expected) << c.l << " " << c.a << " " << c.q;
    }
}

TEST(DtexCodec, ZigZagMapsSignedResiduals) {
    struct Case {
        u32 residual;
        u8 code;
    };
    for (Case c : {Case{0, 0}, Case{1, 2}, Case{255, 1}, Case{254, 3}, Case{127, 254}, Case{128, 255}}) {
        EXPECT_EQ(pirn::ZigZagByte(c.residual), c.code) << c.residual;
        EXPECT_EQ(pirn::UnZigZagByte(c.code) & 0xFF, int(c.residual)) << c.residual;
    }
}

TEST(DtexCodec, RowZeroUsesTheRedMappingWhateverThePredictor) {
    // Row 0 of a 3 x 2 picture gives the same residuals under all three
    // predictors; row 1 differs.
    std::vector<u8> pixels = {10, 50, 90, 20, 40, 70, 35, 45, 60, 11, 52, 95, 22, 44, 71, 30, 49, 66};
    std::vector<u8> r0(18), r1(18), r2(18);
    pirn::MakeResidualsBase0(pixels.data(), 3, 2, r0.data());
    pirn::MakeResidualsBase1(pixels.data(), 3, 2, r1.data());
    pirn::MakeResidualsBase2(pixels.data(), 3, 2, r2.data());
    EXPECT_TRUE(std::equal(r0.begin(), r0.begin() + 9, r1.begin()));
    EXPECT_TRUE(std::equal(r0.begin(), r0.begin() + 9, r2.begin()));
    // Pixel (0, 0) raw; pixel (1, 0): R 10 -> 20 gives r = -10 -> 19;
    // R - B -80 -> -50 gives -30 -> 59; R - G -40 -> -20 gives -20 -> 39.
    EXPECT_EQ(std::vector<u8>(r0.begin(), r0.begin() + 6), (std::vector<u8>{10, 50, 90, 19, 59, 39}));
    // Pixel (0, 1) under predictor 1: G 50 -> 52 gives -2 -> 3; G - R 40 ->
    // 41 gives -1 -> 1; G - B -40 -> -43 gives 3 -> 6.
    EXPECT_EQ(std::vector<u8>(r1.begin() + 9, r1.begin() + 12), (std::vector<u8>{3, 1, 6}));
    std::vector<u8> back(18);
    pirn::RestoreFromResidualsBase1(r1.data(), 3, 2, back.data());
    EXPECT_EQ(back, pixels);
    pirn::RestoreFromResidualsBase2(r2.data(), 3, 2, back.data());
    EXPECT_EQ(back, pixels);
}

TEST(DtexCodec, RoundTripsLargerPictures) {
    for (u32 side : {64u, 100u, 256u}) {
        for (int kind = 0; kind < 4; ++kind) {
            std::vector<u8> pixels = Picture(side, side / 2 + 1, kind, side + unsigned(kind));
            std::vector<u8> bytes = Encode(pixels, side, side / 2 + 1);
            std::vector<u8> back;
            u32 w = 0, h = 0;
            ASSERT_NE(pirn::DecodeDtexBytes(bytes.data(), bytes.size(), &back, &w, &h), 0u);
            EXPECT_EQ(back, pixels) << side << " " << kind;
        }
    }
}

TEST(DtexCodec, RefusesSidesTheFieldsCannotHold) {
    std::vector<u8> pixels(4096 * 3, 0);
    pirn_test::TempDir dir;
    std::FILE* f = std::fopen(dir.file("out").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(pirn::WriteDtexPixels(pixels.data(), 4096, 1, f), 0u);
    EXPECT_EQ(pirn::WriteDtexPixels(pixels.data(), 0, 1, f), 0u);
    EXPECT_EQ(pirn::WriteDtexPixels(pixels.data(), 1, 0, f), 0u);
    EXPECT_EQ(pirn::WriteDtexPixels(pixels.data(), 4095, 1, f), u32(Encode(pixels, 4095, 1).size()));
    std::fclose(f);
}

TEST(DtexCodec, DecoderRefusesBadStreams) {
    const std::vector<u32> good = {0x0010012E, 0xC9349600, 0};
    struct Case {
        const char* what;
        std::vector<u8> bytes;
    };
    std::vector<u8> short_length = Stream(good);
    short_length[0] = 16;  // claims one word more than there is
    std::vector<u8> odd_length = Stream(good);
    odd_length[0] = 10;
    std::vector<u8> zero_length = {0, 0, 0, 0};
    // Word 0 with predictor 3, zero width, zero height.
    std::vector<u8> predictor3 = Stream({0x001001EE, 0xC9349600, 0});
    std::vector<u8> zero_width = Stream({0x0000012E, 0xC9349600, 0});
    std::vector<u8> zero_height = Stream({0x0010002E, 0xC9349600, 0});
    // The stream ends inside the residuals: only the header word.
    std::vector<u8> early_end = Stream({0x0010012E});
    // k = 0 for channel 0 and a run of 300 one-bits: a value past 255.
    std::vector<u32> long_run = {0x00100100, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF,
                                 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0};
    // k = 6 for channel 0 (7 for the others) and a short code of four
    // ones, the zero and six bits: 256, one past the largest value.
    std::vector<u32> past_255 = {0x00100137, 0xFE000000, 0};
    // A 4095 x 4095 header with too few words for its block parameters.
    std::vector<u8> huge = Stream({0xFFFFFF00, 0, 0});
    for (const Case& c : std::vector<Case>{{"length past the data", short_length},
                                           {"length not a multiple of 4", odd_length},
                                           {"length 0", zero_length},
                                           {"predictor 3", predictor3},
                                           {"zero width", zero_width},
                                           {"zero height", zero_height},
                                           {"early end", early_end},
                                           {"run past 255", Stream(long_run)},
                                           {"short code past 255", Stream(past_255)},
                                           {"huge size, few words", huge}}) {
        std::vector<u8> pixels = {1, 2, 3};
        u32 w = 77, h = 88;
        EXPECT_EQ(pirn::DecodeDtexBytes(c.bytes.data(), c.bytes.size(), &pixels, &w, &h), 0u) << c.what;
        EXPECT_EQ(w, 77u) << c.what;
        EXPECT_EQ(pixels.size(), 3u) << c.what;
    }
}

TEST(DtexCodec, ReadBoundsTheLengthByTheDataLeft) {
    pirn_test::TempDir dir;
    std::vector<u8> bytes = Stream({0x0010012E, 0xC9349600, 0});
    bytes.insert(bytes.end(), {9, 9, 9, 9});  // whatever follows in the file
    pirn_test::WriteAll(dir.file("s"), bytes);
    struct Case {
        pirn::u64 data_left;
        u32 expected;
    };
    for (Case c : {Case{16, 16}, Case{20, 16}, Case{15, 0}, Case{4, 0}, Case{0, 0}}) {
        std::FILE* f = std::fopen(dir.file("s").c_str(), "rb");
        std::vector<u8> pixels;
        u32 w = 0, h = 0;
        EXPECT_EQ(pirn::ReadDtexPixels(&pixels, &w, &h, f, c.data_left), c.expected) << c.data_left;
        std::fclose(f);
    }
}

TEST(DtexCodec, SurvivesRandomDamage) {
    struct Case {
        const char* what;
        u32 w, h;
        int kind;
        int rounds;
    };
    // A short stream, read with bound checks throughout, and a long one
    // whose segments are mostly read unchecked (their words known to be
    // there), with flat areas copied from the row above.
    for (const Case& c : {Case{"short ramp", 24, 17, 1, 3000}, Case{"long noise", 96, 40, 0, 600},
                          Case{"flat areas", 100, 30, 4, 600}}) {
        SCOPED_TRACE(c.what);
        std::vector<u8> pixels = Picture(c.w, c.h, c.kind, 3);
        const std::vector<u8> good = Encode(pixels, c.w, c.h);
        pirn_test::TempDir dir;
        std::mt19937 random(12345);
        for (int round = 0; round < c.rounds; ++round) {
            std::vector<u8> bytes = good;
            const int flips = 1 + int(random() % 8);
            for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] ^= u8(1u << (random() % 8));
            if (round % 3 == 0) bytes.resize(random() % bytes.size());
            if (round % 7 == 0 && bytes.size() >= 4) {
                // A length word that still fits the bytes, so the decoder runs.
                const u32 length = u32((bytes.size() - 4) & ~size_t(3));
                for (int i = 0; i < 4; ++i) bytes[size_t(i)] = u8(length >> (8 * i));
            }
            std::vector<u8> out;
            u32 w = 0, h = 0;
            const u32 used = pirn::DecodeDtexBytes(bytes.data(), bytes.size(), &out, &w, &h);
            if (used) {
                EXPECT_LE(used, bytes.size());
                EXPECT_EQ(out.size(), size_t(w) * h * 3);
            }
            if (used && used == bytes.size()) {
                // Every decoding loop takes the same damaged stream the
                // same way.
                for (pirn::DtexInstructions set : InstructionSets()) {
                    std::vector<u8> again;
                    u32 w2 = 0, h2 = 0;
                    EXPECT_TRUE(DecodeWith(set, bytes, &again, &w2, &h2)) << int(set);
                    EXPECT_EQ(again, out) << int(set);
                }
            }
            if (round % 10 == 0) {
                // The same bytes through the stream reader, bounded by the file.
                pirn_test::WriteAll(dir.file("damaged"), bytes);
                std::FILE* f = std::fopen(dir.file("damaged").c_str(), "rb");
                std::vector<u8> from_stream;
                EXPECT_EQ(pirn::ReadDtexPixels(&from_stream, &w, &h, f, bytes.size()), used);
                std::fclose(f);
            }
        }
    }
}

}  // namespace
