// The 64-byte tag header in both layouts: identification from the first
// bytes of a file, stream reading of several headers, and names taken from
// headers made into file names.

#include <cstdio>
#include <cstring>
#include <string>

#include "codex/tag_header.h"
#include "fuzz/fuzz_support.h"
#include "platform/scratch_stream.h"

namespace {

using pirn::TagHeader;
using pirn::u32;

// Headers written and read again come back field for field (a converted
// header comes back in the current layout).
void CheckRewriteReadsBack(const TagHeader* headers, u32 n) {
    std::FILE* out = pirn::OpenScratchFile();
    FUZZ_CHECK(out != nullptr);
    FUZZ_CHECK(pirn::WriteTagHeaders(headers, out, n) == n * pirn::kTagHeaderSize);
    std::rewind(out);
    TagHeader again[8];
    FUZZ_CHECK(pirn::ReadTagHeaders(again, out, n) == n * pirn::kTagHeaderSize);
    std::fclose(out);
    for (u32 i = 0; i < n; ++i) {
        TagHeader expected = headers[i];
        expected.signature = pirn::kTagHeaderSignature;
        FUZZ_CHECK(std::memcmp(&expected, &again[i], sizeof(TagHeader)) == 0);
    }
}

void CheckStreamReading(const uint8_t* data, size_t size) {
    const u32 n = static_cast<u32>(std::min<size_t>(size / pirn::kTagHeaderSize, 8));
    if (n == 0) return;
    std::FILE* in = pirn::OpenBytesForReading(data, size);
    FUZZ_CHECK(in != nullptr);
    TagHeader headers[8];
    u32 read = pirn::ReadTagHeaders(headers, in, n);
    FUZZ_CHECK(read == 0 || read == n * pirn::kTagHeaderSize);
    if (read) {
        for (u32 i = 0; i < n; ++i) FUZZ_CHECK(headers[i].name[31] == 0);
        CheckRewriteReadsBack(headers, n);
    }
    std::rewind(in);
    TagHeader old[8];
    if (pirn::ReadOldTagHeaders(old, in, n)) CheckRewriteReadsBack(old, n);
    std::fclose(in);
}

void CheckNameRules(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), std::min<size_t>(size, 64));
    TagHeader header{};
    pirn::SetTagHeaderName(&header, text.c_str());
    FUZZ_CHECK(header.name[31] == 0);
    std::string safe;
    if (pirn::MakeSafePathComponent(text.c_str(), &safe)) {
        FUZZ_CHECK(!safe.empty() && safe != "." && safe != ".." && safe.size() <= pirn::kTagNameMax);
        FUZZ_CHECK(safe.find('/') == std::string::npos && safe.find('\\') == std::string::npos);
        FUZZ_CHECK(pirn::IsSafePathComponent(safe));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TagHeader header;
    if (pirn::ParseTagHeader(&header, data, size, size)) {
        FUZZ_CHECK(size >= pirn::kTagHeaderSize && header.data_length == size - pirn::kTagHeaderSize);
        FUZZ_CHECK(pirn::HasTagHeaderSignature(header) && header.name[31] == 0);
    }
    CheckStreamReading(data, size);
    CheckNameRules(data, size);
    return 0;
}
