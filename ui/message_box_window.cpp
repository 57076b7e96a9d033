// Message boxes: layout, the modal run and its answer.

#include "ui/message_box_window.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "ui/button.h"
#include "ui/interface_font.h"
#include "ui/skin.h"
#include "ui/text_layout.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

MessageBoxWindow::MessageBoxWindow(const char* caption, const char* text, const std::vector<std::string>& labels,
                                   FieldFactory makeField, void* context)
    : Window(kStyle, nullptr) {
    if (makeField) field_ = makeField(this, context);
    hasText_ = text != nullptr;
    if (text) text_ = text;
    const i32 buttonHeight = GetButtonHeight(GetLineHeight());

    // At most four buttons, each at least 96 wide, 24 apart.
    std::vector<std::string> used(labels.begin(), labels.begin() + std::min<size_t>(labels.size(), kMaxButtons));
    if (used.empty()) used.push_back("OK");  // a box nobody can answer would never end
    std::vector<i32> widths;
    i32 rowWidth = 0;
    for (const std::string& label : used) {
        widths.push_back(std::max(GetTextWidth(label.c_str()) + kButtonTextExtra, kMinButtonWidth));
        rowWidth += widths.back();
    }
    rowWidth += kButtonGap * static_cast<i32>(used.size() - 1);

    // The text's widest line, at most 512.
    i32 textWidth = 0;
    InterfaceFont* font = GetFont();
    if (hasText_ && font) textWidth = std::min(TextWidth(*font, text_, 0, kTextMultiLine), kMaxTextWidth);
    i32 contentWidth = std::max(textWidth, rowWidth);
    if (field_) contentWidth = std::max(contentWidth, kMinFieldWidth);

    i32 textHeight = 0;
    if (hasText_ && font) textHeight = TextHeight(*font, text_, 0, kTextWrap, contentWidth);
    if (field_) textHeight = std::max(textHeight, field_->GetHeight());
    const i32 block = (hasText_ || field_) ? textHeight + kTextGap : 0;

    Window::SetClientSize(contentWidth + 2 * kMargin, block + buttonHeight + 2 * kMargin);
    SetTitle(caption);
    CenterInParent();

    textRect_ = MakeRect(kMargin, kMargin, contentWidth, textHeight);
    if (field_) SetFrame(field_, textRect_);

    i32 x = (contentWidth + 2 * kMargin - rowWidth) / 2;
    const i32 y = block + kMargin;
    for (size_t i = 0; i < used.size(); i++) {
        Button* b = new Button(this, static_cast<i32>(i));
        b->SetTitle(used[i].c_str());
        SetFrame(b, MakeRect(x, y, widths[i], buttonHeight));
        ConnectSignal<&MessageBoxWindow::OnButtonClicked>(b->clickedWithId, this);
        buttons_.push_back(b);
        x += widths[i] + kButtonGap;
    }
    // The buttons form one tab ring in label order.
    for (size_t i = 0; i < buttons_.size(); i++) buttons_[i]->SetTabNext(buttons_[(i + 1) % buttons_.size()]);
    // Enter or Space then presses the first button, unless there is a field.
    ActivateWindow(field_ ? field_ : buttons_.front(), kFocusByProgram);
}

MessageBoxWindow::~MessageBoxWindow() {
    if (run_) run_->alive = false;
}

void MessageBoxWindow::OnDestroy() {
    if (run_) run_->alive = false;
    run_ = nullptr;
}

Button* MessageBoxWindow::GetButton(int index) const {
    return index >= 0 && index < GetButtonCount() ? buttons_[static_cast<size_t>(index)] : nullptr;
}

void MessageBoxWindow::PressButton(i32 id) {
    if (IsDestroyed()) return;
    if (run_) {
        run_->pressed = id;
        if (run_->input && field_ && fieldReader_) fieldReader_(field_, run_->input);
    }
    // Only this box's own run ends, wherever it stands on the modal stack.
    EndModal(this, id);
    DestroyWindow(this);
}

void MessageBoxWindow::DrawContents() {
    if (!hasText_ || field_) return;
    if (BeginWindowDraw(this, 1, 0)) {
        SetSkinTextColor(false);
        DrawTextInRect(text_.c_str(), 0, kTextWrap | kTextCenter, textRect_);
    }
    EndWindowDraw(this);
}

int RunMessageBox(MessageBoxWindow* box, std::string* input) {
    MessageBoxWindow::Run run;
    run.input = input;
    box->AttachRun(&run);
    const int last = box->GetButtonCount() - 1;
    RunModal(box, MessageBoxWindow::kModalFlags, nullptr);
    // Ended without a press (the idle hook stopped, or the box was taken
    // down): the box goes, and the answer is the harmless last button.
    if (run.alive) {
        box->AttachRun(nullptr);
        DestroyWindow(box);
    }
    return run.pressed >= 0 ? run.pressed : last;
}

int ShowMessageBoxLabels(const char* caption, const char* text, const std::vector<std::string>& labels) {
    return RunMessageBox(new MessageBoxWindow(caption, text, labels));
}

int ShowMessageBox(const char* caption, const char* text, const char* label, ...) {
    std::vector<std::string> labels;
    va_list args;
    va_start(args, label);
    for (const char* l = label; l; l = va_arg(args, const char*)) labels.emplace_back(l);
    va_end(args);
    return ShowMessageBoxLabels(caption, text, labels);
}

void ShowError(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    ShowMessageBox("Error", buffer, "OK", nullptr);
}

int ConfirmQuit() { return ShowMessageBox("Really Quit Pirn?", nullptr, "Quit", "Don't Quit", nullptr); }

}  // namespace pirn
