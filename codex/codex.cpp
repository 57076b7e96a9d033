#include "codex/codex.h"

#include <any>

#include "codex/codex_state.h"
#include "platform/image_file.h"

namespace pirn {

namespace {

bool RecogniseTagFile(const u8* bytes, size_t length, u64 file_size, std::any* parsed) {
    TagHeader header{};
    if (!ParseTagHeader(&header, bytes, length, file_size)) return false;
    *parsed = header;
    return true;
}

bool RecogniseArchive(const u8* bytes, size_t length, u64 file_size, std::any* parsed) {
    ArchiveHeader header{};
    if (!ParseArchiveHeader(&header, bytes, length, file_size)) return false;
    *parsed = header;
    return true;
}

}  // namespace

int UnloadCodex() {
    int released = CloseAllArchives();
    if (!DropLocalTags()) return 0;
    FreeUnusedTagEntries();
    CodexState& codex = TheCodex();
    FreeFolderWatchers(codex.watchers);
    codex.local_folder_changed = false;
    return released;
}

void RegisterCodexFileKinds() {
    SetTagHeaderRecogniser(RecogniseTagFile);
    SetArchiveHeaderRecogniser(RecogniseArchive);
}

}  // namespace pirn
