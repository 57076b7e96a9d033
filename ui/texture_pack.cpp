#include "ui/texture_pack.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "ui/draw_target.h"
#include "ui/resource_file.h"

namespace pirn {

namespace {

std::vector<QueuedImageDraw> g_queue;

u16 ReadU16(const u8* p) { return u16(p[0] | p[1] << 8); }
u32 ReadU32(const u8* p) { return u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16 | u32(p[3]) << 24; }

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

}  // namespace

TexturePack::~TexturePack() {
    for (AtlasPage& page : pages) ReleaseAtlasPageTexture(page);
}

std::unique_ptr<TexturePack> CreateTexturePack() { return std::make_unique<TexturePack>(); }

u64 ParseTexturePack(TexturePack& pack, const u8* data, u64 size, std::string* error) {
    if (size < 4) {
        SetError(error, "texture pack too short for its image count");
        return 0;
    }
    const u32 count = ReadU32(data);
    u64 pos = 4;
    // Every image needs at least its head: a count beyond that is corrupt and
    // must not size any allocation.
    if (u64(count) * kTexturePackHeadSize > size - pos) {
        SetError(error, "texture pack image count " + std::to_string(count) + " exceeds the file");
        return 0;
    }
    std::vector<std::unique_ptr<TexturePackImage>> loaded;
    loaded.reserve(count);
    for (u32 i = 0; i < count; ++i) {
        if (size - pos < kTexturePackHeadSize) {
            SetError(error, "texture pack image " + std::to_string(i) + " head is cut short");
            return 0;
        }
        const u8* head = data + pos;
        auto image = std::make_unique<TexturePackImage>();
        image->atlas.width = ReadU16(head + 12);
        image->atlas.height = ReadU16(head + 14);
        image->index = i32(ReadU32(head + 24));
        pos += kTexturePackHeadSize;
        const u64 bytes = u64(image->atlas.width) * image->atlas.height * 4;
        if (bytes > size - pos) {
            SetError(error, "texture pack image " + std::to_string(i) + " pixels are cut short");
            return 0;
        }
        image->pixels.assign(data + pos, data + pos + bytes);
        pos += bytes;
        loaded.push_back(std::move(image));
    }
    for (auto& image : loaded) pack.images.push_back(std::move(image));
    return pos;
}

u64 LoadTexturePack(TexturePack& pack, const std::string& path, std::string* error) {
    std::vector<u8> bytes;
    if (!ReadResourceFile(path, bytes, error)) return 0;
    return ParseTexturePack(pack, bytes.data(), bytes.size(), error);
}

bool BuildTexturePackPages(TexturePack& pack, i32 max_page) {
    for (AtlasPage& page : pack.pages) ReleaseAtlasPageTexture(page);
    pack.pages.clear();
    std::vector<AtlasItem*> items;
    for (auto& image : pack.images) {
        image->atlas.flags = 0;  // pack images are never turned
        image->atlas.x = image->atlas.y = image->atlas.page = 0;
        items.push_back(&image->atlas);
    }
    AtlasCallbacks cb;
    cb.max_width = cb.max_height = max_page;
    cb.new_page = [&](i32 w, i32 h) { return AppendAtlasPage(pack.pages, w, h, 4); };
    std::unordered_map<const AtlasItem*, const TexturePackImage*> owner;
    for (auto& image : pack.images) owner[&image->atlas] = image.get();
    cb.copy = [&](AtlasItem& item) {
        // Pack images are never rotated, so rows copy straight.
        const TexturePackImage* image = owner[&item];
        if (!image || image->pixels.empty()) return;
        AtlasPage& page = pack.pages[item.page];
        const size_t row = size_t(item.width) * 4;
        for (u32 y = 0; y < item.height; ++y)
            std::memcpy(&page.pixels[(size_t(item.y + y) * page.width + item.x) * 4],
                        &image->pixels[y * row], row);
    };
    return PackAtlas(items, cb);
}

void DropTexturePackPixels(TexturePack& pack) {
    for (auto& image : pack.images) std::vector<u8>().swap(image->pixels);
}

const TexturePackImage* FindTexturePackImage(const TexturePack& pack, i32 index) {
    for (const auto& image : pack.images)
        if (image->index == index) return image.get();
    return nullptr;
}

void TexturePackImageSize(const TexturePackImage* image, i32* width, i32* height) {
    if (width) *width = image ? image->Width() : 0;
    if (height) *height = image ? image->Height() : 0;
}

void FreeTexturePack(std::unique_ptr<TexturePack>& pack) { pack.reset(); }

void QueueImageDraw(const TexturePack* pack, const TexturePackImage* image, const Rect& dest,
                    u32 flags) {
    if (!image) return;
    QueueImagePartDraw(pack, image, dest, Rect{0, 0, image->Width(), image->Height()}, flags);
}

void QueueImagePartDraw(const TexturePack* pack, const TexturePackImage* image, const Rect& dest,
                        const Rect& source, u32 flags) {
    if (!pack || !image || dest.IsEmpty() || source.IsEmpty()) return;
    QueuedImageDraw d;
    d.pack = pack;
    d.image = image;
    d.dest = dest;
    d.source_x = source.left;
    d.source_y = source.top;
    d.source_width = source.Width();
    d.source_height = source.Height();
    d.flags = flags;
    g_queue.push_back(d);
}

const std::vector<QueuedImageDraw>& PendingImageDraws() { return g_queue; }

void SortImageDraws(std::vector<QueuedImageDraw>& draws) {
    std::stable_sort(draws.begin(), draws.end(), [](const QueuedImageDraw& a, const QueuedImageDraw& b) {
        if (a.pack != b.pack) return std::less<const TexturePack*>()(a.pack, b.pack);
        return a.image->atlas.page < b.image->atlas.page;
    });
}

void FlushImageDraws(bool sort) {
    if (g_queue.empty()) return;
    std::vector<QueuedImageDraw> draws;
    draws.swap(g_queue);
    if (sort) SortImageDraws(draws);
    if (DrawTarget* target = GetDrawTarget()) target->DrawImages(draws);
}

void AppendImageQuads(const QueuedImageDraw& d, std::vector<ImageQuad>& out) {
    if (!d.image || d.dest.IsEmpty() || d.source_width <= 0 || d.source_height <= 0) return;
    const bool rotate = d.flags & kImageRotate;
    // Natural size on screen: turned images swap their sides.
    const i32 tile_w = rotate ? d.source_height : d.source_width;
    const i32 tile_h = rotate ? d.source_width : d.source_height;
    const AtlasItem& a = d.image->atlas;
    const bool stored_rotated = a.flags & kAtlasRotated;

    // Maps a point of the destination tile, (s, t) in 0..1, to page pixels.
    auto map = [&](float s, float t, float* ps, float* pt) {
        if (d.flags & kImageMirrorX) s = 1.0f - s;
        if (d.flags & kImageMirrorY) t = 1.0f - t;
        float u = s, v = t;
        if (rotate) {  // clockwise: the image's left column becomes the top row
            u = t;
            v = 1.0f - s;
        }
        const float lx = d.source_x + u * d.source_width;
        const float ly = d.source_y + v * d.source_height;
        if (stored_rotated) {
            *ps = a.x + ly;
            *pt = a.y + lx;
        } else {
            *ps = a.x + lx;
            *pt = a.y + ly;
        }
    };
    auto emit = [&](const Rect& r, float s1, float t1) {
        ImageQuad q;
        q.dest = r;
        map(0, 0, &q.s[0], &q.t[0]);
        map(s1, 0, &q.s[1], &q.t[1]);
        map(s1, t1, &q.s[2], &q.t[2]);
        map(0, t1, &q.s[3], &q.t[3]);
        out.push_back(q);
    };

    if (d.flags & kImageStretch) {
        emit(d.dest, 1.0f, 1.0f);
        return;
    }
    for (i32 y = d.dest.top; y < d.dest.bottom; y += tile_h) {
        const i32 h = std::min(tile_h, d.dest.bottom - y);
        for (i32 x = d.dest.left; x < d.dest.right; x += tile_w) {
            const i32 w = std::min(tile_w, d.dest.right - x);
            emit(Rect{x, y, x + w, y + h}, float(w) / tile_w, float(h) / tile_h);
        }
    }
}

}  // namespace pirn
