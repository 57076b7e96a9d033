// Demo sprite collections ('.256'), drawn here in code and encoded with the
// program's own collection writer: a knight with walking views (mirrored),
// shadows, a team-colour hue change, soft glows, 64-bit pixels, a sequence
// with an empty view and one without frames; flames and smoke; interface
// icons. Every '.256' tag of the demo game gets one of them, and three new
// ones are added.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "codex/four_char_code.h"
#include "codex/tag_header.h"
#include "collections/collection.h"
#include "collections/collection_tag.h"
#include "platform/colour_space.h"
#include "platform/scratch_stream.h"
#include "tools/demo_game/demo_game.h"

namespace pirn::demo {

namespace {

constexpr u32 kRampCount = 8;
constexpr u32 kRampLength = 30;
constexpr u32 kFirstGrey = 2 + kRampCount * kRampLength;  // 242

// Entries 2.. are eight ramps of 30 shades (the first is red: the team
// colour the hue change recolours), then greys.
void FillDemoPalette(Collection* c) {
    const double hues[kRampCount] = {0.0, 30.0, 55.0, 120.0, 185.0, 220.0, 270.0, 320.0};
    SetCollectionColorTable(c, nullptr, 0);
    const u8 key[6] = {0, 0, 0, 255, 0, 255};
    std::memcpy(c->colors, key, sizeof key);
    for (u32 r = 0; r < kRampCount; ++r)
        for (u32 s = 0; s < kRampLength; ++s) {
            double red = 0, green = 0, blue = 0;
            const double t = double(s) / (kRampLength - 1);
            HsvToRgb(hues[r] / 360.0, r == 5 ? 0.35 : 0.85 - 0.4 * t, 0.2 + 0.8 * t, &red, &green, &blue);
            u8* entry = &c->colors[3 * (2 + r * kRampLength + s)];
            entry[0] = u8(std::lround(red * 255));
            entry[1] = u8(std::lround(green * 255));
            entry[2] = u8(std::lround(blue * 255));
        }
    for (u32 i = kFirstGrey; i < 256; ++i) c->colors[3 * i] = c->colors[3 * i + 1] = c->colors[3 * i + 2] = u8((i - kFirstGrey) * 19 + 8);
}

u8 Shade(u32 ramp, double t) {
    t = std::fmin(std::fmax(t, 0.0), 1.0);
    return u8(2 + ramp * kRampLength + u32(std::lround(t * (kRampLength - 1))));
}

// A 2-byte canvas: alpha, index.
struct Canvas {
    u16 width, height;
    std::vector<u8> pixels;
    Canvas(u16 w, u16 h) : width(w), height(h), pixels(size_t(w) * h * 2, 0) {}
    void Set(int x, int y, u8 alpha, u8 index) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        u8* p = &pixels[(size_t(y) * width + size_t(x)) * 2];
        p[0] = alpha;
        p[1] = alpha ? index : 0;
    }
    // Calls paint(u, v) with the pixel's place inside the ellipse (-1..1).
    void Ellipse(double cx, double cy, double rx, double ry, const std::function<void(int, int, double, double)>& paint) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
                if (u * u + v * v <= 1.0) paint(x, y, u, v);
            }
    }
};

CollectionBitmap* AddCanvas(Collection* c, const std::string& name, const Canvas& canvas, u16 flags) {
    return AddCollectionBitmap(c, name.c_str(), flags, canvas.pixels.data(), canvas.width, canvas.height, 2, nullptr);
}

// One walking knight: steel body, red tabard (the team colour), a helmet
// plume that shows which way the view faces, legs apart on odd frames.
CollectionBitmap* DrawKnight(Collection* c, u32 view, u32 frame) {
    Canvas k(40, 48);
    const double facing = view * 3.14159265 / 4.0;
    const double stride = frame % 2 ? 5.0 : 2.0;
    for (double leg : {-stride, stride})
        k.Ellipse(20 + leg, 40, 3, 8, [&](int x, int y, double, double v) { k.Set(x, y, 255, Shade(5, 0.3 - 0.2 * v)); });
    k.Ellipse(20, 26, 11, 14, [&](int x, int y, double u, double v) { k.Set(x, y, 255, Shade(5, 0.75 - 0.35 * u - 0.1 * v)); });
    k.Ellipse(20, 27, 7, 10, [&](int x, int y, double u, double) { k.Set(x, y, 255, Shade(0, 0.8 - 0.4 * std::fabs(u))); });
    k.Ellipse(20, 10, 7, 7, [&](int x, int y, double u, double v) { k.Set(x, y, 255, Shade(5, 0.9 - 0.3 * (u + v))); });
    const double px = 20 + 6 * std::sin(facing), py = 8 - 3 * std::cos(facing);
    k.Ellipse(px, py, 3, 3, [&](int x, int y, double, double) { k.Set(x, y, 255, Shade(1, 0.9)); });
    return AddCanvas(c, "Walk F" + std::to_string(frame) + " V" + std::to_string(view), k, kBitmapRle);
}

CollectionBitmap* DrawShadow(Collection* c, const std::string& name, u16 w, u16 h, u8 darkness) {
    Canvas s(w, h);
    s.Ellipse(w / 2.0, h / 2.0, w / 2.0, h / 2.0, [&](int x, int y, double u, double v) {
        s.Set(x, y, 255, u8(darkness * (1.0 - 0.5 * (u * u + v * v))));
    });
    return AddCanvas(c, name, s, kBitmapShadow);
}

// Soft round light: alpha falls off toward the rim (16-bit pixels).
CollectionBitmap* DrawGlow(Collection* c, const std::string& name, u16 side, u32 ramp, u16 flags) {
    Canvas g(side, side);
    g.Ellipse(side / 2.0, side / 2.0, side / 2.0, side / 2.0, [&](int x, int y, double u, double v) {
        const double r = std::sqrt(u * u + v * v);
        g.Set(x, y, u8(255 * (1.0 - r)), Shade(ramp, 1.0 - 0.6 * r));
    });
    return AddCanvas(c, name, g, flags);
}

CollectionBitmap* DrawFlame(Collection* c, u32 frame) {
    Canvas f(32, 48);
    const double sway = 3.0 * std::sin(frame * 1.7);
    f.Ellipse(16 + sway, 28, 10, 20, [&](int x, int y, double u, double v) {
        const double r = std::sqrt(u * u + v * v);
        f.Set(x, y, u8(std::fmin(255.0, 300 * (1.0 - r))), Shade(r < 0.5 ? 2 : 1, 1.0 - 0.5 * r + 0.2 * v));
    });
    return AddCanvas(c, "Flame " + std::to_string(frame), f, kBitmapRle);
}

// The 64-bit form: p3 holds alpha (low five bits) and a hue-change number
// (high three); p0-p2 the colour as hue, value, saturation; an odd p2 adds a
// second colour in p4-p6 blended by p7 % 32.
CollectionBitmap* DrawDeep(Collection* c, const std::string& name, u16 side, u32 seed) {
    std::vector<u8> pixels(size_t(side) * side * 8, 0);
    for (u32 y = 0; y < side; ++y)
        for (u32 x = 0; x < side; ++x) {
            const double u = (x + 0.5) / side * 2 - 1, v = (y + 0.5) / side * 2 - 1;
            const double r = std::sqrt(u * u + v * v);
            if (r > 1.0) continue;
            u8* p = &pixels[(size_t(y) * side + x) * 8];
            const u8 alpha = u8(std::lround(31 * (1.0 - r * r)));
            const u8 hue_change = (x + y + seed) % 3 == 0 ? 1 : 0;
            p[3] = u8(hue_change << 5 | alpha);
            p[0] = u8(seed * 40 + x * 4);
            p[1] = u8(120 + 100 * (1.0 - r));
            p[2] = u8((200 - y * 3) | ((x % 4 == 0) ? 1 : 0));
            if (p[2] & 1) {
                p[4] = u8(p[0] + 128);
                p[5] = 200;
                p[6] = 180;
                p[7] = u8(16);
            }
        }
    return AddCollectionBitmap(c, name.c_str(), kBitmapFormatValid, pixels.data(), side, side, 8, nullptr);
}

CollectionBitmap* DrawIcon(Collection* c, const std::string& name, u16 side, u32 ramp, int shape) {
    Canvas icon(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int d = std::abs(x - side / 2) + std::abs(y - side / 2);
            const bool inside = shape == 0 ? d < side / 2 : (x > 1 && y > 1 && x < side - 2 && y < side - 2);
            if (inside) icon.Set(x, y, 255, Shade(ramp, 1.0 - double(d) / side));
        }
    return AddCanvas(c, name, icon, 0);
}

void Place(BitmapInstance* instance, CollectionBitmap* bitmap, i16 x, i16 y) {
    instance->standard.bitmap = bitmap;
    instance->standard.x = x;
    instance->standard.y = y;
    instance->key_x = x;
    instance->key_y = i16(y - 20);
}

void BuildKnight(Collection* c) {
    c->flags = kCollectionMonsters | kCollectionProjectiles;
    FillDemoPalette(c);
    CollectionHueChange* team = AddHueChange(c, "Team Color");
    team->start_hue = 0xF000;  // the reds, on both sides of hue 0
    team->end_hue = 0x1000;
    team->median_hue = 0;
    team->minimum_saturation = 0x2000;
    team->use_as = 1;
    team->replacement_blue = 0xE000;
    team->replacement_green = 0x4000;
    team->replacement_flags = 1;

    CollectionSequence* walk = AddSequence(c, "Walk");
    ResizeSequence(walk, 8, 2);
    walk->flags |= kSequenceMirroring;
    walk->ticks_per_frame = 4;
    walk->loop_frame = 0;
    walk->sounds[0] = MakeFourCC("f001");
    CollectionBitmap* shadows[2] = {DrawShadow(c, "Walk Shadow 0", 32, 12, 180), DrawShadow(c, "Walk Shadow 1", 36, 12, 160)};
    for (u32 f = 0; f < 2; ++f) {
        SequenceFrame& frame = walk->frames[f];
        for (u32 v = 0; v < GetStoredViewCount(*walk); ++v) Place(&frame.instances[v], DrawKnight(c, v, f), 20, 46);
        frame.shadow = shadows[f];
        frame.record.flags = f;  // frame 1's shadow is light
        frame.record.shadow_x = 13107 * 4;
        frame.record.shadow_y = -13107 * 2;
    }

    CollectionSequence* idle = AddSequence(c, "Idle");
    Canvas stand(64, 64);
    stand.Ellipse(32, 36, 14, 24, [&](int x, int y, double u, double) { stand.Set(x, y, 255, Shade(5, 0.7 - 0.3 * u)); });
    stand.Ellipse(32, 38, 9, 14, [&](int x, int y, double u, double) { stand.Set(x, y, 255, Shade(0, 0.8 - 0.3 * std::fabs(u))); });
    Place(&idle->frames[0].instances[0], AddCanvas(c, "Idle", stand, 0), 32, 60);
    idle->key_frame = 0;

    // A spell: soft glows, one view of the second frame left empty, the
    // first frame's glow with a larger alternate.
    CollectionSequence* cast = AddSequence(c, "Cast");
    ResizeSequence(cast, 2, 2);
    CollectionBitmap* small_glow = DrawGlow(c, "Glow Small", 24, 2, kBitmapRle);
    CollectionBitmap* large_glow = DrawGlow(c, "Glow Large", 48, 2, 0);
    CollectionBitmap* blue_glow = DrawGlow(c, "Glow Blue", 32, 5, kBitmapRle);
    Place(&cast->frames[0].instances[0], small_glow, 12, 12);
    Place(&cast->frames[0].instances[1], blue_glow, 16, 16);
    Place(&cast->frames[1].instances[0], large_glow, 24, 24);
    Place(&cast->frames[1].instances[1], nullptr, 0, 0);  // an empty view
    BitmapInstance& alternate = cast->frames[0].instances[0];
    alternate.flags |= kInstanceHasAlternate;
    alternate.alternate.bitmap = large_glow;
    alternate.alternate.x = 24;
    alternate.alternate.y = 24;
    alternate.alternate.scale = 5 * kFixedOne;

    CollectionSequence* portrait = AddSequence(c, "Portrait");
    ResizeSequence(portrait, 1, 2);
    Place(&portrait->frames[0].instances[0], DrawDeep(c, "Portrait 0", 24, 0), 12, 12);
    Place(&portrait->frames[1].instances[0], DrawDeep(c, "Portrait 1", 24, 1), 12, 12);

    CollectionSequence* unused = AddSequence(c, "Unused");
    ResizeSequence(unused, 3, 0);
}

void BuildEffects(Collection* c) {
    c->flags = kCollectionAtmosphericEffects;
    FillDemoPalette(c);
    CollectionSequence* burn = AddSequence(c, "Burn");
    ResizeSequence(burn, 1, 4);
    burn->ticks_per_frame = 2;
    for (u32 f = 0; f < 4; ++f) Place(&burn->frames[f].instances[0], DrawFlame(c, f), 16, 46);
    CollectionSequence* puff = AddSequence(c, "Puff");
    ResizeSequence(puff, 1, 2);
    Place(&puff->frames[0].instances[0], DrawDeep(c, "Smoke 0", 32, 2), 16, 16);
    Place(&puff->frames[1].instances[0], DrawGlow(c, "Smoke 1", 32, 5, kBitmapRle), 16, 16);
    DrawGlow(c, "Spark", 16, 2, 0);  // in no sequence
}

void BuildInterface(Collection* c) {
    c->flags = kCollectionInterfaces;
    FillDemoPalette(c);
    CollectionSequence* buttons = AddSequence(c, "Buttons");
    ResizeSequence(buttons, 1, 3);
    for (u32 f = 0; f < 3; ++f)
        Place(&buttons->frames[f].instances[0], DrawIcon(c, "Button " + std::to_string(f), 32, 3 + f, int(f % 2)), 0, 0);
    CollectionSequence* cursor = AddSequence(c, "Cursor");
    Place(&cursor->frames[0].instances[0], DrawIcon(c, "Cursor", 16, 6, 0), 8, 8);
}

std::vector<u8> SaveData(Collection* c, const std::string& name) {
    std::vector<u8> data;
    std::FILE* stream = pirn::OpenScratchFile();
    if (!stream) return data;
    TagHeader header = MakeTagHeader(MakeFourCC(".256"), 0, name.c_str());
    if (SaveCollection(c, stream, &header) && std::fseek(stream, 0, SEEK_END) == 0) {
        const long size = std::ftell(stream);
        if (size > long(kTagHeaderSize) && std::fseek(stream, kTagHeaderSize, SEEK_SET) == 0) {
            data.resize(size_t(size) - kTagHeaderSize);
            if (std::fread(data.data(), 1, data.size(), stream) != data.size()) data.clear();
        }
    }
    std::fclose(stream);
    return data;
}

}  // namespace

// Written, read back and written again: the form a load and save keeps
// byte for byte (loading clears the alternate fields of instances without
// alternates).
std::vector<u8> EncodeDemoCollection(Collection* c, const std::string& name) {
    ComputeSequenceExtents(c);  // fills the mirrored views as loading would
    std::vector<u8> first = SaveData(c, name);
    std::FILE* stream = pirn::OpenScratchFile();
    if (!stream) return first;
    std::vector<u8> file(kTagHeaderSize, 0);
    file.insert(file.end(), first.begin(), first.end());
    std::fwrite(file.data(), 1, file.size(), stream);
    TagHeader header = MakeTagHeader(MakeFourCC(".256"), 0, name.c_str());
    header.data_length = u32(first.size());
    header.user_data = c->flags;
    Collection again;
    InitCollection(&again);
    std::vector<u8> second = LoadCollection(&again, stream, &header, true) ? SaveData(&again, name) : first;
    std::fclose(stream);
    return second;
}

namespace {

using Builder = void (*)(Collection*);
const Builder kBuilders[] = {BuildKnight, BuildEffects, BuildInterface};

void FillCollectionTag(DemoTag* tag, u32 variant) {
    Collection c;
    InitCollection(&c);
    kBuilders[variant % 3](&c);
    tag->data = EncodeDemoCollection(&c, tag->name);
    tag->user_data = c.flags;
    tag->version = kCollectionTagVersion;
}

// Another area's own collection (the terrain's) is already in place.
bool HoldsCollection(const DemoTag& tag) { return tag.version == kCollectionTagVersion && !tag.data.empty(); }

DemoTag NewCollectionTag(const char* id, const char* name, u32 variant) {
    DemoTag tag;
    tag.group = MakeFourCC(".256");
    ParseFourCC(id, &tag.tag_id);
    tag.name = name;
    FillCollectionTag(&tag, variant);
    return tag;
}

// Keeps the archive's directory order: group, name bytewise, id.
void InsertInOrder(DemoArchive* archive, DemoTag tag) {
    auto before = [](const DemoTag& a, const DemoTag& b) {
        if (a.group != b.group) return a.group < b.group;
        const int by_name = std::strcmp(a.name.c_str(), b.name.c_str());
        return by_name != 0 ? by_name < 0 : a.tag_id < b.tag_id;
    };
    archive->tags.insert(std::upper_bound(archive->tags.begin(), archive->tags.end(), tag, before), std::move(tag));
}

// A colour map: one opaque RAW gradient of side x side, flag 0x100 set.
void BuildColorMap(Collection* c, u16 side) {
    FillDemoPalette(c);
    Canvas map(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) map.Set(x, y, 255, Shade(u32(x * kRampCount / side), double(y) / side));
    AddCanvas(c, "Colour Map", map, 0);
    c->flags |= 0x100;
}

}  // namespace

std::vector<u8> EncodeDemoColorMap(const std::string& name, u16 side, u32* flags) {
    Collection c;
    InitCollection(&c);
    BuildColorMap(&c, side);
    std::vector<u8> data = EncodeDemoCollection(&c, name);
    if (flags) *flags = c.flags;
    return data;
}

void AddDemoCollections(DemoGame& game) {
    const u32 group = MakeFourCC(".256");
    u32 variant = 0;
    for (DemoArchive& archive : game.archives) {
        for (DemoTag& tag : archive.tags)
            if (tag.group == group && !HoldsCollection(tag)) FillCollectionTag(&tag, variant++);
        if (archive.file_name == kDemoBaseArchive) {
            InsertInOrder(&archive, NewCollectionTag("ck01", "Demo Knight", 0));
            InsertInOrder(&archive, NewCollectionTag("ce01", "Demo Effects", 1));
            InsertInOrder(&archive, MakeDemoKnightFramesTag());
        }
        if (archive.kind == 6) InsertInOrder(&archive, NewCollectionTag("ci01", "Demo Interface", 2));
    }
    for (DemoLocalFile& file : game.local_files)
        if (file.tag.group == group && !HoldsCollection(file.tag)) FillCollectionTag(&file.tag, 0);
}

}  // namespace pirn::demo
