// The data of a model ('mode') tag: its header and the three sections (a
// word per geometry vertex, the records, the ground cells). A model tag
// that reads writes, and what it writes reads back and writes the same
// bytes.

#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/tag_data_harness.h"
#include "models/model_mode_data.h"
#include "tests/support/allocation_meter.h"

namespace {

constexpr pirn::u32 kModeGroup = 0x6D6F6465;  // 'mode'

std::vector<pirn::u8> Written(pirn::ModeData* mode, const pirn::TagHeader& read) {
    pirn_fuzz::WrittenTag out(read);
    if (!pirn::WriteModeData(mode, out.stream(), out.header)) return {};
    return out.Data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool silenced = (pirn_fuzz::SilenceLogs(), true);
    (void)silenced;
    pirn_fuzz::TagDataInput input(kModeGroup, data, size);
    pirn::ModeData mode;
    pirn_test::AllocationMeter meter;
    const int read = pirn::ReadModeData(&mode, input.stream(), input.header);
    // What a tag makes the reader hold is bounded by the tag's own bytes.
    FUZZ_CHECK(meter.PeakBytes() <= 4 * size + 4096);
    if (!read) return 0;
    FUZZ_CHECK(mode.vertex_words.size() == mode.header.vertex_word_count);
    FUZZ_CHECK(mode.records.size() == mode.header.record_count);
    FUZZ_CHECK(mode.cells.size() == mode.header.cell_count);

    const std::vector<pirn::u8> first = Written(&mode, input.header);
    FUZZ_CHECK(!first.empty());
    pirn_fuzz::TagDataInput again(input.header, first);
    pirn::ModeData reread;
    FUZZ_CHECK(pirn::ReadModeData(&reread, again.stream(), again.header));
    FUZZ_CHECK(reread.cells.size() == mode.cells.size() && reread.records.size() == mode.records.size());
    FUZZ_CHECK(Written(&reread, again.header) == first);
    return 0;
}
