// Identification of any file the user picks (import dialogs, the archive
// browser): the first bytes decide between TIFF, PNG, BMP, LWO, 3DMF, WAV,
// tag and archive, confirmed by the format's own header (tags and archives
// by the Codex's recognisers, as the program registers them), and images
// are loaded. The file is read from disk as the dialogs do.

#include <any>

#include "codex/archive.h"
#include "codex/codex.h"
#include "codex/tag_header.h"
#include "fuzz/fuzz_support.h"
#include "platform/image_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (pirn::RegisterCodexFileKinds(), true);
    (void)registered;
    pirn::ImageFile file;
    pirn::InitImageFile(&file, pirn_fuzz::WriteScratchFile("picked", data, size));
    if (pirn::IdentifyImageFile(&file)) {
        FUZZ_CHECK(size > 0 && file.kind != pirn::kKindUnknown);
        const bool image_type = file.type == pirn::kTypeBmp || file.type == pirn::kTypePng ||
                                file.type == pirn::kTypeTiff;
        FUZZ_CHECK((file.kind == pirn::kKindImage) == image_type);
        // A tag or archive is only ever taken with the header its recogniser
        // parsed, and that header fits in the file.
        if (file.type == pirn::kTypeTag) {
            const auto* header = std::any_cast<pirn::TagHeader>(&file.header);
            FUZZ_CHECK(header != nullptr);
            FUZZ_CHECK(pirn::u64(header->data_length) + pirn::kTagHeaderSize <= size);
        }
        if (file.type == pirn::kTypeArchive) FUZZ_CHECK(std::any_cast<pirn::ArchiveHeader>(&file.header) != nullptr);
        if (pirn::LoadImageFile(&file) && file.kind == pirn::kKindImage) {
            FUZZ_CHECK(pirn::HasWholePixels(file.image));
        }
    }
    FUZZ_CHECK(file.open_mode == pirn::kImageClosed && file.stream == nullptr);
    pirn::FreeImageFile(&file);
    return 0;
}
