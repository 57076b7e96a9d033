// The data of a detail-map ('dmap') tag as ReadDetailMap reads it, version
// 1 or 2 as the tag header says (input byte 0, its top bit asking for the
// raw values the add-on builder looks at). A map that reads must write (as
// version 2); that must read back to the same map and write the same bytes.

#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/tag_data_harness.h"
#include "models/detail_map.h"

namespace {

std::vector<pirn::u8> Written(const pirn::DetailMap& map, const pirn::TagHeader& read) {
    pirn_fuzz::WrittenTag out(read);
    FUZZ_CHECK(pirn::WriteDetailMap(map, out.stream(), &out.header) == 1);
    FUZZ_CHECK(out.header.version == pirn::kDmapCurrentVersion);
    return out.Data();
}

bool SameMap(const pirn::DetailMap& a, const pirn::DetailMap& b) {
    return a.width == b.width && a.height == b.height && a.byte_plane == b.byte_plane &&
           a.word_plane == b.word_plane && std::memcmp(a.entries, b.entries, sizeof a.entries) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool silenced = (pirn_fuzz::SilenceLogs(), true);
    (void)silenced;
    pirn_fuzz::TagDataInput input(pirn::kDmapGroup, data, size);
    const bool keep_raw_values = (input.header.version & 0x80) != 0;
    input.header.version &= 0x7F;
    std::unique_ptr<pirn::DetailMap> map = pirn::LoadDetailMap(input.stream(), input.header, keep_raw_values);
    if (!map) return 0;
    const size_t cells = size_t(map->width) * map->height;
    FUZZ_CHECK(map->byte_plane.size() == cells && map->word_plane.size() == cells);
    if (!keep_raw_values)
        for (pirn::u8 value : map->byte_plane) FUZZ_CHECK(value <= pirn::kDetailMapMaxValue);
    for (const pirn::DetailTextureEntry& entry : map->entries) FUZZ_CHECK(entry.description[31] == 0);

    pirn::TagHeader header = input.header;
    const std::vector<pirn::u8> first = Written(*map, header);
    header.version = pirn::kDmapCurrentVersion;
    pirn_fuzz::TagDataInput again(header, first);
    std::unique_ptr<pirn::DetailMap> reread = pirn::LoadDetailMap(again.stream(), again.header, keep_raw_values);
    FUZZ_CHECK(reread != nullptr && SameMap(*map, *reread));
    FUZZ_CHECK(Written(*reread, again.header) == first);
    return 0;
}
