// Archive and plugin files as the Codex opens them from tags/ and plugins/:
// the 128-byte header or the first-version one, map records, the directory,
// every entry's data read back through the catalogue, and unpacking into
// tag files, whose names come from the archive and must stay in their folder.

#include <cstring>
#include <filesystem>
#include <vector>

#include "codex/codex.h"
#include "fuzz/fuzz_support.h"

namespace {

using pirn::u64;
using pirn::u8;

// Every entry's bytes as the catalogue hands them out equal the file's.
void CheckEntriesReadBack(pirn::Archive* archive, const uint8_t* data, size_t size) {
    std::vector<u8> buffer;
    for (pirn::TagSource& entry : archive->entries) {
        const pirn::TagHeader& header = entry.header;
        FUZZ_CHECK(u64{header.data_offset} + header.data_length <= size);
        std::FILE* stream = pirn::OpenTagSource(&entry, nullptr);
        FUZZ_CHECK(stream != nullptr);
        buffer.resize(header.data_length);
        FUZZ_CHECK(std::fread(buffer.data(), 1, buffer.size(), stream) == buffer.size());
        FUZZ_CHECK(buffer.empty() || std::memcmp(buffer.data(), data + header.data_offset, buffer.size()) == 0);
        pirn::CloseTagForReading(entry.owner);
    }
}

// Unpacked files land inside out/ only.
void CheckDisassemblyStaysInside(pirn::Archive* archive) {
    namespace fs = std::filesystem;
    const std::string root = pirn_fuzz::ScratchFolder() + "/a/b";
    pirn::DisassembleArchive(archive, root + "/out");
    std::error_code error;
    for (const std::string& folder : {pirn_fuzz::ScratchFolder(), pirn_fuzz::ScratchFolder() + "/a", root}) {
        for (const auto& item : fs::directory_iterator(folder, error)) {
            std::string name = item.path().filename().string();
            FUZZ_CHECK(name == "plugins" || name == "a" || name == "b" || name == "out");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (pirn_fuzz::SilenceLogs(), true);
    (void)ready;
    pirn::ArchiveHeader header;
    const int parsed = pirn::ParseArchiveHeader(&header, data, size, size);

    std::string path = pirn_fuzz::WriteScratchFile("plugins/archive", data, size);
    pirn::Archive* archive = pirn::AddArchive(path);
    if (archive) {
        FUZZ_CHECK(parsed == 1);
        FUZZ_CHECK(archive->entries.size() == archive->header.entry_count);
        pirn::SetWorkingSet({archive});
        CheckEntriesReadBack(archive, data, size);
        // Unpacking writes a file per entry: only small archives, to keep the
        // runs fast.
        if (archive->entries.size() <= 8) CheckDisassemblyStaysInside(archive);
        FUZZ_CHECK(pirn::CloseArchive(archive) == 1);
    }
    FUZZ_CHECK(pirn::UnloadCodex() == 1);
    pirn_fuzz::ClearScratchFolder();
    return 0;
}
