// Adobe Color Table files (.act) as the colour-table dialogs read them. A
// table that reads writes, and the file written reads back to the same
// table and count.

#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/act_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = pirn_fuzz::WriteScratchFile("table.act", data, size);
    pirn::u8 table[pirn::kActTableSize];
    std::memset(table, 0xAB, sizeof table);
    pirn::u32 count = 0xDEAD;
    if (!pirn::ReadActFile(path, table, &count)) {
        for (pirn::u8 byte : table) FUZZ_CHECK(byte == 0xAB);  // left as it was
        pirn_fuzz::ClearScratchFolder();
        return 0;
    }
    FUZZ_CHECK(count <= pirn::kActColorCount);
    for (size_t i = size_t(count) * 3; i < pirn::kActTableSize; ++i) FUZZ_CHECK(table[i] == 0);

    const std::string again_path = pirn_fuzz::ScratchFolder() + "/again.act";
    FUZZ_CHECK(pirn::WriteActFile(again_path, table, count));
    pirn::u8 again[pirn::kActTableSize];
    pirn::u32 again_count = 0;
    FUZZ_CHECK(pirn::ReadActFile(again_path, again, &again_count));
    FUZZ_CHECK(again_count == count && std::memcmp(again, table, sizeof table) == 0);
    pirn_fuzz::ClearScratchFolder();
    return 0;
}
