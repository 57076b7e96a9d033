// The demo game's models: a textured crate and a small figure, built here as
// LightWave objects with their PNG textures (quads, as modelling programs
// write them), then brought in by the program's own model import: read,
// converted and made into the four tags of each model. Every placeholder
// geometry and model tag of the demo shows one of them too.

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "codex/four_char_code.h"
#include "codex/tag_header.h"
#include "collections/collection_tag.h"
#include "models/lwo_reader.h"
#include "models/model_from_lwo.h"
#include "models/model_tag_set.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/scratch_stream.h"
#include "tools/demo_game/demo_game.h"
#include "tools/fixture_bytes/big_endian_buffer.h"

namespace pirn::demo {

namespace {

namespace fs = std::filesystem;
using fixture::BigEndianBuffer;

struct Vec {
    float x, y, z;
};

struct UvRect {
    float u0, v0, u1, v1;
};

// An object as a LightWave modeller lays it out: four points and one quad
// per box face, a UV pair per point, one surface per material with an image
// (or none, for a plain surface).
struct LwoSource {
    std::vector<std::string> surfaces;
    std::vector<std::string> images;  // per surface; "" for a plain one
    std::vector<Vec> points;
    std::vector<std::array<float, 2>> uvs;
    std::vector<std::array<u32, 4>> quads;
    std::vector<u16> quad_surfaces;
};

Vec Add(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

// A face from corner o along a then b, where a x b points out of the box:
// LightWave lists the corners clockwise seen from the front of the face.
void AddFace(LwoSource* object, Vec o, Vec a, Vec b, u16 surface, const UvRect& uv) {
    const u32 first = static_cast<u32>(object->points.size());
    object->points.insert(object->points.end(), {o, Add(o, a), Add(Add(o, a), b), Add(o, b)});
    object->uvs.insert(object->uvs.end(), {{uv.u0, uv.v0}, {uv.u0, uv.v1}, {uv.u1, uv.v1}, {uv.u1, uv.v0}});
    object->quads.push_back({first, first + 1, first + 2, first + 3});
    object->quad_surfaces.push_back(surface);
}

void AddBox(LwoSource* object, Vec lo, Vec hi, u16 surface, const UvRect& uv = {0, 0, 1, 1}) {
    const float dx = hi.x - lo.x, dy = hi.y - lo.y, dz = hi.z - lo.z;
    AddFace(object, lo, {0, dy, 0}, {dx, 0, 0}, surface, uv);                // front, -z
    AddFace(object, {lo.x, lo.y, hi.z}, {dx, 0, 0}, {0, dy, 0}, surface, uv);  // back, +z
    AddFace(object, lo, {0, 0, dz}, {0, dy, 0}, surface, uv);                // -x
    AddFace(object, {hi.x, lo.y, lo.z}, {0, dy, 0}, {0, 0, dz}, surface, uv);  // +x
    AddFace(object, lo, {dx, 0, 0}, {0, 0, dz}, surface, uv);                // bottom
    AddFace(object, {lo.x, hi.y, lo.z}, {0, 0, dz}, {dx, 0, 0}, surface, uv);  // top
}

// --- LWO2 bytes ---------------------------------------------------------------

void PutS0(BigEndianBuffer& b, const std::string& text) {
    for (char c : text) b.PutU8(static_cast<u8>(c));
    b.PutU8(0);
    if ((text.size() + 1) % 2) b.PutU8(0);
}

void PutChunk(BigEndianBuffer& out, const char (&id)[5], const BigEndianBuffer& body, bool sub) {
    out.PutFourCC(id);
    if (sub)
        out.PutU16(static_cast<u16>(body.bytes().size()));
    else
        out.PutU32(static_cast<u32>(body.bytes().size()));
    out.PutBytes(body.bytes());
    if (body.bytes().size() % 2) out.PutU8(0);
}

BigEndianBuffer ImageBlock(u16 clip) {
    BigEndianBuffer header, channel, enable, projection, image, map, block;
    PutS0(header, "\x80");
    channel.PutFourCC("COLR");
    PutChunk(header, "CHAN", channel, true);
    enable.PutU16(1);
    PutChunk(header, "ENAB", enable, true);
    projection.PutU16(5);
    image.PutU16(clip);
    PutS0(map, "UV");
    PutChunk(block, "IMAP", header, true);
    PutChunk(block, "PROJ", projection, true);
    PutChunk(block, "IMAG", image, true);
    PutChunk(block, "VMAP", map, true);
    return block;
}

std::vector<u8> EncodeLwo(const LwoSource& object) {
    BigEndianBuffer form, tags, layer, points, polygons, polygon_tags, uvs;
    form.PutFourCC("LWO2");
    for (const std::string& name : object.surfaces) PutS0(tags, name);
    PutChunk(form, "TAGS", tags, false);
    layer.PutU16(0);
    layer.PutU16(0);
    for (int i = 0; i < 3; ++i) layer.PutF32(0);
    PutS0(layer, "Demo");
    PutChunk(form, "LAYR", layer, false);
    for (const Vec& p : object.points) {
        points.PutF32(p.x);
        points.PutF32(p.y);
        points.PutF32(p.z);
    }
    PutChunk(form, "PNTS", points, false);
    uvs.PutFourCC("TXUV");
    uvs.PutU16(2);
    PutS0(uvs, "UV");
    for (size_t i = 0; i < object.uvs.size(); ++i) {
        uvs.PutU16(static_cast<u16>(i));
        uvs.PutF32(object.uvs[i][0]);
        uvs.PutF32(object.uvs[i][1]);
    }
    PutChunk(form, "VMAP", uvs, false);
    polygons.PutFourCC("FACE");
    polygon_tags.PutFourCC("SURF");
    for (size_t q = 0; q < object.quads.size(); ++q) {
        polygons.PutU16(4);
        for (u32 index : object.quads[q]) polygons.PutU16(static_cast<u16>(index));
        polygon_tags.PutU16(static_cast<u16>(q));
        polygon_tags.PutU16(object.quad_surfaces[q]);
    }
    PutChunk(form, "POLS", polygons, false);
    PutChunk(form, "PTAG", polygon_tags, false);
    u16 clip = 0;
    for (const std::string& image : object.images) {
        if (image.empty()) continue;
        BigEndianBuffer body, still;
        body.PutU32(++clip);
        PutS0(still, image);
        PutChunk(body, "STIL", still, true);
        PutChunk(form, "CLIP", body, false);
    }
    clip = 0;
    for (size_t s = 0; s < object.surfaces.size(); ++s) {
        BigEndianBuffer surface, colour, smoothing;
        PutS0(surface, object.surfaces[s]);
        PutS0(surface, "");
        for (float c : {0.8f, 0.7f, 0.6f}) colour.PutF32(c);
        colour.PutU16(0);
        PutChunk(surface, "COLR", colour, true);
        smoothing.PutF32(0.5f);
        PutChunk(surface, "SMAN", smoothing, true);
        if (!object.images[s].empty()) PutChunk(surface, "BLOK", ImageBlock(++clip), true);
        PutChunk(form, "SURF", surface, false);
    }
    BigEndianBuffer file;
    file.PutFourCC("FORM");
    file.PutU32(static_cast<u32>(form.bytes().size()));
    file.PutBytes(form.bytes());
    return file.bytes();
}

// --- Pictures -------------------------------------------------------------------

using Painter = std::array<u8, 3> (*)(int x, int y);

PixelImage Picture(int size, Painter paint) {
    std::vector<u8> rgb;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const std::array<u8, 3> c = paint(x, y);
            rgb.insert(rgb.end(), c.begin(), c.end());
        }
    PixelImage image;
    SetImagePixels(&image, static_cast<u32>(size), static_cast<u32>(size), kFormatRgb, rgb.data());
    return image;
}

// Small steady variation, the same on every run.
int Grain(int x, int y) { return static_cast<int>((static_cast<u32>(x * 7919 + y * 104729) * 2654435761u) >> 29) - 4; }

std::array<u8, 3> Shade(int r, int g, int b, int d) {
    auto clamp = [](int v) { return static_cast<u8>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return {clamp(r + d), clamp(g + d), clamp(b + d)};
}

// Planks with a frame and a diagonal brace.
std::array<u8, 3> CratePixel(int x, int y) {
    const bool frame = x < 5 || y < 5 || x > 58 || y > 58;
    const bool brace = std::abs(x - y) < 4;
    const bool seam = y % 16 == 15;
    if (frame || brace) return Shade(122, 78, 38, Grain(x, y));
    if (seam) return Shade(82, 52, 26, 0);
    return Shade(170, 116, 62, Grain(x / 3, y) * 2);
}

// Red cloth with a golden belt.
std::array<u8, 3> TunicPixel(int x, int y) {
    if (y >= 20 && y < 24) return Shade(222, 180, 64, (x % 4 == 0) ? -30 : 0);
    return Shade(170, 34, 42, ((x + y) % 3 == 0) ? -12 : 0);
}

// A face looking out of the front of the head.
std::array<u8, 3> FacePixel(int x, int y) {
    if (y < 7) return Shade(92, 60, 30, Grain(x, y));                                  // hair
    if ((y >= 12 && y < 15) && ((x >= 8 && x < 11) || (x >= 21 && x < 24))) return {36, 30, 30};  // eyes
    if (y == 23 && x >= 11 && x < 21) return {150, 60, 60};                           // mouth
    return {236, 190, 152};
}

// --- The models -------------------------------------------------------------------

struct DemoModel {
    const char* name;
    const char* file;
    u32 tag_id;
    LwoSource object;
    std::vector<std::pair<std::string, PixelImage>> textures;
};

DemoModel Crate() {
    DemoModel model{"Demo Crate", kDemoCrateFile, MakeFourCC("m001"), {}, {}};
    model.object.surfaces = {"Crate"};
    model.object.images = {"images/crate.png"};
    AddBox(&model.object, {-0.75f, 0, -0.75f}, {0.75f, 1.5f, 0.75f}, 0);
    model.textures.push_back({"crate.png", Picture(64, CratePixel)});
    return model;
}

DemoModel Figure() {
    DemoModel model{"Demo Figure", "figure.lwo", MakeFourCC("m002"), {}, {}};
    LwoSource& o = model.object;
    o.surfaces = {"Tunic", "Face", "Boots"};
    o.images = {"tunic.png", "face.png", ""};
    for (float side : {-1.0f, 1.0f}) {
        const float inner = 0.05f * side, outer = 0.3f * side;
        const float x0 = std::min(inner, outer), x1 = std::max(inner, outer);
        AddBox(&o, {x0, 0, -0.14f}, {x1, 0.2f, 0.16f}, 2);                          // boot
        AddBox(&o, {x0, 0.2f, -0.12f}, {x1, 0.9f, 0.12f}, 0, {0, 0.4f, 1, 1});        // leg, above the belt
        const float a0 = side < 0 ? -0.5f : 0.35f;
        AddBox(&o, {a0, 0.95f, -0.1f}, {a0 + 0.15f, 1.55f, 0.1f}, 0, {0, 0.4f, 1, 1});  // arm
    }
    AddBox(&o, {-0.35f, 0.9f, -0.18f}, {0.35f, 1.6f, 0.18f}, 0);  // torso
    AddBox(&o, {-0.2f, 1.6f, -0.2f}, {0.2f, 2.0f, 0.2f}, 1);       // head
    model.textures.push_back({"tunic.png", Picture(32, TunicPixel)});
    model.textures.push_back({"face.png", Picture(32, FacePixel)});
    return model;
}

bool WriteBytes(const fs::path& path, const std::vector<u8>& bytes) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::FILE* f = OpenFileStream(path.u8string(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// The object and its textures in a scratch folder, as an artist hands them
// over; the clip names the image with a folder of its own, which the
// import cuts off.
bool WriteSources(const DemoModel& model, const fs::path& folder) {
    for (const auto& [file, picture] : model.textures) {
        std::vector<u8> png;
        if (!EncodeImageBytes(kTypePng, picture, &png) || !WriteBytes(folder / file, png)) return false;
    }
    return WriteBytes(folder / model.file, EncodeLwo(model.object));
}

DemoTag TagOf(ModelTagSet* set, int kind, u32 tag_id, const std::string& name) {
    DemoTag tag;
    tag.group = ModelTagGroup(kind);
    tag.tag_id = tag_id;
    tag.name = name;
    std::FILE* stream = pirn::OpenScratchFile();
    if (!stream) return tag;
    TagHeader header = MakeTagHeader(tag.group, tag_id, name.c_str());
    header.data_offset = kTagHeaderSize;
    if (WriteModelTagData(set, kind, stream, &header) && std::fseek(stream, 0, SEEK_END) == 0) {
        const long size = std::ftell(stream);
        if (size > long(kTagHeaderSize) && std::fseek(stream, kTagHeaderSize, SEEK_SET) == 0) {
            tag.data.resize(size_t(size) - kTagHeaderSize);
            if (std::fread(tag.data.data(), 1, tag.data.size(), stream) != tag.data.size()) tag.data.clear();
        }
    }
    std::fclose(stream);
    tag.version = header.version;
    tag.user_data = kind == kModelTagCollection ? header.user_data : 0;
    return tag;
}

// The collection as a load and save keep it byte for byte (loading clears
// the alternate fields a new instance starts with), as every demo
// collection is stored.
void ReloadCollection(DemoTag* tag) {
    std::FILE* stream = pirn::OpenScratchFile();
    if (!stream) return;
    std::vector<u8> file(kTagHeaderSize, 0);
    file.insert(file.end(), tag->data.begin(), tag->data.end());
    TagHeader header = MakeTagHeader(tag->group, tag->tag_id, tag->name.c_str());
    header.data_offset = kTagHeaderSize;
    header.data_length = static_cast<u32>(tag->data.size());
    header.user_data = tag->user_data;
    ModelTagSet set;
    if (std::fwrite(file.data(), 1, file.size(), stream) == file.size() &&
        LoadCollection(&set.collection, stream, &header, true)) {
        const DemoTag again = TagOf(&set, kModelTagCollection, tag->tag_id, tag->name);
        if (!again.data.empty()) *tag = again;
    }
    std::fclose(stream);
}

// The import: the object read and converted as the program does it, then
// made into the four tags.
std::vector<DemoTag> ImportModel(const DemoModel& model, const fs::path& folder) {
    if (!WriteSources(model, folder)) return {};
    LwoReadFailure failure;
    auto object = LwoReadObjectFile((folder / model.file).u8string(), &failure);
    if (!object) return {};
    std::string message;
    auto converted = LwoObjectToModel(*object, folder.u8string(), &message);
    if (!converted) return {};
    ModelTagIds ids;
    for (int kind = 0; kind < kModelTagCount; ++kind) ids.id[kind] = model.tag_id;
    ModelTagSet set;
    if (!BuildModelTagSet(*converted, model.name, ids, &set, &message)) return {};
    std::vector<DemoTag> tags;
    for (int kind = 0; kind < kModelTagCount; ++kind) tags.push_back(TagOf(&set, kind, model.tag_id, model.name));
    ReloadCollection(&tags[kModelTagCollection]);
    return tags;
}

// The sources as a new user finds them beside the game, to import again
// ("New Model From File"): the object and its PNG textures in one folder.
void AddSourceFiles(DemoGame& game, const DemoModel& model) {
    const std::string folder = std::string(kDemoArtFolder) + "/" + kDemoModelSourceFolder + "/";
    for (const auto& [file, picture] : model.textures) {
        std::vector<u8> png;
        if (EncodeImageBytes(kTypePng, picture, &png)) game.files.push_back(DemoFile{folder + file, std::move(png)});
    }
    game.files.push_back(DemoFile{folder + model.file, EncodeLwo(model.object)});
}

// A square pyramid as a 3DMF text file writes it: one TriMesh (four sides
// and the base in two), a texture coordinate per point and a 4 x 4 ARGB32
// pixmap of two colours, for "Convert 3DMF to LWO" and the model import.
std::string PyramidMetafile() {
    std::string text =
        "3DMetafile ( 1 6 Normal toc> )\n"
        "# A demo pyramid, one unit high.\n"
        "TriMesh ( 6 0 0 0 5 0\n"
        "0 1 4  1 2 4  2 3 4  3 0 4  0 2 1  0 3 2\n"
        "-0.5 0 -0.5  0.5 0 -0.5  0.5 0 0.5  -0.5 0 0.5  0 1 0\n"
        "-0.5 0 -0.5 0.5 1 0.5 False )\n"
        "AttributeArray ( 2 0 2 0 0\n0 0  1 0  1 1  0 1  0.5 0.5 )\n"
        "PixmapTexture ( 4 4 16 32 ARGB32 BigEndian BigEndian\n";
    for (int y = 0; y < 4; ++y) {
        text += "0x";
        for (int x = 0; x < 4; ++x) text += (x + y) % 2 ? "FFD8B040" : "FF804020";  // sand and earth
        text += "\n";
    }
    return text + ")\n";
}

}  // namespace

void AddDemoModels(DemoGame& game) {
    const std::string scratch = MakeTemporaryFolder("pirn-demo-models-");
    if (scratch.empty()) return;
    std::vector<std::vector<DemoTag>> imported;
    for (const DemoModel& model : {Crate(), Figure()}) {
        imported.push_back(ImportModel(model, fs::u8path(scratch) / model.name));
        AddSourceFiles(game, model);
        for (const DemoTag& tag : imported.back()) {
            DemoLocalFile file;
            file.tag = tag;
            file.file_name = tag.name;
            game.local_files.push_back(file);
        }
    }
    const std::string pyramid = PyramidMetafile();
    game.files.push_back(DemoFile{std::string(kDemoArtFolder) + "/" + kDemoModelSourceFolder + "/" + kDemoPyramidFile,
                                  std::vector<u8>(pyramid.begin(), pyramid.end())});
    std::error_code ec;
    fs::remove_all(scratch, ec);
    if (imported[0].size() != kModelTagCount || imported[1].size() != kModelTagCount) return;

    // The placeholder geometries and model tags show the demo's models too
    // (their collection references are the models' own).
    u32 next = 0;
    auto fill = [&](DemoTag& tag) {
        for (int kind : {kModelTagGeom, kModelTagMode}) {
            if (tag.group != ModelTagGroup(kind) || tag.name.rfind("Demo ", 0) == 0) continue;
            const DemoTag& model = imported[next++ % 2][kind];
            tag.data = model.data;
            tag.version = model.version;
        }
    };
    for (DemoArchive& archive : game.archives)
        for (DemoTag& tag : archive.tags) fill(tag);
    for (DemoLocalFile& file : game.local_files) fill(file.tag);
}

}  // namespace pirn::demo
