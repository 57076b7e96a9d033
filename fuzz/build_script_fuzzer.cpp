// "script.txt" as the collection builders read it from a folder of frames,
// and the hue changes it names applied to a colour table (the builders
// compute the colours each one affects). Whatever the text, the script
// holds only values the builders know.

#include <cstring>
#include <memory>

#include "collections/build_script.h"
#include "collections/collection.h"
#include "collections/collection_tag.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pirn_fuzz::WriteScratchFile("frames/script.txt", data, size);
    pirn::BuildScript script;
    FUZZ_CHECK(pirn::ReadBuildScript(pirn_fuzz::ScratchFolder() + "/frames", &script));
    FUZZ_CHECK(script.order >= pirn::kOrderUnset && script.order <= pirn::kViewsThenFrames);
    FUZZ_CHECK(script.align >= pirn::kAlignUnset && script.align <= pirn::kAlignFramesIndividually);
    FUZZ_CHECK(script.has_frame_list || script.frame_list.empty());
    for (pirn::i32 frame : script.frame_list) FUZZ_CHECK(frame >= pirn::kEmptyFrame);

    pirn::Collection collection;
    pirn::InitCollection(&collection);
    for (size_t i = 0; i < pirn::kColorTableBytes; ++i) collection.colors[i] = pirn::u8(i * 7 + i / 3);
    for (const pirn::CollectionHueChange& hue : script.hue_changes) {
        FUZZ_CHECK(std::memchr(hue.name, 0, sizeof hue.name) != nullptr);
        collection.hue_changes.push_back(std::make_unique<pirn::CollectionHueChange>(hue));
    }
    FUZZ_CHECK(pirn::MakeHueChangeList(&collection).size() == script.hue_changes.size());
    pirn::FreeCollection(&collection);
    pirn_fuzz::ClearScratchFolder();
    return 0;
}
