// The data of a geometry ('geom') tag as GeomEdit reads it (the header and
// its three sections), made into the display model (indices the tag names
// are checked there). A geometry that reads writes, and what it writes
// reads back and writes the same bytes. The display model has every index
// inside it.

#include <memory>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/model_harness.h"
#include "fuzz/tag_data_harness.h"
#include "models/geom_data.h"
#include "models/geom_to_model.h"
#include "tests/support/allocation_meter.h"

namespace {

constexpr pirn::u32 kGeomGroup = 0x67656F6D;  // 'geom'

std::vector<pirn::u8> Written(pirn::GeomData* geom, const pirn::TagHeader& read) {
    pirn_fuzz::WrittenTag out(read);
    if (!pirn::WriteGeomData(geom, out.stream(), out.header)) return {};
    return out.Data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool silenced = (pirn_fuzz::SilenceLogs(), true);
    (void)silenced;
    pirn_fuzz::TagDataInput input(kGeomGroup, data, size);
    pirn::GeomData geom;
    pirn_test::AllocationMeter meter;
    const int read = pirn::ReadGeomData(&geom, input.stream(), input.header);
    // What a tag makes the reader hold is bounded by the tag's own bytes.
    FUZZ_CHECK(meter.PeakBytes() <= 4 * size + 4096);
    if (!read) return 0;
    FUZZ_CHECK(geom.materials.size() == geom.header.material_count);
    FUZZ_CHECK(geom.vertices.size() == geom.header.vertex_count);
    FUZZ_CHECK(geom.triangles.size() == geom.header.triangle_count);

    pirn::GeomDisplayProblems problems;
    std::unique_ptr<pirn::ModelObject> model = pirn::GeomDataToModel(geom, nullptr, &problems);
    FUZZ_CHECK(model != nullptr);
    pirn_fuzz::CheckModelIndices(*model);

    const std::vector<pirn::u8> first = Written(&geom, input.header);
    FUZZ_CHECK(!first.empty());
    pirn_fuzz::TagDataInput again(input.header, first);
    pirn::GeomData reread;
    FUZZ_CHECK(pirn::ReadGeomData(&reread, again.stream(), again.header));
    FUZZ_CHECK(reread.vertices.size() == geom.vertices.size() && reread.triangles.size() == geom.triangles.size());
    FUZZ_CHECK(Written(&reread, again.header) == first);
    return 0;
}
