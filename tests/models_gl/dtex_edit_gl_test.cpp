// DtexEdit drawn with GL on Mesa: the texture of the shared resource made
// from its pixels, shown one texel to a pixel in the client area, made
// again after the pixels change, capped at 512 by the window, and deleted
// with the resource.

#include <GL/gl.h>
// Constants past OpenGL 1.1, which Windows headers stop at.
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "codex/codex.h"
#include "codex/four_char_code.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "models/dtex_codec.h"
#include "models/gl/dtex_edit_gl.h"
#include "models/ui/dtex_edit.h"
#include "models/ui/dtex_edit_drawer.h"
#include "platform/log_capture.h"
#include "platform/os/pirn_gl.h"
#include "tests/gui/skinned_gl_fixture.h"
#include "tests/support/test_support.h"
#include "tools/fixture_bytes/big_endian_buffer.h"
#include "tools/fixture_bytes/tag_header_bytes.h"
#include "ui/frame_step.h"
#include "ui/window_system.h"

namespace pirn {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

std::vector<u8> Ramp(u32 w, u32 h) {
    std::vector<u8> rgb(size_t(w) * h * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = u8(i * 13 + i / 5);
    return rgb;
}

class DtexEditGlTest : public SkinnedGlFixture {
protected:
    static void SetUpTestSuite() { OpenWindowAndLoad("Pirn detail texture editor test", kWidth, kHeight); }
    void SetUp() override {
        SkinnedGlFixture::SetUp();
        if (IsSkipped()) return;
        InstallDtexEditGl();
        UnloadCodex();
        SetLocalFolder(game_.path() + "/local/");
        PollLocalFolder(true);
        BindDtexEdit();
        RegisterTagEditors();
    }
    void TearDown() override {
        if (!IsSkipped()) {
            ResetWindowSystem();
            EXPECT_EQ(UnloadCodex(), 1);
            UnbindTagEditors();
            ClearTagGroupEditors();
            SetDtexTextureDrawer(nullptr);
            SetDtexTextureReleaser(nullptr);
        }
        SkinnedGlFixture::TearDown();
    }

    // A local texture tag of the picture.
    TagEntry* WriteTexture(const std::string& name, u32 w, u32 h, const std::vector<u8>& rgb) {
        fixture::BigEndianBuffer data;
        data.PutU32(w);
        data.PutU32(h);
        data.PutU32(0);
        data.PutU32(0);
        std::vector<u8> stream;
        EncodeDtexBytes(rgb.data(), w, h, &stream);
        data.PutBytes(stream);
        fixture::TagHeaderFields header;
        header.name = name;
        header.group = MakeFourCC("dtex");
        header.id = MakeFourCC("gl01");
        header.data_offset = 64;
        header.data_length = u32(data.bytes().size());
        fixture::BigEndianBuffer file;
        fixture::PutTagHeader(file, header);
        file.PutBytes(data.bytes());
        pirn_test::WriteAll(game_.path() + "/local/Detail Textures/" + name, file.bytes());
        PollLocalFolder(true);
        return FindTag(MakeFourCC("dtex"), MakeFourCC("gl01"));
    }

    // Every texel of the picture's top-left (at most w x h) at the client's
    // corner.
    int WrongPixels(const DtexEdit* editor, const std::vector<u8>& rgb, u32 w, u32 shown_w, u32 shown_h) const {
        const Rect& client = editor->GetClientScreenRect();
        int wrong = 0;
        for (u32 y = 0; y < shown_h; ++y)
            for (u32 x = 0; x < shown_w; ++x) {
                const std::array<int, 3> p = Pixel(client.left + int(x), client.top + int(y));
                const u8* want = &rgb[(size_t(y) * w + x) * 3];
                if (p[0] != want[0] || p[1] != want[1] || p[2] != want[2]) ++wrong;
            }
        return wrong;
    }

    pirn_test::TempDir game_;
    ScopedLogCapture log_;
};

TEST_F(DtexEditGlTest, ANewTextureShowsTheCheckerboardThenEachNewPicture) {
    auto* editor = dynamic_cast<DtexEdit*>(CreateTagWithEditor(MakeFourCC("dtex"), "Board"));
    ASSERT_NE(editor, nullptr);
    SetPosition(editor, 40, 30);
    Draw();
    Shot("dtex_edit_checkerboard");
    const std::vector<u8>& board = editor->Texture()->pixels;
    EXPECT_EQ(WrongPixels(editor, board, 256, 256, 256), 0);
    const Rect& client = editor->GetClientScreenRect();
    EXPECT_EQ(Pixel(client.left, client.top), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(Pixel(client.left + 16, client.top), (std::array<int, 3>{255, 255, 255}));
    EXPECT_TRUE(editor->Texture()->uploaded);
    const u32 first = editor->Texture()->texture.name;
    EXPECT_NE(first, 0u);

    // New pixels (a paste, an import) are shown at the next frame.
    const std::vector<u8> ramp = Ramp(64, 32);
    DtexPicture picture;
    picture.width = 64;
    picture.height = 32;
    picture.rgb = ramp;
    ApplyDtexPicture(editor->Texture(), picture);
    editor->TakeNewPixels();
    Draw();
    Shot("dtex_edit_ramp");
    // The texture's size, widened for the title where that needs more.
    EXPECT_EQ(editor->GetClientWidth(),
              std::max(64, editor->GetTitleFrameWidth() - (editor->GetWidth() - editor->GetClientWidth())));
    EXPECT_EQ(editor->GetClientHeight(), 32);
    EXPECT_EQ(WrongPixels(editor, ramp, 64, 64, 32), 0);

    // Mean centring changes the pixels in place: drawn again too.
    editor->RunCommand(DtexEdit::kMeanCenterRgbCommand);
    Draw();
    EXPECT_EQ(WrongPixels(editor, editor->Texture()->pixels, 64, 64, 32), 0);
}

// The texture is drawn with the state it sets: outlines, culling or a
// second texture unit left on by other drawing do not show in it.
TEST_F(DtexEditGlTest, OtherDrawingsStateDoesNotShowInTheTexture) {
    const std::vector<u8> rgb = Ramp(64, 64);
    auto* editor = dynamic_cast<DtexEdit*>(OpenTagEditor(WriteTexture("Ramp", 64, 64, rgb)));
    ASSERT_NE(editor, nullptr);
    SetPosition(editor, 40, 30);
    const GlEntryPoints& gl = GetGlEntryPoints();
    ASSERT_NE(gl.activeTexture, nullptr);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    GLuint black = 0;
    const u8 texel[3] = {0, 0, 0};
    glGenTextures(1, &black);
    gl.activeTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, black);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glEnable(GL_TEXTURE_2D);
    gl.activeTexture(GL_TEXTURE0);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT_AND_BACK);
    Draw();
    EXPECT_EQ(WrongPixels(editor, rgb, 64, 64, 64), 0);
    glPopAttrib();
    glDeleteTextures(1, &black);
}

TEST_F(DtexEditGlTest, AWideTextureShowsItsFirst512ColumnsAndGoesWithItsEditor) {
    const std::vector<u8> rgb = Ramp(1024, 4);
    TagEntry* tag = WriteTexture("Wide", 1024, 4, rgb);
    ASSERT_NE(tag, nullptr);
    auto* editor = dynamic_cast<DtexEdit*>(OpenTagEditor(tag));
    ASSERT_NE(editor, nullptr);
    SetPosition(editor, 10, 100);
    Draw();
    EXPECT_EQ(editor->GetClientWidth(), 512);
    EXPECT_EQ(WrongPixels(editor, rgb, 1024, 512, 4), 0);
    const u32 name = editor->Texture()->texture.name;
    ASSERT_NE(name, 0u);
    EXPECT_EQ(glIsTexture(name), GL_TRUE);
    // Drawn exactly, yet still filtered with mipmaps for the terrain views.
    GLint min_filter = 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min_filter);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(min_filter, GL_LINEAR_MIPMAP_LINEAR);

    ASSERT_TRUE(editor->Close(1));
    StepFrame();
    EXPECT_TRUE(DtexResources().resources.empty());
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
}

}  // namespace
}  // namespace pirn
