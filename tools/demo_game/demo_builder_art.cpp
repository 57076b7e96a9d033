// Rendered frames for the collection builders, as an artist's renderer
// would leave them in the game's source folder (not a tag folder): a knight
// in 8 views walking, idling and attacking, at 48 x 48 pixels for the
// standard builder and the same pictures at twice the size for the
// high-resolution builder, in every folder layout and file kind the
// builders read. The archive also gets the collection the standard builder
// makes of the small frames (with a team-colour hue change), so that the
// high-resolution builder, which reads archive collections, has one to
// work on.
//
// The pictures are drawn on a grid of whole pixels, so the large frames
// are exact 2 x 2 enlargements and every frame's alpha box is known
// (DemoKnightFrameBounds).

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "codex/four_char_code.h"
#include "collections/collection_builder.h"
#include "platform/colour_space.h"
#include "platform/image_file.h"
#include "platform/pixel_convert.h"
#include "platform/strings.h"
#include "tools/demo_game/demo_game.h"

namespace pirn::demo {

namespace {

constexpr i32 kCentreX = 20;

struct Legs {
    i32 left, right;
};

// Leg lengths of the source frames: walk 0-2, then the attack's two.
Legs LegsOf(DemoKnightPose pose, u32 frame) {
    switch (pose) {
    case DemoKnightPose::kWalk:
        return frame == 0 ? Legs{4, 7} : frame == 1 ? Legs{7, 4} : Legs{5, 5};
    case DemoKnightPose::kIdle:
        return Legs{5, 5};
    case DemoKnightPose::kAttack:
        return frame == 0 ? Legs{6, 5} : Legs{5, 6};
    }
    return Legs{5, 5};
}

// The arm with its sword reaches further in later views and in a swing.
i32 ArmLength(DemoKnightPose pose, u32 view, u32 frame) {
    return i32(view) + 1 + (pose == DemoKnightPose::kAttack && frame == 0 ? 6 : 0);
}

struct Canvas {
    u32 scale;
    PixelImage image;

    explicit Canvas(u32 s) : scale(s) {
        SetImagePixels(&image, kDemoKnightFrameSide * s, kDemoKnightFrameSide * s, kFormatRgba, nullptr);
    }
    // Fills the inclusive rectangle of frame pixels.
    void Fill(i32 x0, i32 y0, i32 x1, i32 y1, u8 r, u8 g, u8 b, u8 a) {
        for (u32 y = u32(y0) * scale; y < u32(y1 + 1) * scale; ++y)
            for (u32 x = u32(x0) * scale; x < u32(x1 + 1) * scale; ++x) {
                u8* p = &image.pixels[(size_t(y) * image.width + x) * 4];
                p[0] = r;
                p[1] = g;
                p[2] = b;
                p[3] = a;
            }
    }
};

u8 ToByte(double v) { return u8(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }

// The colours alone, black where nothing is drawn.
PixelImage WithoutAlpha(const PixelImage& rgba) {
    std::vector<u8> rgb(size_t(rgba.width) * rgba.height * 3);
    for (size_t i = 0, o = 0; o < rgb.size(); i += 4, o += 3)
        for (size_t c = 0; c < 3; ++c) rgb[o + c] = rgba.pixels[i + 3] ? rgba.pixels[i + c] : 0;
    PixelImage image;
    SetImagePixels(&image, rgba.width, rgba.height, kFormatRgb, rgb.data());
    return image;
}

PixelImage AlphaOf(const PixelImage& rgba) {
    PixelImage alpha;
    CopyImageAs(&alpha, rgba, kFormatAlpha);
    return alpha;
}

void AddPicture(DemoGame& game, const std::string& path, u32 type, const PixelImage& image) {
    DemoFile file;
    file.path = path;
    EncodeImageBytes(type, image, &file.bytes);
    game.files.push_back(std::move(file));
}

void AddText(DemoGame& game, const std::string& path, const std::string& text) {
    DemoFile file;
    file.path = path;
    file.bytes.assign(text.begin(), text.end());
    game.files.push_back(std::move(file));
}

// File k of a folder written frames-then-views: view k / frames, frame
// k % frames.
template <typename Write>
void ForFramesThenViews(u32 views, u32 frames, Write write) {
    for (u32 v = 0; v < views; ++v)
        for (u32 f = 0; f < frames; ++f) write(v * frames + f, v, f);
}

template <typename Write>
void ForViewsThenFrames(u32 views, u32 frames, Write write) {
    for (u32 f = 0; f < frames; ++f)
        for (u32 v = 0; v < views; ++v) write(f * views + v, v, f);
}

// Walk: RGBA PNGs, written frames-then-views, with a frame list.
void AddWalk(DemoGame& game, const std::string& folder, u32 scale) {
    ForFramesThenViews(8, 3, [&](u32 k, u32 v, u32 f) {
        AddPicture(game, folder + FormatString("walk %03u.png", k + 1), kTypePng,
                   RenderDemoKnightFrame(DemoKnightPose::kWalk, v, f, scale));
    });
    AddText(game, folder + "script.txt", "BitmapOrder FramesThenViews\r\n(1 2 3 ~ 2)\r\n");
}

}  // namespace

PixelImage RenderDemoKnightFrame(DemoKnightPose pose, u32 view, u32 frame, u32 scale) {
    Canvas canvas(scale);
    const i32 cx = kCentreX;
    double r = 0, g = 0, b = 0;
    HsvToRgb(210.0 / 360, 0.25, 0.45 + 0.05 * view, &r, &g, &b);
    const Legs legs = LegsOf(pose, frame);
    canvas.Fill(cx - 5, 38, cx - 2, 38 + legs.left - 1, 70, 50, 40, 255);
    canvas.Fill(cx + 1, 38, cx + 4, 38 + legs.right - 1, 70, 50, 40, 255);
    canvas.Fill(cx - 6, 14, cx + 5, 37, ToByte(r), ToByte(g), ToByte(b), 255);
    const i32 banner = cx - 6 + i32(view * 2 % 8);
    canvas.Fill(banner, 16, banner + 3, 22, 200, 30, 30, 255);  // the team colour
    canvas.Fill(cx + 6, 24, cx + 5 + ArmLength(pose, view, frame), 25, 180, 180, 190, 255);
    canvas.Fill(cx - 3, 8, cx + 2, 13, 230, 190, 150, 255);
    canvas.Fill(cx - 2, 10, cx + 1, 10, 40, 40, 60, 160);  // a visor one can see through
    return std::move(canvas.image);
}

DemoKnightBounds DemoKnightFrameBounds(DemoKnightPose pose, u32 view, u32 frame) {
    const Legs legs = LegsOf(pose, frame);
    DemoKnightBounds bounds;
    bounds.x0 = kCentreX - 6;
    bounds.y0 = 8;
    bounds.x1 = kCentreX + 5 + ArmLength(pose, view, frame);
    bounds.y1 = 38 + std::max(legs.left, legs.right) - 1;
    return bounds;
}

void AddDemoBuilderArt(DemoGame& game) {
    const std::string standard = std::string(kDemoArtFolder) + "/" + kDemoStandardArt + "/";
    const std::string high = std::string(kDemoArtFolder) + "/" + kDemoHighResArt + "/";

    AddWalk(game, standard + "walk(8,5)/", 1);
    // Idle: 24-bit BMPs with grey BMP masks in bitmaps/ and alphas/, no
    // dimensions: the default 8 views.
    ForViewsThenFrames(8, 2, [&](u32 k, u32 v, u32 f) {
        const PixelImage frame = RenderDemoKnightFrame(DemoKnightPose::kIdle, v, f, 1);
        const std::string name = FormatString("idle %02u.bmp", k + 1);
        AddPicture(game, standard + "idle/bitmaps/" + name, kTypeBmp, WithoutAlpha(frame));
        AddPicture(game, standard + "idle/alphas/" + name, kTypeBmp, AlphaOf(frame));
    });
    // Attack: RGB PNGs with their ".alpha" masks beside them.
    ForViewsThenFrames(8, 2, [&](u32 k, u32 v, u32 f) {
        const PixelImage frame = RenderDemoKnightFrame(DemoKnightPose::kAttack, v, f, 1);
        AddPicture(game, standard + FormatString("attack(8,2)/attack %02u.png", k + 1), kTypePng, WithoutAlpha(frame));
        AddPicture(game, standard + FormatString("attack(8,2)/attack %02u.alpha.png", k + 1), kTypePng,
                   AlphaOf(frame));
    });

    AddText(game, high + "script.txt",
            FormatString("AlignType WholeSequence\nHueChange \"%s\" 340 0 20 40\n", kDemoTeamHueName));
    AddWalk(game, high + "walk/", 2);
    ForViewsThenFrames(8, 2, [&](u32 k, u32 v, u32 f) {
        const PixelImage frame = RenderDemoKnightFrame(DemoKnightPose::kIdle, v, f, 2);
        AddPicture(game, high + FormatString("idle/idle %02u.bmp", k + 1), kTypeBmp, WithoutAlpha(frame));
        AddPicture(game, high + FormatString("idle/idle %02u.alpha.bmp", k + 1), kTypeBmp, AlphaOf(frame));
    });
    // "attack.01.png" with its mask "attack.alpha.01.png".
    ForViewsThenFrames(8, 2, [&](u32 k, u32 v, u32 f) {
        const PixelImage frame = RenderDemoKnightFrame(DemoKnightPose::kAttack, v, f, 2);
        AddPicture(game, high + FormatString("attack/attack.%02u.png", k + 1), kTypePng, WithoutAlpha(frame));
        AddPicture(game, high + FormatString("attack/attack.alpha.%02u.png", k + 1), kTypePng, AlphaOf(frame));
    });
}

DemoTag MakeDemoKnightFramesTag() {
    CollectionBuildState state;
    state.topic = "Demo game";
    auto add_sequence = [&](const char* name, DemoKnightPose pose, u32 frames, const std::vector<i32>& sources) {
        BuildSequence sequence;
        sequence.name = name;
        sequence.views = 8;
        sequence.frames = frames;
        sequence.entries.resize(size_t(frames) * 8);
        for (u32 f = 0; f < frames; ++f) {
            if (sources[f] < 0) continue;
            for (u32 v = 0; v < 8; ++v) {
                PixelImage frame = RenderDemoKnightFrame(pose, v, u32(sources[f]), 1);
                std::string message;
                AddBuildFrame(&state, &frame, FormatString("%s %u-%u", name, v, f), &sequence.entries[f * 8 + v],
                              &message);
            }
        }
        state.sequences.push_back(std::move(sequence));
    };
    add_sequence("walk", DemoKnightPose::kWalk, 5, {0, 1, 2, -1, 1});
    add_sequence("idle", DemoKnightPose::kIdle, 2, {0, 1});
    add_sequence("attack", DemoKnightPose::kAttack, 2, {0, 1});

    Collection c;
    InitCollection(&c);
    AssembleBuiltCollection(&state, kDemoKnightRegistrationX, kDemoKnightRegistrationY, &c);
    CollectionHueChange* team = AddHueChange(&c, kDemoTeamHueName);
    team->start_hue = u16(340 * 65536 / 360);
    team->median_hue = 0;
    team->end_hue = u16(20 * 65536 / 360);
    team->minimum_saturation = u16(40 * 65535 / 100 + 1);
    ComputeAffectedColors(c, team);

    DemoTag tag;
    tag.group = MakeFourCC(".256");
    tag.tag_id = MakeFourCC(kDemoKnightFramesId);
    tag.name = kDemoKnightFramesName;
    tag.data = EncodeDemoCollection(&c, tag.name);
    tag.user_data = c.flags;
    tag.version = 4;
    FreeCollection(&c);
    return tag;
}

}  // namespace pirn::demo
