#include "codex/tag_operations.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "codex/codex_catalogue.h"
#include "codex/codex_events.h"
#include "codex/codex_log.h"
#include "codex/codex_state.h"
#include "codex/local_folder.h"
#include "codex/safe_tag_name.h"
#include "codex/tag_group.h"
#include "codex/tag_source_stream.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "platform/strings.h"

namespace pirn {

namespace {

void MakeHeaderFresh(TagHeader* header, u32 group, u32 tag_id) {
    header->identifier = -1;
    header->type = 0;
    header->group = group;
    header->tag_id = tag_id;
    header->data_offset = kTagHeaderSize;
    header->foundation_index = 0xFF;
    header->owner_index = 0xFF;
    header->signature = kTagHeaderSignature;
}

void FreeIfUnused(TagEntry* tag) {
    if (tag && tag->sources.empty() && tag->attachments.empty()) FreeTagEntry(tag);
}

// Reads the header of the file at path; false when it is not a tag file.
bool ReadTagFileHeader(const std::string& path, TagHeader* header) {
    u64 size = 0;
    std::FILE* stream = OpenRegularFileForReading(path, &size);
    if (!stream) return false;
    bool ok = ReadLocalTagHeaderOfSize(stream, PathFileName(path, false), size, header);
    CloseFileStream(stream);
    return ok;
}

// Whether the file at path is a tag file of another (group, id) than the tag.
bool FileHoldsOtherTag(const std::string& path, const TagEntry* tag) {
    TagHeader header{};
    if (!ReadTagFileHeader(path, &header)) return false;
    return header.group != tag->group || header.tag_id != tag->tag_id;
}

// Gives the finished temporary file of a save its final name: replacing
// only the tag's own file (or a file that is no other tag's), never another
// tag's file.
bool PlaceTagFile(SafeFileWriter& writer, const std::string& target, bool own_file, const TagEntry* tag) {
    if (own_file) return writer.Place(true);
    if (writer.Place(false)) return true;
    if (!PathExists(target, kPathIsFile) || FileHoldsOtherTag(target, tag)) return false;
    return writer.Place(true);
}

// Drops an unfinished write; its temporary file goes with the writer.
void AbandonWrite(TagEntry* tag) {
    tag->writer.reset();
    tag->write_stream = nullptr;
    tag->write_file_name.clear();
    tag->write_path.clear();
}

bool IsTagIdSeparator(char c) { return c && std::strchr(" \t\n()[]{}?!:;-", c) != nullptr; }

// CreateTag's checks and logging.
TagEntry* CreateTagChecked(u32 group, u32 tag_id, const char* name, TagHeader* out, int allow_overwrite) {
    TagHeader header{};
    header.identifier = 0;
    header.flags = 0;
    header.type = 0;
    header.group = group;
    SetTagHeaderName(&header, name ? name : "");
    header.version = 1;
    header.owner_index = 0xFF;
    header.signature = kTagHeaderSignature;

    const char* reason = nullptr;
    std::string safe;
    if (!MakeSafePathComponent(header.name, &safe))
        reason = "The name cannot be used as a file name";
    else if (IsIgnoredFolderEntryName(safe))
        reason = "The local folder skips files of that name";
    if (!reason) {
        header.tag_id = tag_id;
        if (tag_id == kNoTagId && !MakeTagIdFromName(&header)) reason = "No free tagid is left for this name";
    }
    if (!reason) {
        TagEntry* existing = FindTagEntry(group, header.tag_id);
        // An entry that is only in use (a new tag open in an editor, not yet
        // saved) owns its id as much as one with a file.
        if (IsTagTaken(existing)) {
            if (!allow_overwrite)
                reason = "A file with the same tagid already exists";
            else if (!DeleteTag(existing))
                reason = "An existing file could not be overwritten";
        }
    }
    if (!reason && !GetLocalFolder().empty()) {
        TagHeader on_disk{};
        std::string path = GetLocalTagPath(header, safe.c_str());
        if (ReadTagFileHeader(path, &on_disk)) {
            if (!allow_overwrite) {
                reason = "A file with the same name already exists";
            } else {
                TagEntry* holder = FindTag(on_disk.group, on_disk.tag_id);
                if (holder && DeleteTag(holder) && !PathExists(path, kPathAnyKind))
                    header.tag_id = on_disk.tag_id;
                else
                    reason = "An existing file could not be overwritten";
            }
        }
    }
    if (reason) {
        LogCodex(2, "CreateTag(name='%s', tagid='%s', type='%s', allow_overwrite='%s') failed because '%s'.\n",
                 name ? name : "", FourCCToText(tag_id).c_str(), GetTagGroupLabel(group),
                 allow_overwrite ? "True" : "False", reason);
        return nullptr;
    }
    TagEntry* entry = FindOrCreateTagEntry(group, header.tag_id);
    if (out) *out = header;
    return entry;
}

// Writes the local tag file at `from` with a new header to `to`, through a
// temporary file beside `to`: over `from` itself when the two are the same,
// else only where no file has the name `to`. The old file stays until the
// caller removes it. `reason` gets why it failed.
bool WriteTagFileWithHeader(const std::string& from, const std::string& to, const TagHeader& header,
                            bool* placing_failed, std::string* reason) {
    *placing_failed = false;
    u64 size = 0;
    std::FILE* in = OpenRegularFileForReading(from, &size);
    if (!in) {
        *reason = std::strerror(errno);
        return false;
    }
    TagHeader old{};
    TagHeader fresh = header;
    SafeFileWriter out;
    bool ok = ReadLocalTagHeaderOfSize(in, PathFileName(from, false), size, &old);
    if (!ok) *reason = "it is no longer a tag file";
    fresh.data_length = old.data_length;
    fresh.data_offset = kTagHeaderSize;
    fresh.signature = kTagHeaderSignature;
    errno = 0;
    ok = ok && out.Open(to) && WriteTagHeaders(&fresh, out.stream(), 1) == kTagHeaderSize &&
         CopyStreamBytes(out.stream(), in, old.data_length) && out.Finish();
    if (!ok && reason->empty()) {
        *reason = out.FailureReason();
        if (reason->empty()) *reason = std::strerror(errno ? errno : EIO);
    }
    CloseFileStream(in);
    if (!ok) return false;
    if (!out.Place(from == to)) {
        *placing_failed = true;
        *reason = out.FailureReason();
        return false;
    }
    return true;
}

// Moves a local tag file to a new name with a new header, all or nothing:
// the new file is written and given its name (never replacing a file), and
// only then the old one goes; when it cannot, the new one goes again.
bool MoveTagFile(const std::string& from, const std::string& to, const TagHeader& header) {
    bool placing_failed = false;
    std::string reason;
    bool ok = WriteTagFileWithHeader(from, to, header, &placing_failed, &reason);
    if (ok && from != to && !UnlinkFile(from)) {
        reason = std::strerror(errno);
        UnlinkFile(to);
        placing_failed = true;
        ok = false;
    }
    if (ok) return true;
    if (placing_failed && from != to)
        LogCodex(0, "ChangeTagInfo: rename('%s','%s') failed.\n", from.c_str(), to.c_str());
    else
        LogCodex(0, "ChangeTagInfo: header update failed on '%s'.\n", to.c_str());
    LogCodex(0, "ERROR: '%s' is unchanged: %s.\n", from.c_str(), reason.c_str());
    return false;
}

// A tag that only archives hold may give its id up to a renumbered local
// copy, which then takes precedence; a local tag or one in use may not.
bool IsTagIdHeldLocally(const TagEntry* holder) {
    return holder && (holder->local_source || GetTagUseCount(holder) > 0);
}

// Takes a new name or tag id of a tag in the catalogue after its file moved.
void MoveLocalSource(TagEntry* tag, const TagHeader& header, const std::string& file_name) {
    if (header.tag_id == tag->tag_id) {
        tag->local_source->file_name = file_name;
        tag->local_source->header = header;
        NotifyCodexListeners(kCodexSourcesChanged, tag, nullptr);
        return;
    }
    RemoveLocalSource(tag);  // the file now belongs to the new id
    AnnounceLocalTagSource(header, file_name);
}

// Writes one archive entry into folder under `base`, or under the first
// free "base 2", "base 3", ... when a file of that name is there already
// (another tag's saved file, an earlier entry of the same name): an unpack
// never replaces a file. A name taken between the check and the rename
// (by another program) moves on to the next one. False when the entry
// could not be written under any name.
bool UnpackArchiveEntry(std::FILE* in, const TagSource& entry, const TagHeader& header, const std::string& folder,
                        const std::string& base) {
    constexpr int kMaxNameTries = 10000;
    std::string name = base;
    for (int n = 2; n <= kMaxNameTries; ++n) {
        if (!PathExists(folder + name, kPathAnyKind)) {
            SafeFileWriter out;
            bool written = out.Open(folder + name) && WriteTagHeaders(&header, out.stream(), 1) == kTagHeaderSize &&
                           ::fseeko(in, static_cast<off_t>(entry.header.data_offset), SEEK_SET) == 0 &&
                           CopyStreamBytes(out.stream(), in, entry.header.data_length);
            if (written && out.Commit(false)) {
                if (name != base)
                    LogCodex(1, "INFO: '%s' already exists; '%s' was unpacked as '%s'.\n", (folder + base).c_str(),
                             header.name, (folder + name).c_str());
                return true;
            }
            out.Abandon();
            if (!written || !PathExists(folder + name, kPathAnyKind)) break;
        }
        name = FormatString("%s %d", base.c_str(), n);
    }
    LogCodex(0, "couldn't open tag file '%s' for writing\n", name.c_str());
    return false;
}

}  // namespace

// --- Reading -----------------------------------------------------------------

std::FILE* OpenTagSource(TagSource* source, TagHeader* header) {
    if (!source || !source->owner) return nullptr;
    TagEntry* tag = source->owner;
    CloseTagForReading(tag);
    std::FILE* stream = OpenSourceStream(source, header);
    if (!stream) return nullptr;
    tag->read_stream = stream;
    tag->read_stream_is_local = source->archive == nullptr;
    return stream;
}

std::FILE* OpenTagForReading(TagEntry* tag, TagHeader* header) {
    if (!tag) return nullptr;
    return OpenTagSource(GetEffectiveSource(tag), header);
}

void CloseTagForReading(TagEntry* tag) {
    if (!tag) return;
    if (tag->read_stream) CloseFileStream(tag->read_stream);
    tag->read_stream = nullptr;
    tag->read_stream_is_local = false;
}

// --- Writing -----------------------------------------------------------------

int CreateTagFile(const std::string& root, TagEntry* tag, const TagHeader& header, const char* file_name) {
    if (!tag || root.empty()) return 0;
    std::string folder_root = EnsureTrailingSlash(root);
    bool in_local_root = folder_root == GetLocalFolder();
    const TagSource* local = in_local_root ? tag->local_source : nullptr;

    std::string name;
    bool name_ok = true;
    if (file_name && local && local->file_name == file_name) {
        name = file_name;  // the tag's own file keeps its name as it is on disk
    } else if (file_name) {
        name_ok = MakeSafePathComponent(file_name, &name);
        if (name_ok && IsIgnoredFolderEntryName(name)) name = "_" + name;  // the folder scans would skip it
    } else {
        name = SafeTagFileName(header.name, tag->tag_id);
    }
    const char* shown = file_name ? file_name : header.name;
    if (!name_ok) {
        LogCodex(0, "couldn't open tag file '%s' for writing\n", shown);
        return 0;
    }

    std::string folder = folder_root + GroupFolderName(tag->group) + "/";
    std::string path = folder + name;
    bool own_file = local && local->file_name == name;
    if (!own_file && FileHoldsOtherTag(path, tag)) {
        LogCodex(0, "ERROR: '%s' holds another tag; it is not overwritten.\n", path.c_str());
        LogCodex(0, "couldn't open tag file '%s' for writing\n", name.c_str());
        return 0;
    }
    AbandonWrite(tag);
    // The temporary file lies beside the target, so that placing it is a
    // rename within one file system even when a group folder is a link or
    // a mount onto another disk.
    auto writer = std::make_unique<SafeFileWriter>();
    bool made = MakeDirectory(folder);
    std::string reason = made ? std::string() : std::strerror(errno);
    if (made && !writer->Open(path, true)) {
        made = false;
        reason = writer->FailureReason();
    }
    TagHeader written = header;
    if (made && WriteTagHeaders(&written, writer->stream(), 1) != kTagHeaderSize) {
        made = false;
        reason = std::strerror(errno ? errno : EIO);
    }
    if (!made) {
        LogCodex(0, "ERROR: '%s' cannot be written: %s.\n", path.c_str(), reason.c_str());
        LogCodex(0, "couldn't open tag file '%s' for writing\n", name.c_str());
        return 0;
    }
    tag->write_stream = writer->stream();
    tag->writer = std::move(writer);
    tag->write_file_name = name;
    tag->write_path = path;
    return 1;
}

std::FILE* OpenTagForWriting(TagEntry* tag, TagHeader* header, const char* file_name) {
    if (!tag || !header) return nullptr;
    MakeHeaderFresh(header, tag->group, tag->tag_id);
    if (GetLocalFolder().empty()) {
        LogCodex(0, "couldn't open tag file '%s' for writing\n", file_name ? file_name : header->name);
        FreeIfUnused(tag);
        return nullptr;
    }
    const char* name = file_name;
    if (!name && tag->local_source) name = tag->local_source->file_name.c_str();
    std::string name_copy = name ? name : "";
    if (!CreateTagFile(GetLocalFolder(), tag, *header, name ? name_copy.c_str() : nullptr)) {
        // Only a brand-new tag goes; an existing tag's file is never touched.
        FreeIfUnused(tag);
        return nullptr;
    }
    return tag->write_stream;
}

int CloseTagForWriting(TagEntry* tag, const TagHeader* header, int commit) {
    if (!tag) return 0;
    std::FILE* stream = tag->write_stream;
    bool ok = false;
    TagHeader written{};
    if (commit && stream) {
        errno = 0;
        // A write that failed while the data was written (a full disk
        // under a large tag) marks the stream; the rewinds below would
        // clear the mark, and the torn file would replace the old one.
        ok = std::fflush(stream) == 0 && !std::ferror(stream) && ::fseeko(stream, 0, SEEK_END) == 0;
        off_t size = ok ? ::ftello(stream) : -1;
        ok = ok && size >= static_cast<off_t>(kTagHeaderSize) &&
             static_cast<u64>(size) - kTagHeaderSize <= 0xFFFFFFFFu;
        if (ok) {
            std::rewind(stream);
            ok = ReadTagHeaders(&written, stream, 1) == kTagHeaderSize && HasTagHeaderSignature(written);
        }
        if (ok) {
            if (std::strstr(written.name, "ruk made this")) {
                std::memset(written.name, 0, sizeof(written.name));
                std::strncpy(written.name, tag->write_file_name.c_str(), sizeof(written.name) - 1);
            }
            written.data_length = static_cast<u32>(static_cast<u64>(size) - kTagHeaderSize);
            if (header) {
                written.user_data = header->user_data;
                written.version = header->version;
                written.foundation_index = header->foundation_index;
                written.owner_index = header->owner_index;
            }
            written.signature = kTagHeaderSignature;
            std::rewind(stream);
            ok = WriteTagHeaders(&written, stream, 1) == kTagHeaderSize;
        }
        if (!ok) LogCodex(0, "ERROR: couldn't save '%s': %s; the file there was kept.\n", tag->write_path.c_str(),
                          std::strerror(errno ? errno : EIO));
    }
    // Only a file written into the local folder is the tag's local copy.
    bool into_local = tag->write_path == GetLocalFolder() + GroupFolderName(tag->group) + "/" + tag->write_file_name;
    // A second file of a tag that has its local file already would be
    // refused by the catalogue after it was placed: refuse it before.
    if (ok && into_local && tag->local_source && tag->local_source->file_name != tag->write_file_name) {
        LogCodex(0, "ERROR: couldn't save '%s': the tag's local file is '%s'; the file there was kept.\n",
                 tag->write_path.c_str(), tag->local_source->file_name.c_str());
        ok = false;
    }
    if (ok && tag->writer) {
        bool own_file = into_local && tag->local_source && tag->local_source->file_name == tag->write_file_name;
        SafeFileWriter& writer = *tag->writer;
        ok = writer.Finish() && PlaceTagFile(writer, tag->write_path, own_file, tag);
        if (!ok) {
            std::string reason = writer.FailureReason();
            if (reason.empty()) reason = "another tag's file has that name";
            LogCodex(0, "ERROR: couldn't save '%s': %s; the file there was kept.\n", tag->write_path.c_str(),
                     reason.c_str());
        }
    }
    if (ok && into_local) {
        if (tag->local_source)
            tag->local_source->header = written;
        else
            ok = AddLocalTagSource(written, tag->write_file_name) != nullptr;
    }
    AbandonWrite(tag);
    MarkLocalFolderChanged();
    return ok ? 1 : 0;
}

// --- Creating, changing, copying, deleting -------------------------------------

TagEntry* CreateTag(u32 group, u32 tag_id, const char* name, TagHeader* header, int allow_overwrite) {
    return CreateTagChecked(group, tag_id, name, header, allow_overwrite);
}

int MakeTagIdFromName(TagHeader* header) {
    char id[4] = {' ', ' ', ' ', ' '};
    const char* text = header->name;
    size_t length = strnlen(text, sizeof(header->name));
    size_t position = 0;
    int words = 0;
    for (size_t i = 0; i < length && position < 4;) {
        while (i < length && IsTagIdSeparator(text[i])) ++i;
        size_t start = i;
        while (i < length && !IsTagIdSeparator(text[i])) ++i;
        if (i == start) break;
        for (size_t k = 0; k < 4 - position && start + k < i; ++k) id[position + k] = text[start + k];
        position = words == 0 ? 2 : position + 1;
        ++words;
    }
    u32 value = (u32{static_cast<u8>(id[0])} << 24) | (u32{static_cast<u8>(id[1])} << 16) |
                (u32{static_cast<u8>(id[2])} << 8) | u32{static_cast<u8>(id[3])};
    // 0xFFFFFFFF means "no tag" and 0xFFFFFFFE "keep the id": neither may
    // become a tag's id.
    while (value < kKeepTagId && IsTagTaken(FindTagEntry(header->group, value))) ++value;
    if (value >= kKeepTagId) return 0;
    header->tag_id = value;
    return 1;
}

TagEntry* ChangeTagInfo(TagEntry* tag, u32 new_tag_id, const char* new_name) {
    if (!tag) return nullptr;
    bool keep_id = new_tag_id >= kKeepTagId;
    if (keep_id && !new_name) return tag;
    const u32 group = tag->group;
    // Everything that can be refused is refused before anything is written.
    std::string safe;
    if (new_name) {
        TagHeader named{};
        SetTagHeaderName(&named, new_name);
        if (!MakeSafePathComponent(named.name, &safe)) {
            LogCodex(0, "ChangeTagInfo: '%s' cannot be used as a file name.\n", new_name);
            return nullptr;
        }
        if (IsIgnoredFolderEntryName(safe)) {
            LogCodex(2, "ChangeTagInfo: '%s' cannot be a tag name: the local folder skips files of that name.\n",
                     new_name);
            return nullptr;
        }
    }
    if (!keep_id && new_tag_id != tag->tag_id && IsTagIdHeldLocally(FindTagEntry(group, new_tag_id))) {
        LogCodex(0, "ChangeTagInfo: the tagid '%s' is already taken in '%s'.\n", FourCCToText(new_tag_id).c_str(),
                 GetTagGroupLabel(group));
        return nullptr;
    }
    TagEntry* copy = nullptr;
    if (!tag->local_source) {
        copy = CopyTag(tag, nullptr);
        if (!copy) return nullptr;
        PollLocalFolder(true);
        tag = copy;
        if (!tag->local_source) return nullptr;
    }
    TagSource* local = tag->local_source;
    TagHeader header = local->header;
    if (new_name) SetTagHeaderName(&header, new_name);
    if (!keep_id) header.tag_id = new_tag_id;
    header.signature = kTagHeaderSignature;
    const std::string old_path = LocalSourcePath(local);
    const std::string file_name = new_name ? safe : local->file_name;
    const std::string path = GetLocalFolder() + GroupFolderName(group) + "/" + file_name;
    if (!MoveTagFile(old_path, path, header)) {
        // A copy made only to be renamed goes again.
        if (copy) DeleteTag(copy);
        return nullptr;
    }
    MoveLocalSource(tag, header, file_name);
    MarkLocalFolderChanged();
    PollLocalFolder(true);
    TagEntry* result = FindTag(group, header.tag_id);
    if (!result)
        LogCodex(0, "ChangeTagInfo: the tag '%s' of '%s' was not found after the change.\n",
                 FourCCToText(header.tag_id).c_str(), GetTagGroupLabel(group));
    return result;
}

TagEntry* CopyTag(TagEntry* tag, const char* name) {
    if (!IsTagAvailable(tag) || GetLocalFolder().empty()) return nullptr;
    TagHeader original{};
    GetTagHeader(tag, &original);
    std::string base = name ? name : std::string(original.name, strnlen(original.name, sizeof(original.name)));
    constexpr size_t kMaxName = sizeof(TagHeader::name) - 1;

    TagHeader header{};
    TagEntry* copy = nullptr;
    // The plain name (or "name copy"), then "name copy 1" to "name copy 100";
    // every refusal is logged as CreateTag logs it.
    constexpr int kLastCopyNumber = 100;
    for (int number = 0; number <= kLastCopyNumber && !copy; ++number) {
        std::string suffix;
        if (number > 0)
            suffix = FormatString(" copy %d", number);
        else if (!name)
            suffix = " copy";
        // Shorten the base, not the suffix, so long names still find a copy name.
        std::string candidate = base.substr(0, kMaxName > suffix.size() ? kMaxName - suffix.size() : 0) + suffix;
        copy = CreateTag(original.group, kNoTagId, candidate.c_str(), &header, 0);
    }
    if (!copy) return nullptr;

    header.flags = original.flags;
    header.user_data = original.user_data;
    header.version = original.version;
    MakeHeaderFresh(&header, copy->group, copy->tag_id);
    if (!CreateTagFile(GetLocalFolder(), copy, header, nullptr)) {
        FreeIfUnused(copy);
        return nullptr;
    }
    TagHeader source_header{};
    std::FILE* in = OpenTagForReading(tag, &source_header);
    // Success is whether every byte arrived, so an empty tag copies too.
    bool copied = in && CopyStreamBytes(copy->write_stream, in, source_header.data_length);
    CloseTagForReading(tag);
    if (!CloseTagForWriting(copy, &original, copied ? 1 : 0)) {
        FreeIfUnused(copy);
        return nullptr;
    }
    return copy;
}

int CopyTagToLocal(TagEntry* tag) {
    if (!tag || tag->local_source || GetLocalFolder().empty()) return 0;
    TagHeader header{};
    std::FILE* in = OpenTagForReading(tag, &header);
    if (!in) return 0;
    TagHeader fresh = header;
    MakeHeaderFresh(&fresh, tag->group, tag->tag_id);
    std::string file_name = SafeTagFileName(header.name, tag->tag_id);
    int ok = 0;
    if (CreateTagFile(GetLocalFolder(), tag, fresh, file_name.c_str())) {
        bool copied = CopyStreamBytes(tag->write_stream, in, header.data_length);
        ok = CloseTagForWriting(tag, nullptr, copied ? 1 : 0);
    }
    CloseTagForReading(tag);
    return ok;
}

int DeleteTag(TagEntry* tag) {
    if (!tag || !tag->attachments.empty()) return 0;
    if (!tag->local_source) {
        if (tag->sources.empty()) FreeTagEntry(tag);
        return 0;
    }
    u32 group = tag->group;
    u32 tag_id = tag->tag_id;
    std::string file_name = tag->local_source->file_name;
    std::string path = LocalSourcePath(tag->local_source);
    bool removed = UnlinkFile(path);
    MarkLocalFolderChanged();
    PollLocalFolder(true);
    // A file saved and deleted between two polls was never seen by the
    // watcher; drop its source here.
    TagEntry* still = FindTagEntry(group, tag_id);
    if (still && still->local_source && still->local_source->file_name == file_name &&
        !PathExists(path, kPathAnyKind))
        RemoveLocalSource(still);
    return removed ? 1 : 0;
}

int DisassembleArchive(Archive* archive, const std::string& destination) {
    if (!archive || destination.empty()) return 0;
    std::FILE* in = OpenRegularFileForReading(archive->path, nullptr);
    if (!in) {
        LogCodex(0, "ERROR: couldn't open archive '%s' for reading\n", archive->path.c_str());
        return 0;
    }
    std::string root = EnsureTrailingSlash(destination);
    bool all_written = true;
    for (const TagSource& entry : archive->entries) {
        TagHeader header = entry.header;
        MakeHeaderFresh(&header, header.group, header.tag_id);
        std::string folder = root + GroupFolderName(header.group) + "/";
        std::string base = SafeTagFileName(header.name, header.tag_id);
        if (!MakeDirectory(folder)) {
            LogCodex(0, "couldn't open tag file '%s' for writing\n", base.c_str());
            all_written = false;
            continue;
        }
        if (!UnpackArchiveEntry(in, entry, header, folder, base)) all_written = false;
    }
    CloseFileStream(in);
    return all_written ? 1 : 0;
}

u32 CopyStreamData(std::FILE* destination, std::FILE* source, u32 n) {
    if (n == 0) return 0;
    return CopyStreamBytes(destination, source, n) ? n : 0;
}

}  // namespace pirn
