#pragma once
// A detail texture ('dtex' tag): one 24-bit RGB picture with power-of-two
// sides, shared through the tag-resource cache by its editor and every
// terrain editor that lays it over terrain, so that all of them draw the
// same pixels and the same GL texture.
//
// Stored data: a big-endian 16-byte record {width, height, 0, reserved},
// then the pixels in the detail-texture codec.

#include <cstdio>
#include <vector>

#include "codex/tag_resource.h"
#include "platform/os/gl_texture.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kDtexGroup = 0x64746578;  // 'dtex'
constexpr u32 kDtexHeaderBytes = 16;
// A new texture: 256 x 256, 16-pixel squares, black at the top left.
constexpr u32 kDtexNewSide = 256;
constexpr u32 kDtexCheckerSquare = 16;

class DtexTag : public TagResource {
public:
    explicit DtexTag(TagEntry* tag) : TagResource(tag) {}
    ~DtexTag() override;

    const char* GetClassName() const override { return "DtexTag"; }
    void InitNew() override;
    int ReadTag(std::FILE* stream, TagHeader* tag_header) override;
    int WriteTag(std::FILE* stream, TagHeader* tag_header) override;

    // Copies width x height x 3 bytes and tells the tag's listeners.
    void SetPixels(const u8* rgb, u32 new_width, u32 new_height);
    // The pixels changed in place: the GL texture must be made again.
    void MarkPixelsChanged() { uploaded = false; }

    u32 width = 0;
    u32 height = 0;
    std::vector<u8> pixels;  // width x height x 3, rows top-down
    u32 reserved = 0;
    GlTexture texture;
    // Whether `texture` shows the current pixels; the GL side makes it
    // anew whenever this is false.
    bool uploaded = false;
};

// The one cache of detail textures.
TagResourceManager<DtexTag>& DtexResources();

// The GL side installs how a texture is released, so that the headless
// core can free resources without knowing GL.
using DtexTextureReleaser = void (*)(GlTexture* texture);
void SetDtexTextureReleaser(DtexTextureReleaser releaser);

// The checkerboard of a new texture: black where bit 4 of x equals bit 4
// of y, else white.
std::vector<u8> MakeDtexCheckerboard(u32 side);

// Reloads the tag for a reverting editor only when someone else shares the
// resource (the editor's own changes are then all it holds); 1 on success.
int RevertSharedDtex(DtexTag* dtex);

}  // namespace pirn
