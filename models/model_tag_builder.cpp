#include "models/model_tag_builder.h"

#include <array>

#include "codex/codex_catalogue.h"
#include "codex/local_folder.h"
#include "codex/safe_tag_name.h"
#include "codex/tag_group.h"
#include "codex/tag_operations.h"
#include "models/geom_from_model.h"
#include "models/model_tag_set.h"
#include "platform/file_system.h"
#include "platform/strings.h"

namespace pirn {

const char* const kReplaceModelTagsCaption = "Replace?";

std::string ReplaceModelTagsText(const std::string& name, const std::string& labels) {
    return FormatString("Local tags named '%s' already exist (%s). Replace them with the imported model?",
                        name.c_str(), labels.c_str());
}

namespace {

// One of the four tags through the steps of the build.
struct PlannedTag {
    u32 group = 0;
    std::string path;             // its file in the local folder
    TagEntry* entry = nullptr;
    bool replaces = false;        // a file is at the path already
    bool own_entry = false;       // the entry was made here (no file before)
    std::vector<u8> old_bytes;    // that file as it was, to put back
    bool had_local_source = false;
    TagHeader old_header{};       // the catalogue's header of the file
    TagHeader header{};           // the header written
    bool writing = false;
    bool committed = false;
};

using Plan = std::array<PlannedTag, kModelTagCount>;

const char* SingularLabel(u32 group) {
    const TagGroupInfo* info = FindTagGroup(group);
    return info ? info->singular_label : GetTagGroupLabel(group);
}

bool Fail(std::string* message, const std::string& text) {
    if (message) *message = text;
    return false;
}

TagEntry* FindLocalTagByFileName(u32 group, const std::string& file_name) {
    TagList local;
    ListLocalTags(local);
    for (TagEntry* tag : local) {
        if (tag->group == group && tag->local_source && tag->local_source->file_name == file_name) return tag;
    }
    return nullptr;
}

// Finds what is already in the local folder under the name: the tags that
// hold those files, and files that hold no tag at all.
bool SurveyLocalFolder(const std::string& safe_name, Plan* plan, std::string* message) {
    PollLocalFolder(true);
    for (int kind = 0; kind < kModelTagCount; ++kind) {
        PlannedTag& tag = (*plan)[kind];
        tag.group = ModelTagGroup(kind);
        tag.path = GetLocalFolder() + GroupFolderName(tag.group) + "/" + safe_name;
        tag.replaces = PathExists(tag.path, kPathAnyKind);
        if (!tag.replaces) continue;
        if (!PathExists(tag.path, kPathIsFile))
            return Fail(message, FormatString("'%s' is a folder, not a tag file.", tag.path.c_str()));
        tag.entry = FindLocalTagByFileName(tag.group, safe_name);
        if (tag.entry && !tag.entry->attachments.empty())
            return Fail(message, FormatString("The %s '%s' is in use (open in an editor); it was not replaced.",
                                              SingularLabel(tag.group), safe_name.c_str()));
    }
    return true;
}

// One question for every local tag that would be replaced.
bool AskToReplace(const std::string& name, const Plan& plan, UserPrompts& prompts) {
    std::string labels;
    for (const PlannedTag& tag : plan) {
        if (!tag.replaces) continue;
        if (!labels.empty()) labels += ", ";
        labels += SingularLabel(tag.group);
    }
    if (labels.empty()) return true;
    return prompts.Ask(kReplaceModelTagsCaption, ReplaceModelTagsText(name, labels), {"Replace", "Cancel"}) == 0;
}

// Gives every tag its entry: the one already holding its file, or a new one
// with an id made from the name. Files that will be replaced are read now
// so that a failure can put them back.
bool ChooseEntries(const std::string& name, Plan* plan, std::string* message) {
    for (PlannedTag& tag : *plan) {
        if (tag.replaces && !ReadFileBytes(tag.path, tag.old_bytes, false))
            return Fail(message, FormatString("'%s' could not be read; it was not replaced.", tag.path.c_str()));
        if (tag.entry) {
            tag.had_local_source = tag.entry->local_source != nullptr;
            if (tag.had_local_source) tag.old_header = tag.entry->local_source->header;
            // Only the id and the file stay: the rest is the new tag's.
            tag.header = TagHeader{};
            tag.header.version = 1;
            continue;
        }
        tag.entry = CreateTag(tag.group, kNoTagId, name.c_str(), &tag.header, 0);
        if (!tag.entry)
            return Fail(message, FormatString("The %s '%s' could not be created (see the Codex log).",
                                              SingularLabel(tag.group), name.c_str()));
        tag.own_entry = true;
    }
    return true;
}

// Writes each tag into its temporary file; none replaces anything yet.
bool WriteAll(ModelTagSet* set, const std::string& name, Plan* plan, std::string* message) {
    for (int kind = 0; kind < kModelTagCount; ++kind) {
        PlannedTag& tag = (*plan)[kind];
        SetTagHeaderName(&tag.header, name.c_str());
        std::FILE* stream = OpenTagForWriting(tag.entry, &tag.header, nullptr);
        if (!stream) {
            // A failed open frees an entry nothing else holds.
            if (tag.own_entry) tag.entry = nullptr;
            return Fail(message, FormatString("The %s '%s' could not be opened for writing.",
                                              SingularLabel(tag.group), name.c_str()));
        }
        tag.writing = true;
        if (!WriteModelTagData(set, kind, stream, &tag.header))
            return Fail(message, FormatString("The %s '%s' could not be written.", SingularLabel(tag.group),
                                              name.c_str()));
    }
    return true;
}

// Puts the file back as it was and the catalogue with it.
void Restore(PlannedTag& tag) {
    if (tag.own_entry && tag.entry) {
        // A file that held no tag: the new tag's source goes with it.
        DeleteTag(tag.entry);
        tag.entry = nullptr;
    }
    if (!tag.replaces) return;
    WriteFileSafely(tag.path, tag.old_bytes.data(), tag.old_bytes.size());
    if (tag.entry && tag.entry->local_source && tag.had_local_source) tag.entry->local_source->header = tag.old_header;
}

void RollBack(Plan* plan) {
    for (PlannedTag& tag : *plan) {
        if (tag.writing && !tag.committed) CloseTagForWriting(tag.entry, nullptr, 0);
        tag.writing = false;
        if (tag.committed) {
            if (tag.replaces)
                Restore(tag);
            else if (tag.entry)
                DeleteTag(tag.entry);
            tag.entry = nullptr;
        }
        if (tag.own_entry && tag.entry && tag.entry->sources.empty() && tag.entry->attachments.empty())
            FreeTagEntry(tag.entry);
    }
    MarkLocalFolderChanged();
    PollLocalFolder(true);
}

bool CommitAll(Plan* plan, std::string* message) {
    for (PlannedTag& tag : *plan) {
        tag.writing = false;
        if (CloseTagForWriting(tag.entry, &tag.header, 1) != 1)
            return Fail(message, FormatString("'%s' could not be saved.", tag.path.c_str()));
        tag.committed = true;
    }
    return true;
}

}  // namespace

TagEntry* BuildModelTags(const ModelObject& model, const std::string& name, UserPrompts& prompts,
                         ModelTagsOutcome* outcome, std::string* message) {
    *outcome = ModelTagsOutcome::kFailed;
    std::string safe_name;
    if (!MakeSafePathComponent(name.c_str(), &safe_name)) {
        Fail(message, FormatString("'%s' cannot be used as a tag name.", name.c_str()));
        return nullptr;
    }
    if (GetLocalFolder().empty()) {
        Fail(message, "There is no local folder to write the tags into.");
        return nullptr;
    }
    // Before anything is asked or made: a model the tags cannot hold.
    if (!CheckModelFitsGeom(model, message)) return nullptr;
    Plan plan;
    if (!SurveyLocalFolder(safe_name, &plan, message)) return nullptr;
    if (!AskToReplace(name, plan, prompts)) {
        *outcome = ModelTagsOutcome::kCancelled;
        return nullptr;
    }
    ModelTagSet set;
    ModelTagIds ids;
    bool built = ChooseEntries(name, &plan, message);
    if (built) {
        for (int kind = 0; kind < kModelTagCount; ++kind) ids.id[kind] = plan[kind].entry->tag_id;
        built = BuildModelTagSet(model, name, ids, &set, message) && WriteAll(&set, name, &plan, message) &&
                CommitAll(&plan, message);
    }
    if (!built) {
        RollBack(&plan);
        return nullptr;
    }
    MarkLocalFolderChanged();
    PollLocalFolder(true);
    *outcome = ModelTagsOutcome::kBuilt;
    return FindTag(ModelTagGroup(kModelTagGeom), ids.id[kModelTagGeom]);
}

}  // namespace pirn
