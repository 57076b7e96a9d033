// The bitmap drag payloads: drag-image sizes, the items a grid payload owns
// and the places they came from, the painters the payloads register with
// drag and drop, and what those painters draw (a recording draw target and
// text drawer stand in for GL).

#include <memory>
#include <string>
#include <vector>

#include "collections/ui/bitmap_drag_data.h"
#include "collections/ui/collection_bitmap_drawing.h"
#include "tests/collections_ui/drawing_fixture.h"
#include "tests/ui/widget_fixture.h"
#include "ui/draw_recorder.h"
#include "ui/text_layout.h"
#include "ui/window_renderer.h"

namespace pirn_test {
namespace {

using namespace drawing_fixture;

struct DrawnText {
    std::string text;
    u32 flags;
    Rect rect;
};
std::vector<DrawnText>* g_texts = nullptr;

i32 RecordText(InterfaceFont*, const char* text, int, u32 flags, const Rect& rect) {
    if (g_texts) g_texts->push_back(DrawnText{text, flags, rect});
    return 0;
}

class BitmapDragDataTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        InitCollection(&c_);
        FillTable(&c_);
        g_texts = &texts_;
        SetWindowTextDrawer(RecordText);
        ForgetCollectionBitmaps();
    }
    void TearDown() override {
        ForgetCollectionBitmaps();
        SetWindowTextDrawer(nullptr);
        g_texts = nullptr;
        WidgetTest::TearDown();
    }

    Collection c_;
    std::vector<DrawnText> texts_;
};

TEST_F(BitmapDragDataTest, DragImagesKeepTheBitmapsShapeInsideTheirBox) {
    struct Case {
        u32 width, height;
        i32 box;
        i32 w, h;
    };
    const Case cases[] = {
        {300, 150, 96, 96, 48}, {150, 300, 96, 48, 96}, {300, 150, 48, 48, 24},
        {40, 40, 96, 96, 96},   {7, 3, 48, 48, 20},     {1, 500, 96, 0, 96},
    };
    for (const Case& k : cases) {
        CollectionBitmap* b = AddSolid(&c_, "b", k.width, k.height, kGreen);
        BitmapDDData payload(kBitmapDragBitmap, &c_, b, nullptr, nullptr, k.box);
        EXPECT_EQ(payload.width, k.w) << k.width << "x" << k.height << " in " << k.box;
        EXPECT_EQ(payload.height, k.h) << k.width << "x" << k.height << " in " << k.box;
    }
    BitmapDDData empty(kBitmapDragShadow, &c_, nullptr, nullptr, nullptr);
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.typeId, u32{kBitmapDragShadow});
    CollectionBitmap* b = AddSolid(&c_, "b", 300, 150, kGreen);
    BitmapDDData payload(kBitmapDragBitmap, &c_, b, nullptr, nullptr);
    EXPECT_EQ(payload.ImageRect(Point{100, 100}), (Rect{52, 76, 148, 124}));
    payload.FitImage(kDragImageSmallBox);
    EXPECT_EQ(payload.ImageRect(Point{100, 100}), (Rect{76, 88, 124, 112}));
}

TEST_F(BitmapDragDataTest, AGridPayloadOwnsItsItemsAndTheirPlaces) {
    CollectionBitmap* b = AddSolid(&c_, "b", 300, 150, kGreen);
    auto payload = std::make_unique<BitmapGridDDData>(kBitmapDragGrid, &c_, BitmapGridDDData::kFromSequenceEditor);
    EXPECT_EQ(payload->x, BitmapGridDDData::kUnset);
    EXPECT_EQ(payload->y, BitmapGridDDData::kUnset);
    EXPECT_EQ(payload->gridColumns, 0u);
    EXPECT_TRUE(payload->positions.empty());
    BitmapDDData* first = payload->AddItem(kBitmapDragBitmap, b, nullptr, nullptr);
    EXPECT_EQ(first->collection, &c_);
    EXPECT_EQ(first->width, 48);  // each of several fits into 48
    SequenceFrame frame;
    BitmapDDData* shadow = payload->AddItemAt(kBitmapDragShadow, b, nullptr, &frame, Point{0, 3});
    EXPECT_EQ(shadow->shadowSource, &frame);
    ASSERT_EQ(payload->positions.size(), 2u);
    EXPECT_EQ(payload->positions[1].y, 3);
    EXPECT_EQ(payload->ItemCount(), 2u);
    payload.reset();  // the items go with it (the sanitizer run checks)
}

TEST_F(BitmapDragDataTest, ChosenBitmapsTravelAsOnePayloadOfTheRightKind) {
    CollectionBitmap* bitmap = AddSolid(&c_, "b", 300, 150, kGreen);
    CollectionBitmap* shadow = AddSolid(&c_, "s", 150, 300, 0, 255, kBitmapShadow);
    EXPECT_EQ(MakeBitmapDragData(&c_, {}), nullptr);
    EXPECT_EQ(MakeBitmapDragData(&c_, {nullptr}), nullptr);

    std::unique_ptr<Window::DragDropData> one(MakeBitmapDragData(&c_, {shadow}));
    auto* single = dynamic_cast<BitmapDDData*>(one.get());
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->typeId, u32{kBitmapDragShadow});
    EXPECT_EQ(single->bitmap, shadow);
    EXPECT_EQ(single->height, 96);
    EXPECT_EQ(single->instance, nullptr);

    std::unique_ptr<Window::DragDropData> three(MakeBitmapDragData(&c_, {bitmap, shadow, bitmap}));
    auto* grid = dynamic_cast<BitmapGridDDData*>(three.get());
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->typeId, u32{kBitmapDragGrid});
    EXPECT_EQ(grid->source, u32{BitmapGridDDData::kFromBitmapBrowser});
    ASSERT_EQ(grid->ItemCount(), 3u);
    EXPECT_EQ(grid->items[0]->typeId, u32{kBitmapDragBitmap});
    EXPECT_EQ(grid->items[1]->typeId, u32{kBitmapDragShadow});
    EXPECT_EQ(grid->items[0]->width, 48);
    EXPECT_EQ(grid->items[1]->width, 24);
    EXPECT_TRUE(grid->positions.empty());
}

TEST_F(BitmapDragDataTest, ThumbnailsAreFittedAndCentredInTheirCell) {
    struct Case {
        u32 width, height;
        Rect area;
        Rect fitted;
    };
    const Case cases[] = {
        {300, 150, {10, 10, 102, 102}, {10, 33, 102, 79}},
        {150, 300, {10, 10, 102, 102}, {33, 10, 79, 102}},
        {40, 40, {0, 0, 100, 60}, {20, 0, 80, 60}},  // the shorter side is the box
        {40, 40, {0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const Case& k : cases) {
        CollectionBitmap* b = AddSolid(&c_, "b", k.width, k.height, kGreen);
        EXPECT_EQ(FitBitmapInto(*b, k.area), k.fitted) << k.width << "x" << k.height;
    }
}

TEST_F(BitmapDragDataTest, TwelveBitmapsShowEightStackedImagesAndTheirCount) {
    CollectionBitmap* b = AddSolid(&c_, "b", 300, 150, kGreen);
    BitmapGridDDData payload(kBitmapDragGrid, &c_, BitmapGridDDData::kFromBitmapBrowser);
    for (int i = 0; i < 12; ++i) payload.AddItem(kBitmapDragBitmap, b, nullptr, nullptr);
    // Each image 48 x 24 centred on the pointer, then 16 px further right
    // and down: the union from (-24, -12) to (24 + 112, 12 + 112).
    Rect extent;
    PaintBitmapGridDrag(&payload, Point{500, 500}, &extent);
    EXPECT_EQ(extent, (Rect{-24, -12, 136, 124}));

    DrawRecorder recorder;
    DrawTarget* previous = SetDrawTarget(&recorder);
    PaintBitmapGridDrag(&payload, Point{200, 100}, nullptr);
    SetDrawTarget(previous);
    const std::vector<DrawRecorder::Call> pictures = recorder.CallsOf(DrawRecorder::kPixelImage);
    ASSERT_EQ(pictures.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        const i32 step = 16 * static_cast<i32>(i);
        EXPECT_EQ(pictures[i].rect, (Rect{176 + step, 88 + step, 224 + step, 112 + step})) << i;
    }
    ASSERT_EQ(texts_.size(), 1u);
    EXPECT_EQ(texts_[0].text, "<12 Bitmaps>");
    EXPECT_EQ(texts_[0].rect, (Rect{176 + 6, 88 + 6, 336 - 6, 224 - 6}));

    // One bitmap: its image alone, no count.
    texts_.clear();
    BitmapDDData single(kBitmapDragBitmap, &c_, b, nullptr, nullptr);
    PaintBitmapDrag(&single, Point{0, 0}, &extent);
    EXPECT_EQ(extent, (Rect{-48, -24, 48, 24}));
    recorder.Clear();
    SetDrawTarget(&recorder);
    PaintBitmapDrag(&single, Point{100, 100}, nullptr);
    SetDrawTarget(previous);
    ASSERT_EQ(recorder.CallsOf(DrawRecorder::kPixelImage).size(), 1u);
    EXPECT_EQ(recorder.CallsOf(DrawRecorder::kPixelImage)[0].rect, (Rect{52, 76, 148, 124}));
    EXPECT_EQ(recorder.CallsOf(DrawRecorder::kPixelImage)[0].mirror, 0u);
    EXPECT_TRUE(texts_.empty());
    // A payload of another kind handed to the painter draws nothing.
    Window::DragDropData other(kBitmapDragBitmap);
    PaintBitmapDrag(&other, Point{0, 0}, &extent);
    EXPECT_EQ(extent, Rect{});
}

TEST_F(BitmapDragDataTest, PayloadsBringTheirPaintersToDragAndDrop) {
    CollectionBitmap* b = AddSolid(&c_, "b", 300, 150, kGreen);
    auto* source = new ProbeWindow(Window::kVisible, nullptr, "source");
    SetFrame(source, Rect{0, 0, 400, 400});
    MoveTo(200, 200);
    ASSERT_TRUE(StartDragDrop(source, new BitmapDDData(kBitmapDragShadow, &c_, b, nullptr, nullptr), nullptr));
    EXPECT_EQ(DragImageScreenRect(), (Rect{152, 176, 248, 224}));
    MoveTo(210, 200);
    EXPECT_EQ(DragImageScreenRect(), (Rect{162, 176, 258, 224}));
    Release();
    EXPECT_FALSE(IsDragRunning());

    auto* several = new BitmapGridDDData(kBitmapDragGrid, &c_, BitmapGridDDData::kFromBitmapBrowser);
    several->AddItem(kBitmapDragBitmap, b, nullptr, nullptr);
    several->AddItem(kBitmapDragBitmap, b, nullptr, nullptr);
    ASSERT_TRUE(StartDragDrop(source, several, nullptr));
    EXPECT_EQ(DragImageScreenRect(), (Rect{210 - 24, 200 - 12, 210 + 24 + 16, 200 + 12 + 16}));
    Release();
}

}  // namespace
}  // namespace pirn_test
