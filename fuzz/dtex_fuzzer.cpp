// The data of a detail-texture ('dtex') tag as DtexTag reads it: the
// 16-byte record, then the pixels in the detail-texture codec
// (ReadDtexPixels: the length word and the Rice-coded stream). A texture
// that reads must write, and what it writes must read back to the same
// pixels and write to the same bytes.

#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/tag_data_harness.h"
#include "models/dtex_codec.h"
#include "models/dtex_tag.h"

namespace {

std::vector<pirn::u8> Written(pirn::DtexTag& dtex, const pirn::TagHeader& read) {
    pirn_fuzz::WrittenTag out(read);
    FUZZ_CHECK(dtex.WriteTag(out.stream(), &out.header) == 1);
    return out.Data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pirn_fuzz::TagDataInput input(pirn::kDtexGroup, data, size);
    pirn::DtexTag dtex(nullptr);
    if (!dtex.ReadTag(input.stream(), &input.header)) return 0;
    FUZZ_CHECK(dtex.width >= 1 && dtex.width <= pirn::kDtexMaxSide && dtex.height >= 1 &&
               dtex.height <= pirn::kDtexMaxSide);
    FUZZ_CHECK(dtex.pixels.size() == size_t(dtex.width) * dtex.height * 3);

    const std::vector<pirn::u8> first = Written(dtex, input.header);
    pirn_fuzz::TagDataInput again(input.header, first);
    pirn::DtexTag reread(nullptr);
    FUZZ_CHECK(reread.ReadTag(again.stream(), &again.header) == 1);
    FUZZ_CHECK(reread.width == dtex.width && reread.height == dtex.height && reread.pixels == dtex.pixels);
    FUZZ_CHECK(reread.reserved == dtex.reserved);
    FUZZ_CHECK(Written(reread, again.header) == first);
    return 0;
}
