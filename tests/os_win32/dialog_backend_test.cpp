#include "platform/os/win32/dialog_backend.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/native_dialogs.h"
#include "platform/os/win32/wide_text.h"

namespace pirn {
namespace win32 {
namespace {

TEST(Win32DialogBackend, ColoursMatchTheSystemsColorRefs) {
    const ColorRgb colour{0x12, 0x34, 0x56};
    EXPECT_EQ(ColorRefFromRgb(colour), static_cast<u32>(RGB(0x12, 0x34, 0x56)));
    EXPECT_EQ(RgbFromColorRef(RGB(0xAB, 0xCD, 0xEF)), (ColorRgb{0xAB, 0xCD, 0xEF}));
}

TEST(Win32DialogBackend, CustomColoursSurviveTheDialogsTable) {
    CustomColors colours;
    for (int i = 0; i < kCustomColorCount; ++i) {
        colours[i] = ColorRgb{static_cast<u8>(i), static_cast<u8>(i * 16), static_cast<u8>(255 - i)};
    }
    u32 table[kCustomColorCount];
    CustomColorsToColorRefs(colours, table);
    EXPECT_EQ(table[3], static_cast<u32>(RGB(3, 48, 252)));
    // What the dialog leaves after the user set entry 15.
    table[15] = RGB(1, 2, 3);
    CustomColors back;
    ColorRefsToCustomColors(table, &back);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(back[i], colours[i]) << i;
    EXPECT_EQ(back[15], (ColorRgb{1, 2, 3}));
}

BOOL CALLBACK RememberDialog(HWND window, LPARAM result) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (!IsWindowVisible(window) || std::wstring(name) != L"#32770") return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

// The thread's visible dialog window (message boxes and the system dialogs
// are all of the dialog class).
HWND OpenDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), RememberDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The frame hook stands in for the program's frames: it counts them and,
// after a few, answers the open dialog the way a user would.
class AnsweringFrames {
public:
    explicit AnsweringFrames(WPARAM button) {
        SetNativeDialogFrameHook([this, button] {
            ++frames_;
            if (frames_ == 3) {
                if (HWND box = OpenDialog()) {
                    GetWindowRect(box, &place_);
                    PostMessageW(box, WM_COMMAND, button, 0);
                }
            }
        });
    }
    ~AnsweringFrames() { SetNativeDialogFrameHook(nullptr); }
    int frames() const { return frames_; }
    // Where the dialog was when it was answered.
    const RECT& place() const { return place_; }

private:
    int frames_ = 0;
    RECT place_{};
};

// Windows need a display; under Wine without one the modal dialogs cannot
// be tested.
bool CanShowWindows() {
    HWND probe = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (probe == nullptr) return false;
    DestroyWindow(probe);
    return true;
}

TEST(Win32DialogBackend, MessageBoxesKeepFramesComingAndGiveTheAnswer) {
    if (!CanShowWindows()) GTEST_SKIP() << "no display for windows";
    DialogBackend backend;
    {
        AnsweringFrames frames(IDYES);
        EXPECT_TRUE(backend.AskYesNo("Confirm Save As", "a.png already exists.\nDo you want to replace it?"));
        EXPECT_GE(frames.frames(), 3);
    }
    {
        AnsweringFrames frames(IDNO);
        EXPECT_FALSE(backend.AskYesNo("Confirm Save As", "a.png already exists."));
    }
    {
        AnsweringFrames frames(IDOK);
        backend.ShowError("Error", "The 'res' folder could not be found (improper installation?); quitting.");
        EXPECT_GE(frames.frames(), 3);
    }
}

TEST(Win32DialogBackend, ColourDialogIsCentredAndKeepsTheCustomColours) {
    if (!CanShowWindows()) GTEST_SKIP() << "no display for windows";
    CustomColors custom;
    for (int i = 0; i < kCustomColorCount; ++i) custom[i] = ColorRgb{static_cast<u8>(i * 15), 100, 200};
    const CustomColors before = custom;
    DialogBackend backend;
    AnsweringFrames frames(IDOK);
    ColorRgb chosen;
    ASSERT_TRUE(backend.RunColorDialog(ColorRgb{10, 20, 30}, &custom, &chosen));
    EXPECT_EQ(chosen, (ColorRgb{10, 20, 30}));
    EXPECT_EQ(custom, before);
    // Without an owner it is centred on the work area.
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const RECT& box = frames.place();
    EXPECT_LE(std::abs((box.left + box.right) / 2 - (area.left + area.right) / 2), 2);
    EXPECT_LE(std::abs((box.top + box.bottom) / 2 - (area.top + area.bottom) / 2), 2);
}

// A scratch folder with two files, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"pirn_dialog_test";
        CreateDirectoryW(path_.c_str(), nullptr);
        for (const wchar_t* name : {L"\\b10.bmp", L"\\b9.bmp"}) {
            HANDLE file = CreateFileW((path_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(file);
        }
    }
    ~ScratchFolder() {
        DeleteFileW((path_ + L"\\b10.bmp").c_str());
        DeleteFileW((path_ + L"\\b9.bmp").c_str());
        RemoveDirectoryW(path_.c_str());
    }
    // '/' separators and a final '/', as the program hands folders over.
    std::string Folder() const { return PathFromWide(path_) + "/"; }

private:
    std::wstring path_;
};

TEST(Win32DialogBackend, OpenDialogReturnsThePresetFileWithItsFilterAndChoices) {
    if (!CanShowWindows()) GTEST_SKIP() << "no display for windows";
    ScratchFolder folder;
    FileDialogRequest request;
    request.kind = FileDialogKind::kOpenFile;
    request.title = "Open Bitmap";
    request.filters = {{"BMP Files", "*.bmp"}, {"PNG Files", "*.png"}};
    request.start_filter_index = 0;
    request.initial_folder = folder.Folder();
    request.initial_name = "b9.bmp";
    FileDialogBox box;
    box.label = "Replace:";
    box.default_index = 1;
    box.choices = {{"By Order", 0}, {"By Name", 1}};
    request.boxes = {box};

    DialogBackend backend;
    AnsweringFrames frames(IDOK);
    FileDialogAnswer answer;
    ASSERT_TRUE(backend.RunFileDialog(request, &answer));
    ASSERT_EQ(answer.paths.size(), 1u);
    EXPECT_EQ(answer.paths[0], folder.Folder() + "b9.bmp");
    EXPECT_EQ(answer.filter_index, 0);
    EXPECT_EQ(answer.chosen_indices, (std::vector<u32>{1}));
    EXPECT_GE(frames.frames(), 3);
}

TEST(Win32DialogBackend, FolderChooserStartsInThePresetFolderAndKeepsItsDropDowns) {
    if (!CanShowWindows()) GTEST_SKIP() << "no display for windows";
    ScratchFolder folder;
    FileDialogRequest request;
    request.kind = FileDialogKind::kChooseFolder;
    request.title = "Choose a folder";
    request.filters = {{"Folders", "qqqqqqqqqqqqqqq.qqqqqqqqq"}};
    request.initial_folder = folder.Folder();
    FileDialogBox format;
    format.label = "Target Format:";
    format.default_index = 2;
    format.choices = {{"BMP", 1}, {"PNG", 2}, {"TIFF", 3}};
    FileDialogBox mode;
    mode.label = "Mode:";
    mode.choices = {{"Full", 0}, {"Alpha Only", 1}};
    request.boxes = {format, mode};

    DialogBackend backend;
    AnsweringFrames frames(IDOK);
    FileDialogAnswer answer;
    ASSERT_TRUE(backend.RunFileDialog(request, &answer));
    ASSERT_EQ(answer.paths.size(), 1u);
    std::string chosen = answer.paths[0];
    if (chosen.back() != '/') chosen += '/';
    EXPECT_EQ(chosen, folder.Folder());
    EXPECT_EQ(answer.chosen_indices, (std::vector<u32>{2, 0}));
}

}  // namespace
}  // namespace win32
}  // namespace pirn
