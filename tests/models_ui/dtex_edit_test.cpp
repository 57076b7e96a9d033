// DtexEdit on the headless window system over a Codex in a scratch game
// folder: new textures, the window's size, the tiling view at open, the
// clipboard, import and export through the image dialogs, the context menu,
// reverting a shared texture, and the root menu's two "new detail texture"
// commands. Textures on disk are written by an independent encoder and
// pictures come from PngSuite (with its pixel dumps) where they can.

#include "models/ui/dtex_edit.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>

#include "codex/tag_header.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "models/dtex_codec.h"
#include "models/ui/dtex_edit_drawer.h"
#include "platform/clipboard_image.h"
#include "platform/image_file.h"
#include "platform/native_dialogs.h"
#include "platform/os/headless/headless_clipboard.h"
#include "platform/os/headless/scripted_dialogs.h"
#include "platform/os/os_dialogs.h"
#include "platform/pref_store.h"
#include "tests/codex_ui/tag_editor_fixture.h"
#include "tests/models/dtex_reference_encoder.h"
#include "ui/menu.h"

namespace pirn_test {
namespace {

using codex_fixture::BigEndianBuffer;
using codex_fixture::Code;
using pirn::DtexEdit;
using pirn::DtexTag;
using pirn::TagEntry;

constexpr const char* kNotPowerOfTwo = "The texture must have dimensions that are powers of two.";
constexpr const char* kNot24Bit = "Image must be 24 bit RGB.";
constexpr const char* kTooLarge = "The texture must not be larger than 2048 pixels on a side.";

std::string SuitePng(const std::string& name) { return TestDataDir() + "/pngsuite/png/" + name + ".png"; }

// PngSuite's pixel dump of a picture (RGBA, rows top-down) as RGB.
std::vector<u8> SuiteRgb(const std::string& name) {
    const std::vector<u8> json = ReadAll(TestDataDir() + "/pngsuite/json/" + name + ".json");
    std::vector<u8> rgb;
    int value = -1, index = 0;
    for (u8 c : json) {
        if (std::isdigit(c)) {
            value = (value < 0 ? 0 : value * 10) + (c - '0');
            continue;
        }
        if (value >= 0 && index++ % 4 != 3) rgb.push_back(u8(value));
        value = -1;
    }
    return rgb;
}

// Distinct pixels: every byte says where it is.
std::vector<u8> Ramp(u32 w, u32 h) {
    std::vector<u8> rgb(size_t(w) * h * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = u8(i * 7 + i / 3);
    return rgb;
}

std::vector<u8> Flat(u32 w, u32 h, u8 r, u8 g, u8 b) {
    std::vector<u8> rgb;
    for (size_t i = 0; i < size_t(w) * h; ++i) rgb.insert(rgb.end(), {r, g, b});
    return rgb;
}

std::vector<u8> PngBytes(u32 w, u32 h, const std::vector<u8>& rgb) {
    std::vector<u8> bytes;
    EXPECT_TRUE(pirn::EncodeClipboardImage(pirn::kClipboardPngType, rgb.data(), w, h, &bytes));
    return bytes;
}

// The same picture shifted by half its size both ways.
std::vector<u8> Shifted(const std::vector<u8>& rgb, u32 w, u32 h) {
    std::vector<u8> out(rgb.size());
    for (u32 y = 0; y < h; ++y)
        for (u32 x = 0; x < w; ++x)
            for (u32 c = 0; c < 3; ++c)
                out[(size_t(y) * w + x) * 3 + c] = rgb[(size_t((y + h / 2) % h) * w + (x + w / 2) % w) * 3 + c];
    return out;
}

struct StoredTexture {
    u32 record[4] = {};
    u32 width = 0, height = 0;
    std::vector<u8> rgb;
};

class DtexEditTest : public TagEditorTest {
protected:
    DtexEditTest() : TagEditorTest(pirn::BindDtexEdit) {}

    void SetUp() override {
        TagEditorTest::SetUp();
        headless::ClearClipboard();
    }
    void TearDown() override {
        TagEditorTest::TearDown();
        headless::ClearClipboard();
    }

    // A local 'dtex' tag: the record {w, h, 0, 0}, then the stream.
    TagEntry* WriteTexture(const std::string& name, u32 id, u32 w, u32 h, const std::vector<u8>& rgb) {
        BigEndianBuffer data;
        data.PutU32(w);
        data.PutU32(h);
        data.PutU32(0);
        data.PutU32(0);
        data.PutBytes(dtex_reference::Encode(rgb, w, h));
        WriteLocal("Detail Textures", name, codex_fixture::TagFile(codex_fixture::Tag{Code("dtex"), id, name, data.bytes()}));
        pirn::PollLocalFolder(true);
        return pirn::FindTag(Code("dtex"), id);
    }

    // The local file of a texture: its record and its decoded pixels.
    StoredTexture ReadStored(const std::string& name) {
        StoredTexture stored;
        const std::vector<u8> bytes = ReadAll(LocalFile("Detail Textures", name));
        pirn::TagHeader header{};
        EXPECT_TRUE(pirn::ParseTagHeader(&header, bytes.data(), bytes.size(), bytes.size())) << name;
        if (bytes.size() < u64(header.data_offset) + 16) return stored;
        for (int i = 0; i < 4; ++i) stored.record[i] = codex_fixture::ReadU32(bytes, header.data_offset + 4u * u32(i));
        const size_t at = header.data_offset + 16;
        EXPECT_NE(pirn::DecodeDtexBytes(bytes.data() + at, bytes.size() - at, &stored.rgb, &stored.width,
                                        &stored.height),
                  0u);
        return stored;
    }

    DtexEdit* Open(TagEntry* tag) { return dynamic_cast<DtexEdit*>(pirn::OpenTagEditor(tag)); }

    static void CtrlKey(int code) {
        HandleKeyInput(kKeyControl, 1);
        HandleKeyInput(code, 1);
        HandleKeyInput(code, 0);
        HandleKeyInput(kKeyControl, 0);
        IdleFrame();
    }

    static void ExpectShowing(DtexEdit* editor, u32 w, u32 h, const std::vector<u8>& rgb) {
        ASSERT_NE(editor->Texture(), nullptr);
        EXPECT_EQ(editor->Texture()->width, w);
        EXPECT_EQ(editor->Texture()->height, h);
        EXPECT_TRUE(editor->Texture()->pixels == rgb);
        // A new GL texture is made at the next draw.
        EXPECT_FALSE(editor->Texture()->uploaded);
        // As wide as the texture, or as its title with the modified mark needs.
        const i32 titleClient = editor->GetTitleFrameWidth() - (editor->GetWidth() - editor->GetClientWidth());
        EXPECT_EQ(editor->GetClientWidth(), std::max(i32(std::min<u32>(w, 512)), titleClient));
        EXPECT_EQ(editor->GetClientHeight(), i32(std::min<u32>(h, 512)));
    }
};

TEST_F(DtexEditTest, ANewTextureIsTheCheckerboardAndSavesAsTheRecordAndStream) {
    static DtexTag* drawn = nullptr;
    static Point drawn_at{-1, -1};
    pirn::SetDtexTextureDrawer([](DtexTag* dtex, i32 x, i32 y) {
        drawn = dtex;
        drawn_at = Point{x, y};
    });
    auto* editor = dynamic_cast<DtexEdit*>(pirn::CreateTagWithEditor(Code("dtex"), "Board"));
    ASSERT_NE(editor, nullptr);
    EXPECT_STREQ(editor->GetClassName(), "DtexEdit");
    EXPECT_STREQ(editor->GetTitle(), "Board*");
    EXPECT_TRUE(editor->TestFlags(pirn::Window::kTakesFocus));
    EXPECT_EQ(pirn::GetFocusWindow(), editor);
    ASSERT_NE(editor->Texture(), nullptr);
    EXPECT_EQ(editor->Texture()->width, 256u);
    EXPECT_EQ(editor->Texture()->height, 256u);
    EXPECT_EQ(editor->GetClientWidth(), 256);
    EXPECT_EQ(editor->GetClientHeight(), 256);
    const std::vector<u8>& p = editor->Texture()->pixels;
    const struct {
        u32 x, y;
        u8 value;
    } samples[] = {{0, 0, 0}, {15, 15, 0}, {16, 0, 255}, {0, 16, 255}, {16, 16, 0}, {255, 0, 255}, {40, 50, 255}, {40, 70, 0}};
    for (const auto& s : samples) EXPECT_EQ(p[(size_t(s.y) * 256 + s.x) * 3 + 1], s.value) << s.x << "," << s.y;

    IdleFrame();
    EXPECT_EQ(drawn, editor->Texture());
    EXPECT_EQ(drawn_at.x, 0);
    EXPECT_EQ(drawn_at.y, 0);
    pirn::SetDtexTextureDrawer(nullptr);

    CtrlKey('S');
    EXPECT_STREQ(editor->GetTitle(), "Board");
    EXPECT_TRUE(asked_.empty());
    const StoredTexture stored = ReadStored("Board");
    EXPECT_EQ(stored.record[0], 256u);
    EXPECT_EQ(stored.record[1], 256u);
    EXPECT_EQ(stored.record[2], 0u);
    EXPECT_EQ(stored.record[3], 0u);
    EXPECT_EQ(stored.width, 256u);
    EXPECT_TRUE(stored.rgb == p);
    EXPECT_EQ(editor->GetHeader().data_length, u32(ReadAll(LocalFile("Detail Textures", "Board")).size()) - 64);
}

TEST_F(DtexEditTest, TheWindowShowsAtMost512EachWay) {
    const struct {
        u32 w, h;
    } cases[] = {{1024, 8}, {8, 1024}, {512, 512}, {2, 1}};
    u32 id = Code("sz00");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        const std::vector<u8> rgb = Ramp(c.w, c.h);
        const std::string name = "Size " + std::to_string(++id);
        DtexEdit* editor = Open(WriteTexture(name, id, c.w, c.h, rgb));
        ASSERT_NE(editor, nullptr);
        EXPECT_STREQ(editor->GetTitle(), name.c_str());
        ExpectShowing(editor, c.w, c.h, rgb);
        // The window cannot be made smaller than that.
        const i32 width = editor->GetClientWidth();
        editor->SetSize(1, 1);
        EXPECT_EQ(editor->GetClientWidth(), width);
    }
}

TEST_F(DtexEditTest, ShiftHeldWhileOpeningShowsTheSeamsInTheMiddleWithoutAChange) {
    const std::vector<u8> rgb = Ramp(4, 2);
    TagEntry* tag = WriteTexture("Tile", Code("tile"), 4, 2, rgb);
    HandleKeyInput(kKeyLeftShift, 1);
    IdleFrame();
    DtexEdit* editor = Open(tag);
    HandleKeyInput(kKeyLeftShift, 0);
    IdleFrame();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->Texture()->pixels == Shifted(rgb, 4, 2));
    EXPECT_FALSE(editor->IsModified());
    EXPECT_STREQ(editor->GetTitle(), "Tile");
    // Nothing was written; opened again without Shift it is as stored.
    ASSERT_TRUE(editor->Close(1));
    IdleFrame();
    editor = Open(tag);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->Texture()->pixels == rgb);
}

TEST_F(DtexEditTest, CopyAndPasteGoThroughTheDesktopClipboard) {
    const std::vector<u8> rgb = Ramp(8, 4);
    DtexEdit* editor = Open(WriteTexture("Clip", Code("clip"), 8, 4, rgb));
    ASSERT_NE(editor, nullptr);
    for (int key : {'C', 'X'}) {
        headless::ClearClipboard();
        CtrlKey(key);
        pirn::ClipboardImage copied;
        const std::vector<u8> png = headless::ClipboardData(pirn::kClipboardPngType);
        ASSERT_TRUE(pirn::DecodeClipboardImage(pirn::kClipboardPngType, png.data(), png.size(), &copied));
        EXPECT_EQ(copied.width, 8u);
        EXPECT_EQ(copied.height, 4u);
        EXPECT_TRUE(copied.rgb == rgb);
        EXPECT_TRUE(editor->Texture()->pixels == rgb);  // a cut copies only
    }

    // Pictures that cannot become the texture: a beep, and a message for
    // those of unusable sides; the texture stays as it was.
    const struct {
        const char* what;
        u32 w, h;
        const char* message;
    } refused[] = {{"nothing", 0, 0, nullptr}, {"100 x 64", 100, 64, kNotPowerOfTwo}, {"4096 x 2", 4096, 2, kTooLarge}};
    for (const auto& r : refused) {
        SCOPED_TRACE(r.what);
        headless::ClearClipboard();
        if (r.w) headless::SetForeignClipboardData(pirn::kClipboardPngType, PngBytes(r.w, r.h, Flat(r.w, r.h, 9, 9, 9)));
        asked_.clear();
        const int beeps = Beeps();
        if (r.message) Answer(0);
        CtrlKey('V');
        EXPECT_EQ(Beeps(), beeps + 1);
        if (r.message) {
            ASSERT_EQ(asked_.size(), 1u);
            EXPECT_EQ(asked_[0].caption, "Error");
            EXPECT_EQ(asked_[0].text, r.message);
            EXPECT_EQ(asked_[0].buttons, std::vector<std::string>{"OK"});
        } else {
            EXPECT_TRUE(asked_.empty());
        }
        EXPECT_TRUE(editor->Texture()->pixels == rgb);
        EXPECT_FALSE(editor->IsModified());
    }

    // Another program's PNG becomes the texture.
    headless::SetForeignClipboardData(pirn::kClipboardPngType, ReadAll(SuitePng("basn2c08")));
    const int beeps = Beeps();
    CtrlKey('V');
    EXPECT_EQ(Beeps(), beeps);
    ExpectShowing(editor, 32, 32, SuiteRgb("basn2c08"));
    EXPECT_STREQ(editor->GetTitle(), "Clip*");
}

TEST_F(DtexEditTest, ImportTakesOnly24BitPicturesWithPowerOfTwoSidesUpTo2048) {
    const std::vector<u8> rgb = Ramp(4, 4);
    DtexEdit* editor = Open(WriteTexture("Ground", Code("grnd"), 4, 4, rgb));
    ASSERT_NE(editor, nullptr);
    WriteAll(dir_.file("odd.png"), PngBytes(100, 64, Flat(100, 64, 1, 2, 3)));
    WriteAll(dir_.file("wide.png"), PngBytes(4096, 2, Flat(4096, 2, 1, 2, 3)));
    const struct {
        std::string path;
        const char* message;
    } refused[] = {{SuitePng("basn3p08"), kNot24Bit},     {SuitePng("basn6a08"), kNot24Bit},
                   {SuitePng("basn0g08"), kNot24Bit},     {dir_.file("odd.png"), kNotPowerOfTwo},
                   {dir_.file("wide.png"), kTooLarge}};
    for (const auto& r : refused) {
        SCOPED_TRACE(r.path);
        asked_.clear();
        headless::QueueFileDialogAnswer({r.path});
        Answer(0);
        CtrlKey('I');
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].caption, "Error");
        EXPECT_EQ(asked_[0].text, r.message);
        EXPECT_TRUE(editor->Texture()->pixels == rgb);
        EXPECT_FALSE(editor->IsModified());
    }
    ASSERT_FALSE(headless::FileDialogRequests().empty());
    EXPECT_EQ(headless::FileDialogRequests().back().title, "Import Detail Texture");

    // Cancelled: nothing.
    asked_.clear();
    headless::QueueDialogCancel();
    CtrlKey('I');
    EXPECT_TRUE(asked_.empty());

    headless::QueueFileDialogAnswer({SuitePng("basn2c08")});
    editor->RunCommand(DtexEdit::kImportCommand);
    EXPECT_TRUE(asked_.empty());
    ExpectShowing(editor, 32, 32, SuiteRgb("basn2c08"));
    EXPECT_TRUE(editor->IsModified());
    // The folder is remembered for the next image dialog.
    std::string remembered;
    EXPECT_TRUE(pirn::GetPrefString("LastImageOpenPath", &remembered));
    EXPECT_EQ(remembered, TestDataDir() + "/pngsuite/png/");
}

TEST_F(DtexEditTest, ExportWritesTheTextureInTheFormatTheNameAsksFor) {
    const std::vector<u8> rgb = Ramp(16, 8);
    DtexEdit* editor = Open(WriteTexture("Stones", Code("ston"), 16, 8, rgb));
    ASSERT_NE(editor, nullptr);
    for (const char* name : {"out.png", "out.bmp", "out.tiff"}) {
        SCOPED_TRACE(name);
        headless::QueueFileDialogAnswer({dir_.file(name)});
        CtrlKey('E');
        const pirn::FileDialogRequest& request = headless::FileDialogRequests().back();
        EXPECT_EQ(request.title, "Export Detail Texture");
        EXPECT_EQ(request.initial_name, "Stones");
        pirn::ImageFile file;
        pirn::InitImageFile(&file, dir_.file(name));
        ASSERT_TRUE(pirn::LoadImageFile(&file));
        EXPECT_EQ(file.image.format, pirn::kFormatRgb);
        EXPECT_EQ(file.image.width, 16u);
        EXPECT_EQ(file.image.height, 8u);
        EXPECT_TRUE(file.image.pixels == rgb);
    }
    EXPECT_TRUE(asked_.empty());
    EXPECT_FALSE(editor->IsModified());

    // A file that cannot be written is reported.
    pirn_test::WriteAll(dir_.file("locked/x"), std::string("x"));
    ASSERT_EQ(::chmod(dir_.file("locked").c_str(), 0500), 0);
    // Root writes anywhere; a Windows folder's read-only mark stops nothing.
#ifdef _WIN32
    if (false) {
#else
    if (::geteuid() != 0) {
#endif
        headless::QueueFileDialogAnswer({dir_.file("locked/out.png")});
        Answer(0);
        editor->RunCommand(DtexEdit::kExportCommand);
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].caption, "Error");
        EXPECT_EQ(asked_[0].text, "The file could not be written.");
    }
    ::chmod(dir_.file("locked").c_str(), 0700);
}

TEST_F(DtexEditTest, TheContextMenuOffersTheCommandsAndMeanCentres) {
    DtexEdit* editor = Open(WriteTexture("Grey", Code("grey"), 16, 16, Flat(16, 16, 100, 140, 250)));
    ASSERT_NE(editor, nullptr);
    std::vector<std::string> titles;
    Then([&titles] {
        auto* menu = dynamic_cast<pirn::Menu*>(GetTopModalWindow());
        ASSERT_NE(menu, nullptr);
        for (const pirn::MenuItem* entry : menu->Entries()) {
            titles.push_back(entry->GetTitle());
            EXPECT_TRUE(entry->IsEnabled());
        }
        menu->Entries()[DtexEdit::kMeanCenterRgbCommand]->Choose();
    });
    // A right click in the texture opens it.
    const Rect& client = editor->GetClientScreenRect();
    HandleMouseMoveInput(client.left + 5, client.top + 5);
    HandleMouseButtonInput(1, 1);
    HandleMouseButtonInput(1, 0);
    IdleFrame();
    EXPECT_EQ(titles, (std::vector<std::string>{"Export (Cmd-E)", "Import (Cmd-I)", "Copy (Cmd-C)", "Paste (Cmd-V)",
                                                "Save Tag (Cmd-S)", "Mean Center rgb", "Mean Center luma"}));
    EXPECT_TRUE(editor->Texture()->pixels == Flat(16, 16, 128, 128, 128));
    EXPECT_STREQ(editor->GetTitle(), "Grey*");

    // Luma moves every channel by one offset; values stick at 0 and 255.
    // Textures under 256 pixels get an offset too.
    DtexEdit* small = Open(WriteTexture("Small", Code("smal"), 2, 2, Flat(2, 2, 255, 255, 255)));
    ASSERT_NE(small, nullptr);
    small->RunCommand(DtexEdit::kMeanCenterLumaCommand);
    EXPECT_TRUE(small->Texture()->pixels == Flat(2, 2, 127, 127, 127));
    EXPECT_TRUE(small->IsModified());

    // Save Tag writes it.
    editor->RunCommand(DtexEdit::kSaveCommand);
    EXPECT_STREQ(editor->GetTitle(), "Grey");
    EXPECT_TRUE(ReadStored("Grey").rgb == Flat(16, 16, 128, 128, 128));
}

TEST_F(DtexEditTest, DiscardingReloadsTheTextureOnlyWhileSomeoneElseShowsIt) {
    const std::vector<u8> rgb = Ramp(4, 4);
    TagEntry* tag = WriteTexture("Shared", Code("shar"), 4, 4, rgb);
    headless::SetForeignClipboardData(pirn::kClipboardPngType, ReadAll(SuitePng("basn2c08")));

    // Alone: reverting leaves the texture as the editor left it.
    DtexEdit* editor = Open(tag);
    ASSERT_NE(editor, nullptr);
    // Loading again holds the same texture, once.
    ASSERT_EQ(editor->Load(), 1);
    EXPECT_EQ(editor->Texture()->reference_count, 1u);
    ASSERT_TRUE(editor->Paste());
    EXPECT_EQ(editor->RevertChanges(), 1);
    EXPECT_EQ(editor->Texture()->width, 32u);

    // Shared with a terrain view: discarding brings the stored texture back
    // for it.
    DtexTag* terrain = pirn::DtexResources().FindOrLoad(tag);
    ASSERT_EQ(terrain, editor->Texture());
    EXPECT_EQ(terrain->reference_count, 2u);
    Answer(1);  // Discard
    ASSERT_TRUE(editor->Close(1));
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Save?");
    EXPECT_EQ(asked_[0].text, "Do you wish to save your changes to 'Shared'?");
    EXPECT_EQ(terrain->width, 4u);
    EXPECT_TRUE(terrain->pixels == rgb);
    IdleFrame();  // the editor goes, and lets go of the texture
    EXPECT_EQ(terrain->reference_count, 1u);
    pirn::ReleaseResource(&pirn::DtexResources(), terrain);
}

TEST_F(DtexEditTest, ANewTextureFromAnImageFileIsNamedAfterItAndSavedAtOnce) {
    headless::QueueFileDialogAnswer({SuitePng("basn2c08")});
    Answer(0);  // the name as proposed
    DtexEdit* editor = pirn::NewDetailTextureFromImageFile();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Enter Name for Detail Texture");
    EXPECT_EQ(asked_[0].text, "basn2c08");
    EXPECT_EQ(headless::FileDialogRequests().back().title, "Import Detail Texture");
    EXPECT_FALSE(editor->IsModified());
    EXPECT_STREQ(editor->GetTitle(), "basn2c08");
    ExpectShowing(editor, 32, 32, SuiteRgb("basn2c08"));
    const StoredTexture stored = ReadStored("basn2c08");
    EXPECT_EQ(stored.record[0], 32u);
    EXPECT_EQ(stored.record[1], 32u);
    EXPECT_TRUE(stored.rgb == SuiteRgb("basn2c08"));

    // Refused pictures are refused before a name is asked.
    WriteAll(dir_.file("wide.png"), PngBytes(4096, 2, Flat(4096, 2, 1, 2, 3)));
    const struct {
        std::string path;
        const char* message;
    } refused[] = {{SuitePng("basn3p08"), kNot24Bit}, {dir_.file("wide.png"), kTooLarge}};
    for (const auto& r : refused) {
        SCOPED_TRACE(r.path);
        asked_.clear();
        headless::QueueFileDialogAnswer({r.path});
        Answer(0);
        EXPECT_EQ(pirn::NewDetailTextureFromImageFile(), nullptr);
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].caption, "Error");
        EXPECT_EQ(asked_[0].text, r.message);
    }

    // No name given: nothing is made and nothing more is said.
    asked_.clear();
    headless::QueueFileDialogAnswer({SuitePng("basn2c08")});
    AnswerInput(1, "Other");  // Cancel
    EXPECT_EQ(pirn::NewDetailTextureFromImageFile(), nullptr);
    EXPECT_EQ(asked_.size(), 1u);
    pirn::TagList textures;
    pirn::ListGroupTags(Code("dtex"), textures);
    EXPECT_EQ(textures.size(), 1u);
    EXPECT_FALSE(Exists(LocalFile("Detail Textures", "Other")));
}

TEST_F(DtexEditTest, ANewTextureFromTheClipboardAsksForItsName) {
    const struct {
        const char* what;
        u32 w, h;
        const char* message;
    } refused[] = {{"nothing", 0, 0, "Could not retrieve an image from the clipboard."},
                   {"100 x 64", 100, 64, kNotPowerOfTwo},
                   {"4096 x 2", 4096, 2, kTooLarge}};
    for (const auto& r : refused) {
        SCOPED_TRACE(r.what);
        headless::ClearClipboard();
        if (r.w) headless::SetForeignClipboardData(pirn::kClipboardPngType, PngBytes(r.w, r.h, Flat(r.w, r.h, 1, 1, 1)));
        asked_.clear();
        Answer(0);
        EXPECT_EQ(pirn::NewDetailTextureFromClipboard(), nullptr);
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].caption, "Error");
        EXPECT_EQ(asked_[0].text, r.message);
    }

    const std::vector<u8> rgb = Ramp(64, 2);
    headless::SetForeignClipboardData(pirn::kClipboardPngType, PngBytes(64, 2, rgb));
    asked_.clear();
    AnswerInput(0, "Pasted");
    DtexEdit* editor = pirn::NewDetailTextureFromClipboard();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].text, "");  // nothing proposed
    EXPECT_FALSE(editor->IsModified());
    ExpectShowing(editor, 64, 2, rgb);
    EXPECT_TRUE(ReadStored("Pasted").rgb == rgb);
}

}  // namespace
}  // namespace pirn_test
