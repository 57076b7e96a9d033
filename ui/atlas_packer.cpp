#include "ui/atlas_packer.h"

#include <algorithm>
#include <list>
#include <utility>

namespace pirn {

namespace {

AtlasTextureReleaser g_releaser = nullptr;

struct FreeRect {
    i32 x, y, w, h;
};

int BitLength(u64 v) {
    int n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

}  // namespace

void SetAtlasTextureReleaser(AtlasTextureReleaser releaser) { g_releaser = releaser; }

void ReleaseAtlasPageTexture(AtlasPage& page) {
    if (page.texture && g_releaser) g_releaser(page.texture);
    page.texture = 0;
}

i32 AppendAtlasPage(std::vector<AtlasPage>& pages, i32 width, i32 height, int bytes_per_pixel) {
    AtlasPage page;
    page.width = width;
    page.height = height;
    page.pixels.assign(size_t(width) * size_t(height) * size_t(bytes_per_pixel), 0);
    pages.push_back(std::move(page));
    return i32(pages.size() - 1);
}

void AtlasPageSizeForArea(u64 area, i32 max_width, i32 max_height, i32* width, i32* height) {
    const u64 largest = u64(std::max(max_width, 1)) * u64(std::max(max_height, 1));
    int e = BitLength(area);
    // Enough room for the area with a sixteenth to spare...
    while (e < 62 && (u64(1) << e) - ((u64(1) << e) / 16) < area) ++e;
    // ...but not a page far larger than needed.
    while (e > 0 && (u64(1) << e) > area && (u64(1) << e) - area > largest / 4) --e;
    const int we = e - e / 2;
    const int he = e / 2;
    const u64 w = u64(1) << std::min(we, 30);
    const u64 h = u64(1) << std::min(he, 30);
    i32 pw = i32(std::min<u64>(w, u64(max_width)));
    i32 ph = i32(std::min<u64>(h, u64(max_height)));
    // Small areas still get a useful page, within the allowed maximum.
    pw = std::max(pw, std::min(128, max_width));
    ph = std::max(ph, std::min(128, max_height));
    *width = pw;
    *height = ph;
}

bool PackAtlas(const std::vector<AtlasItem*>& items, const AtlasCallbacks& cb) {
    if (cb.max_width < 1 || cb.max_height < 1) return false;
    std::vector<AtlasItem*> pending;
    u64 total_area = 0;
    for (AtlasItem* item : items) {
        if (!item || item->width == 0 || item->height == 0) continue;  // takes no place
        if ((item->flags & kAtlasMayRotate) && item->height > item->width) {
            std::swap(item->width, item->height);
            item->flags |= kAtlasRotated;
        }
        if (item->width > cb.max_width || item->height > cb.max_height) return false;
        total_area += u64(item->width) * item->height;
        pending.push_back(item);
    }

    int k = 0;
    while (!pending.empty()) {
        std::stable_sort(pending.begin(), pending.end(), [](const AtlasItem* a, const AtlasItem* b) {
            if (a->width != b->width) return a->width > b->width;
            return u32(a->width) * a->height > u32(b->width) * b->height;
        });

        i32 pw = 0, ph = 0;
        // Beyond 2^40 times the area the page is long at its maximum.
        const u64 area = k < 40 ? total_area << k : ~u64(0) >> 2;
        AtlasPageSizeForArea(area, cb.max_width, cb.max_height, &pw, &ph);

        std::list<FreeRect> free_list{FreeRect{0, 0, pw, ph}};
        std::vector<AtlasItem*> placed;
        std::vector<AtlasItem*> rest;
        for (AtlasItem* item : pending) {
            auto it = std::find_if(free_list.begin(), free_list.end(), [&](const FreeRect& f) {
                return f.w >= item->width && f.h >= item->height;
            });
            if (it == free_list.end()) {
                rest.push_back(item);
                continue;
            }
            const FreeRect f = *it;
            free_list.erase(it);
            item->x = u16(f.x);
            item->y = u16(f.y);
            const FreeRect right{f.x + item->width, f.y, f.w - item->width, f.h};
            const FreeRect below{f.x, f.y + item->height, item->width, f.h - item->height};
            if (right.w > 0 && right.h > 0) free_list.push_front(right);
            if (below.w > 0 && below.h > 0) free_list.push_front(below);
            placed.push_back(item);
        }

        if (placed.empty()) {
            // Every item fits an empty page of the largest size, so a page at
            // the maximum always takes at least the first one.
            if (pw >= cb.max_width && ph >= cb.max_height) return false;
            ++k;
            continue;
        }
        const i32 page = cb.new_page ? cb.new_page(pw, ph) : -1;
        if (page < 0) return false;
        for (AtlasItem* item : placed) {
            item->page = u16(page);
            if (cb.copy) cb.copy(*item);
        }
        if (cb.upload) cb.upload(page);
        pending.swap(rest);
    }
    return true;
}

}  // namespace pirn
