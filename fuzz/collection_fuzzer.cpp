// The data of a '.256' collection tag as LoadCollection reads it, bitmaps
// included (each bitmap block goes through the bitmap decoder, a block that
// does not decode becoming the placeholder). What a collection holds must
// stay in proportion to its data (its blocks' budget and the two shared
// checkerboards, however many entries do not decode or name one block). A
// collection that loads must save; what it saves must load again and save
// to the same bytes.

#include <memory>

#include "collections/bitmap_placeholder.h"
#include "collections/collection.h"
#include "collections/collection_tag.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/tag_data_harness.h"

namespace {

constexpr pirn::u32 kCollectionGroup = 0x2E323536;  // '.256'

// The collection saved; empty when saving refused it.
std::vector<pirn::u8> Saved(pirn::Collection* collection, const pirn::TagHeader& read) {
    pirn_fuzz::WrittenTag out(read);
    if (!pirn::SaveCollection(collection, out.stream(), &out.header)) return {};
    return out.Data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool silenced = (pirn_fuzz::SilenceLogs(), true);
    (void)silenced;
    pirn_fuzz::TagDataInput input(kCollectionGroup, data, size);
    auto collection = std::make_unique<pirn::Collection>();
    if (!pirn::LoadCollection(collection.get(), input.stream(), &input.header, true)) return 0;
    const pirn::u64 boards = 2 * pirn::u64{pirn::kPlaceholderSide} * pirn::kPlaceholderSide * 2;
    FUZZ_CHECK(pirn::DistinctPixelBytes(*collection) <= pirn::CollectionPixelBudget(input.header.data_length) + boards);
    std::string reason;
    if (!pirn::CheckCollectionStorable(*collection, &reason)) return 0;

    const std::vector<pirn::u8> first = Saved(collection.get(), input.header);
    FUZZ_CHECK(!first.empty());
    pirn::TagHeader saved_header = input.header;
    saved_header.version = 4;
    saved_header.user_data = collection->flags;
    pirn_fuzz::TagDataInput again(saved_header, first);
    auto reloaded = std::make_unique<pirn::Collection>();
    FUZZ_CHECK(pirn::LoadCollection(reloaded.get(), again.stream(), &again.header, true));
    FUZZ_CHECK(reloaded->bitmaps.size() == collection->bitmaps.size());
    FUZZ_CHECK(Saved(reloaded.get(), again.header) == first);
    return 0;
}
