#pragma once
// The Log Viewer's list of topics: one row per topic name, kept in natural
// order, one row selected. The viewer talks to it only through this small
// interface, so a general list widget can take its place without the viewer
// changing.

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/types.h"
#include "ui/scrollable_window.h"
#include "ui/signal.h"

namespace pirn {

class LogTopicList : public ScrollableWindow {
public:
    LogTopicList(u32 flags, Window* parent);
    ~LogTopicList() override;

    const char* GetClassName() const override { return "LogTopicList"; }
    void Layout() override;
    void DrawContents() override;
    void OnMouseButton(InputEvent& event) override;
    int OnKey(InputEvent& event) override;
    void OnScrollY(i32 y) override { Invalidate(); }

    // Adds a row in its sorted place and returns its index; the name must be
    // new (topics compare exactly, case and spaces count).
    i32 AddTopic(const std::string& name, void* data);
    // -1 when there is no row of exactly that name.
    i32 FindTopic(const std::string& name) const;
    i32 GetTopicCount() const { return static_cast<i32>(rows_.size()); }
    const std::string& GetTopicName(i32 index) const { return rows_[size_t(index)].name; }
    void* GetTopicData(i32 index) const { return rows_[size_t(index)].data; }
    i32 IndexOfData(const void* data) const;
    // Selects the row (-1: none). The program's selections are silent; the
    // user's emit selectionChanged.
    void SelectTopic(i32 index);
    i32 GetSelectedIndex() const { return selected_; }
    void RevealTopic(i32 index);
    i32 RowAtPoint(Point client) const;

    SignalNone selectionChanged;  // the user picked a row

private:
    struct Row {
        std::string name;
        void* data = nullptr;
    };
    void UpdateScrollRange();
    void UserSelects(i32 index);

    std::vector<Row> rows_;
    std::unordered_map<std::string, void*> byName_;
    i32 selected_ = -1;
};

}  // namespace pirn
