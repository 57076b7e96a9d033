#include "models/dtex_tag.h"

#include <cstring>

#include "codex/codex_events.h"
#include "models/dtex_codec.h"
#include "platform/records.h"

namespace pirn {

namespace {

// Memory form of the stored record; the pixel reference is a pointer
// field that is never transferred.
struct DtexHeaderRecord {
    u32 width;
    u32 height;
    void* pixel_reference;
    u32 reserved;
};

const StructLayout kDtexHeaderLayout[] = {kDtexHeaderBytes | kLayoutHasPointers, 2, kRunU32, 1, kRunPointer,
                                          1, kRunU32};

DtexTextureReleaser g_releaser = nullptr;

bool SeekTo(std::FILE* stream, u64 offset) { return ::fseeko(stream, static_cast<off_t>(offset), SEEK_SET) == 0; }

}  // namespace

TagResourceManager<DtexTag>& DtexResources() {
    static TagResourceManager<DtexTag> manager;
    return manager;
}

void SetDtexTextureReleaser(DtexTextureReleaser releaser) { g_releaser = releaser; }

std::vector<u8> MakeDtexCheckerboard(u32 side) {
    std::vector<u8> rgb(size_t(side) * side * 3);
    for (u32 y = 0; y < side; ++y)
        for (u32 x = 0; x < side; ++x) {
            const u8 value = ((x ^ y) & kDtexCheckerSquare) ? 255 : 0;
            std::memset(&rgb[(size_t(y) * side + x) * 3], value, 3);
        }
    return rgb;
}

DtexTag::~DtexTag() {
    uploaded = false;
    pixels.clear();
    width = height = 0;
    if (g_releaser) g_releaser(&texture);
}

void DtexTag::InitNew() {
    uploaded = false;
    pixels = MakeDtexCheckerboard(kDtexNewSide);
    width = height = kDtexNewSide;
    NotifyCodexListeners(kCodexDataChanged, tag(), nullptr);
}

void DtexTag::SetPixels(const u8* rgb, u32 new_width, u32 new_height) {
    uploaded = false;
    pixels.assign(rgb, rgb + size_t(new_width) * new_height * 3);
    width = new_width;
    height = new_height;
    NotifyCodexListeners(kCodexDataChanged, tag(), nullptr);
}

// A failed read keeps the pixels held so far: a shared texture that cannot
// be reloaded still shows what its users were drawing.
int DtexTag::ReadTag(std::FILE* stream, TagHeader* tag_header) {
    if (!stream || !tag_header || tag_header->data_length < kDtexHeaderBytes) return 0;
    if (!SeekTo(stream, tag_header->data_offset)) return 0;
    DtexHeaderRecord record{};
    if (ReadRecords(&record, 1, kDtexHeaderLayout, stream) != kDtexHeaderBytes) return 0;
    std::vector<u8> decoded;
    u32 w = 0, h = 0;
    // The codec's own size is the one that counts.
    if (!ReadDtexPixels(&decoded, &w, &h, stream, u64(tag_header->data_length) - kDtexHeaderBytes)) return 0;
    uploaded = false;
    pixels.swap(decoded);
    width = w;
    height = h;
    reserved = record.reserved;
    return 1;
}

int DtexTag::WriteTag(std::FILE* stream, TagHeader* tag_header) {
    if (!stream || !tag_header || !SeekTo(stream, tag_header->data_offset)) return 0;
    if (pixels.size() != size_t(width) * height * 3) return 0;
    DtexHeaderRecord record{width, height, nullptr, reserved};
    if (WriteRecords(&record, 1, kDtexHeaderLayout, stream) != kDtexHeaderBytes) return 0;
    return WriteDtexPixels(pixels.data(), width, height, stream) ? 1 : 0;
}

int RevertSharedDtex(DtexTag* dtex) {
    if (!dtex) return 0;
    if (dtex->reference_count < 2) return 1;
    return dtex->Load();
}

}  // namespace pirn
