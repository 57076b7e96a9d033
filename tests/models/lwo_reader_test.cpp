#include "models/lwo_reader.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/models/lwo_fixture_bytes.h"
#include "tests/support/test_support.h"

using namespace pirn;
using namespace lwo_fixture;

namespace {

std::unique_ptr<LwoObject> Read(const std::vector<u8>& bytes, LwoReadFailure* failure = nullptr) {
    LwoReadFailure ignored;
    return LwoReadObjectBytes(bytes.data(), bytes.size(), failure ? failure : &ignored);
}

// Reads a file that must be refused and returns how.
LwoReadFailure Refusal(const std::vector<u8>& bytes) {
    LwoReadFailure failure;
    EXPECT_EQ(Read(bytes, &failure), nullptr);
    EXPECT_FALSE(failure.reason.empty());
    return failure;
}

const std::vector<Point> kSquare = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

// --- Form header ----------------------------------------------------------------

TEST(LwoForm, FilesThatAreNotLightWaveObjectsFailAtPositionTwelve) {
    struct Case {
        const char* what;
        std::vector<u8> bytes;
    };
    Bytes not_form;
    not_form.Id("LIST").U4(4).Id("LWO2");
    Bytes other_type;
    other_type.Id("FORM").U4(4).Id("LXOB");
    Bytes tiny_form;
    tiny_form.Id("FORM").U4(2).Id("LWO2");
    const Case cases[] = {
        {"empty", {}},
        {"short", {'F', 'O', 'R', 'M', 0, 0}},
        {"not a FORM", not_form.data},
        {"another form type", other_type.data},
        {"form too short for its type", tiny_form.data},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LwoReadFailure failure = Refusal(c.bytes);
        EXPECT_EQ(failure.position, 12u);
        EXPECT_EQ(failure.chunk, LwoId("FORM"));
    }
}

TEST(LwoForm, PathInterfaceReportsIdAndPosition) {
    pirn_test::TempDir dir;
    const std::string path = dir.file("bad.lwo");
    Bytes bad;
    bad.Id("FORM").U4(4).Id("LWO3");
    pirn_test::WriteAll(path, bad.data);
    u32 id = 0, position = 0;
    EXPECT_EQ(LwoReadObject(path, &id, &position), nullptr);
    EXPECT_EQ(id, LwoId("FORM"));
    EXPECT_EQ(position, 12u);
    EXPECT_EQ(LwoReadObject(path, nullptr, nullptr), nullptr);

    pirn_test::WriteAll(path, Form("LWO2", {Points(kSquare), Faces({{0, 1, 2, 3}})}));
    auto object = LwoReadObject(path, &id, &position);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->layers[0].polygons.size(), 1u);
    LwoFreeObject(object);
    EXPECT_EQ(object, nullptr);

    EXPECT_EQ(LwoReadObject(dir.file("missing.lwo"), &id, &position), nullptr);
}

TEST(LwoForm, ChunkRunningPastTheFormIsRefusedWithItsId) {
    std::vector<u8> bytes = Form("LWO2", {Points(kSquare)});
    // The PNTS size claims four more bytes than the form holds.
    bytes[19] = 48 + 4;
    const LwoReadFailure failure = Refusal(bytes);
    EXPECT_EQ(failure.chunk, LwoId("PNTS"));
    EXPECT_EQ(failure.position, 20u);
}

TEST(LwoForm, FormClaimingMoreThanTheFileIsRefused) {
    std::vector<u8> bytes = Form("LWO2", {Points(kSquare)});
    bytes[7] += 20;
    const LwoReadFailure failure = Refusal(bytes);
    EXPECT_EQ(failure.chunk, LwoId("FORM"));
    EXPECT_EQ(failure.position, bytes.size());
}

TEST(LwoForm, UnknownChunksAreSkippedWithTheirPadByte) {
    Bytes odd;
    odd.U1(1).U1(2).U1(3);
    auto object = Read(Form("LWO2", {Chunk("ZZZZ", odd), Points(kSquare), Faces({{0, 1, 2}})}));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->layers[0].points.size(), 4u);
}

// --- Layers, points, polygons ------------------------------------------------------

TEST(LwoLayers, FileWithoutLayrHoldsOneLayerWithEverything) {
    auto object = Read(Form("LWO2", {Points(kSquare), Faces({{0, 1, 2}, {0, 2, 3}})}));
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->layers.size(), 1u);
    EXPECT_EQ(object->layers[0].points.size(), 4u);
    EXPECT_EQ(object->layers[0].polygons.size(), 2u);
    EXPECT_EQ(object->layers[0].parent, -1);
}

TEST(LwoLayers, ParentIndexIsReadOnlyWhenTwoBytesRemain) {
    struct Case {
        const char* what;
        Bytes layer;
        i32 parent;
    };
    Bytes exact;  // 18 bytes: index, flags, pivot, empty name
    exact.U2(3).U2(1).Vec(1, 2, 3).S0("");
    Bytes with_parent = exact;
    with_parent.U2(7);
    Bytes with_extra = with_parent;
    with_extra.U2(0xAAAA).U2(0xBBBB);
    Bytes one_spare = exact;
    one_spare.U1(9);
    const Case cases[] = {
        {"18 bytes", exact, -1},
        {"20 bytes", with_parent, 7},
        {"extra bytes skipped", with_extra, 7},
        {"one spare byte", one_spare, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto object = Read(Form("LWO2", {Chunk("LAYR", c.layer), Points(kSquare)}));
        ASSERT_NE(object, nullptr);
        const LwoLayer& layer = object->layers[0];
        EXPECT_EQ(layer.index, 3);
        EXPECT_EQ(layer.flags, 1);
        EXPECT_EQ(layer.pivot[2], 3.0f);
        EXPECT_EQ(layer.name, "");
        EXPECT_EQ(layer.parent, c.parent);
        EXPECT_EQ(layer.points.size(), 4u);
    }
}

TEST(LwoLayers, LayrShorterThanItsFieldsIsRefused) {
    Bytes short_layer;
    short_layer.U2(0).U2(0).Vec(0, 0, 0);  // no name
    const LwoReadFailure failure = Refusal(Form("LWO2", {Chunk("LAYR", short_layer)}));
    EXPECT_EQ(failure.chunk, LwoId("LAYR"));
}

TEST(LwoLayers, LaterLayrsStartLayersWhosePolygonsCountTheirOwnPoints) {
    auto object = Read(Form("LWO2", {Layer(0, "first"), Points(kSquare), Faces({{0, 1, 2}}),
                                     Layer(1, "second", {5, 6, 7}, 0), Points({{9, 9, 9}, {8, 8, 8}, {7, 7, 7}}),
                                     Faces({{2, 1, 0}})}));
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->layers.size(), 2u);
    EXPECT_EQ(object->layers[0].name, "first");
    const LwoLayer& second = object->layers[1];
    EXPECT_EQ(second.name, "second");
    EXPECT_EQ(second.parent, 0);
    EXPECT_EQ(second.pivot[0], 5.0f);
    ASSERT_EQ(second.polygons.size(), 1u);
    EXPECT_EQ(second.polygons[0].vertices[0].index, 2u);
    EXPECT_EQ(second.points[2].position[0], 7.0f);
}

TEST(LwoPolygons, CountWordSplitsIntoTenBitsOfCountAndSixOfFlags) {
    Bytes pols;
    pols.Id("FACE").U2(0x8004).VX(0).VX(1).VX(2).VX(3).U2(0x0403).VX(3).VX(2).VX(1);
    auto object = Read(Form("LWO2", {Points(kSquare), Chunk("POLS", pols)}));
    ASSERT_NE(object, nullptr);
    const auto& polygons = object->layers[0].polygons;
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[0].vertices.size(), 4u);
    EXPECT_EQ(polygons[0].flags, 0x8000);
    EXPECT_EQ(polygons[0].type, LwoId("FACE"));
    EXPECT_EQ(polygons[1].vertices.size(), 3u);
    EXPECT_EQ(polygons[1].flags, 0x0400);
}

TEST(LwoPolygons, FourByteIndexTakesTheLowTwentyFourBits) {
    std::vector<Point> many(0x0103);
    for (size_t i = 0; i < many.size(); ++i) many[i] = {float(i), 0, 0};
    Bytes pols;
    pols.Id("FACE").U2(3).U1(0xFF).U1(0x00).U1(0x01).U1(0x02).VX(0).VX(1);
    auto object = Read(Form("LWO2", {Points(many), Chunk("POLS", pols)}));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->layers[0].polygons[0].vertices[0].index, 0x000102u);
}

TEST(LwoPolygons, IndicesCountFromThePointsBeforeTheLatestPnts) {
    auto object = Read(Form("LWO2", {Points(kSquare), Points({{5, 0, 0}, {6, 0, 0}, {7, 0, 0}}), Faces({{0, 1, 2}}),
                                     PolygonTags("SMGP", {{0, 9}})}));
    ASSERT_NE(object, nullptr);
    const LwoPolygon& polygon = object->layers[0].polygons[0];
    EXPECT_EQ(polygon.vertices[0].index, 4u);
    EXPECT_EQ(polygon.vertices[2].index, 6u);
    EXPECT_EQ(polygon.smoothing_group, 9u);
}

TEST(LwoPolygons, IndicesBeyondTheirTargetsAreRefused) {
    struct Case {
        const char* what;
        std::vector<Bytes> chunks;
        u32 chunk;
    };
    Bytes vmap_bad_point;
    vmap_bad_point.Id("TXUV").U2(2).S0("uv").VX(4).F4(0).F4(0);
    Bytes vmad_bad_polygon;
    vmad_bad_polygon.Id("TXUV").U2(2).S0("uv").VX(0).VX(1).F4(0).F4(0);
    Bytes truncated_index;
    truncated_index.Id("FACE").U2(3).VX(0).VX(1).U1(0);
    const Case cases[] = {
        {"POLS point", {Points(kSquare), Faces({{0, 1, 4}})}, LwoId("POLS")},
        {"POLS before any point", {Faces({{0, 1, 2}})}, LwoId("POLS")},
        {"POLS index cut by the chunk", {Points(kSquare), Chunk("POLS", truncated_index)}, LwoId("POLS")},
        {"PTAG polygon", {Points(kSquare), Faces({{0, 1, 2}}), PolygonTags("SURF", {{1, 0}})}, LwoId("PTAG")},
        {"VMAP point", {Points(kSquare), Chunk("VMAP", vmap_bad_point)}, LwoId("VMAP")},
        {"VMAD polygon", {Points(kSquare), Faces({{0, 1, 2}}), Chunk("VMAD", vmad_bad_polygon)}, LwoId("VMAD")},
        {"surface tag beyond TAGS", {Tags({"a"}), Points(kSquare), Faces({{0, 1, 2}}), PolygonTags("SURF", {{0, 1}})},
         LwoId("FORM")},
        {"part tag beyond TAGS", {Tags({"a"}), Points(kSquare), Faces({{0, 1, 2}}), PolygonTags("PART", {{0, 5}})},
         LwoId("FORM")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Refusal(Form("LWO2", c.chunks)).chunk, c.chunk);
    }
}

TEST(LwoPolygons, BoundingBoxIsKeptOrComputedFromThePoints) {
    Bytes box;
    box.Vec(-5, -6, -7).Vec(5, 6, 7);
    auto given = Read(Form("LWO2", {Points(kSquare), Chunk("BBOX", box)}));
    ASSERT_NE(given, nullptr);
    EXPECT_EQ(given->layers[0].bounds[0], -5.0f);
    EXPECT_EQ(given->layers[0].bounds[5], 7.0f);

    auto computed = Read(Form("LWO2", {Points({{1, -2, 3}, {-4, 5, 0.5f}})}));
    ASSERT_NE(computed, nullptr);
    const float expected[6] = {-4, -2, 0.5f, 1, 5, 3};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(computed->layers[0].bounds[i], expected[i]) << i;

    Bytes short_box;
    short_box.Vec(0, 0, 0).F4(1);
    EXPECT_EQ(Refusal(Form("LWO2", {Chunk("BBOX", short_box)})).chunk, LwoId("BBOX"));
}

// --- Strings and tags --------------------------------------------------------------

TEST(LwoStrings, NamesArePaddedToEvenLengthsAndEmptyOnesTakeTwoBytes) {
    Bytes tags;
    tags.S0("ab").S0("").S0("cde").S0("x");
    ASSERT_EQ(tags.size(), 4u + 2u + 4u + 2u);
    auto object = Read(Form("LWO2", {Chunk("TAGS", tags)}));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->tags, (std::vector<std::string>{"ab", "", "cde", "x"}));
}

TEST(LwoStrings, NameRunningPastItsChunkIsRefused) {
    Bytes tags;
    tags.S0("ok").U1('b').U1('a').U1('d').U1('!');
    const LwoReadFailure failure = Refusal(Form("LWO2", {Chunk("TAGS", tags)}));
    EXPECT_EQ(failure.chunk, LwoId("TAGS"));
    EXPECT_EQ(failure.position, 12u + 8u + 4u);
}

// --- Surfaces --------------------------------------------------------------------------

TEST(LwoSurfaces, TagWithoutSurfChunkGetsTheDefaultSurface) {
    auto object = Read(Form("LWO2", {Tags({"Plain"}), Points(kSquare), Faces({{0, 1, 2}}), PolygonTags("SURF", {{0, 0}})}));
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->surfaces.size(), 1u);
    const LwoSurface& s = object->surfaces[0];
    EXPECT_EQ(s.name, "Plain");
    for (float channel : s.colour.rgb) EXPECT_FLOAT_EQ(channel * 255.0f, 200.0f);
    EXPECT_FLOAT_EQ(s.diffuse.value, 1.0f);
    EXPECT_FLOAT_EQ(s.glossiness.value, 0.4f);
    EXPECT_FLOAT_EQ(s.refractive_index.value, 1.0f);
    EXPECT_EQ(s.sidedness, 1);
    EXPECT_EQ(s.smoothing_angle, 0.0f);
    EXPECT_EQ(object->layers[0].polygons[0].surface, 0u);
}

TEST(LwoSurfaces, PolygonsWithoutSurfaceTagTakeTheFirstTagAndNoTagsMeanNoSurface) {
    auto tagged = Read(Form("LWO2", {Tags({"First", "Second"}), Points(kSquare), Faces({{0, 1, 2}, {0, 2, 3}}),
                                     PolygonTags("SURF", {{1, 1}})}));
    ASSERT_NE(tagged, nullptr);
    ASSERT_EQ(tagged->surfaces.size(), 2u);
    EXPECT_EQ(tagged->surfaces[tagged->layers[0].polygons[0].surface].name, "First");
    EXPECT_EQ(tagged->surfaces[tagged->layers[0].polygons[1].surface].name, "Second");

    auto untagged = Read(Form("LWO2", {Points(kSquare), Faces({{0, 1, 2}})}));
    ASSERT_NE(untagged, nullptr);
    EXPECT_TRUE(untagged->surfaces.empty());
    EXPECT_EQ(untagged->layers[0].polygons[0].surface, kLwoNone);
}

Bytes SurfaceBody(const std::string& name, const std::vector<Bytes>& parts) {
    Bytes b;
    b.S0(name).S0("");
    for (const Bytes& part : parts) b.Raw(part);
    return b;
}

TEST(LwoSurfaces, SurfChunkSetsItsValues) {
    Bytes colour, diffuse, side, angle, unknown;
    colour.Vec(0.25f, 0.5f, 0.75f).VX(0);
    diffuse.F4(0.8f).VX(3);
    side.U2(3);
    angle.F4(1.25f);
    unknown.U1(7);
    const Bytes surf = Chunk("SURF", SurfaceBody("Skin", {SubChunk("COLR", colour), SubChunk("DIFF", diffuse),
                                                         SubChunk("SIDE", side), SubChunk("SMAN", angle),
                                                         SubChunk("XXXX", unknown)}));
    auto object = Read(Form("LWO2", {Tags({"Skin"}), surf, Points(kSquare), Faces({{0, 1, 2}})}));
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->surfaces.size(), 1u);
    const LwoSurface& s = object->surfaces[0];
    EXPECT_EQ(s.colour.rgb[1], 0.5f);
    EXPECT_EQ(s.diffuse.value, 0.8f);
    EXPECT_EQ(s.diffuse.envelope, 3u);
    EXPECT_EQ(s.sidedness, 3);
    EXPECT_EQ(s.smoothing_angle, 1.25f);
    EXPECT_FLOAT_EQ(s.glossiness.value, 0.4f);
}

TEST(LwoSurfaces, SubChunkRunningPastItsSurfaceIsRefused) {
    Bytes body;
    body.S0("S").S0("").Id("COLR").U2(14).Vec(1, 1, 1);
    EXPECT_EQ(Refusal(Form("LWO2", {Chunk("SURF", body)})).chunk, LwoId("SURF"));
}

Bytes ImageBlock(const std::string& ordinal, const char (&channel)[5], u16 projection, u32 clip,
                 const std::string& uv_map) {
    Bytes header, chan, enab, proj, imag, vmap, tmap_size, tmap;
    chan.Id(channel);
    enab.U2(1);
    header.S0(ordinal).Raw(SubChunk("CHAN", chan)).Raw(SubChunk("ENAB", enab));
    proj.U2(projection);
    imag.VX(clip);
    vmap.S0(uv_map);
    tmap_size.Vec(2, 3, 4).VX(0);
    tmap.Raw(SubChunk("SIZE", tmap_size));
    Bytes blok;
    blok.Raw(SubChunk("IMAP", header)).Raw(SubChunk("TMAP", tmap)).Raw(SubChunk("PROJ", proj));
    blok.Raw(SubChunk("IMAG", imag)).Raw(SubChunk("VMAP", vmap));
    return SubChunk("BLOK", blok);
}

TEST(LwoSurfaces, BlocksAreOrderedByOrdinalAndOtherChannelsAreDropped) {
    const Bytes surf = Chunk("SURF", SurfaceBody("Tex", {ImageBlock("\x90", "COLR", 5, 2, "late"),
                                                        ImageBlock("\x80", "COLR", 5, 1, "early"),
                                                        ImageBlock("\x88", "DIFF", 0, 1, "diffuse"),
                                                        ImageBlock("\x84", "NOPE", 0, 1, "dropped")}));
    auto object = Read(Form("LWO2", {surf}));
    ASSERT_NE(object, nullptr);
    const LwoSurface& s = object->surfaces[0];
    ASSERT_EQ(s.channels[kLwoChannelColour].size(), 2u);
    const LwoTextureBlock& first = s.channels[kLwoChannelColour][0];
    EXPECT_EQ(first.image.uv_map, "early");
    EXPECT_EQ(first.type, LwoId("IMAP"));
    EXPECT_EQ(first.image.projection, kLwoProjectionUv);
    EXPECT_EQ(first.image.clip, 1u);
    EXPECT_EQ(first.mapping.size[1], 3.0f);
    EXPECT_EQ(s.channels[kLwoChannelColour][1].image.uv_map, "late");
    ASSERT_EQ(s.channels[kLwoChannelDiffuse].size(), 1u);
    size_t total = 0;
    for (const auto& channel : s.channels) total += channel.size();
    EXPECT_EQ(total, 3u);
}

TEST(LwoSurfaces, ProceduralAndGradientBlocksKeepTheirFields) {
    Bytes proc_header, chan, axis, valu, func;
    chan.Id("COLR");
    proc_header.S0("\x80").Raw(SubChunk("CHAN", chan));
    axis.U2(2);
    valu.F4(0.5f).F4(0.25f);
    func.S0("Turbulence").U1(1).U1(2);
    Bytes proc;
    proc.Raw(SubChunk("PROC", proc_header)).Raw(SubChunk("AXIS", axis)).Raw(SubChunk("VALU", valu));
    proc.Raw(SubChunk("FUNC", func));
    Bytes grad_header, pnam, fkey, ikey;
    grad_header.S0("\x81").Raw(SubChunk("CHAN", chan));
    pnam.S0("Slope");
    fkey.F4(0).F4(1).F4(0).F4(0).F4(1).F4(1).F4(0).F4(0).F4(1).F4(1);
    ikey.U2(1).U2(2);
    Bytes grad;
    grad.Raw(SubChunk("GRAD", grad_header)).Raw(SubChunk("PNAM", pnam)).Raw(SubChunk("FKEY", fkey));
    grad.Raw(SubChunk("IKEY", ikey));
    auto object = Read(Form("LWO2", {Chunk("SURF", SurfaceBody("P", {SubChunk("BLOK", proc), SubChunk("BLOK", grad)}))}));
    ASSERT_NE(object, nullptr);
    const auto& blocks = object->surfaces[0].channels[kLwoChannelColour];
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].procedural.axis, 2);
    EXPECT_EQ(blocks[0].procedural.value[1], 0.25f);
    EXPECT_EQ(blocks[0].procedural.function, "Turbulence");
    EXPECT_EQ(blocks[0].procedural.data, (std::vector<u8>{1, 2}));
    EXPECT_EQ(blocks[1].gradient.parameter, "Slope");
    ASSERT_EQ(blocks[1].gradient.keys.size(), 2u);
    EXPECT_EQ(blocks[1].gradient.keys[1].input, 1.0f);
    EXPECT_EQ(blocks[1].gradient.interpolations, (std::vector<u16>{1, 2}));
}

// --- Clips and envelopes ---------------------------------------------------------------

TEST(LwoClips, StillAndSequenceClipsAreFoundByIndex) {
    Bytes still, stil_name, seq, iseq, gamma;
    stil_name.S0("images/wood.png");
    gamma.F4(2.2f).VX(0);
    still.U4(7).Raw(SubChunk("STIL", stil_name)).Raw(SubChunk("GAMM", gamma));
    iseq.U1(3).U1(1).I2(-2).U2(0).I2(1).I2(30).S0("frames/f").S0(".tga");
    seq.U4(9).Raw(SubChunk("ISEQ", iseq));
    auto object = Read(Form("LWO2", {Chunk("CLIP", still), Chunk("CLIP", seq)}));
    ASSERT_NE(object, nullptr);
    const LwoClip* wood = LwoFindClip(object->clips, 7);
    ASSERT_NE(wood, nullptr);
    EXPECT_EQ(wood->type, kLwoClipStill);
    EXPECT_EQ(wood->file_name, "images/wood.png");
    EXPECT_FLOAT_EQ(wood->gamma.value, 2.2f);
    const LwoClip* frames = LwoFindClip(object->clips, 9);
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(frames->type, kLwoClipSequence);
    EXPECT_EQ(frames->offset, -2);
    EXPECT_EQ(frames->end, 30);
    EXPECT_EQ(frames->suffix, ".tga");
    EXPECT_EQ(LwoFindClip(object->clips, 8), nullptr);
}

TEST(LwoEnvelopes, KeysTakeTheSpanThatFollowsThem) {
    Bytes env, type, key1, key2, span, name;
    type.U2(0x0102);
    key1.F4(0).F4(1);
    key2.F4(2).F4(3);
    span.Id("TCB ").F4(0.5f).F4(0.25f).F4(-0.5f);
    name.S0("Position.X");
    env.VX(4).Raw(SubChunk("TYPE", type)).Raw(SubChunk("KEY ", key1)).Raw(SubChunk("KEY ", key2));
    env.Raw(SubChunk("SPAN", span)).Raw(SubChunk("NAME", name));
    auto object = Read(Form("LWO2", {Chunk("ENVL", env)}));
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->envelopes.size(), 1u);
    const LwoEnvelope& e = object->envelopes[0];
    EXPECT_EQ(e.index, 4u);
    EXPECT_EQ(e.type, 0x0102);
    EXPECT_EQ(e.name, "Position.X");
    ASSERT_EQ(e.keys.size(), 2u);
    EXPECT_EQ(e.keys[1].value, 3.0f);
    EXPECT_EQ(e.keys[1].shape, kLwoShapeTcb);
    EXPECT_EQ(e.keys[1].continuity, 0.25f);
    EXPECT_EQ(e.keys[0].tension, 0.0f);
}

// --- Vertex maps -----------------------------------------------------------------------

TEST(LwoVertexMaps, PointAndCornerValuesAreAttached) {
    Bytes vmap, vmad;
    vmap.Id("TXUV").U2(2).S0("uv").VX(0).F4(0.1f).F4(0.2f).VX(2).F4(0.5f).F4(0.6f);
    // Corner of point 2 in polygon 1, and a point polygon 0 does not use.
    vmad.Id("TXUV").U2(2).S0("uv").VX(2).VX(1).F4(0.9f).F4(0.8f).VX(3).VX(0).F4(0).F4(0);
    auto object = Read(Form("LWO2", {Points(kSquare), Chunk("VMAP", vmap), Faces({{0, 1, 2}, {0, 2, 3}}),
                                     Chunk("VMAD", vmad)}));
    ASSERT_NE(object, nullptr);
    const LwoLayer& layer = object->layers[0];
    ASSERT_EQ(layer.vertex_maps.size(), 2u);
    const LwoSpan<LwoVertexMapRef> refs = layer.VmapsOf(layer.points[2]);
    ASSERT_EQ(refs.size(), 1u);
    const LwoVertexMap& map = layer.vertex_maps[refs[0].map];
    EXPECT_EQ(map.name, "uv");
    EXPECT_EQ(map.entry(refs[0].entry)[1], 0.6f);
    EXPECT_TRUE(layer.VmapsOf(layer.points[1]).empty());
    const LwoPolygonVertex& corner = layer.polygons[1].vertices[1];
    ASSERT_EQ(corner.index, 2u);
    const LwoSpan<LwoVertexMapRef> corner_refs = layer.VmadsOf(corner);
    ASSERT_EQ(corner_refs.size(), 1u);
    EXPECT_EQ(layer.vertex_maps[corner_refs[0].map].entry(corner_refs[0].entry)[0], 0.9f);
    for (const LwoPolygonVertex& v : layer.polygons[0].vertices) EXPECT_TRUE(layer.VmadsOf(v).empty());
}

TEST(LwoVertexMaps, EntryCutByItsChunkIsRefused) {
    Bytes vmap;
    vmap.Id("RGB ").U2(3).S0("colour").VX(0).F4(1).F4(1);
    EXPECT_EQ(Refusal(Form("LWO2", {Points(kSquare), Chunk("VMAP", vmap)})).chunk, LwoId("VMAP"));
}

// --- Normals and smoothing -------------------------------------------------------------

// Two triangles folded along the edge (0,0,0)-(1,0,0): one in z = 0, one in
// y = 0, so their normals meet at 90 degrees.
std::vector<u8> FoldedPair(float smoothing_angle) {
    Bytes angle;
    angle.F4(smoothing_angle);
    return Form("LWO2", {Tags({"S"}), Chunk("SURF", SurfaceBody("S", {SubChunk("SMAN", angle)})),
                         Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}), Faces({{0, 1, 2}, {0, 3, 1}})});
}

TEST(LwoNormals, PolygonNormalsFollowTheFirstSecondAndLastCorner) {
    auto object = Read(FoldedPair(0));
    ASSERT_NE(object, nullptr);
    const auto& polygons = object->layers[0].polygons;
    EXPECT_EQ(polygons[0].normal[2], 1.0f);
    EXPECT_EQ(polygons[1].normal[1], 1.0f);
    // Without smoothing each corner keeps its polygon's normal.
    EXPECT_EQ(polygons[0].vertices[0].normal[2], 1.0f);
    EXPECT_EQ(polygons[0].vertices[0].normal[1], 0.0f);
}

TEST(LwoNormals, CornersAverageNeighboursWithinTheSmoothingAngle) {
    struct Case {
        float angle;
        bool smoothed;
    };
    const Case cases[] = {{1.0f, false}, {1.6f, true}, {0.0f, false}, {-1.0f, false}};
    const float diagonal = 1.0f / std::sqrt(2.0f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        auto object = Read(FoldedPair(c.angle));
        ASSERT_NE(object, nullptr);
        const LwoPolygon& first = object->layers[0].polygons[0];
        // Point 0 and 1 are shared, point 2 is not.
        EXPECT_NEAR(first.vertices[0].normal[1], c.smoothed ? diagonal : 0.0f, 1e-6);
        EXPECT_NEAR(first.vertices[1].normal[2], c.smoothed ? diagonal : 1.0f, 1e-6);
        EXPECT_EQ(first.vertices[2].normal[2], 1.0f);
    }
}

TEST(LwoNormals, CoplanarNeighboursStayFiniteAndDegeneratePolygonsGetZero) {
    // Many near-identical normals: the dot product may round past 1.
    Bytes angle;
    angle.F4(0.5f);
    std::vector<Point> fan = {{0, 0, 0}};
    std::vector<std::vector<u32>> faces;
    for (u32 i = 0; i < 12; ++i) {
        const float a = 0.3f * float(i);
        fan.push_back({std::cos(a) * 0.7f, std::sin(a) * 0.7f, 0});
        if (i > 0) faces.push_back({0, i, i + 1});
    }
    faces.push_back({1, 2, 1});  // degenerate
    faces.push_back({3, 4});     // a line: no normal
    auto object = Read(Form("LWO2", {Tags({"S"}), Chunk("SURF", SurfaceBody("S", {SubChunk("SMAN", angle)})),
                                     Points(fan), Faces(faces)}));
    ASSERT_NE(object, nullptr);
    const auto& polygons = object->layers[0].polygons;
    for (size_t p = 0; p + 2 < polygons.size(); ++p) {
        for (const LwoPolygonVertex& v : polygons[p].vertices) {
            EXPECT_TRUE(std::isfinite(v.normal[2]));
            EXPECT_NEAR(v.normal[2], 1.0f, 1e-6);
        }
    }
    for (size_t p = polygons.size() - 2; p < polygons.size(); ++p) {
        for (float n : polygons[p].normal) EXPECT_EQ(n, 0.0f);
        for (const LwoPolygonVertex& v : polygons[p].vertices)
            for (float n : v.normal) EXPECT_EQ(n, 0.0f);
    }
}

// Objects far smaller or larger than a unit have unit normals all the same:
// the squares of their cross products leave the range of a float.
TEST(LwoNormals, TinyAndHugeObjectsHaveUnitNormals) {
    for (float scale : {1e-12f, 1e-6f, 1.0f, 1e12f, 1e18f}) {
        SCOPED_TRACE(scale);
        Bytes angle;
        angle.F4(1.6f);
        auto object = Read(Form("LWO2", {Tags({"S"}), Chunk("SURF", SurfaceBody("S", {SubChunk("SMAN", angle)})),
                                         Points({{0, 0, 0}, {scale, 0, 0}, {0, scale, 0}, {0, 0, scale}}),
                                         Faces({{0, 1, 2}, {0, 3, 1}})}));
        ASSERT_NE(object, nullptr);
        const LwoPolygon& first = object->layers[0].polygons[0];
        EXPECT_NEAR(first.normal[2], 1.0f, 1e-6);
        EXPECT_NEAR(first.vertices[0].normal[1], 1.0f / std::sqrt(2.0f), 1e-6);
        EXPECT_NEAR(first.vertices[0].normal[2], 1.0f / std::sqrt(2.0f), 1e-6);
    }
}

TEST(LwoNormals, PointsKnowTheirPolygons) {
    auto object = Read(FoldedPair(0));
    ASSERT_NE(object, nullptr);
    const LwoLayer& layer = object->layers[0];
    auto polygons_of = [&layer](u32 point) {
        const LwoSpan<u32> run = layer.PolygonsOf(layer.points[point]);
        return std::vector<u32>(run.begin(), run.end());
    };
    EXPECT_EQ(polygons_of(0), (std::vector<u32>{0, 1}));
    EXPECT_EQ(polygons_of(2), (std::vector<u32>{0}));
    EXPECT_EQ(polygons_of(3), (std::vector<u32>{1}));
}

// --- LWOB ------------------------------------------------------------------------------------

Bytes OldPolygons(const std::vector<std::pair<std::vector<u16>, int>>& polygons) {
    Bytes b;
    for (const auto& polygon : polygons) {
        b.U2(u16(polygon.first.size()));
        for (u16 index : polygon.first) b.U2(index);
        b.I2(polygon.second);
    }
    return b;
}

TEST(LwobReader, PolygonsNameSurfacesFromOneAndDetailPolygonsFollow) {
    Bytes pols = OldPolygons({{{0, 1, 2}, 2}});
    // Surface -1: detail polygons follow after their count.
    pols.U2(3).U2(0).U2(2).U2(3).I2(-1).U2(1).U2(3).U2(1).U2(2).U2(3).I2(2);
    Bytes srfs;
    srfs.S0("Red").S0("Blue");
    auto object = Read(Form("LWOB", {Points(kSquare), Chunk("SRFS", srfs), Chunk("POLS", pols)}));
    ASSERT_NE(object, nullptr);
    const LwoLayer& layer = object->layers[0];
    ASSERT_EQ(layer.polygons.size(), 3u);
    EXPECT_EQ(object->surfaces[layer.polygons[0].surface].name, "Blue");
    EXPECT_EQ(object->surfaces[layer.polygons[1].surface].name, "Red");
    EXPECT_EQ(object->surfaces[layer.polygons[2].surface].name, "Blue");
    EXPECT_EQ(layer.polygons[2].vertices[0].index, 1u);
    EXPECT_EQ(layer.polygons[0].type, LwoId("FACE"));
}

TEST(LwobReader, BadIndicesAndSurfacesAreRefused) {
    Bytes srfs;
    srfs.S0("Only");
    struct Case {
        const char* what;
        Bytes pols;
    };
    const Case cases[] = {
        {"point beyond the points", OldPolygons({{{0, 1, 4}, 1}})},
        {"surface 0", OldPolygons({{{0, 1, 2}, 0}})},
        {"surface beyond SRFS", OldPolygons({{{0, 1, 2}, 2}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Refusal(Form("LWOB", {Points(kSquare), Chunk("SRFS", srfs), Chunk("POLS", c.pols)}));
    }
}

TEST(LwobReader, OldSurfaceValuesAndTexturesBecomeTheCurrentForm) {
    Bytes colr, flag, diff, vspc, sman, ctex, tflg, tsiz, timg, dtex, timg2, ttex;
    colr.U1(255).U1(128).U1(0).U1(0);
    flag.U2(0x0104);  // smoothing, double sided
    diff.U2(128);
    vspc.F4(0.3f);
    ctex.S0("Cylindrical Image Map");
    tflg.U2(0x0002);  // y axis
    tsiz.Vec(1, 2, 3);
    timg.S0("C:\\maps\\wood (sequence)");
    dtex.S0("Planar Image Map");
    timg2.S0("bark.iff");
    ttex.S0("Fractal Noise");
    Bytes body;
    body.S0("Wood");
    for (const Bytes& part : {SubChunk("COLR", colr), SubChunk("FLAG", flag), SubChunk("DIFF", diff),
                              SubChunk("VSPC", vspc), SubChunk("CTEX", ctex), SubChunk("TFLG", tflg),
                              SubChunk("TSIZ", tsiz), SubChunk("TIMG", timg), SubChunk("DTEX", dtex),
                              SubChunk("TIMG", timg2), SubChunk("TTEX", ttex)})
        body.Raw(part);
    Bytes srfs;
    srfs.S0("Wood");
    auto object = Read(Form("LWOB", {Chunk("SRFS", srfs), Chunk("SURF", body), Points(kSquare),
                                     Chunk("POLS", OldPolygons({{{0, 1, 2}, 1}}))}));
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->surfaces.size(), 1u);
    const LwoSurface& s = object->surfaces[0];
    EXPECT_FLOAT_EQ(s.colour.rgb[0], 1.0f);
    EXPECT_FLOAT_EQ(s.colour.rgb[1], 128.0f / 255.0f);
    EXPECT_EQ(s.sidedness, 3);
    EXPECT_GT(s.smoothing_angle, 1.56f);
    EXPECT_FLOAT_EQ(s.diffuse.value, 0.5f);
    EXPECT_FLOAT_EQ(s.specularity.value, 0.3f);

    ASSERT_EQ(s.channels[kLwoChannelColour].size(), 1u);
    const LwoTextureBlock& colour = s.channels[kLwoChannelColour][0];
    EXPECT_EQ(colour.type, LwoId("IMAP"));
    EXPECT_EQ(colour.image.projection, kLwoProjectionCylindrical);
    EXPECT_EQ(colour.image.axis, 1);
    EXPECT_EQ(colour.mapping.size[2], 3.0f);
    ASSERT_EQ(object->clips.size(), 2u);
    const LwoClip* sequence = LwoFindClip(object->clips, colour.image.clip);
    ASSERT_NE(sequence, nullptr);
    EXPECT_EQ(sequence->index, 1u);
    EXPECT_EQ(sequence->type, kLwoClipSequence);
    EXPECT_EQ(sequence->file_name, "C:\\maps\\wood");

    ASSERT_EQ(s.channels[kLwoChannelDiffuse].size(), 1u);
    const LwoTextureBlock& diffuse = s.channels[kLwoChannelDiffuse][0];
    EXPECT_EQ(diffuse.image.projection, kLwoProjectionPlanar);
    const LwoClip* still = LwoFindClip(object->clips, diffuse.image.clip);
    ASSERT_NE(still, nullptr);
    EXPECT_EQ(still->index, 2u);
    EXPECT_EQ(still->type, kLwoClipStill);
    EXPECT_EQ(still->file_name, "bark.iff");

    ASSERT_EQ(s.channels[kLwoChannelTransparency].size(), 1u);
    EXPECT_EQ(s.channels[kLwoChannelTransparency][0].type, LwoId("PROC"));
    EXPECT_EQ(s.channels[kLwoChannelTransparency][0].procedural.function, "Fractal Noise");
}

TEST(LwobReader, ProjectionNamesMapToProjections) {
    const struct {
        const char* name;
        u16 projection;
    } cases[] = {{"Planar Image Map", kLwoProjectionPlanar},
                 {"Cylindrical Image Map", kLwoProjectionCylindrical},
                 {"Spherical Image Map", kLwoProjectionSpherical},
                 {"Cubic Image Map", kLwoProjectionCubic},
                 {"Front Projection Image Map", kLwoProjectionFront}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes ctex, body;
        ctex.S0(c.name);
        body.S0("S").Raw(SubChunk("CTEX", ctex));
        auto object = Read(Form("LWOB", {Chunk("SURF", body)}));
        ASSERT_NE(object, nullptr);
        ASSERT_EQ(object->surfaces[0].channels[kLwoChannelColour].size(), 1u);
        EXPECT_EQ(object->surfaces[0].channels[kLwoChannelColour][0].image.projection, c.projection);
    }
}

TEST(LwobReader, OnlyLwobFormsReachTheOldReaderThroughItsOwnEntry) {
    pirn_test::TempDir dir;
    const std::string path = dir.file("new.lwo");
    pirn_test::WriteAll(path, Form("LWO2", {Points(kSquare)}));
    u32 id = 0, position = 0;
    EXPECT_EQ(LwoReadObjectV1(path, &id, &position), nullptr);
    EXPECT_EQ(position, 12u);
    pirn_test::WriteAll(path, Form("LWOB", {Points(kSquare)}));
    EXPECT_NE(LwoReadObjectV1(path, &id, &position), nullptr);
}

}  // namespace
