// Tag files as the Codex reads them from the local folder: up to four files
// (the input split at "@@file@@"), each given a group folder and a name by
// its first two bytes. The folder is read, every local tag's data is read
// back, one file is rewritten and one removed between polls, a tag is
// copied and the copy deleted, a tag is renamed and renumbered with a name
// and id taken from the input; after all that, and with the duplicates the
// catalogue refused taken away, a fresh scan of the folder must see what the
// running catalogue sees.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "codex/codex.h"
#include "codex/tag_group.h"
#include "codex/tag_source_stream.h"
#include "fuzz/fuzz_support.h"
#include "platform/file_ops.h"

namespace {

using pirn::u8;

struct LocalFile {
    std::string path;
    std::vector<u8> bytes;
};

// Group folders where the readers of the data live, and then every group.
pirn::u32 GroupOf(u8 selector) {
    static const pirn::u32 kFavourites[] = {pirn::MakeFourCC("mesh"), pirn::MakeFourCC(".256"),
                                            pirn::MakeFourCC("dmap"), pirn::MakeFourCC("text"),
                                            pirn::MakeFourCC("soun"), pirn::MakeFourCC("geom")};
    if (selector < 6 * 16) return kFavourites[selector % 6];
    return pirn::GetTagGroupTable()[selector % pirn::kTagGroupCount].code;
}

// A few ordinary names and the ones the scan or the name rules treat apart.
std::string NameOf(u8 selector) {
    static const char* const kNames[] = {"Archer", "archer", "Big Red Dog", "x7",   "x007",
                                         "Thumbs.db", ".hidden", "ruk", "a.b.", "Wall copy"};
    return kNames[selector % 10];
}

std::vector<LocalFile> WriteFiles(const uint8_t* data, size_t size) {
    std::vector<LocalFile> files;
    for (const std::string& part : pirn_fuzz::SplitInput(data, size, "@@file@@", 4)) {
        if (part.size() < 2) continue;
        const std::string relative = "game/local/" + std::string(pirn::GetTagGroupLabel(GroupOf(u8(part[0])))) +
                                     "/" + NameOf(u8(part[1]));
        LocalFile file;
        file.bytes.assign(part.begin() + 2, part.end());
        file.path = pirn_fuzz::WriteScratchFile(relative, file.bytes.data(), file.bytes.size());
        files.push_back(std::move(file));
    }
    return files;
}

// What the catalogue hands out is what the file holds after its header.
void CheckLocalTagsReadBack() {
    pirn::TagList tags;
    pirn::ListLocalTags(tags);
    std::vector<u8> buffer;
    for (pirn::TagEntry* tag : tags) {
        pirn::TagHeader header;
        std::FILE* stream = pirn::OpenTagForReading(tag, &header);
        if (!stream) continue;  // changed under the catalogue: refused, not read
        FUZZ_CHECK(header.group == tag->group && header.tag_id == tag->tag_id && header.name[31] == 0);
        buffer.resize(header.data_length);
        FUZZ_CHECK(std::fread(buffer.data(), 1, buffer.size(), stream) == buffer.size());
        FUZZ_CHECK(std::fgetc(stream) == EOF);
        pirn::CloseTagForReading(tag);
    }
}

void CopyAndDeleteFirstTag() {
    pirn::TagList tags;
    pirn::ListLocalTags(tags);
    if (tags.empty()) return;
    if (pirn::TagEntry* copy = pirn::CopyTag(tags.front(), nullptr)) {
        FUZZ_CHECK(copy->local_source != nullptr);
        FUZZ_CHECK(pirn::DeleteTag(copy) == 1);
    }
}

// The last tag gets the first four bytes of `change` as its id and the rest
// as its name.
void ChangeLastTag(const std::string& change) {
    pirn::TagList tags;
    pirn::ListLocalTags(tags);
    pirn::SortTagList(tags);
    if (tags.empty() || change.size() < 4) return;
    pirn::u32 id = 0;
    for (int i = 0; i < 4; ++i) id = id << 8 | static_cast<u8>(change[i]);
    const std::string name = change.substr(4, 40);
    pirn::TagEntry* changed = pirn::ChangeTagInfo(tags.back(), id, name.empty() ? nullptr : name.c_str());
    if (changed) FUZZ_CHECK(changed->local_source != nullptr);
}

// Every local tag as the catalogue has it: id, file, header.
std::vector<std::string> LocalCatalogue() {
    pirn::TagList tags;
    pirn::ListLocalTags(tags);
    pirn::SortTagList(tags);
    std::vector<std::string> lines;
    for (pirn::TagEntry* tag : tags) {
        const pirn::TagHeader& header = tag->local_source->header;
        lines.push_back(pirn::FourCCToText(tag->group) + pirn::FourCCToText(tag->tag_id) + "|" +
                        tag->local_source->file_name + "|" + header.name + "|" + std::to_string(header.data_length) +
                        "|" + std::to_string(header.version) + "|" + std::to_string(header.user_data));
    }
    return lines;
}

// Of two files with one tag id the first one found stays the local copy:
// the running catalogue keeps the file it had, a fresh scan takes the first
// by name. Which one holds the tag is history, not a fault; the other files
// of the id go before the catalogues are compared.
void RemoveRefusedDuplicates() {
    pirn::TagList tags;
    pirn::ListLocalTags(tags);
    for (pirn::TagEntry* tag : tags) {
        const std::filesystem::path own = pirn::LocalSourcePath(tag->local_source);
        std::error_code error;
        for (const auto& item : std::filesystem::directory_iterator(own.parent_path(), error)) {
            if (item.path().filename() == own.filename() || !item.is_regular_file(error)) continue;
            pirn::u64 size = 0;
            std::FILE* stream = pirn::OpenRegularFileForReading(item.path().string(), &size);
            if (!stream) continue;
            pirn::TagHeader header{};
            const bool same_tag = pirn::ReadLocalTagHeaderOfSize(stream, item.path().filename().string(), size,
                                                                 &header) &&
                                  header.group == tag->group && header.tag_id == tag->tag_id;
            pirn::CloseFileStream(stream);
            if (same_tag) std::filesystem::remove(item.path(), error);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (pirn_fuzz::SilenceLogs(), true);
    (void)ready;
    std::vector<LocalFile> files = WriteFiles(data, size);
    pirn::SetLocalFolder(pirn_fuzz::ScratchFolder() + "/game/local");
    CheckLocalTagsReadBack();
    if (files.size() >= 2) {
        // The first file takes the last one's bytes, then the last one goes.
        const LocalFile& last = files.back();
        pirn_fuzz::WriteScratchFile(files.front().path.substr(pirn_fuzz::ScratchFolder().size() + 1),
                                    last.bytes.data(), last.bytes.size());
        pirn::PollLocalFolder(true);
        CheckLocalTagsReadBack();
        std::error_code error;
        std::filesystem::remove(last.path, error);
        pirn::PollLocalFolder(true);
        CheckLocalTagsReadBack();
    }
    CopyAndDeleteFirstTag();
    if (files.size() >= 2) ChangeLastTag(std::string(files.back().bytes.begin(), files.back().bytes.end()).substr(0, 44));
    pirn::PollLocalFolder(false);
    RemoveRefusedDuplicates();
    pirn::PollLocalFolder(true);
    const std::vector<std::string> running = LocalCatalogue();
    pirn::SetLocalFolder(pirn_fuzz::ScratchFolder() + "/game/local");
    const std::vector<std::string> fresh = LocalCatalogue();
    if (fresh != running) {
        for (const std::string& line : running) std::fprintf(stderr, "running: %s\n", line.c_str());
        for (const std::string& line : fresh) std::fprintf(stderr, "fresh:   %s\n", line.c_str());
    }
    FUZZ_CHECK(fresh == running);
    FUZZ_CHECK(pirn::UnloadCodex() == 1);
    pirn_fuzz::ClearScratchFolder();
    return 0;
}
