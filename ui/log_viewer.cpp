// The Log Viewer window and the log handler.

#include "ui/log_viewer.h"

#include "platform/log_message.h"
#include "ui/frame_step.h"
#include "ui/list_window.h"
#include "ui/splitter_window.h"
#include "ui/text_box.h"
#include "ui/window_system.h"

namespace pirn {

namespace {
MessageLogWindow* g_logViewer = nullptr;
}

MessageLogWindow::MessageLogWindow() : Window(kStyle, nullptr) {
    SetTitle("Log Viewer");
    SetFrame(this, MakeRect(32, 32, 600, 256));
    splitter_ = new SplitterWindow(kVisible | kEnabled, this);
    splitter_->SetLayout(SplitterWindow::kSideBySide, SplitterWindow::kSizingFree);
    // The list draws no ground of its own; the light window background keeps
    // its text readable on the viewer's dark one.
    topics_ = new ListWindow(0, kVisible | kEnabled | kBackground, splitter_);
    splitter_->SetPane(0, topics_, kPaneMinimum);
    ConnectSignal<&MessageLogWindow::OnTopicSelected>(topics_->selectionChanged, this);
    Layout();
    g_logViewer = this;
}

MessageLogWindow::~MessageLogWindow() {
    if (g_logViewer == this) g_logViewer = nullptr;
}

void MessageLogWindow::OnDestroy() {
    if (g_logViewer == this) g_logViewer = nullptr;
}

int MessageLogWindow::OnCloseRequest(int byUser) {
    if (byUser == 1) {
        SetVisible(false);
        return 0;
    }
    return Window::OnCloseRequest(byUser);
}

void MessageLogWindow::Layout() {
    if (splitter_) SetFrame(splitter_, GetClientRect());
}

TextBox* MessageLogWindow::GetTopicBox(const std::string& topic) const {
    auto it = rowsByTopic_.find(topic);
    return it == rowsByTopic_.end() ? nullptr : static_cast<TextBox*>(it->second->userData);
}

void MessageLogWindow::SelectTopicRow(const std::string& topic) {
    auto it = rowsByTopic_.find(topic);
    if (it == rowsByTopic_.end()) return;
    ListItem* row = it->second;
    selectingRow_ = true;
    topics_->SelectItem(row, false);
    selectingRow_ = false;
    topics_->RevealItem(row);
}

TextBox* MessageLogWindow::TopicBox(const std::string& topic) {
    if (TextBox* box = GetTopicBox(topic)) return box;
    auto* box = new TextBox(TextBox::kReadOnlyView, this);
    // Lowered before it is hidden: hiding the front child would hand the
    // focus on.
    LowerWindow(box);
    box->SetVisible(false);
    AimFocusChain();
    rowsByTopic_[topic] = topics_->AddItem(nullptr, 0, ListItem::kTextItem, box, topic.c_str());
    topics_->Sort();
    topics_->UpdateScrollRange();
    SelectTopicRow(topic);
    MakeCurrent(box, false);
    return box;
}

void MessageLogWindow::AimFocusChain() {
    // Reparenting a box that takes the focus makes it its new parent's focus
    // child; activating the window must never end in a hidden box.
    SetFocusChild(splitter_);
    if (splitter_->GetFocusChild() != topics_)
        splitter_->SetFocusChild(current_ ? static_cast<Window*>(current_) : topics_);
}

void MessageLogWindow::MakeCurrent(TextBox* box, bool focus) {
    if (box != current_) {
        bool hadFocus = false;
        if (TextBox* old = current_) {
            hadFocus = old->HasFocus();
            current_ = nullptr;
            splitter_->SetPane(1, nullptr, kPaneMinimum);
            SetParent(old, this);
            LowerWindow(old);
            old->SetVisible(false);
        }
        splitter_->SetPane(1, box, kPaneMinimum);
        box->SetVisible(true);
        current_ = box;
        AimFocusChain();
        Layout();
        // The focus that was in the viewer's text follows it to the new topic.
        if (hadFocus) focus = true;
    }
    if (focus && IsShownOnScreen()) ActivateWindow(box, kFocusByProgram);
}

void MessageLogWindow::OnTopicSelected() {
    if (selectingRow_) return;
    ListItem* row = topics_->GetSelectedItem();
    if (!row || !row->userData) return;
    MakeCurrent(static_cast<TextBox*>(row->userData), true);
}

void MessageLogWindow::AddMessage(i32 level, const std::string& topic, const std::string& text) {
    TextBox* box = TopicBox(topic);
    if (box != current_) MakeCurrent(box, false);
    box->AppendText(text);
    if (level >= 1) {
        SelectTopicRow(topic);
        // Shown from hidden it takes the focus; already on screen it only
        // comes to the front, so that typing elsewhere goes on where it was.
        if (!IsVisible()) {
            ShowAndRaise();
        } else {
            RaiseWindow(this);
        }
    }
}

void MessageLogWindow::ShowAndRaise() {
    SetVisible(true);
    RaiseWindow(this);
    ActivateWindow(current_ ? static_cast<Window*>(current_) : topics_, kFocusByProgram);
}

MessageLogWindow* GetLogViewer() {
    if (!g_logViewer && GetLayerWindow(0)) new MessageLogWindow();
    return g_logViewer;
}

void ShowLogMessage(i32 level, const std::string& topic, const std::string& text) {
    MessageLogWindow* viewer = GetLogViewer();
    if (!viewer) {
        WriteLogMessageToStderr(level, topic, text);
        return;
    }
    viewer->AddMessage(level, topic, text);
}

void ShowLogViewer() {
    if (MessageLogWindow* viewer = GetLogViewer()) viewer->ShowAndRaise();
}

void InstallLogViewer() { SetLogHandler(&ShowLogMessage); }

}  // namespace pirn
