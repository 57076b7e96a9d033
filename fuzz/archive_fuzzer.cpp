// Archive and plugin files as the Codex opens them from tags/ and plugins/:
// the 128-byte header or the first-version one, map records, the directory,
// every entry's data read back through the catalogue, unpacking into tag
// files (whose names come from the archive and must stay in their folder),
// and a plugin built from the archive's tags, which must read back with the
// same tags and data.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "codex/codex.h"
#include "codex/plugin_writer.h"
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
        if (!entry.owner) {  // an id that stands for no tag is no tag of the catalogue
            FUZZ_CHECK(header.tag_id == pirn::kNoTagId);
            continue;
        }
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
            FUZZ_CHECK(name == "plugins" || name == "rebuilt" || name == "a" || name == "b" || name == "out");
        }
    }
}

std::vector<u8> EffectiveData(pirn::TagEntry* tag) {
    pirn::TagHeader header;
    std::FILE* stream = pirn::OpenTagForReading(tag, &header);
    FUZZ_CHECK(stream != nullptr);
    std::vector<u8> data(header.data_length);
    FUZZ_CHECK(std::fread(data.data(), 1, data.size(), stream) == data.size());
    pirn::CloseTagForReading(tag);
    return data;
}

void CheckPluginOfItsTags(pirn::Archive* archive) {
    pirn::TagList tags;
    pirn::ListArchiveTags(archive, tags);
    pirn::DropUnavailableTags(tags);
    std::sort(tags.begin(), tags.end());
    tags.erase(std::unique(tags.begin(), tags.end()), tags.end());
    const std::string folder = pirn_fuzz::ScratchFolder() + "/rebuilt/";
    FUZZ_CHECK(pirn::BuildPluginFileInFolder(folder, tags, 6, "Rebuilt", "", 1) == 1);
    pirn::Archive* plugin = pirn::FindArchiveByPath(folder + "Rebuilt");
    FUZZ_CHECK(plugin != nullptr && plugin->entries.size() == tags.size());
    pirn::SetWorkingSet({plugin});
    for (pirn::TagSource& entry : plugin->entries) {
        FUZZ_CHECK(pirn::GetEffectiveSource(entry.owner) == &entry);
        std::FILE* stream = pirn::OpenTagSource(&entry, nullptr);
        FUZZ_CHECK(stream != nullptr);
        std::vector<u8> data(entry.header.data_length);
        FUZZ_CHECK(std::fread(data.data(), 1, data.size(), stream) == data.size());
        pirn::CloseTagForReading(entry.owner);
        pirn::SetWorkingSet({archive});
        FUZZ_CHECK(data == EffectiveData(entry.owner));
        pirn::SetWorkingSet({plugin});
    }
    FUZZ_CHECK(pirn::CloseArchive(plugin) == 1);
    pirn::SetWorkingSet({archive});
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
        // Unpacking and rebuilding write a file per entry: only small
        // archives, to keep the runs fast.
        if (archive->entries.size() <= 8) {
            CheckDisassemblyStaysInside(archive);
            CheckPluginOfItsTags(archive);
        }
        FUZZ_CHECK(pirn::CloseArchive(archive) == 1);
    }
    FUZZ_CHECK(pirn::UnloadCodex() == 1);
    pirn_fuzz::ClearScratchFolder();
    return 0;
}
