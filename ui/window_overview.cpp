// Window overview: toggle, animation, tile placement and its event filter.

#include "ui/window_overview.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "platform/os/key_codes.h"
#include "ui/frame_step.h"
#include "ui/window.h"
#include "ui/window_system.h"
#include "ui/window_system_internal.h"

namespace pirn {

namespace {

OverviewState g_overview;

constexpr double kPi = 3.14159265358979323846;

// Aspect (long side over short side) of the last rectangle of a strip whose
// areas sum to `sum` along a side of length `side`.
double LastAspect(double sum, double last, double side) {
    const double thickness = sum / side;
    const double length = last / thickness;
    if (thickness <= 0 || length <= 0) return HUGE_VAL;
    return std::max(thickness / length, length / thickness);
}

void LayoutChildren(TileNode* node, TileCallback callback, void* context) {
    const size_t n = node->children.size();
    if (n == 0) return;
    double x = node->rect[0], y = node->rect[1];
    double w = node->rect[2] - node->rect[0], h = node->rect[3] - node->rect[1];
    double total = 0;
    for (const TileNode& c : node->children) total += std::max(0.0f, c.weight);
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [node](size_t a, size_t b) { return node->children[a].weight > node->children[b].weight; });
    std::vector<double> area(n, 0.0);
    if (total > 0 && w > 0 && h > 0)
        for (size_t i = 0; i < n; i++) area[i] = std::max(0.0f, node->children[i].weight) * (w * h) / total;

    size_t i = 0;
    while (i < n) {
        const double side = std::min(w, h);
        double sum = area[order[i]];
        if (side <= 0 || sum <= 0) {
            // Nothing left to share out: the rest get empty tiles.
            for (; i < n; i++) {
                TileNode& c = node->children[order[i]];
                c.rect[0] = c.rect[2] = static_cast<float>(x);
                c.rect[1] = c.rect[3] = static_cast<float>(y);
                if (callback) callback(c.rect, c.user, context);
            }
            break;
        }
        double aspect = LastAspect(sum, sum, side);
        size_t j = i + 1;
        while (j < n) {
            const double next = LastAspect(sum + area[order[j]], area[order[j]], side);
            if (!(next < aspect)) break;
            sum += area[order[j]];
            aspect = next;
            j++;
        }
        const double thickness = sum / side;
        double offset = 0;
        const bool column = w >= h;  // the strip runs along the shorter side
        for (size_t k = i; k < j; k++) {
            TileNode& c = node->children[order[k]];
            const double length = area[order[k]] / thickness;
            if (column) {
                c.rect[0] = static_cast<float>(x);
                c.rect[1] = static_cast<float>(y + offset);
                c.rect[2] = static_cast<float>(x + thickness);
                c.rect[3] = static_cast<float>(y + offset + length);
            } else {
                c.rect[0] = static_cast<float>(x + offset);
                c.rect[1] = static_cast<float>(y);
                c.rect[2] = static_cast<float>(x + offset + length);
                c.rect[3] = static_cast<float>(y + thickness);
            }
            offset += length;
            if (callback) callback(c.rect, c.user, context);
        }
        if (column) {
            x += thickness;
            w -= thickness;
        } else {
            y += thickness;
            h -= thickness;
        }
        i = j;
    }
    for (TileNode& c : node->children) LayoutChildren(&c, callback, context);
}

const Rect* TileOf(const Window* w) {
    for (const OverviewState::Tile& t : g_overview.tiles)
        if (t.window == w) return &t.rect;
    return nullptr;
}

void MapTree(Window* w, const Rect& from, double scale, double ox, double oy) {
    auto map = [&](const Rect& r) {
        return Rect{static_cast<i32>(std::lround(ox + (r.left - from.left) * scale)),
                    static_cast<i32>(std::lround(oy + (r.top - from.top) * scale)),
                    static_cast<i32>(std::lround(ox + (r.right - from.left) * scale)),
                    static_cast<i32>(std::lround(oy + (r.bottom - from.top) * scale))};
    };
    WindowInternals::PreviousFrame(w) = map(w->GetFrameScreenRect());
    WindowInternals::PreviousClient(w) = map(w->GetClientScreenRect());
    for (Window* c = w->GetFirstChild(); c; c = c->GetNextSibling()) MapTree(c, from, scale, ox, oy);
}

void ResetTree(Window* w) {
    WindowInternals::DrawState(w) &= ~Window::kPlacedByOverview;
    WindowInternals::PreviousFrame(w) = w->GetFrameScreenRect();
    WindowInternals::PreviousClient(w) = w->GetClientScreenRect();
    for (Window* c = w->GetFirstChild(); c; c = c->GetNextSibling()) ResetTree(c);
}

void PlaceWindow(const float rect[4], void* user, void* context) {
    Window* w = static_cast<Window*>(user);
    const Rect* area = static_cast<const Rect*>(context);
    g_overview.tiles.push_back(OverviewState::Tile{
        w, Rect{area->left + static_cast<i32>(std::lround(rect[0])), area->top + static_cast<i32>(std::lround(rect[1])),
                area->left + static_cast<i32>(std::lround(rect[2])), area->top + static_cast<i32>(std::lround(rect[3]))}});
    const double tw = rect[2] - rect[0];
    const double th = rect[3] - rect[1];
    const double fw = w->GetFrameScreenRect().Width();
    const double fh = w->GetFrameScreenRect().Height();
    if (tw <= 0 || th <= 0 || fw <= 0 || fh <= 0) return;
    const double scale = std::min({0.95 * tw / fw, 0.95 * th / fh, 1.0});
    const double ox = area->left + rect[0] + (tw - fw * scale) / 2;
    const double oy = area->top + rect[1] + (th - fh * scale) / 2;
    WindowInternals::DrawState(w) |= Window::kPlacedByOverview;
    MapTree(w, w->GetFrameScreenRect(), scale, ox, oy);
}

}  // namespace

float OverviewEase(float t) { return static_cast<float>(0.5 * (1.0 - std::cos(kPi * t)) * t); }

void TileLayout(TileNode* root, float width, float height, TileCallback callback, void* context) {
    root->rect[0] = 0;
    root->rect[1] = 0;
    root->rect[2] = width;
    root->rect[3] = height;
    LayoutChildren(root, callback, context);
}

bool IsOverviewActive() { return (g_overview.flags & kRedrawOverview) != 0; }

void RequestOverviewLayout() { g_overview.flags |= kRedrawResized; }

float GetOverviewValue() { return g_overview.value; }

OverviewState& GetOverviewState() { return g_overview; }
void ResetOverviewState() { g_overview = OverviewState{}; }

void ToggleOverview() {
    if (!(g_overview.flags & kRedrawOverview)) {
        g_overview.flags |= kRedrawOverview | kRedrawResized;
        g_overview.flags &= ~(kRedrawOverviewEntered | kRedrawOverviewLeaving);
        g_overview.start = WsGetTime();
        g_overview.value = 0;
        PushEventFilter(OverviewEventFilter, nullptr);
        InvalidateAll();
    } else if (g_overview.flags & kRedrawOverviewEntered) {
        g_overview.flags &= ~kRedrawOverviewEntered;
        g_overview.flags |= kRedrawOverviewLeaving;
        g_overview.start = WsGetTime();
        InvalidateAll();
    }
}

void LayoutOverview() {
    Window* layer = GetLayerWindow(0);
    if (!layer) return;
    TileNode root;
    for (Window* w = layer->GetLastChild(); w; w = w->GetPrevSibling()) {
        if (!w->IsVisible() || w->TestFlags(Window::kNotInOverview) || w->IsDestroyed()) continue;
        TileNode node;
        node.weight = 1.0f;
        node.user = w;
        root.children.push_back(node);
    }
    const Rect area = layer->GetClientScreenRect();
    g_overview.tiles.clear();
    TileLayout(&root, static_cast<float>(area.Width()), static_cast<float>(area.Height()), PlaceWindow,
               const_cast<Rect*>(&area));
}

void UpdateOverviewAnimation() {
    if (!(g_overview.flags & kRedrawOverview)) return;
    if (g_overview.flags & kRedrawResized) {
        LayoutOverview();
        g_overview.flags &= ~kRedrawResized;
    }
    double t = (WsGetTime() - g_overview.start) / g_overview.duration;
    t = std::min(1.0, std::max(0.0, t));
    const float e = OverviewEase(static_cast<float>(t));
    if (g_overview.flags & kRedrawOverviewLeaving) {
        g_overview.value = 1.0f - e;
        if (t >= 1.0) {
            RemoveEventFilter(OverviewEventFilter, nullptr);
            g_overview.flags &= ~(kRedrawOverview | kRedrawOverviewLeaving);
            g_overview.value = 0;
            if (Window* layer0 = GetLayerWindow(0)) ResetTree(layer0);
            g_overview.tiles.clear();
            InvalidateAll();
            UpdateHover();
            return;
        }
    } else if (!(g_overview.flags & kRedrawOverviewEntered)) {
        g_overview.value = e;
        if (t >= 1.0) {
            g_overview.value = 1.0f;
            g_overview.flags |= kRedrawOverviewEntered;
            InvalidateAll();
        }
    }
    if (!(g_overview.flags & kRedrawOverviewEntered)) InvalidateAll();
}

int OverviewEventFilter(u32 type, InputEvent& e) {
    if (type == kEventKey && e.Code() == kKeyF1 + 9 && e.IsPress()) {
        ToggleOverview();
        return 1;
    }
    Window* layer0 = GetLayerWindow(0);
    if (type == kEventButton && e.ButtonAction() && layer0) {
        for (Window* w = layer0->GetFirstChild(); w; w = w->GetNextSibling()) {
            if (!w->IsVisible() || !(WindowInternals::DrawState(w) & Window::kPlacedByOverview)) continue;
            // The whole tile picks its window, also the margin around the
            // scaled frame: the tiles share out layer0 between them.
            const Rect* tile = TileOf(w);
            if (tile && e.X() >= tile->left && e.X() < tile->right && e.Y() >= tile->top && e.Y() < tile->bottom) {
                RaiseWindow(w);
                ActivateWindow(w, kFocusByClick);
                ToggleOverview();
                break;
            }
        }
    }
    return 1;
}

}  // namespace pirn
