#include "models/lwo_export.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <strings.h>

#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/safe_file_name.h"
#include "platform/strings.h"

namespace pirn {

namespace {

constexpr size_t kMaxTextureFileName = 200;  // well inside any file system's limit

// Big-endian IFF data: chunks with a u32 size, sub-chunks with a u16 size,
// both padded to an even length.
class IffBytes {
public:
    void U2(u32 v) {
        bytes_.push_back(static_cast<u8>(v >> 8));
        bytes_.push_back(static_cast<u8>(v));
    }
    void U4(u32 v) {
        U2(v >> 16);
        U2(v & 0xFFFF);
    }
    void F4(float f) {
        u32 bits;
        std::memcpy(&bits, &f, 4);
        U4(bits);
    }
    void Id(const char (&id)[5]) { bytes_.insert(bytes_.end(), id, id + 4); }
    // Two bytes below 0xFF00, else 0xFF and 24 bits.
    void VX(u32 index) {
        if (index < 0xFF00) return U2(index);
        U4(0xFF000000u | (index & 0x00FFFFFFu));
    }
    // NUL-terminated, padded to an even length.
    void S0(const std::string& text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        bytes_.push_back(0);
        if (bytes_.size() % 2) bytes_.push_back(0);
    }
    void Chunk(const char (&id)[5], const IffBytes& body) { Wrap(id, body, false); }
    void SubChunk(const char (&id)[5], const IffBytes& body) { Wrap(id, body, true); }
    const std::vector<u8>& bytes() const { return bytes_; }
    size_t size() const { return bytes_.size(); }

private:
    void Wrap(const char (&id)[5], const IffBytes& body, bool sub) {
        Id(id);
        if (sub)
            U2(static_cast<u32>(body.size()));
        else
            U4(static_cast<u32>(body.size()));
        bytes_.insert(bytes_.end(), body.bytes_.begin(), body.bytes_.end());
        if (body.size() % 2) bytes_.push_back(0);
    }
    std::vector<u8> bytes_;
};

bool EndsWithNoCase(const std::string& text, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return text.size() >= n && strcasecmp(text.c_str() + text.size() - n, suffix) == 0;
}

bool TakenNoCase(const std::vector<std::string>& taken, const std::string& name) {
    return std::any_of(taken.begin(), taken.end(),
                       [&name](const std::string& t) { return strcasecmp(t.c_str(), name.c_str()) == 0; });
}

// The last part of a name that came from tag data, made a file name by the
// rule of every name that becomes a path, without the spaces and full stops
// in front that would hide it.
std::string SafeFileNamePart(const std::string& file_name) {
    std::string name = file_name;
    const size_t cut = name.find_last_of("/\\:");
    if (cut != std::string::npos) name.erase(0, cut + 1);
    if (strcasecmp(name.c_str(), ".png") == 0) return "";
    const size_t first = name.find_first_not_of(" .");
    if (first == std::string::npos) return "";
    name.erase(0, first);
    if (name.size() > kMaxTextureFileName) name.resize(kMaxTextureFileName);
    return SafeFileName(name);
}

// Distinct, non-empty surface names, in texture order; "Default" (made
// distinct too) at the end when a triangle has no texture.
std::vector<std::string> SurfaceNames(const ModelObject& model) {
    std::vector<std::string> names;
    auto add = [&names](std::string base) {
        if (base.empty()) base = "Texture";
        std::string name = base;
        for (unsigned n = 2; std::find(names.begin(), names.end(), name) != names.end(); ++n)
            name = base + " " + std::to_string(n);
        names.push_back(name);
    };
    for (const ModelTexture& texture : model.textures) add(texture.name);
    const bool untextured = std::any_of(model.triangles.begin(), model.triangles.end(), [&model](const ModelTriangle& t) {
        return t.texture >= model.textures.size();
    });
    if (untextured) add("Default");
    return names;
}

// x is mirrored back; 0 stays 0 rather than becoming -0.
float Mirrored(float x) { return 0.0f - x; }

u32 SurfaceOf(const ModelObject& model, const ModelTriangle& triangle) {
    return triangle.texture < model.textures.size() ? triangle.texture : static_cast<u32>(model.textures.size());
}

void AddGeometry(const ModelObject& model, const std::vector<std::string>& surfaces, IffBytes* form) {
    IffBytes tags, layer, points, polygons, polygon_tags;
    for (const std::string& name : surfaces) tags.S0(name);
    form->Chunk("TAGS", tags);
    layer.U2(0);
    layer.U2(0);
    layer.F4(Mirrored(model.pivot[0]));
    layer.F4(model.pivot[1]);
    layer.F4(model.pivot[2]);
    layer.S0("");
    form->Chunk("LAYR", layer);
    for (const ModelVertex& v : model.vertices) {
        points.F4(Mirrored(v.x));
        points.F4(v.y);
        points.F4(v.z);
    }
    form->Chunk("PNTS", points);
    polygons.Id("FACE");
    polygon_tags.Id("SURF");
    for (size_t t = 0; t < model.triangles.size(); ++t) {
        const ModelTriangle& triangle = model.triangles[t];
        polygons.U2(3);
        for (const ModelCorner& corner : triangle.corners) polygons.VX(corner.vertex);
        polygon_tags.VX(static_cast<u32>(t));
        polygon_tags.U2(SurfaceOf(model, triangle));
    }
    form->Chunk("POLS", polygons);
    form->Chunk("PTAG", polygon_tags);
}

// Per-polygon UVs: each texture's map holds the corners of its triangles.
void AddUvMaps(const ModelObject& model, const std::vector<std::string>& surfaces, IffBytes* form) {
    for (u32 i = 0; i < model.textures.size(); ++i) {
        IffBytes map;
        map.Id("TXUV");
        map.U2(2);
        map.S0(surfaces[i]);
        for (size_t t = 0; t < model.triangles.size(); ++t) {
            const ModelTriangle& triangle = model.triangles[t];
            if (triangle.texture != i) continue;
            for (const ModelCorner& corner : triangle.corners) {
                map.VX(corner.vertex);
                map.VX(static_cast<u32>(t));
                map.F4(corner.u);
                map.F4(1.0f - corner.v);
            }
        }
        form->Chunk("VMAD", map);
    }
}

void AddClips(const std::vector<std::string>& files, IffBytes* form) {
    for (u32 i = 0; i < files.size(); ++i) {
        if (files[i].empty()) continue;
        IffBytes clip, still;
        clip.U4(i + 1);
        still.S0(files[i]);
        clip.SubChunk("STIL", still);
        form->Chunk("CLIP", clip);
    }
}

IffBytes ImageBlock(u32 clip, const std::string& uv_map) {
    IffBytes header, channel, enable, negative, projection, image, map, block;
    channel.Id("COLR");
    enable.U2(1);
    negative.U2(0);
    header.S0("");
    header.SubChunk("CHAN", channel);
    header.SubChunk("ENAB", enable);
    header.SubChunk("NEGA", negative);
    projection.U2(5);
    image.VX(clip);
    map.S0(uv_map);
    block.SubChunk("IMAP", header);
    block.SubChunk("PROJ", projection);
    block.SubChunk("IMAG", image);
    block.SubChunk("VMAP", map);
    return block;
}

void AddSurfaces(const std::vector<std::string>& files, const std::vector<std::string>& surfaces, IffBytes* form) {
    LwoColourSequence random(0);
    for (u32 i = 0; i < surfaces.size(); ++i) {
        IffBytes surface, colour, sides;
        surface.S0(surfaces[i]);
        surface.S0("");
        for (int k = 0; k < 3; ++k) colour.F4(static_cast<float>(random.Next()) / 32768.0f);
        colour.VX(0);
        surface.SubChunk("COLR", colour);
        sides.U2(3);
        surface.SubChunk("SIDE", sides);
        if (i < files.size() && !files[i].empty()) surface.SubChunk("BLOK", ImageBlock(i + 1, surfaces[i]));
        form->Chunk("SURF", surface);
    }
}

// The picture a texture is written as: with its alpha plane when it has
// one, else its colour image as it is.
bool TexturePicture(const ModelTexture& texture, PixelImage* picture) {
    if (!HasWholePixels(texture.colour)) return false;
    if (texture.alpha.format == kFormatAlpha && HasWholePixels(texture.alpha)) return ModelTextureRgba(texture, picture);
    *picture = texture.colour;
    return true;
}

struct WrittenPicture {
    std::string wanted;  // the name before it was made distinct
    std::string file;
    PixelImage image;
};

bool SamePicture(const PixelImage& a, const PixelImage& b) { return ImagesEqual(a, b) && a.palette == b.palette; }

std::string TextureProblem(const std::string& path) {
    return FormatString("The texture '%s' could not be written.", path.c_str());
}

}  // namespace

std::string CanonicalExportFolder(const std::string& folder) {
    std::string path = folder;
    for (char& c : path) {
        if (c == '\\') c = '/';
        if (std::strchr("*?<>|", c) && c) c = '_';
    }
    return EnsureTrailingSlash(path.empty() ? std::string(".") : path);
}

std::string LwoTextureBaseName(const std::string& file_name, size_t number) {
    std::string name = SafeFileNamePart(file_name);
    if (name.empty()) name = FormatString("texture%zu.png", number);
    if (!EndsWithNoCase(name, ".png")) name += ".png";
    return name;
}

std::string LwoTextureFileName(const std::string& file_name, size_t number, std::vector<std::string>* taken) {
    std::string name = LwoTextureBaseName(file_name, number);
    const std::string base = name.substr(0, name.size() - 4), extension = name.substr(name.size() - 4);
    for (unsigned n = 2; TakenNoCase(*taken, name); ++n) name = base + " " + std::to_string(n) + extension;
    taken->push_back(name);
    return name;
}

std::vector<u8> EncodeLwoModel(const ModelObject& model, const std::vector<std::string>& texture_files,
                               const std::vector<std::string>& surface_names) {
    IffBytes form;
    AddGeometry(model, surface_names, &form);
    AddUvMaps(model, surface_names, &form);
    AddClips(texture_files, &form);
    AddSurfaces(texture_files, surface_names, &form);
    IffBytes file;
    file.Id("FORM");
    file.U4(static_cast<u32>(form.size() + 4));
    file.Id("LWO2");
    std::vector<u8> bytes = file.bytes();
    bytes.insert(bytes.end(), form.bytes().begin(), form.bytes().end());
    return bytes;
}

LwoExportResult ExportLwoModel(const ModelObject& model, const std::string& folder, const std::string& name) {
    LwoExportResult result;
    const std::string root = CanonicalExportFolder(folder);
    std::string file_name = SafeFileNamePart(name);
    if (file_name.empty()) {
        result.problems.push_back(FormatString("'%s' cannot be used as a file name.", name.c_str()));
        return result;
    }
    if (!EndsWithNoCase(file_name, ".lwo")) file_name += ".lwo";
    result.lwo_path = root + file_name;
    if (!MakeDirectory(root)) {
        result.problems.push_back(FormatString("The folder '%s' could not be made.", root.c_str()));
        return result;
    }
    // The object's own name is taken, so that no texture replaces it.
    std::vector<std::string> taken = {file_name};
    std::vector<WrittenPicture> written;
    // The textures are encoded first and written only once the object is in
    // place: an object that cannot be written leaves no texture behind.
    std::vector<std::pair<std::string, std::vector<u8>>> textures;
    for (size_t i = 0; i < model.textures.size(); ++i) {
        WrittenPicture picture;
        if (!TexturePicture(model.textures[i], &picture.image)) {
            result.texture_files.emplace_back();
            continue;
        }
        picture.wanted = LwoTextureBaseName(model.textures[i].file_name, i + 1);
        // Surfaces that share one picture (one clip in the source) share
        // its file too.
        auto same = std::find_if(written.begin(), written.end(), [&picture](const WrittenPicture& w) {
            return strcasecmp(w.wanted.c_str(), picture.wanted.c_str()) == 0 && SamePicture(w.image, picture.image);
        });
        if (same != written.end()) {
            result.texture_files.push_back(same->file);
            continue;
        }
        picture.file = LwoTextureFileName(model.textures[i].file_name, i + 1, &taken);
        result.texture_files.push_back(picture.file);
        std::vector<u8> png;
        if (EncodeImageBytes(kTypePng, picture.image, &png)) textures.emplace_back(root + picture.file, std::move(png));
        else result.problems.push_back(TextureProblem(root + picture.file));
        written.push_back(std::move(picture));
    }
    result.surface_names = SurfaceNames(model);
    const std::vector<u8> bytes = EncodeLwoModel(model, result.texture_files, result.surface_names);
    result.written = WriteFileSafely(result.lwo_path, bytes.data(), bytes.size());
    if (!result.written) {
        result.problems.push_back(FormatString("'%s' could not be written.", result.lwo_path.c_str()));
        return result;
    }
    for (const auto& [path, png] : textures)
        if (!WriteFileSafely(path, png.data(), png.size())) result.problems.push_back(TextureProblem(path));
    return result;
}

}  // namespace pirn
