#pragma once
// The Log Viewer: one window with the log's topics on the left and the text
// of the selected topic on the right. It is the handler of LogMessage: every
// message is appended to its topic, and a message of level 1 or more brings
// the window forward at that topic. Closing it by the user only hides it;
// topics and their texts stay for the whole run.

#include <string>
#include <unordered_map>

#include "platform/types.h"
#include "ui/window.h"

namespace pirn {

class ListWindow;
struct ListItem;
class SplitterWindow;
class TextBox;

class MessageLogWindow : public Window {
public:
    // Enabled, title bar, shadow, thick border, resizable, dark background,
    // the three title-bar buttons; hidden at first.
    static constexpr u32 kStyle = 0x1D6E;
    static constexpr i32 kPaneMinimum = 128;

    MessageLogWindow();
    ~MessageLogWindow() override;

    const char* GetClassName() const override { return "MessageLogWindow"; }
    int OnCloseRequest(int byUser) override;
    // From here on messages no longer come to this window: it is on its way
    // out (shutdown); the next message makes a new one.
    void OnDestroy() override;
    void Layout() override;

    // Appends the text to the topic (made when new) and, for level >= 1,
    // shows and raises the window at that topic.
    void AddMessage(i32 level, const std::string& topic, const std::string& text);
    // Shows, raises and focuses the window.
    void ShowAndRaise();

    TextBox* GetTopicBox(const std::string& topic) const;
    TextBox* GetCurrentBox() const { return current_; }
    ListWindow* GetTopicList() const { return topics_; }
    SplitterWindow* GetSplitter() const { return splitter_; }

private:
    TextBox* TopicBox(const std::string& topic);
    // Puts the topic's box into the right pane; the focus moves only when
    // asked (the user picked the topic, or the window is being shown).
    void MakeCurrent(TextBox* box, bool focus);
    void OnTopicSelected();
    void AimFocusChain();

    // Selects the topic's row as the program (no focus change follows).
    void SelectTopicRow(const std::string& topic);

    SplitterWindow* splitter_ = nullptr;
    ListWindow* topics_ = nullptr;
    TextBox* current_ = nullptr;
    // Topic rows by exact name (the list itself finds rows by their data).
    std::unordered_map<std::string, ListItem*> rowsByTopic_;
    bool selectingRow_ = false;
};

// The process-wide Log Viewer, made on first use (null while the window
// system is not running).
MessageLogWindow* GetLogViewer();
// The log handler: hands the message to the Log Viewer (stderr while there
// is no window system).
void ShowLogMessage(i32 level, const std::string& topic, const std::string& text);
// Makes the window if needed, shows and raises it.
void ShowLogViewer();
// Installs ShowLogMessage with SetLogHandler (once, at start-up).
void InstallLogViewer();

}  // namespace pirn
