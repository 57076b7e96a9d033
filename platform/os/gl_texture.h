#pragma once
// The one texture record every image on screen goes through. The record is
// plain data usable anywhere; the functions need a GL context (pirn_gl).

#include "platform/types.h"

namespace pirn {

// Pixel formats accepted by UploadTexture (the GL enumerants).
enum GlPixelFormat : u32 {
    kGlAlpha = 0x1906,  // 6406
    kGlRgb = 0x1907,    // 6407
    kGlRgba = 0x1908,   // 6408
    kGlBgr = 0x80E0,
    kGlBgra = 0x80E1,
};

// Draw flags: mirror top-bottom, mirror left-right (both: half a turn).
enum GlDrawFlag : u32 {
    kDrawMirrorVertical = 1,
    kDrawMirrorHorizontal = 2,
};

// width and height are the image's own size, which differs from the GL
// texture's size when the upload had to rescale. Only an owned texture is
// deleted by the record.
struct GlTexture {
    u32 name = 0;
    u32 width = 0;
    u32 height = 0;
    u32 owned = 0;
};

// Creates the texture from tightly packed unsigned-byte rows (pixels may be
// null for an empty texture). Sizes that are zero or not powers of two are
// rescaled to powers of two when the driver lacks NPOT textures.
void UploadTexture(GlTexture* texture, const void* pixels, u32 format, u32 width, u32 height,
                   int mipmaps, int anisotropic);
// Adopts an existing texture name, releasing the record's old one when owned.
void SetTexture(GlTexture* texture, u32 name, u32 width, u32 height, u32 owned);
void BindTexture(const GlTexture* texture);
// Draws the currently bound texture as one quad; w = 0 / h = 0 mean the
// image size, sourceW = 0 / sourceH = 0 the whole texture.
void DrawTexture(const GlTexture* texture, u32 flags, int x, int y, int w, int h, int sourceX,
                 int sourceY, int sourceW, int sourceH);
// Deletes the texture when owned and non-zero; the name becomes 0.
void ReleaseTexture(GlTexture* texture);

}  // namespace pirn
