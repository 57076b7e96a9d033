// Demo content of the struct, dialog and sound editors: every tag of the
// groups they open gets data in its real format, written field by field
// from the format tables (not through the editors' own writers), and a few
// named local tags show more kinds of content.

#include <cmath>
#include <string>
#include <vector>

#include "codex/four_char_code.h"
#include "tools/fixture_bytes/big_endian_buffer.h"
#include "tools/demo_game/demo_game.h"

namespace pirn::demo {

namespace {

u32 Code(const char (&text)[5]) { return MakeFourCC(text); }

// A small number that differs from tag to tag, so copies are told apart.
u32 Variant(const std::string& name) {
    u32 h = 2166136261u;
    for (unsigned char c : name) h = (h ^ c) * 16777619u;
    return h % 7;
}

// --- Dialogs ('bina') --------------------------------------------------------

struct DemoControl {
    const char* type;
    u16 id;
    i16 left, top, right, bottom;
    const char* text;
};

std::vector<u8> DialogData(u16 version, i16 width, i16 height, const std::vector<DemoControl>& controls) {
    BigEndianBuffer b;
    b.PutU16(version);
    b.PutU16(static_cast<u16>(controls.size()));
    for (i16 v : {i16(0), i16(0), height, width}) b.PutU16(static_cast<u16>(v));  // top, left, bottom, right
    for (const DemoControl& c : controls) {
        u32 type = 0;
        ParseFourCC(c.type, &type);
        b.PutU32(type);
        b.PutZeros(2);
        b.PutU16(c.id);
        b.PutZeros(8);
        for (i16 v : {c.top, c.left, c.bottom, c.right}) b.PutU16(static_cast<u16>(v));
    }
    for (const DemoControl& c : controls) b.PutText(c.text, std::string(c.text).size() + 1);
    return b.bytes();
}

std::vector<u8> MainMenuDialog(u32 variant) {
    const i16 shift = static_cast<i16>(variant * 8);
    return DialogData(static_cast<u16>(1 + variant), 640, 480,
                      {{"bann", 1, 20, 16, 620, 96, "Zarnhold"},
                       {"butt", 2, 220, i16(140 + shift), 420, i16(180 + shift), "Play"},
                       {"butt", 3, 220, i16(200 + shift), 420, i16(240 + shift), "Options"},
                       {"edit", 4, 220, 260, 420, 284, "Player name"},
                       {"chek", 5, 220, 300, 420, 320, "Music"},
                       {"slid", 6, 220, 330, 420, 350, ""},
                       {"lstp", 7, 20, 120, 200, 400, ""},
                       {"butt", 8, 220, 420, 420, 460, "Quit"},
                       {"stat", 9, 440, 440, 620, 460, "v1.0"}});
}

std::vector<u8> OptionsDialog() {
    return DialogData(2, 400, 300,
                      {{"tabc", 10, 8, 8, 392, 40, "Video|Sound"},
                       {"radi", 11, 16, 60, 196, 80, "Windowed"},
                       {"radi", 12, 16, 90, 196, 110, "Full screen"},
                       {"popu", 13, 204, 60, 384, 84, "Resolution"},
                       {"colr", 14, 204, 100, 240, 136, ""},
                       {"prog", 15, 16, 200, 384, 216, ""},
                       {"STAT", 16, 16, 220, 196, 250, ""},
                       {"numb", 17, 204, 220, 260, 244, "3"},
                       {"butt", 18, 296, 260, 384, 290, "Done"}});
}

// --- Sounds ('soun') ---------------------------------------------------------

const i16 kSteps[89] = {7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
                        25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
                        88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
                        307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
                        1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
                        3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
                        12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
const int kIndexChange[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

struct ImaState {
    int predictor = 0;
    int index = 0;
};

// One 34-byte packet of 64 samples taken `stride` apart. Each packet starts
// from its header, so the encoder starts from the header's truncated
// predictor just as a decoder will.
void EncodePacket(const i16* samples, size_t stride, ImaState& s, BigEndianBuffer& out) {
    s.predictor &= ~0x7F;
    out.PutU16(static_cast<u16>((s.predictor & 0xFF80) | s.index));
    u8 byte = 0;
    for (int k = 0; k < 64; ++k) {
        const int step = kSteps[s.index];
        int diff = samples[k * stride] - s.predictor;
        int code = 0;
        if (diff < 0) {
            code = 8;
            diff = -diff;
        }
        if (diff >= step) {
            code |= 4;
            diff -= step;
        }
        if (diff >= step >> 1) {
            code |= 2;
            diff -= step >> 1;
        }
        if (diff >= step >> 2) code |= 1;
        int delta = step >> 3;
        if (code & 4) delta += step;
        if (code & 2) delta += step >> 1;
        if (code & 1) delta += step >> 2;
        s.predictor += (code & 8) ? -delta : delta;
        s.predictor = s.predictor > 32767 ? 32767 : s.predictor < -32768 ? -32768 : s.predictor;
        s.index += kIndexChange[code & 7];
        s.index = s.index < 0 ? 0 : s.index > 88 ? 88 : s.index;
        if (k & 1) {
            out.PutU8(static_cast<u8>(byte | (code << 4)));
        } else {
            byte = static_cast<u8>(code);
        }
    }
}

struct DemoPermutation {
    std::string name;
    u16 channels;
    u32 rate;
    u32 packets_per_channel;
    double base_hz;
};

// Frames of a decaying tone sweeping down from base_hz, the right channel
// a fifth above the left.
std::vector<u8> PermutationPackets(const DemoPermutation& p) {
    const size_t frames = size_t{p.packets_per_channel} * 64;
    std::vector<i16> samples(frames * p.channels);
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / p.rate;
        const double envelope = std::exp(-3.0 * t) * (1 - std::exp(-200.0 * t));
        for (u16 c = 0; c < p.channels; ++c) {
            const double hz = p.base_hz * (c ? 1.5 : 1.0) * (1.0 - 0.3 * t);
            const double v = envelope * (0.6 * std::sin(2 * M_PI * hz * t) + 0.2 * std::sin(6 * M_PI * hz * t));
            samples[i * p.channels + c] = static_cast<i16>(std::lround(v * 32767));
        }
    }
    BigEndianBuffer out;
    std::vector<ImaState> state(p.channels);
    for (size_t g = 0; g < p.packets_per_channel; ++g)
        for (u16 c = 0; c < p.channels; ++c) EncodePacket(&samples[g * 64 * p.channels + c], p.channels, state[c], out);
    return out.bytes();
}

// Header (64), descriptions (32 each), permutation records (32 each), then
// every permutation's packets in order.
std::vector<u8> SoundData(const std::vector<DemoPermutation>& perms) {
    const u32 n = static_cast<u32>(perms.size());
    BigEndianBuffer b;
    b.PutU32(0);
    b.PutZeros(16);           // 8 carried words
    b.PutU32(64 + 32 * n);    // permutation records
    b.PutZeros(8);
    b.PutU16(0);
    b.PutZeros(2);
    b.PutU32(n);
    b.PutU32(64);             // descriptions
    b.PutU32(0);
    b.PutZeros(16);
    for (const DemoPermutation& p : perms) {
        b.PutZeros(6);
        b.PutText(p.name, 25);
        b.PutZeros(1);
    }
    for (const DemoPermutation& p : perms) {
        const u32 packets = p.packets_per_channel * p.channels;
        b.PutU32(packets > 0 ? 1 : 0);
        b.PutU16(16);
        b.PutU16(0);
        b.PutU16(p.channels);
        b.PutZeros(2);
        b.PutU32(p.rate << 16);
        b.PutU32(packets);
        b.PutZeros(12);
    }
    for (const DemoPermutation& p : perms) b.PutBytes(PermutationPackets(p));
    return b.bytes();
}

std::vector<u8> DemoSound(u32 variant) {
    const double base = 180.0 + 40.0 * variant;
    return SoundData({{"Near", 1, 22050, 120, base},
                      {"Far", 1, 11025, 60, base * 0.5},
                      {"Wide (stereo)", 2, 22050, 100, base * 1.25}});
}

// --- Struct-described tags ----------------------------------------------------

std::vector<u8> CollectionReferenceData(u32 collection) {
    BigEndianBuffer b;
    b.PutU32(collection);
    for (u16 i = 0; i < 166; ++i) b.PutU16(static_cast<u16>(i * 3));
    b.PutZeros(48);
    return b.bytes();
}

// 36 bytes: speed, direction, veer rate, gustiness, season, gust length,
// gust interval, flags, turbulence, calm chance, haze, sound, padding.
std::vector<u8> WindData(u32 variant) {
    BigEndianBuffer b;
    b.PutU32(0x000C8000 + variant * 0x10000);  // 12.5 + variant
    b.PutU16(static_cast<u16>(16384 * (variant % 4)));
    b.PutU16(2048);        // 337.5 degrees a second
    b.PutU8(128);          // 0.5
    b.PutU8(static_cast<u8>(variant % 5 == 4 ? 0xFF : variant % 4));
    b.PutU16(60);          // 2 s
    b.PutU32(900);         // 30 s
    b.PutU16(static_cast<u16>(1 + (variant & 6)));
    b.PutU16(320);         // 1.25
    b.PutU16(16384);       // 0.25
    for (u16 channel : {0x8000, 0x9000, 0xA000, 0xFFFF}) b.PutU16(channel);
    b.PutU32(Code("f001"));
    b.PutZeros(2);
    return b.bytes();
}

// 68 bytes; the thunder array has two of its four elements in use.
std::vector<u8> LightningData(u32 variant) {
    BigEndianBuffer b;
    b.PutU32(Code("f001"));      // collection
    b.PutU16(0);                 // bolt sequence
    b.PutU16(1);                 // glow sequence
    b.PutU32(Code("L001"));      // the local collection reference
    b.PutU16(2);                 // flash sequence
    b.PutU16(1024);              // shortest bolt: 2 world units
    b.PutU16(513);               // longest: the shortest + 1
    b.PutU32(5 * 512 + variant * 256);
    b.PutU32(0x41CC0000);        // 25.5
    b.PutU16(static_cast<u16>(variant % 3));
    b.PutU8(3);
    b.PutU8(static_cast<u8>(-5));
    b.PutU16(40);
    b.PutU32(0xDEADBEEF);
    b.PutU32(15);
    b.PutU8(2);                  // thunder in use
    b.PutZeros(3);
    b.PutU32(Code("f001"));
    b.PutU16(256);               // volume 1.0
    b.PutU32(Code("f002"));
    b.PutU16(128);
    b.PutZeros(12);
    return b.bytes();
}

// 120 bytes; three of the six effects in use.
std::vector<u8> ArtifactData(u32 variant) {
    BigEndianBuffer b;
    b.PutU32(Code("f001"));
    b.PutU16(0);
    b.PutU16(1);
    b.PutU32(Code("f002"));      // pickup sound
    b.PutU32(0x40100000);        // 2.25
    b.PutU16(static_cast<u16>(150 + 25 * variant));
    b.PutU8(3);                  // effects in use
    b.PutU8(0x81);
    b.PutU16(1);                 // at least one use
    b.PutU16(3);                 // at most 1 + 2
    const u16 kinds[3] = {0, 2, 3};
    for (int i = 0; i < 6; ++i) {
        if (i >= 3) {
            b.PutZeros(16);
            continue;
        }
        b.PutU16(kinds[i]);
        b.PutU16(static_cast<u16>(10 * (i + 1)));
        b.PutU32(static_cast<u32>(30 * (i + 2)));
        b.PutU32(i == 1 ? Code("f002") : Code("f001"));
        b.PutU16(static_cast<u16>(i));
        b.PutZeros(2);
    }
    return b.bytes();
}

// The data a demo tag of an editor group gets, or false for other groups.
bool EditorData(u32 group, const std::string& name, std::vector<u8>* data) {
    const u32 v = Variant(name);
    if (group == Code("bina")) {
        *data = MainMenuDialog(v);
    } else if (group == Code("soun")) {
        *data = DemoSound(v);
    } else if (group == Code("core")) {
        *data = CollectionReferenceData(Code("f001"));
    } else if (group == Code("wind")) {
        *data = WindData(v);
    } else if (group == Code("ligh")) {
        *data = LightningData(v);
    } else if (group == Code("arti")) {
        *data = ArtifactData(v);
    } else {
        return false;
    }
    return true;
}

DemoLocalFile LocalFile(u32 group, u32 tag_id, const std::string& name, std::vector<u8> data) {
    DemoLocalFile file;
    file.tag.group = group;
    file.tag.tag_id = tag_id;
    file.tag.name = name;
    file.tag.data = std::move(data);
    file.file_name = name;
    return file;
}

}  // namespace

void AddDemoEditors(DemoGame& game) {
    for (DemoArchive& archive : game.archives)
        for (DemoTag& tag : archive.tags) EditorData(tag.group, tag.name, &tag.data);
    for (DemoLocalFile& file : game.local_files) EditorData(file.tag.group, file.tag.name, &file.tag.data);

    game.local_files.push_back(LocalFile(Code("bina"), Code("E001"), "Options Dialog", OptionsDialog()));
    game.local_files.push_back(LocalFile(Code("bina"), Code("E002"), "Empty Dialog", DialogData(1, 320, 200, {})));
    game.local_files.push_back(LocalFile(Code("soun"), Code("E003"), "Thunder Roll",
                                         SoundData({{"Roll", 2, 22050, 150, 70.0},
                                                    {"Crack", 1, 22050, 40, 900.0},
                                                    {"Crack", 1, 11025, 20, 600.0},
                                                    {"Pause", 1, 22050, 0, 0.0}})));
    game.local_files.push_back(LocalFile(Code("core"), Code("E004"), "Campaign Collection Reference",
                                         CollectionReferenceData(Code("c001"))));
    game.local_files.push_back(LocalFile(Code("wind"), Code("E005"), "Local Wind", WindData(6)));
    game.local_files.push_back(LocalFile(Code("ligh"), Code("E006"), "Local Lightning", LightningData(1)));
    game.local_files.push_back(LocalFile(Code("arti"), Code("E007"), "Local Artifact", ArtifactData(4)));
}

}  // namespace pirn::demo
