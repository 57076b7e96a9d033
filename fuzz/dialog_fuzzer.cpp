// The data of a dialog ('bina') tag as DialogEdit reads it: the header, the
// control records and one text per control. A dialog that reads fits the
// file's fields and writes; what it writes reads back to the same dialog
// and writes the same bytes.

#include <cstdio>
#include <vector>

#include "editors/dialog_data.h"
#include "fuzz/fuzz_support.h"
#include "platform/scratch_stream.h"

namespace {

std::vector<pirn::u8> Written(const pirn::DialogData& dialog) {
    std::FILE* out = pirn::OpenScratchFile();
    FUZZ_CHECK(out != nullptr);
    const pirn::u32 length = pirn::WriteDialog(dialog, out);
    FUZZ_CHECK(length > 0);
    std::vector<pirn::u8> bytes(length);
    std::rewind(out);
    FUZZ_CHECK(std::fread(bytes.data(), 1, bytes.size(), out) == bytes.size());
    std::fclose(out);
    return bytes;
}

bool Read(pirn::DialogData* dialog, const std::vector<pirn::u8>& bytes) {
    std::vector<pirn::u8> copy = bytes;
    copy.push_back(0);  // a stream needs at least one byte
    std::FILE* in = pirn::OpenBytesForReading(copy.data(), bytes.size() + 1);
    FUZZ_CHECK(in != nullptr);
    const pirn::u32 read = pirn::ReadDialog(dialog, in, pirn::u32(bytes.size()));
    std::fclose(in);
    if (read) FUZZ_CHECK(read <= bytes.size());
    return read != 0;
}

bool SameDialog(const pirn::DialogData& a, const pirn::DialogData& b) {
    if (a.version != b.version || a.rect != b.rect || a.controls.size() != b.controls.size()) return false;
    for (size_t i = 0; i < a.controls.size(); ++i) {
        const pirn::DialogControl& x = a.controls[i];
        const pirn::DialogControl& y = b.controls[i];
        if (x.type != y.type || x.id != y.id || x.rect != y.rect || x.text != y.text) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pirn::DialogData dialog;
    if (!Read(&dialog, std::vector<pirn::u8>(data, data + size))) return 0;
    FUZZ_CHECK(pirn::DialogFitsFile(dialog));
    const std::vector<pirn::u8> first = Written(dialog);
    pirn::DialogData reread;
    FUZZ_CHECK(Read(&reread, first) && SameDialog(dialog, reread));
    FUZZ_CHECK(Written(reread) == first);
    return 0;
}
