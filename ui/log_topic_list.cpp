// Sorted topic rows of the Log Viewer.

#include "ui/log_topic_list.h"

#include <algorithm>

#include "platform/natural_compare.h"
#include "platform/os/key_codes.h"
#include "ui/skin.h"
#include "ui/text_layout.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {
constexpr i32 kTextInset = 4;
}

LogTopicList::LogTopicList(u32 flags, Window* parent) : ScrollableWindow(flags, parent) {}

LogTopicList::~LogTopicList() = default;

i32 LogTopicList::AddTopic(const std::string& name, void* data) {
    auto at = std::upper_bound(rows_.begin(), rows_.end(), name, [](const std::string& n, const Row& r) {
        return NaturalCompare(n.c_str(), r.name.c_str()) < 0;
    });
    const i32 index = static_cast<i32>(at - rows_.begin());
    rows_.insert(at, Row{name, data});
    byName_[name] = data;
    if (selected_ >= index) ++selected_;
    UpdateScrollRange();
    Invalidate();
    return index;
}

i32 LogTopicList::FindTopic(const std::string& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? -1 : IndexOfData(it->second);
}

i32 LogTopicList::IndexOfData(const void* data) const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].data == data) return static_cast<i32>(i);
    return -1;
}

void LogTopicList::SelectTopic(i32 index) {
    if (index < -1 || index >= GetTopicCount()) return;
    if (index == selected_) return;
    selected_ = index;
    Invalidate();
}

void LogTopicList::UserSelects(i32 index) {
    if (index < 0 || index >= GetTopicCount()) return;
    SelectTopic(index);
    RevealTopic(index);
    // Picking the row that is already selected still asks for its text.
    selectionChanged.Emit();
}

void LogTopicList::RevealTopic(i32 index) {
    const i32 page = GetScrollPageY();
    if (index < 0 || page <= 0) return;
    if (index < GetScrollY()) SetScrollY(index);
    else if (index >= GetScrollY() + page) SetScrollY(index - page + 1);
}

void LogTopicList::UpdateScrollRange() {
    const i32 lh = std::max(GetLineHeight(), 1);
    SetScrollInfo(kSetRangeY | kSetPageY, GetTopicCount(), 0, std::max(GetClientHeight() / lh, 1), 0, 0, 0);
}

void LogTopicList::Layout() {
    ScrollableWindow::Layout();
    UpdateScrollRange();
}

i32 LogTopicList::RowAtPoint(Point client) const {
    const i32 lh = std::max(GetLineHeight(), 1);
    if (client.y < 0) return -1;
    const i32 row = GetScrollY() + client.y / lh;
    return row < GetTopicCount() ? row : -1;
}

void LogTopicList::OnMouseButton(InputEvent& e) {
    if (!e.ButtonAction() || !IsEnabled()) return;
    Point p{e.X(), e.Y()};
    ScreenToClientPoints(&p, 1);
    UserSelects(RowAtPoint(p));
}

int LogTopicList::OnKey(InputEvent& e) {
    if (!e.IsPress() || rows_.empty()) return 0;
    if (e.Code() == kKeyUp) UserSelects(std::max(selected_ - 1, 0));
    else if (e.Code() == kKeyDown) UserSelects(std::min(selected_ + 1, GetTopicCount() - 1));
    else return 0;
    return 1;
}

void LogTopicList::DrawContents() {
    if (BeginWindowDraw(this, 1, 0)) {
        const i32 lh = std::max(GetLineHeight(), 1);
        const i32 w = GetClientWidth();
        const bool focused = HasFocus();
        // White like the topic text beside it (the viewer's background is dark).
        SetDrawColor(kColorWhite);
        FillRectangle(GetClientRect());
        for (i32 row = GetScrollY(), y = 0; row < GetTopicCount() && y < GetClientHeight(); ++row, y += lh) {
            const Rect r{0, y, w, y + lh};
            const bool selected = row == selected_;
            if (selected) DrawHighlight(r, kHighlightFill | (focused ? kHighlightStrong : 0u));
            SetSkinTextColor(selected && focused);
            DrawTextInRect(rows_[size_t(row)].name.c_str(), 0, kTextCenterVertically,
                           Rect{kTextInset, y, w, y + lh});
        }
    }
    EndWindowDraw(this);
}

}  // namespace pirn
