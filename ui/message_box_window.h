#pragma once
// MessageBoxWindow: the modal box behind every fixed-text question and error
// report. A caption, an optional text and one to four buttons named by the
// caller; ShowMessageBox returns the 0-based index of the button pressed.

#include <string>
#include <vector>

#include "platform/types.h"
#include "ui/window.h"
#include "platform/printf_format.h"

namespace pirn {

class Button;

class MessageBoxWindow : public Window {
public:
    // Visible, enabled, title bar, shadow, thick border, background, large
    // minimum, popup layer. No close box: one of the buttons must be pressed.
    static constexpr u32 kStyle = 0x402AF;
    // Dimmed behind, keys that miss the box go to it. Never ended by a close
    // request of the main window: that would answer with the first button,
    // which is often the destructive one ("Delete", "Quit").
    static constexpr u32 kModalFlags = 1 | 4;
    static constexpr int kMaxButtons = 4;
    static constexpr i32 kMargin = 32;
    static constexpr i32 kButtonGap = 24;
    static constexpr i32 kMinButtonWidth = 96;
    static constexpr i32 kButtonTextExtra = 32;
    static constexpr i32 kMaxTextWidth = 512;
    static constexpr i32 kMinFieldWidth = 128;
    static constexpr i32 kTextGap = 24;

    // What one run of a box reports to the code waiting for it: which button
    // was pressed (-1 none yet) and whether the box still exists. The box
    // forgets the record when it is destroyed.
    struct Run {
        int pressed = -1;
        bool alive = true;
        std::string* input = nullptr;  // receives the field's text (input box)
    };

    // Makes the editable field of an input box as a child of the box.
    using FieldFactory = Window* (*)(MessageBoxWindow* box, void* context);

    // Lays the box out for the caption, text (null for none) and the first
    // four labels, centred in the screen. With a factory, the field it makes
    // stands where the text would and contributes its own height.
    MessageBoxWindow(const char* caption, const char* text, const std::vector<std::string>& labels,
                     FieldFactory makeField = nullptr, void* context = nullptr);
    ~MessageBoxWindow() override;

    const char* GetClassName() const override { return "MessageBoxWindow"; }
    void OnDestroy() override;
    void DrawContents() override;

    void AttachRun(Run* run) { run_ = run; }
    Button* GetButton(int index) const;
    int GetButtonCount() const { return static_cast<int>(buttons_.size()); }
    Window* GetField() const { return field_; }
    // Where the text (or the field) stands, in client coordinates.
    const Rect& GetTextRect() const { return textRect_; }
    const std::string& GetText() const { return text_; }

    // A button was clicked: hand the result over, end this box's own run and
    // destroy the box.
    void PressButton(i32 id);

    // Reads the field's text for the caller (set by the input box).
    using FieldReader = void (*)(Window* field, std::string* out);
    void SetFieldReader(FieldReader reader) { fieldReader_ = reader; }

private:
    void OnButtonClicked(i32 id) { PressButton(id); }

    std::vector<Button*> buttons_;
    Window* field_ = nullptr;
    FieldReader fieldReader_ = nullptr;
    std::string text_;
    bool hasText_ = false;
    Rect textRect_;
    Run* run_ = nullptr;
};

// Shows a box and runs it modally; labels end with a null. Returns the index
// of the button pressed. When the box goes away without a press (the program
// is ending), the last button's index is returned: by convention the one
// that changes nothing ("Cancel", "Don't Quit", "Don't Delete").
int ShowMessageBox(const char* caption, const char* text, const char* label, ...) __attribute__((sentinel));
int ShowMessageBoxLabels(const char* caption, const char* text, const std::vector<std::string>& labels);
// Formats with printf rules into 1,024 bytes (longer output is cut at 1,023
// characters) and shows it in an "Error" box with "OK".
void ShowError(const char* format, ...) PIRN_PRINTF_FORMAT(1, 2);
// "Really Quit Pirn?" with "Quit" and "Don't Quit"; 0 means quit.
int ConfirmQuit();

// Runs an existing box modally and returns its answer as ShowMessageBox
// does; the box is destroyed afterwards. A pressed button writes the field's
// text into *input (input boxes).
int RunMessageBox(MessageBoxWindow* box, std::string* input = nullptr);

}  // namespace pirn
