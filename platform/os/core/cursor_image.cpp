#include "platform/os/cursor_image.h"

#include <cmath>
#include <vector>

namespace pirn {
namespace {

constexpr int kSize = 32;

enum Ink : u8 { kClear = 0, kBlack = 1, kWhite = 2 };

struct Point {
    double x, y;
};

// A tiny two-ink canvas. Shapes are filled by sampling pixel centres, then
// every clear pixel touching black becomes white, so each cursor reads on
// dark and light backgrounds alike.
class CursorCanvas {
public:
    CursorCanvas() : ink_(kSize * kSize, kClear) {}

    void FillPolygon(const std::vector<Point>& points, Ink ink) {
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                if (Inside(points, x + 0.5, y + 0.5)) Set(x, y, ink);
            }
        }
    }

    void FillRect(int left, int top, int right, int bottom, Ink ink) {  // inclusive
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) Set(x, y, ink);
    }

    void FillRing(double cx, double cy, double inner, double outer, Ink ink) {
        ForEachPixel([&](double px, double py) {
            double d = std::hypot(px - cx, py - cy);
            return d >= inner && d <= outer;
        }, ink);
    }

    void FillSegment(Point a, Point b, double halfWidth, Ink ink) {
        ForEachPixel([&](double px, double py) {
            double dx = b.x - a.x, dy = b.y - a.y;
            double t = ((px - a.x) * dx + (py - a.y) * dy) / (dx * dx + dy * dy);
            t = t < 0 ? 0 : (t > 1 ? 1 : t);
            return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy)) <= halfWidth;
        }, ink);
    }

    void Checker(int left, int top, int right, int bottom) {
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) Set(x, y, ((x + y) & 1) ? kBlack : kWhite);
    }

    CursorImage Finish(int hotX, int hotY) {
        std::vector<u8> outlined = ink_;
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                if (ink_[y * kSize + x] != kClear) continue;
                if (TouchesBlack(x, y)) outlined[y * kSize + x] = kWhite;
            }
        }
        CursorImage image;
        image.width = kSize;
        image.height = kSize;
        image.hotX = hotX;
        image.hotY = hotY;
        image.rgba.assign(kSize * kSize * 4, 0);
        for (int i = 0; i < kSize * kSize; ++i) {
            if (outlined[i] == kClear) continue;
            u8 level = outlined[i] == kWhite ? 255 : 0;
            image.rgba[i * 4 + 0] = level;
            image.rgba[i * 4 + 1] = level;
            image.rgba[i * 4 + 2] = level;
            image.rgba[i * 4 + 3] = 255;
        }
        return image;
    }

private:
    template <typename Test>
    void ForEachPixel(Test inside, Ink ink) {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (inside(x + 0.5, y + 0.5)) Set(x, y, ink);
    }

    static bool Inside(const std::vector<Point>& points, double px, double py) {
        bool inside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const Point& a = points[i];
            const Point& b = points[j];
            if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x)
                inside = !inside;
        }
        return inside;
    }

    bool TouchesBlack(int x, int y) const {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= kSize || ny >= kSize) continue;
                if (ink_[ny * kSize + nx] == kBlack) return true;
            }
        }
        return false;
    }

    void Set(int x, int y, Ink ink) {
        if (x >= 0 && y >= 0 && x < kSize && y < kSize) ink_[y * kSize + x] = ink;
    }

    std::vector<u8> ink_;
};

const std::vector<Point> kArrow = {{1, 1}, {1, 22}, {6, 17}, {10, 26}, {13, 25}, {9, 16}, {16, 16}};

// A double arrow along the x axis through the centre; the other resize
// arrows are this one turned.
std::vector<Point> DoubleArrow(double degrees) {
    static const Point kBase[] = {{3, 16},  {9, 10},  {9, 14},  {23, 14}, {23, 10},
                                  {29, 16}, {23, 22}, {23, 18}, {9, 18},  {9, 22}};
    const double radians = degrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    std::vector<Point> points;
    for (const Point& p : kBase) {
        double dx = p.x - 16, dy = p.y - 16;
        points.push_back({16 + dx * c - dy * s, 16 + dx * s + dy * c});
    }
    return points;
}

void DrawFourWayArrows(CursorCanvas& canvas) {
    canvas.FillPolygon(DoubleArrow(0), kBlack);
    canvas.FillPolygon(DoubleArrow(90), kBlack);
}

}  // namespace

bool PointerShapeIsStandard(PointerShape shape) {
    switch (shape) {
        case PointerShape::Arrow:
        case PointerShape::SizeWestEast:
        case PointerShape::SizeNorthSouth:
        case PointerShape::TextBeam:
        case PointerShape::Cross: return true;
        default: return false;
    }
}

CursorImage BuildCursorImage(PointerShape shape) {
    CursorCanvas canvas;
    switch (shape) {
        case PointerShape::SizeWestEast:
            canvas.FillPolygon(DoubleArrow(0), kBlack);
            return canvas.Finish(16, 16);
        case PointerShape::SizeNorthSouth:
            canvas.FillPolygon(DoubleArrow(90), kBlack);
            return canvas.Finish(16, 16);
        case PointerShape::SizeNwSe:
            canvas.FillPolygon(DoubleArrow(45), kBlack);
            return canvas.Finish(16, 16);
        case PointerShape::SizeNeSw:
            canvas.FillPolygon(DoubleArrow(-45), kBlack);
            return canvas.Finish(16, 16);
        case PointerShape::TextBeam:
            canvas.FillRect(15, 6, 16, 25, kBlack);
            canvas.FillRect(11, 4, 20, 5, kBlack);
            canvas.FillRect(11, 26, 20, 27, kBlack);
            return canvas.Finish(16, 16);
        case PointerShape::Cross:
            canvas.FillRect(15, 3, 16, 28, kBlack);
            canvas.FillRect(3, 15, 28, 16, kBlack);
            return canvas.Finish(16, 16);
        case PointerShape::NotAllowed:
            canvas.FillRing(16, 16, 8, 12, kBlack);
            canvas.FillSegment({10, 10}, {22, 22}, 1.8, kBlack);
            return canvas.Finish(16, 16);
        case PointerShape::DropAccepted:
            // The arrow with a plus box: "dropping here adds it".
            canvas.FillPolygon(kArrow, kBlack);
            canvas.FillRect(18, 18, 29, 29, kBlack);
            canvas.FillRect(20, 23, 27, 24, kWhite);
            canvas.FillRect(23, 20, 24, 27, kWhite);
            return canvas.Finish(1, 1);
        case PointerShape::MoveBitmap:
            DrawFourWayArrows(canvas);
            return canvas.Finish(16, 16);
        case PointerShape::ShadowHover:
            // The arrow over a hatched square standing for a shadow.
            canvas.FillPolygon(kArrow, kBlack);
            canvas.FillRect(17, 17, 30, 30, kBlack);
            canvas.Checker(19, 19, 28, 28);
            return canvas.Finish(1, 1);
        case PointerShape::ShadowDrag:
            DrawFourWayArrows(canvas);
            canvas.FillRect(11, 11, 20, 20, kBlack);
            canvas.Checker(13, 13, 18, 18);
            return canvas.Finish(16, 16);
        case PointerShape::Arrow:
        case PointerShape::Count:
            break;
    }
    canvas.FillPolygon(kArrow, kBlack);
    return canvas.Finish(1, 1);
}

}  // namespace pirn
