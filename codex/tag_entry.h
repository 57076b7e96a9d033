#pragma once
// The Codex's records of one tag (TagEntry), of one place that holds it
// (TagSource: the local folder or an archive entry) and of a keyed
// attachment with a reference count (TagAttachment).

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "codex/tag_header.h"
#include "platform/file_system.h"
#include "platform/types.h"

namespace pirn {

struct Archive;
struct TagEntry;

// Precedence of the local folder's copy, above every archive kind.
constexpr u32 kLocalPrecedence = 3;

struct TagSource {
    Archive* archive = nullptr;  // none for the local folder
    TagHeader header{};          // for a local file: data length = file size - 64
    u32 precedence = 0;
    std::string file_name;       // local sources only: the name in the group folder
    TagEntry* owner = nullptr;
};

struct TagAttachment {
    u32 key = 0;               // four-character key: 'edit', 'tres', 'info', 'sedi'
    u32 reference_count = 0;
    void* value = nullptr;
};

struct TagEntry {
    std::vector<TagAttachment> attachments;
    std::vector<TagSource*> sources;  // in the order they were added
    TagSource* local_source = nullptr;
    u32 group = 0;
    u32 tag_id = 0;

    // A tag file being written: the stream writes a temporary file beside
    // write_path (the writer's) that takes its place only on commit.
    std::FILE* write_stream = nullptr;  // the writer's stream while it is open
    std::unique_ptr<SafeFileWriter> writer;
    std::string write_file_name;
    std::string write_path;

    std::FILE* read_stream = nullptr;
    bool read_stream_is_local = false;
};

using TagList = std::vector<TagEntry*>;

}  // namespace pirn
