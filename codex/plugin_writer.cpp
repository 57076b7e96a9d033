#include "codex/plugin_writer.h"

#include <algorithm>
#include <cstring>

#include "codex/archive.h"
#include "codex/archive_list.h"
#include "codex/codex_catalogue.h"
#include "codex/codex_log.h"
#include "codex/safe_tag_name.h"
#include "codex/tag_source_stream.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "platform/zarn_path.h"

namespace pirn {

namespace {

struct PluginItem {
    u32 group;
    u32 tag_id;
    TagHeader header{};  // the effective copy's, as catalogued
    TagSource* source;
};

bool AnyTagInUse(const Archive* archive) {
    for (const TagSource& source : archive->entries)
        if (source.owner && !source.owner->attachments.empty()) return true;
    return false;
}

// The open archive of the file at path, also when it was opened under
// another spelling of the path ("plugins/./x", a link): left open, it would
// go on reading the replaced file's bytes at its old offsets.
Archive* FindOpenArchiveOfFile(const std::string& path) {
    if (Archive* archive = FindArchiveByPath(path)) return archive;
    FileInfo target;
    if (!StatPath(&target, path) || target.IsFolder()) return nullptr;
    for (u32 i = 0; Archive* archive = GetArchive(i); ++i) {
        FileInfo info;
        if (StatPath(&info, archive->path) && info.device == target.device && info.inode == target.inode)
            return archive;
    }
    return nullptr;
}

// Writes map records, data and directory to `out`; every source is read
// while the catalogue (and any plugin being replaced) is still intact.
bool WritePluginBody(std::FILE* out, std::vector<PluginItem>& items, ArchiveHeader* header,
                     const std::string& path) {
    std::vector<ArchiveMapRecord> maps;
    for (const PluginItem& item : items) {
        if (item.header.group != kMeshGroup) continue;
        ArchiveMapRecord record;
        record.tag_id = item.tag_id;
        std::memcpy(record.name, item.header.name, sizeof(record.name));
        std::memcpy(record.description, item.header.name, sizeof(record.name));
        maps.push_back(record);
    }
    u64 directory = kArchiveHeaderSize + u64{kArchiveMapRecordSize} * maps.size();
    u64 data_position = directory + u64{kTagHeaderSize} * items.size();
    if (maps.size() > 0xFFFF || data_position > 0xFFFFFFFFu) return false;

    u8 zeros[kArchiveHeaderSize] = {};
    if (std::fwrite(zeros, 1, sizeof(zeros), out) != sizeof(zeros)) return false;
    if (!maps.empty() && !WriteArchiveMeshEntries(maps.data(), out, static_cast<u32>(maps.size()))) return false;
    if (::fseeko(out, static_cast<off_t>(data_position), SEEK_SET) != 0) return false;

    std::vector<TagHeader> entries;
    entries.reserve(items.size());
    // Consecutive tags of one archive share one open stream.
    const Archive* open_archive = nullptr;
    std::FILE* archive_stream = nullptr;
    bool ok = true;
    for (PluginItem& item : items) {
        TagHeader entry = item.header;
        std::FILE* source = nullptr;
        bool own_stream = true;
        if (item.source->archive) {
            if (item.source->archive != open_archive) {
                if (archive_stream) CloseFileStream(archive_stream);
                open_archive = item.source->archive;
                archive_stream = OpenRegularFileForReading(open_archive->path, nullptr);
            }
            source = archive_stream;
            own_stream = false;
            if (source && ::fseeko(source, static_cast<off_t>(entry.data_offset), SEEK_SET) != 0) source = nullptr;
        } else {
            source = OpenSourceStream(item.source, &entry);
        }
        if (!source) {
            LogCodex(0, "ERROR: plugin '%s': tag '%s' could not be opened for reading.\n", path.c_str(), entry.name);
            ok = false;
            break;
        }
        if (data_position + entry.data_length > 0xFFFFFFFFu) {
            LogCodex(0, "ERROR: plugin '%s' would pass 4 GiB; not written.\n", path.c_str());
            ok = false;
        } else if (!CopyStreamBytes(out, source, entry.data_length)) {
            LogCodex(0, "ERROR: plugin '%s': the data of tag '%s' could not be copied.\n", path.c_str(), entry.name);
            ok = false;
        }
        if (own_stream) CloseFileStream(source);
        if (!ok) break;
        entry.data_offset = static_cast<u32>(data_position);
        entry.signature = kTagHeaderSignature;
        entries.push_back(entry);
        data_position += entry.data_length;
    }
    if (archive_stream) CloseFileStream(archive_stream);
    if (!ok) return false;

    if (::fseeko(out, static_cast<off_t>(directory), SEEK_SET) != 0) return false;
    if (!entries.empty() && !WriteTagHeaders(entries.data(), out, static_cast<u32>(entries.size()))) return false;

    header->map_record_count = static_cast<u16>(maps.size());
    header->entry_count = static_cast<u16>(items.size());
    header->file_size = static_cast<u32>(data_position);
    header->directory_end = static_cast<u32>(directory + u64{kTagHeaderSize} * items.size());
    header->signature = kArchiveSignature;
    if (::fseeko(out, 0, SEEK_SET) != 0) return false;
    return WriteArchiveHeader(header, out) == kArchiveHeaderSize;
}

}  // namespace

int BuildPluginFileInFolder(const std::string& plugins_folder, const TagList& tags, u32 kind,
                            const std::string& name, const std::string& description, u16 priority) {
    std::string file_name;
    if (!MakeSafePathComponent(name.c_str(), &file_name)) {
        LogCodex(0, "ERROR: '%s' cannot be used as a plugin file name.\n", name.c_str());
        return 0;
    }
    if (IsIgnoredFolderEntryName(file_name)) {
        LogCodex(0, "ERROR: '%s' cannot be a plugin name: the plugins folder skips files of that name.\n",
                 name.c_str());
        return 0;
    }
    std::string folder = EnsureTrailingSlash(plugins_folder);
    if (!MakeDirectory(folder)) {
        LogCodex(0, "ERROR: couldn't create the plugins folder '%s'.\n", folder.c_str());
        return 0;
    }
    std::string path = folder + file_name;
    // A plugin that could not be opened again would replace the old one and
    // then vanish from the catalogue.
    if (kind > 0xFFFF || !ArchiveKindPrecedence(kind, nullptr)) {
        LogCodex(0, "ERROR: plugin '%s' would have kind %u, which is not read.\n", path.c_str(),
                 static_cast<unsigned>(kind));
        return 0;
    }
    if (tags.size() > 0xFFFF) {
        LogCodex(0, "ERROR: plugin '%s' would hold %zu tags; at most 65535 fit.\n", path.c_str(), tags.size());
        return 0;
    }

    Archive* replaced = FindOpenArchiveOfFile(path);
    if (replaced && AnyTagInUse(replaced)) {
        LogCodex(0, "ERROR: plugin '%s' is not replaced: tags of it are in use.\n", path.c_str());
        return 0;
    }

    std::vector<PluginItem> items;
    items.reserve(tags.size());
    for (TagEntry* tag : tags) {
        TagSource* source = GetEffectiveSource(tag);
        if (!source) {
            LogCodex(0, "ERROR: plugin '%s': a tag has no readable copy.\n", path.c_str());
            return 0;
        }
        items.push_back({tag->group, tag->tag_id, source->header, source});
    }
    std::sort(items.begin(), items.end(), [](const PluginItem& a, const PluginItem& b) {
        if (a.group != b.group) return a.group < b.group;
        int names = std::strncmp(a.header.name, b.header.name, sizeof(a.header.name));
        if (names != 0) return names < 0;
        return a.tag_id < b.tag_id;
    });

    ArchiveHeader header;
    header.kind = static_cast<u16>(kind);
    header.priority = kind == 1 ? 0xFFFF : priority;
    std::strncpy(header.name, name.c_str(), sizeof(header.name) - 1);
    std::strncpy(header.description, description.c_str(), sizeof(header.description) - 1);

    SafeFileWriter out;
    if (!out.Open(path)) {
        LogCodex(0, "ERROR: couldn't create plugin file '%s': %s.\n", path.c_str(), out.FailureReason().c_str());
        return 0;
    }
    if (!WritePluginBody(out.stream(), items, &header, path)) {
        out.Abandon();
        return 0;
    }
    items.clear();  // its source pointers die with the archive closed below
    if (!out.Finish()) {
        LogCodex(0, "ERROR: couldn't write plugin file '%s': %s.\n", path.c_str(), out.FailureReason().c_str());
        out.Abandon();
        return 0;
    }
    // The finished file is read before it takes the plugin's name: what
    // cannot be read back must not replace the old plugin, which stays open
    // in the catalogue until the new one is in place.
    Archive* built = OpenArchiveFile(out.temp_path());
    if (!built) {
        LogCodex(0, "ERROR: plugin '%s' could not be read back; not written.\n", path.c_str());
        out.Abandon();
        return 0;
    }
    if (!out.Place(true)) {
        LogCodex(0, "ERROR: couldn't write plugin file '%s': %s.\n", path.c_str(), out.FailureReason().c_str());
        delete built;
        out.Abandon();
        return 0;
    }
    bool was_active = replaced && replaced->active;
    // Checked above that nothing of it is in use, so the close goes through.
    if (replaced && !CloseAndRemoveArchive(replaced))
        LogCodex(0, "ERROR: the replaced plugin '%s' is still listed.\n", path.c_str());
    ArchiveList working_set;
    GetWorkingSet(working_set);
    Archive* added = AddOpenedArchive(built, path);
    if (was_active) {
        working_set.push_back(added);
        SetWorkingSet(working_set);
    }
    return 1;
}

int BuildPluginFile(const TagList& tags, u32 kind, const std::string& name, const std::string& description,
                    u16 priority) {
    return BuildPluginFileInFolder(GetZarnPath() + "plugins/", tags, kind, name, description, priority);
}

}  // namespace pirn
